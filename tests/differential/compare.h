// Runs the fast engine and the literal loop on the same input and reports
// whether they agree: the same bytes, or the same refusal message.
#pragma once

#include <string>
#include <vector>

#include "branding/rewrite.h"
#include "tests/oracle.h"

namespace differential {

using Strings = std::vector<std::string>;

struct Outcome {
  bool ok = false;
  std::string text;  // the output, or the refusal message
};

inline Outcome Fast(const std::string& doc, const Strings& keys, const Strings& values) {
  std::string out;
  brand::Status status = brand::BrandDocument(doc, keys, values, out);
  return status ? Outcome{true, out} : Outcome{false, status.message()};
}

// The in-place rewrite must give the same as the copying one.
inline Outcome InPlace(std::string doc, const Strings& keys, const Strings& values) {
  brand::Status status = brand::BrandInPlace(doc, keys, values);
  return status ? Outcome{true, doc} : Outcome{false, status.message()};
}

inline Outcome Literal(const std::string& doc, const Strings& keys, const Strings& values) {
  std::string out;
  brand::Status status = oracle::Brand(doc, keys, values, out);
  return status ? Outcome{true, out} : Outcome{false, status.message()};
}

// Where two outputs first differ, with some context, for a readable failure.
inline std::string FirstDifference(const std::string& a, const std::string& b) {
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  size_t from = i < 40 ? 0 : i - 40;
  return "sizes " + std::to_string(a.size()) + " / " + std::to_string(b.size()) + ", first difference at " +
         std::to_string(i) + "\n fast:    [" + a.substr(from, 80) + "]\n literal: [" + b.substr(from, 80) + "]";
}

// Empty when both engines (and both ways of the fast one) agree; otherwise what differs.
inline std::string Disagreement(const std::string& doc, const Strings& keys, const Strings& values) {
  Outcome fast = Fast(doc, keys, values);
  Outcome inPlace = InPlace(doc, keys, values);
  if (inPlace.ok != fast.ok || inPlace.text != fast.text) return "in place: " + FirstDifference(inPlace.text, fast.text);
  Outcome literal = Literal(doc, keys, values);
  if (fast.ok != literal.ok)
    return std::string("fast ") + (fast.ok ? "wrote the file" : "refused: " + fast.text) + "; literal " +
           (literal.ok ? "wrote the file" : "refused: " + literal.text);
  if (fast.text == literal.text) return "";
  return fast.ok ? FirstDifference(fast.text, literal.text) : "messages: " + fast.text + " / " + literal.text;
}

}  // namespace differential
