// Deterministic classic-xref PDFs for benchmarks and differential tests: pages
// of link annotations whose URI strings carry link markers, page text that
// mentions markers outside any link, padding to a requested size, one xref
// entry per object and a "startxref" line. The same options and seed always
// give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pdfgen {

struct Options {
  uint64_t seed = 1;
  size_t size = 1 << 20;     // the document grows to about this many bytes
  int links = 100;           // marked links, spread over pages of up to 10
  int items = 10;            // distinct item keys among them (1 to 100)
  bool crlf = false;         // CR LF line ends instead of LF
  bool binaryPadding = true; // padding as image streams (stored deflate) rather than page text
  int subsections = 1;       // the xref table split into this many subsections
  double oddLinks = 0;       // share of links in unusual forms (two markers, long lead-ins, zero bytes, ...)
};

struct Document {
  std::string pdf;
  std::vector<std::string> keys;  // each item's key in its usual spelling (links vary the case)
};

Document Generate(const Options& options);

// A small pseudo-random generator (splitmix64): the same seed, the same numbers.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  // A number in [0, n); n > 0.
  size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }
  bool Chance(double p) { return static_cast<double>(Next() >> 11) * 0x1.0p-53 < p; }

 private:
  uint64_t state_;
};

}  // namespace pdfgen
