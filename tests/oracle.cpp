#include "tests/oracle.h"

#include "branding/xref.h"
#include "framework/cstring.h"

namespace oracle {

namespace {

struct Span {
  size_t from, to;  // text a rewrite inserted, in the current document
};

CString SearchCopy(const std::string& doc) {
  std::string copy = doc;
  for (char& c : copy)
    if (c == '\0') c = ' ';
  return CString(copy);
}

bool SameKey(const CString& a, const CString& b) {
  if (a.GetLength() != b.GetLength()) return false;
  for (int i = 0; i < a.GetLength(); ++i) {
    char x = a.GetAt(i), y = b.GetAt(i);
    if (x >= 'A' && x <= 'Z') x += 32;
    if (y >= 'A' && y <= 'Z') y += 32;
    if (x != y) return false;
  }
  return true;
}

// The answer as it goes into a link: "http://" before "www.", then "\", "(",
// ")" escaped and CR, LF written as escapes.
CString ValueLink(const CString& value) {
  CString v = value;
  if (v.Left(4) == "www.") v = "http://" + v;
  CString out;
  for (int i = 0; i < v.GetLength(); ++i) {
    char c = v.GetAt(i);
    if (c == '\\' || c == '(' || c == ')') out += '\\', out += c;
    else if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

CString NewLink(CString text, const CString& value) {
  CString defaultLink;
  int caret = text.Find('^');
  if (caret >= 0) {
    defaultLink = text.Mid(caret + 1);
    text = text.Left(caret);
  }
  CString link = ValueLink(value);
  int tilde = text.Find('~');
  if (tilde >= 0) {
    CString linkTemplate = text.Mid(tilde + 1);
    const char* placeholder = linkTemplate.Find("XXXX") >= 0 ? "XXXX" : linkTemplate.Find("xxxx") >= 0 ? "xxxx" : nullptr;
    if (placeholder) {
      linkTemplate.Replace(placeholder, link);
      linkTemplate.Replace("%3f", "?");
      linkTemplate.Replace("%3F", "?");
      linkTemplate.Replace("%20", " ");
      link = linkTemplate;
    }
  }
  return value.IsEmpty() ? defaultLink : link;
}

// Walks back from t at most 100 characters for "/uri(", stopping at ")".
long EnclosingUri(const CString& twin, long t) {
  long lo = t - 100 < 0 ? 0 : t - 100;
  for (long s = t - 1; s >= lo; --s) {
    if (twin.GetAt(s) == ')') return -1;
    if (twin.Mid(s, 5) == "/uri(") return s > lo ? s : -1;
  }
  return -1;
}

void ShiftSpans(std::vector<Span>& spans, size_t at, long delta) {
  for (Span& s : spans)
    if (s.from >= at) s.from += delta, s.to += delta;
}

}  // namespace

brand::Status Brand(std::string doc, const std::vector<std::string>& keys, const std::vector<std::string>& values,
                    std::string& out) {
  std::vector<Span> inserted;
  for (size_t item = 0; item < keys.size(); ++item) {
    CString searchKey(keys[item]);
    searchKey.MakeLower();
    long resume = -1;
    for (;;) {
      CString copy = SearchCopy(doc);
      CString twin = copy;
      twin.MakeLower();
      long t = twin.Find(searchKey, resume + 1);
      if (t < 0) break;
      resume = t;
      bool inInserted = false;
      for (const Span& s : inserted) inInserted |= (size_t)t >= s.from && (size_t)t < s.to;
      if (inInserted) continue;
      long keyEnd = t;
      while (keyEnd < copy.GetLength() && copy.GetAt(keyEnd) != '~' && copy.GetAt(keyEnd) != '^' && copy.GetAt(keyEnd) != ')') ++keyEnd;
      if (!SameKey(copy.Mid(t, keyEnd - t), CString(keys[item]))) continue;
      long uri = EnclosingUri(twin, t);
      if (uri < 0) continue;
      long contentStart = uri + 5;
      long closing = twin.Find(')', t + 1);
      if (closing < 0) closing = twin.GetLength();
      CString newLink = NewLink(copy.Mid(t, closing - t), CString(values[item]));
      long delta = newLink.GetLength() - (closing - contentStart);
      // The fix-up may lengthen or shorten the "startxref" number; when that
      // number stands before the link, the link's positions move with it.
      brand::XrefLayout layout = brand::FindXref(doc);
      size_t before = doc.size();
      brand::Status status = brand::FixCrossReferences(doc, contentStart, delta);
      if (!status) return status;
      long moved = (long)doc.size() - (long)before;
      if (moved != 0) {
        ShiftSpans(inserted, layout.numberEnd, moved);
        if ((size_t)contentStart >= layout.numberEnd) contentStart += moved, closing += moved;
      }
      doc = doc.substr(0, contentStart) + newLink.str() + doc.substr(closing);
      std::vector<Span> kept;
      for (const Span& s : inserted)
        if (s.to <= (size_t)contentStart || s.from >= (size_t)closing) kept.push_back(s);
      inserted.swap(kept);
      ShiftSpans(inserted, closing, delta);
      inserted.push_back({(size_t)contentStart, (size_t)contentStart + newLink.GetLength()});
      resume = contentStart + newLink.GetLength() - 1;  // next search starts at the closing ")"
    }
  }
  out = doc;
  return brand::Status::Ok();
}

}  // namespace oracle
