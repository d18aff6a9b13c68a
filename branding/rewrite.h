// Link rewriting: every brandable link's URI string is replaced by a link made
// from its item's answer, and the recorded offsets are shifted to match.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "branding/status.h"

namespace brand {

// Refusal of a large document whose brandable links hold line breaks that put
// "xref" or "startxref" lines in or out: such a document must be rewritten one
// link at a time, which on a large one would not end in reasonable time.
extern const char kLineBreaksInLinks[];

// The answer as it goes into a link: "http://" before a value that starts with
// "www.", then "\", "(", ")" escaped (and CR, LF written as \r, \n) so the PDF
// string stays well formed and the cross-reference fix-up never sees a line
// break that an answer brought in.
std::string ValueLink(std::string_view value);

// The new content of one URI string, from its link text (the visible bytes from
// the marker up to the closing ")") and its item's answer.
std::string NewLink(std::string_view linkText, std::string_view value);

// Rewrites every brandable link of `doc` for the items (keys and answers, in
// list order) and shifts the cross-reference entries and the "startxref" value.
// The whole job is one pass over the document and one over the output.
Status BrandDocument(std::string_view doc, const std::vector<std::string>& keys,
                     const std::vector<std::string>& values, std::string& out);

// A branded document as pieces in output order: spans of the original document
// and new bytes. Writers can copy the unchanged spans without touching them.
struct Piece {
  bool original = true;  // a span of the original document, else `text`
  size_t from = 0;
  size_t length = 0;
  std::string text;
};

// Plans the same rewrite as BrandDocument and gives it as pieces.
Status PlanPieces(std::string_view doc, const std::vector<std::string>& keys, const std::vector<std::string>& values,
                  std::vector<Piece>& pieces);

// The same rewrite made in the document's own buffer, for callers that no longer
// need the original: no second copy of a large document. On a refusal the
// document is unchanged.
Status BrandInPlace(std::string& doc, const std::vector<std::string>& keys, const std::vector<std::string>& values);

}  // namespace brand
