#include "branding/rewrite.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <unordered_map>

#include "branding/items.h"
#include "branding/text.h"
#include "branding/xref.h"

namespace brand {

std::string ValueLink(std::string_view value) {
  std::string link;
  link.reserve(value.size() + 16);
  if (value.substr(0, 4) == "www.") link = "http://";
  for (char c : value) {
    if (c == '\\' || c == '(' || c == ')') {
      link += '\\';
      link += c;
    } else if (c == '\r') {
      link += "\\r";
    } else if (c == '\n') {
      link += "\\n";
    } else {
      link += c;
    }
  }
  return link;
}

namespace {

// Replaces every occurrence, left to right, without overlap; inserted text is
// not searched again.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  size_t pos = 0;
  for (size_t at; (at = text.find(from, pos)) != std::string_view::npos; pos = at + from.size()) {
    out.append(text.substr(pos, at - pos));
    out.append(to);
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace

std::string NewLink(std::string_view linkText, std::string_view value) {
  std::string_view text = linkText;
  std::string_view defaultLink;
  if (size_t caret = text.find('^'); caret != std::string_view::npos) {
    defaultLink = text.substr(caret + 1);
    text = text.substr(0, caret);
  }
  if (value.empty()) return std::string(defaultLink);
  std::string valueLink = ValueLink(value);
  size_t tilde = text.find('~');
  if (tilde == std::string_view::npos) return valueLink;
  std::string_view linkTemplate = text.substr(tilde + 1);
  std::string_view placeholder = linkTemplate.find("XXXX") != std::string_view::npos   ? "XXXX"
                                 : linkTemplate.find("xxxx") != std::string_view::npos ? "xxxx"
                                                                                       : "";
  if (placeholder.empty()) return valueLink;
  std::string link = ReplaceAll(linkTemplate, placeholder, valueLink);
  link = ReplaceAll(link, "%3f", "?");
  link = ReplaceAll(link, "%3F", "?");
  return ReplaceAll(link, "%20", " ");
}

namespace {

// One replaced span of the original document.
struct Edit {
  size_t from = 0;  // first byte replaced
  size_t to = 0;    // one past the last byte replaced
  std::string text;
};

struct Occurrence {
  size_t t, from, to;
};

// The brandable links of each item, in document order: markers that pass the
// enclosing-link test and whose own key is the item's key.
std::vector<std::vector<Occurrence>> FindOccurrences(std::string_view doc, const std::vector<std::string>& keys) {
  std::unordered_multimap<size_t, size_t> byLength;
  for (size_t i = 0; i < keys.size(); ++i) byLength.emplace(keys[i].size(), i);
  std::vector<std::vector<Occurrence>> perItem(keys.size());
  MarkerWalker walker(doc);
  while (walker.Next()) {
    size_t uri;
    if (!EnclosingLink(doc, walker.at(), &uri)) continue;
    std::string_view key = walker.key();
    size_t item = keys.size();
    auto range = byLength.equal_range(key.size());
    for (auto it = range.first; it != range.second; ++it)
      if (EqualKeys(keys[it->second], key)) item = std::min(item, it->second);
    if (item < keys.size()) perItem[item].push_back({walker.at(), uri + 5, walker.closing()});
  }
  return perItem;
}

// Chooses the edits as the item-by-item rewrite would make them: items in list
// order, each link once; a link whose marker a previous rewrite replaced is gone.
std::vector<Edit> PlanEdits(std::string_view doc, const std::vector<std::string>& keys,
                            const std::vector<std::string>& values) {
  std::map<size_t, size_t> replaced;  // from -> to of spans already rewritten
  std::vector<Edit> edits;
  auto perItem = FindOccurrences(doc, keys);
  for (size_t item = 0; item < perItem.size(); ++item) {
    for (const Occurrence& o : perItem[item]) {
      auto next = replaced.upper_bound(o.t);
      if (next != replaced.begin() && std::prev(next)->second > o.from) continue;  // inside or overlapping
      if (next != replaced.end() && next->first < o.to) continue;  // a nested string: left alone
      replaced.emplace(o.from, o.to);
      edits.push_back({o.from, o.to, NewLink(VisibleCopy(doc.substr(o.t, o.to - o.t)), values[item])});
    }
  }
  std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.from < b.from; });
  return edits;
}

// Sum of the length deltas of the edits that begin before `value`, and how many
// there are: the shift the per-edit fix-up arrives at for a recorded offset.
class Shifts {
 public:
  explicit Shifts(const std::vector<Edit>& edits) {
    int64_t sum = 0;
    for (const Edit& e : edits) {
      starts_.push_back(e.from);
      sum += static_cast<int64_t>(e.text.size()) - static_cast<int64_t>(e.to - e.from);
      sums_.push_back(sum);
    }
  }
  // Number of edits whose position is less than value, and their delta sum.
  size_t Before(int64_t value, int64_t* delta) const {
    if (value <= 0) return *delta = 0, 0;
    size_t n = std::lower_bound(starts_.begin(), starts_.end(), static_cast<size_t>(value)) - starts_.begin();
    *delta = n ? sums_[n - 1] : 0;
    return n;
  }

