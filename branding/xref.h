// Cross-reference fix-up: the classic table's entries and the "startxref" value
// of a document, found once and shifted for edits made before them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "branding/status.h"

namespace brand {

extern const char kNoXrefTable[];
extern const char kIncrementalUpdates[];
extern const char kNoStartXref[];

// One subsection's entries: `count` entries of 20 bytes from `first`, each with
// its first ten bytes inside the document.
struct XrefRun {
  size_t first = 0;
  size_t count = 0;
};

// Where the numbers that record offsets stand in a document.
struct XrefLayout {
  bool foundTable = false;      // a table keyword whose header parsed
  std::vector<XrefRun> runs;    // every subsection of every table
  int startxrefCount = 0;       // qualifying "startxref" keywords
  size_t numberStart = 0;       // the first one's number: [numberStart, numberEnd)
  size_t numberEnd = 0;
  int64_t startxrefValue = 0;   // its value (0 without digits)
  bool valueFits = true;        // false for a number too long to shift safely
};

XrefLayout FindXref(std::string_view doc);

// Whether the layout lets the document be edited; the failure names the reason.
Status CheckXref(const XrefLayout& layout);

// An entry's recorded offset: ten bytes, each adding (byte - '0') to ten times
// the running value. The bytes are not required to be digits.
int64_t EntryValue(std::string_view doc, size_t entry);

// Writes value as exactly ten zero-filled digits at `at`. Values that need more
// or are negative are not written (false): the entry keeps its bytes.
bool WriteEntry(char* at, int64_t value);

// The digits of a new "startxref" value, without leading zeros.
std::string StartxrefDigits(int64_t value);

// Shifts, by delta, every recorded offset greater than changePos, before an
// edit at changePos whose new text is `delta` bytes longer than the old one.
// The document may change length (the "startxref" number can gain or lose digits).
Status FixCrossReferences(std::string& doc, int64_t changePos, int64_t delta);

}  // namespace brand
