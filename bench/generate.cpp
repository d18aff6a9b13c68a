#include "bench/generate.h"

#include <algorithm>
#include <cstdio>

namespace pdfgen {

uint64_t Rng::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

namespace {

constexpr int kLinksPerPage = 10;

const char* const kQuestions[] = {"Your_member_ID", "Affiliate_ID", "Coupon_code", "Shop_name", "Ref"};
const char* const kWords[] = {"offer", "price", "the", "xref", "Xylophone", "prefix=1", "link", "(a)", "sale",
                              "member", "x=y", "www.example.com", "~", "^", "STARTXREF", "value"};

// Question texts that share beginnings: "Ref", "Ref_1", "Ref_10", ...
std::string Question(int item) {
  std::string q = kQuestions[item % 5];
  if (item >= 5) q += "_" + std::to_string(item / 5);
  return q;
}

// The canonical key of an item; a few items use the "xxlink =" form.
std::string Key(int item) { return (item % 7 == 3 ? "xxlink =" : "xxlink=") + Question(item); }

// The key as one link spells it: letters A to Z in a random case.
std::string Spelled(const std::string& key, Rng& rng) {
  std::string out = key;
  int style = static_cast<int>(rng.Below(4));
  for (char& c : out) {
    bool upper = style == 1 || (style == 2 && rng.Chance(0.5));
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (style == 3 && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

// The content of a link string in one of the usual forms.
std::string UsualLink(const std::string& key, Rng& rng) {
  switch (rng.Below(6)) {
    case 0: return key + "~https://shop.example/join%3Fref=XXXX^https://shop.example/join";
    case 1: return key;
    case 2: return "Read more: " + key + "~https://example.org/p/xxxx/index.html";
    case 3: return key + "^https://example.com/default";
    case 4: return key + "~https://a.example/XXXX/b/XXXX-xxxx?q=%20%3f";
    default: return key + "~https://go.example/?id=XXXX&src=pdf^https://go.example/";
  }
}

// Forms that test the rules' corners; `other` is another item's key.
std::string OddLink(const std::string& key, const std::string& other, Rng& rng) {
  switch (rng.Below(12)) {
    case 0: return key + " " + other + "~t/XXXX";                            // two markers in one string
    case 1: return std::string(90 + rng.Below(10), 'p') + key + "~l/XXXX";   // lead-in near the limit
    case 2: return key + std::string("~a\0b/XXXX^d\0e", 13);                 // zero bytes
    case 3: return "a\\) " + key + "~XXXX";                                  // a ")" before the marker
    case 4: return key + "\\)tail~XXXX";                                     // an escaped ")" ends the key
    case 5: return key + "^d~not/XXXX";                                      // "^" before "~"
    case 6: return "xxlink=~e/XXXX";                                         // an empty question
    case 7: return std::string(rng.Chance(0.5) ? "xxlink=Caf\xE9" : "XXLINK=CAF\xC9") + "~c/XXXX";
    case 8: return key + "~XXXX%20xxxx%3F%3f%2";
    case 9: return key + " ~space/XXXX";                                     // a blank before "~": another key
    case 10: return key + "~\nXXXX\n0 1\n0000000100 00000 n";            // an answer "xref" makes a table
    default: return key + "^\nxref\n0 1\n0000000100 00000 n\r\n";       // a table inside a link
  }
}

struct Link {
  std::string text;
  bool spaced = false;  // written "/URI (" which is not recognised
};

Link MakeLink(int index, const Options& o, Rng& rng) {
  int item = index < o.items ? index : static_cast<int>(rng.Below(o.items));
  std::string key = Spelled(Key(item), rng);
  if (o.oddLinks > 0 && rng.Chance(o.oddLinks)) {
    if (rng.Chance(0.1)) return {UsualLink(key, rng), true};
    return {OddLink(key, Spelled(Key(static_cast<int>(rng.Below(o.items))), rng), rng), false};
  }
  return {UsualLink(key, rng), false};
}

// Builds the file object by object, recording each object's offset.
class Writer {
 public:
  explicit Writer(const Options& o) : eol_(o.crlf ? "\r\n" : "\n") {}
  const std::string& eol() const { return eol_; }
  std::string& pdf() { return pdf_; }
  void Header() { pdf_ += "%PDF-1.7" + eol_ + "%\xE2\xE3\xCF\xD3" + eol_; }
  void Object(const std::string& body) {
    offsets_.push_back(pdf_.size());
    pdf_ += std::to_string(offsets_.size()) + " 0 obj" + eol_ + body + eol_ + "endobj" + eol_;
  }
  // A stream object; `data` is appended by the caller through `fill`.
  template <typename Fill>
  void Stream(const std::string& dict, size_t length, Fill fill) {
    offsets_.push_back(pdf_.size());
    pdf_ += std::to_string(offsets_.size()) + " 0 obj" + eol_ + "<< /Length " + std::to_string(length) + dict +
            " >>" + eol_ + "stream" + eol_;
    fill(pdf_);
    pdf_ += eol_ + "endstream" + eol_ + "endobj" + eol_;
  }
  void Trailer(int subsections);

 private:
  std::string eol_;
  std::string pdf_;
  std::vector<size_t> offsets_;
};

void Writer::Trailer(int subsections) {
  size_t xref = pdf_.size();
  size_t total = offsets_.size() + 1;
  size_t parts = std::max<size_t>(1, std::min<size_t>(subsections, total));
  const char* entryEnd = eol_ == "\n" ? " \n" : "\r\n";
  char entry[32];
  pdf_ += "xref" + eol_;
  for (size_t part = 0, first = 0; part < parts; ++part) {
    size_t count = total / parts + (part < total % parts ? 1 : 0);
    pdf_ += std::to_string(first) + " " + std::to_string(count) + eol_;
    for (size_t n = first; n < first + count; ++n) {
      if (n == 0) std::snprintf(entry, sizeof entry, "0000000000 65535 f%s", entryEnd);
      else std::snprintf(entry, sizeof entry, "%010zu 00000 n%s", offsets_[n - 1], entryEnd);
      pdf_ += entry;
    }
    first += count;
  }
  pdf_ += "trailer" + eol_ + "<< /Size " + std::to_string(total) + " /Root 1 0 R >>" + eol_;
  pdf_ += "startxref" + eol_ + std::to_string(xref) + eol_ + "%%EOF" + eol_;
}

// Appends `raw` pseudo-random bytes as a zlib stream of stored deflate blocks:
// valid compressed image data that costs nothing to make.
void StoredDeflate(std::string& out, size_t raw, Rng& rng) {
  out += "\x78\x01";
  uint32_t a = 1, b = 0;
  size_t left = raw;
  do {
    size_t n = std::min<size_t>(left, 65535);
    left -= n;
    out += static_cast<char>(left == 0 ? 1 : 0);
    char len[4] = {static_cast<char>(n & 0xFF), static_cast<char>(n >> 8), static_cast<char>(~n & 0xFF),
                   static_cast<char>((~n >> 8) & 0xFF)};
    out.append(len, 4);
    size_t at = out.size();
    out.resize(at + n);
    for (size_t i = 0; i < n; i += 8) {
      uint64_t r = rng.Next();
      for (size_t j = 0; j < 8 && i + j < n; ++j) out[at + i + j] = static_cast<char>(r >> (8 * j));
    }
    for (size_t i = 0; i < n; ++i) {
      a += static_cast<unsigned char>(out[at + i]);
      b += a;
      if ((i & 4095) == 4095) a %= 65521, b %= 65521;
    }
    a %= 65521, b %= 65521;
  } while (left > 0);
  for (int shift : {24, 16, 8, 0}) out += static_cast<char>(((b << 16 | a) >> shift) & 0xFF);
}

size_t StoredDeflateSize(size_t raw) { return 2 + 5 * std::max<size_t>(1, (raw + 65534) / 65535) + raw + 4; }

// Page text: a heading, a line that mentions a marker outside any link, and
// (with odd links) a "/URI(" written as text, which the rules count as a link.
std::string PageText(int page, const Options& o, Rng& rng, const std::string& eol) {
  std::string key = Spelled(Key(static_cast<int>(rng.Below(o.items))), rng);
  std::string text = "BT /F1 12 Tf 72 740 Td (Page " + std::to_string(page + 1) + ") Tj ET" + eol;
  text += "BT /F1 9 Tf 72 60 Td (Resellers: enter " + key + " in the wizard) Tj ET" + eol;
  if (o.oddLinks > 0 && rng.Chance(o.oddLinks)) text += "BT 72 40 Td (/URI\\(" + key + "~p/XXXX\\)) Tj ET" + eol;
  return text;
}

void AppendWords(std::string& text, size_t bytes, Rng& rng, const std::string& eol) {
  size_t goal = text.size() + bytes;
  while (text.size() < goal) {
    text += "BT 72 500 Td (";
    for (int w = 0; w < 12; ++w) text += std::string(kWords[rng.Below(16)]) + " ";
    text += ") Tj ET" + eol;
  }
}

// Padding: a gray image of about `bytes` bytes, stored (not compressed) deflate.
void WriteImage(Writer& w, size_t bytes, Rng& rng) {
  size_t raw = std::max<size_t>(bytes, 1);
  size_t rows = raw / 1024, width = rows ? 1024 : raw;
  raw = rows ? rows * 1024 : raw;
  w.Stream(" /Type /XObject /Subtype /Image /Width " + std::to_string(width) + " /Height " +
               std::to_string(std::max<size_t>(rows, 1)) + " /ColorSpace /DeviceGray /BitsPerComponent 8" +
               " /Filter /FlateDecode",
           StoredDeflateSize(raw), [&](std::string& out) { StoredDeflate(out, raw, rng); });
}

// One page as objects n (the page), n + 1 (its text), n + 2 (its image) and
// n + 3 on (its link annotations).
void WritePage(Writer& w, int page, int n, const Link* links, int onPage, size_t padding, const Options& o,
               Rng& rng) {
  const std::string& eol = w.eol();
  std::string annots;
  for (int i = 0; i < onPage; ++i) annots += std::to_string(n + 3 + i) + " 0 R ";
  w.Object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 3 0 R >> "
           "/XObject << /Im0 " + std::to_string(n + 2) + " 0 R >> >> /Contents " + std::to_string(n + 1) +
           " 0 R /Annots [" + annots + "] >>");
  std::string content = PageText(page, o, rng, eol) + "q 200 0 0 100 72 400 cm /Im0 Do Q" + eol;
  if (!o.binaryPadding) AppendWords(content, padding, rng, eol);
  w.Stream("", content.size(), [&](std::string& out) { out += content; });
  WriteImage(w, o.binaryPadding && padding > 200 ? padding - 120 : 0, rng);
  for (int i = 0; i < onPage; ++i) {
    int y = 700 - 20 * i;
    w.Object("<< /Type /Annot /Subtype /Link /Rect [72 " + std::to_string(y) + " 300 " + std::to_string(y + 15) +
             "] /Border [0 0 0] /A << /S /URI " + (links[i].spaced ? "/URI (" : "/URI(") + links[i].text +
             ") >> >>");
  }
}

}  // namespace

Document Generate(const Options& options) {
  Options o = options;
  o.links = std::max(0, o.links);
  o.items = std::max(1, std::min({o.items, 100, std::max(1, o.links)}));
  Rng rng(o.seed);
  int pages = std::max(1, (o.links + kLinksPerPage - 1) / kLinksPerPage);
  std::vector<Link> links;
  for (int i = 0; i < o.links; ++i) links.push_back(MakeLink(i, o, rng));
  // Everything but the padding, to learn how much padding the size asks for.
  size_t base = 600 + 60 * pages * 3;
  for (const Link& l : links) base += l.text.size() + 160;
  size_t perPage = (o.size > base ? o.size - base : 0) / pages;
  auto onPage = [&](int page) { return std::max(0, std::min(kLinksPerPage, o.links - page * kLinksPerPage)); };

  Writer w(o);
  w.pdf().reserve(std::max(o.size, base) + 4096);
  w.Header();
  std::string kids;
  for (int p = 0, n = 4; p < pages; n += 3 + onPage(p), ++p) kids += std::to_string(n) + " 0 R ";
  w.Object("<< /Type /Catalog /Pages 2 0 R >>");
  w.Object("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>");
  w.Object("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
  for (int p = 0, n = 4; p < pages; n += 3 + onPage(p), ++p)
    WritePage(w, p, n, links.data() + p * kLinksPerPage, onPage(p), perPage, o, rng);
  w.Trailer(o.subsections);
  Document doc;
  doc.pdf = std::move(w.pdf());
  for (int i = 0; i < o.items; ++i) doc.keys.push_back(Key(i));
  return doc;
}

}  // namespace pdfgen
