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

const char kLineBreaksInLinks[] =
    "The PDF file is not compatible with this software\n(Reason: Line breaks inside brandable links)\n\n"
    "Please try using OpenOffice to create your PDF";

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
  size_t t = 0;     // the link's marker
  size_t item = 0;  // the item whose answer the text carries
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

// Chooses the edits as the item-by-item rewrite would make them, in the order it
// makes them: items in list order, each link once; a link whose marker a
// previous rewrite replaced is gone.
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
      edits.push_back({o.from, o.to, NewLink(VisibleCopy(doc.substr(o.t, o.to - o.t)), values[item]), o.t, item});
    }
  }
  return edits;
}

// Whether a line of its own inside `text` holds "xref" or "startxref" (any case).
// The bytes around an edited span are "(" and ")", so only lines wholly inside count.
bool HasKeywordLine(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsEol(text[i])) continue;
    for (std::string_view word : {std::string_view("xref"), std::string_view("startxref")})
      if (FoldedMatch(text, i + 1, word) && IsEol(At(text, i + 1 + word.size()))) return true;
  }
  return false;
}

// A rewrite that removes or writes a keyword line changes the tables and the
// "startxref" lines that every later per-edit fix-up finds.
bool ChangesKeywordLines(std::string_view doc, const std::vector<Edit>& edits) {
  for (const Edit& e : edits)
    if (HasKeywordLine(doc.substr(e.from, e.to - e.from)) || HasKeywordLine(e.text)) return true;
  return false;
}

// The item-by-item rewrite itself, for the rare documents above: the edits in
// the order they are made, each link text read again from the current document
// and the fix-up run on the whole document before every splice.
Status StepByStep(std::string_view original, std::vector<Edit> edits, const std::vector<std::string>& values,
                  std::string& out) {
  std::string doc(original);
  for (size_t k = 0; k < edits.size(); ++k) {
    Edit& e = edits[k];
    if (e.t >= doc.size() || e.from > e.t) continue;  // damaged files only: the link is gone
    size_t closing = std::min(FindByte(doc, e.t + 1, ')'), doc.size());
    std::string text = NewLink(VisibleCopy(std::string_view(doc).substr(e.t, closing - e.t)), values[e.item]);
    int64_t delta = static_cast<int64_t>(text.size()) - static_cast<int64_t>(closing - e.from);
    const XrefLayout layout = FindXref(doc);
    size_t before = doc.size();
    if (Status status = FixCrossReferences(doc, static_cast<int64_t>(e.from), delta); !status) return status;
    // A "startxref" number that changed its width moves whatever stands behind it.
    auto moved = static_cast<int64_t>(doc.size()) - static_cast<int64_t>(before);
    if (e.from >= layout.numberEnd) closing += moved;
    for (size_t j = k; j < edits.size() && moved != 0; ++j)
      if (edits[j].from >= layout.numberEnd) edits[j].from += moved, edits[j].t += moved;
    closing = std::min(closing, doc.size());
    if (e.from > closing) continue;  // damaged files only
    doc.replace(e.from, closing - e.from, text);
    for (size_t j = k + 1; j < edits.size(); ++j)
      if (edits[j].from >= closing) edits[j].from += delta, edits[j].t += delta;
  }
  out = std::move(doc);
  return Status::Ok();
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

// Everything the rewrite does, decided on the original document: the spans to
// replace in document order (the "startxref" number among them) and the entries
// to patch, or, for the rare documents that need it, the step-by-step route.
// How many bytes the step-by-step route may walk in all (a few seconds' work).
constexpr double kStepwiseBudget = 4e9;

struct Plan {
  std::vector<Edit> edits;
  std::vector<Patch> patches;
  bool stepwise = false;  // edits stay in the order they are made
};

Status MakePlan(std::string_view doc, const std::vector<std::string>& keys, const std::vector<std::string>& values,
                Plan& plan) {
  std::vector<Edit>& edits = plan.edits;
  edits = PlanEdits(doc, keys, values);
  if (edits.empty()) return Status::Ok();
  if ((plan.stepwise = ChangesKeywordLines(doc, edits))) {
    // That route reads the whole document once per link: refuse the documents on
    // which it would run for minutes rather than hang.
    if (static_cast<double>(edits.size()) * static_cast<double>(doc.size()) > kStepwiseBudget)
      return Status::Fail(kLineBreaksInLinks);
    return Status::Ok();
  }
  std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.from < b.from; });
  const XrefLayout layout = FindXref(doc);
  if (Status status = CheckXref(layout); !status) return status;
  Shifts shifts(edits);
  int64_t delta;
  if (layout.valueFits && shifts.Before(layout.startxrefValue, &delta) > 0 &&
      !Overlaps(edits, layout.numberStart, std::max(layout.numberEnd, layout.numberStart + 1))) {
    Edit number{layout.numberStart, layout.numberEnd, StartxrefDigits(layout.startxrefValue + delta)};
    edits.insert(std::upper_bound(edits.begin(), edits.end(), number.from,
                                  [](size_t pos, const Edit& e) { return pos < e.from; }),
                 std::move(number));
  }
  plan.patches = EntryPatches(doc, layout, edits, shifts);
  return Status::Ok();
}

