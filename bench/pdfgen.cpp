// pdfgen: writes a generated PDF (see generate.h) for benchmarks and by-hand tests.
#include <fstream>
#include <iostream>
#include <string>

#include "bench/generate.h"

namespace {

constexpr char kUsage[] =
    "usage: pdfgen OUT [--size BYTES[K|M]] [--links K] [--items N] [--seed S]\n"
    "              [--crlf] [--text] [--subsections N] [--odd SHARE]\n"
    "\n"
    "Writes a classic-xref PDF of about BYTES bytes with K marked links over N items.\n"
    "--text pads with page text instead of image data; --odd mixes in links of\n"
    "unusual forms (SHARE between 0 and 1). The same options give the same file.\n";

size_t ParseSize(const std::string& text) {
  size_t unit = 1;
  std::string digits = text;
  if (!digits.empty() && (digits.back() == 'K' || digits.back() == 'M')) {
    unit = digits.back() == 'K' ? 1024 : 1024 * 1024;
    digits.pop_back();
  }
  return static_cast<size_t>(std::stoull(digits)) * unit;
}

bool Parse(int argc, char** argv, std::string& out, pdfgen::Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    bool hasValue = i + 1 < argc;
    if (a == "--crlf") o.crlf = true;
    else if (a == "--text") o.binaryPadding = false;
    else if (a == "--size" && hasValue) o.size = ParseSize(argv[++i]);
    else if (a == "--links" && hasValue) o.links = std::stoi(argv[++i]);
    else if (a == "--items" && hasValue) o.items = std::stoi(argv[++i]);
    else if (a == "--seed" && hasValue) o.seed = std::stoull(argv[++i]);
    else if (a == "--subsections" && hasValue) o.subsections = std::stoi(argv[++i]);
    else if (a == "--odd" && hasValue) o.oddLinks = std::stod(argv[++i]);
    else if (a.empty() || a[0] == '-' || !out.empty()) return false;
    else out = a;
  }
  return !out.empty();
}

}  // namespace

int main(int argc, char** argv) {
  std::string out;
  pdfgen::Options options;
  try {
    if (!Parse(argc, argv, out, options)) return std::cerr << kUsage, 2;
  } catch (const std::exception&) {
    return std::cerr << kUsage, 2;
  }
  pdfgen::Document doc = pdfgen::Generate(options);
  std::ofstream file(out, std::ios::binary | std::ios::trunc);
  file.write(doc.pdf.data(), static_cast<std::streamsize>(doc.pdf.size()));
  file.close();
  if (!file) {
    std::cerr << "pdfgen: cannot write " << out << "\n";
    return 2;
  }
  std::cout << out << ": " << doc.pdf.size() << " bytes, " << options.links << " links, " << doc.keys.size()
            << " items\n";
  return 0;
}
