#include "branding/items.h"

#include <new>
#include <algorithm>
#include <unordered_map>

#include "branding/text.h"

namespace brand {

const char kTooManyItems[] = "The PDF file inside this package has too many brandable items";
const char kNotBrandable[] = "The PDF file inside this package is not brandable";

bool EnclosingLink(std::string_view doc, size_t t, size_t* uriAt) {
  size_t lo = t >= 100 ? t - 100 : 0;
  // Walk s from t - 1 down to lo; the "/uri(" must begin above lo.
  for (size_t s = t; s-- > lo;) {
    if (doc[s] == ')') return false;
    if (FoldedMatch(doc, s, "/uri(")) {
      if (s == lo) return false;
      *uriAt = s;
      return true;
    }
  }
  return false;
}

bool MarkerWalker::Next() {
  // Every marker ends in "k=" or " =" (any case; a zero byte reads as a blank):
  // find each such pair once and look back for the rest.
  size_t from = started_ ? eq_ : 0;  // pairs from here put their "=" behind the last one
  started_ = true;
  for (size_t at; (at = FindPair(doc_, from, 'k', ' ', '=', 0)) != std::string_view::npos; from = at + 1) {
    eq_ = at + 1;
    if (eq_ >= 7 && Visible(doc_[eq_ - 1]) == ' ' && FoldedMatch(doc_, eq_ - 7, "xxlink")) {
      t_ = eq_ - 7;  // "xxlink ="
      return true;
    }
    if (eq_ >= 6 && FoldedMatch(doc_, eq_ - 6, "xxlink")) {
      t_ = eq_ - 6;  // "xxlink="
      return true;
    }
  }
  eq_ = doc_.size();
  return false;
}

size_t MarkerWalker::NextOf(size_t& cursor, char c) {
  if (cursor <= t_) {
    size_t hit = FindByte(doc_, t_ + 1, c);
    cursor = hit == std::string_view::npos ? doc_.size() : hit;
  }
  return cursor;
}

size_t MarkerWalker::closing() { return NextOf(paren_, ')'); }

size_t MarkerWalker::keyEnd() {
  size_t end = closing();
  end = std::min(end, NextOf(tilde_, '~'));
  return std::min(end, NextOf(caret_, '^'));
}

Status ScanBrandableItems(std::string_view doc, std::vector<std::string>& keys) {
  try {
    std::vector<std::string> found;
    // Stored keys by length: a candidate is only compared with keys as long as it.
    std::unordered_multimap<size_t, size_t> byLength;
    MarkerWalker walker(doc);
    while (walker.Next()) {
      size_t uri;
      if (!EnclosingLink(doc, walker.at(), &uri)) continue;
      std::string_view key = walker.key();
      bool known = false;
      auto range = byLength.equal_range(key.size());
      for (auto it = range.first; it != range.second && !known; ++it) known = EqualKeys(found[it->second], key);
      if (known) continue;
      if (static_cast<int>(found.size()) == kMaxItems) return Status::Fail(kTooManyItems);
      byLength.emplace(key.size(), found.size());
      found.push_back(VisibleCopy(key));
    }
    if (found.empty()) return Status::Fail(kNotBrandable);
    keys = std::move(found);
    return Status::Ok();
  } catch (const std::bad_alloc&) {
    return Status::Fail(kInsufficientMemory);
  }
}

std::string QuestionText(std::string_view key) {
  std::string text(key.substr(std::min<size_t>(7, key.size())));
  auto trimLeft = [&] {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= 9 && text[i] <= 13))) ++i;
    text.erase(0, i);
  };
  trimLeft();
  while (!text.empty() && (text.back() == ' ' || (text.back() >= 9 && text.back() <= 13))) text.pop_back();
  if (!text.empty() && text[0] == '=') text.erase(0, 1);
  trimLeft();
  for (char& c : text)
    if (c == '_') c = ' ';
  return text;
}

}  // namespace brand