int64_t Delta(const Edit& e) { return static_cast<int64_t>(e.text.size()) - static_cast<int64_t>(e.to - e.from); }

// The output in order: kept spans (split around the patched entries) and new texts.
std::vector<Piece> Pieces(std::string_view doc, const Plan& plan) {
  std::vector<Piece> pieces;
  size_t pos = 0;
  auto patch = plan.patches.begin();
  auto keepUpTo = [&](size_t end) {
    for (; patch != plan.patches.end() && patch->at < end; ++patch) {
      if (patch->at > pos) pieces.push_back({true, pos, patch->at - pos, {}});
      pieces.push_back({false, 0, 10, std::string(patch->digits, 10)});
      pos = patch->at + 10;
    }
    if (end > pos) pieces.push_back({true, pos, end - pos, {}});
    pos = end;
  };
  for (const Edit& e : plan.edits) {
    keepUpTo(e.from);
    if (!e.text.empty()) pieces.push_back({false, 0, e.text.size(), e.text});
    pos = e.to;
  }
  keepUpTo(doc.size());
  return pieces;
}

// The same result written over the document's own buffer: the patches first,
// then every kept span moved to its place (spans moving left in document order,
// spans moving right in reverse, so none overwrites one still to move), then the
// new texts.
void ApplyInPlace(std::string& doc, const Plan& plan) {
  struct Span {
    size_t from, length;
    int64_t shift;
  };
  std::vector<Span> kept;
  int64_t shift = 0;
  size_t pos = 0, size = doc.size();
  for (const Edit& e : plan.edits) {
    kept.push_back({pos, e.from - pos, shift});
    shift += Delta(e);
    pos = e.to;
  }
  kept.push_back({pos, size - pos, shift});
  if (shift > 0) doc.resize(size + shift);  // the only step that can fail, before any change
  char* base = &doc[0];
  for (const Patch& p : plan.patches) std::memcpy(base + p.at, p.digits, 10);
  for (const Span& s : kept)
    if (s.shift < 0) std::memmove(base + s.from + s.shift, base + s.from, s.length);
  for (auto s = kept.rbegin(); s != kept.rend(); ++s)
    if (s->shift > 0) std::memmove(base + s->from + s->shift, base + s->from, s->length);
  shift = 0;
  for (const Edit& e : plan.edits) {
    std::memcpy(base + e.from + shift, e.text.data(), e.text.size());
    shift += Delta(e);
  }
  if (shift < 0) doc.resize(size + shift);
}

}  // namespace

Status PlanPieces(std::string_view doc, const std::vector<std::string>& keys, const std::vector<std::string>& values,
                  std::vector<Piece>& pieces) {
  try {
    Plan plan;
    if (Status status = MakePlan(doc, keys, values, plan); !status) return status;
    if (!plan.stepwise) {
      pieces = Pieces(doc, plan);
      return Status::Ok();
    }
    std::string out;
    if (Status status = StepByStep(doc, std::move(plan.edits), values, out); !status) return status;
    pieces.assign(1, Piece{false, 0, out.size(), std::move(out)});
    return Status::Ok();
  } catch (const std::bad_alloc&) {
    return Status::Fail(kInsufficientMemory);
  }
}

Status BrandDocument(std::string_view doc, const std::vector<std::string>& keys,
                     const std::vector<std::string>& values, std::string& out) {
  std::vector<Piece> pieces;
  if (Status status = PlanPieces(doc, keys, values, pieces); !status) return status;
  try {
    size_t size = 0;
    for (const Piece& p : pieces) size += p.length;
    std::string result;
    result.reserve(size);
    for (const Piece& p : pieces) result.append(p.original ? doc.substr(p.from, p.length) : std::string_view(p.text));
    out = std::move(result);
    return Status::Ok();
  } catch (const std::bad_alloc&) {
    return Status::Fail(kInsufficientMemory);
  }
}

Status BrandInPlace(std::string& doc, const std::vector<std::string>& keys, const std::vector<std::string>& values) {
  try {
    Plan plan;
    if (Status status = MakePlan(doc, keys, values, plan); !status) return status;
    if (!plan.stepwise) {
      ApplyInPlace(doc, plan);
      return Status::Ok();
    }
    std::string out;
    if (Status status = StepByStep(doc, std::move(plan.edits), values, out); !status) return status;
    doc = std::move(out);
    return Status::Ok();
  } catch (const std::bad_alloc&) {
    return Status::Fail(kInsufficientMemory);
  }
}

}  // namespace brand
