// Brandable items: markers inside "/URI(" strings, reduced to one question per
// distinct key, and the question text the wizard shows for a key.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "branding/status.h"

namespace brand {

constexpr int kMaxItems = 100;
extern const char kTooManyItems[];
extern const char kNotBrandable[];

// The enclosing-link test for a marker at t: a "/uri(" (any case) begins at
// most 99 and at least 5 bytes before t, with no ")" between. On success sets
// *uriAt to the position of that "/uri(" (the nearest one).
bool EnclosingLink(std::string_view doc, size_t t, size_t* uriAt);

// Walks the link markers ("xxlink=" or "xxlink =", any case, zero bytes read
// as blanks) of a document in order. Linear over the whole walk: the ends it
// reports come from cursors that only move forward.
class MarkerWalker {
 public:
  explicit MarkerWalker(std::string_view doc) : doc_(doc) {}
  // Moves to the next marker; false at the end.
  bool Next();
  size_t at() const { return t_; }
  // End of the key: the first "~", "^" or ")" after the marker, or the end.
  size_t keyEnd();
  // Closing position: the first ")" after the marker, or the end.
  size_t closing();
  std::string_view key() { return doc_.substr(t_, keyEnd() - t_); }

 private:
  size_t NextOf(size_t& cursor, char c);
  std::string_view doc_;
  size_t eq_ = 0;  // where the search for the next "=" resumes
  size_t t_ = 0;
  size_t tilde_ = 0, caret_ = 0, paren_ = 0;  // next "~", "^", ")" (cached)
  bool started_ = false;
};

// Finds the item keys of a document, in the order their first links stand.
// Keys are as they stand (zero bytes read as blanks).
Status ScanBrandableItems(std::string_view doc, std::vector<std::string>& keys);

// The question text shown for a key.
std::string QuestionText(std::string_view key);

}  // namespace brand