 private:
  std::vector<size_t> starts_;
  std::vector<int64_t> sums_;
};

bool Overlaps(const std::vector<Edit>& sorted, size_t from, size_t to) {
  auto it = std::lower_bound(sorted.begin(), sorted.end(), to,
                             [](const Edit& e, size_t pos) { return e.from < pos; });
  return it != sorted.begin() && std::prev(it)->to > from;
}

struct Patch {
  size_t at;
  char digits[10];
};

// The ten-byte entries that need their offsets shifted, with their new digits.
std::vector<Patch> EntryPatches(std::string_view doc, const XrefLayout& layout, const std::vector<Edit>& edits,
                                const Shifts& shifts) {
  std::vector<Patch> patches;
  for (const XrefRun& run : layout.runs) {
    for (size_t i = 0; i < run.count; ++i) {
      size_t at = run.first + i * 20;
      int64_t delta;
      int64_t value = EntryValue(doc, at);
      if (shifts.Before(value, &delta) == 0 || Overlaps(edits, at, at + 10)) continue;
      Patch p{at, {}};
      if (WriteEntry(p.digits, value + delta)) patches.push_back(p);
    }
  }
  std::sort(patches.begin(), patches.end(), [](const Patch& a, const Patch& b) { return a.at < b.at; });
  // Overlapping tables would patch one byte twice: keep the first patch only.
  patches.erase(std::unique(patches.begin(), patches.end(),
                            [](const Patch& a, const Patch& b) { return b.at < a.at + 10; }),
                patches.end());
  return patches;
}

std::string Assemble(std::string_view doc, const std::vector<Edit>& edits, const std::vector<Patch>& patches) {
  size_t size = doc.size();
  for (const Edit& e : edits) size = size - (e.to - e.from) + e.text.size();
  std::string out;
  out.reserve(size);
  size_t pos = 0;
  size_t p = 0;
  auto copyUpTo = [&](size_t end) {
    for (; p < patches.size() && patches[p].at + 10 <= end; ++p) {
      out.append(doc.substr(pos, patches[p].at - pos));
      out.append(patches[p].digits, 10);
      pos = patches[p].at + 10;
    }
    out.append(doc.substr(pos, end - pos));
    pos = end;
  };
  for (const Edit& e : edits) {
    copyUpTo(e.from);
    out.append(e.text);
    pos = e.to;
    while (p < patches.size() && patches[p].at < pos) ++p;
  }
  copyUpTo(doc.size());
  return out;
}

}  // namespace

Status BrandDocument(std::string_view doc, const std::vector<std::string>& keys,
                     const std::vector<std::string>& values, std::string& out) {
  try {
    std::vector<Edit> edits = PlanEdits(doc, keys, values);
    if (edits.empty()) {
      out.assign(doc);
      return Status::Ok();
    }
    const XrefLayout layout = FindXref(doc);
    if (Status status = CheckXref(layout); !status) return status;
    Shifts shifts(edits);
    std::vector<Patch> patches = EntryPatches(doc, layout, edits, shifts);
    int64_t delta;
    if (layout.valueFits && shifts.Before(layout.startxrefValue, &delta) > 0 &&
        !Overlaps(edits, layout.numberStart, std::max(layout.numberEnd, layout.numberStart + 1))) {
      Edit number{layout.numberStart, layout.numberEnd, StartxrefDigits(layout.startxrefValue + delta)};
      edits.insert(std::upper_bound(edits.begin(), edits.end(), number.from,
                                    [](size_t pos, const Edit& e) { return pos < e.from; }),
                   std::move(number));
    }
    out = Assemble(doc, edits, patches);
    return Status::Ok();
  } catch (const std::bad_alloc&) {
    return Status::Fail(kInsufficientMemory);
  }
}

}  // namespace brand
