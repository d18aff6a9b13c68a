#include "tools/brandpdf/lint.h"

#include <set>
#include <unordered_map>

#include "branding/items.h"
#include "branding/text.h"
#include "branding/xref.h"
#include "tools/brandpdf/pdfstring.h"

namespace tool {

namespace {

const char kNormalizeHint[] = " `brandpdf normalize` (or `pack --normalize`) rewrites it so the stub accepts it.";

std::string PlainReason(const brand::Status& verdict, std::string_view doc, const Report& r) {
  const std::string& m = verdict.message();
  if (verdict) return {};
  if (m == brand::kNotBrandable) {
    std::string why = "No link the stub can see carries the link marker: a brandable link's URI must be written as "
                      "/URI(xxlink=Question...), with the marker inside the \"/URI(\" string.";
    brand::Status xref = brand::CheckXref(brand::FindXref(doc));
    if (!xref) why += "\nWith such links it would still refuse it:\n" + PlainReason(xref, doc, r);
    return why;
  }
  if (m == brand::kTooManyItems)
    return "The PDF has " + std::to_string(r.questions.size()) + " distinct questions; the stub asks at most 100.";
  if (m == brand::kNoXrefTable)
    return std::string("The PDF has no classic cross-reference table (an \"xref\" line followed by 20-byte "
                       "entries); it probably keeps its cross-references in a compressed stream, as PDF 1.5 "
                       "writers do.") + kNormalizeHint;
  if (m == brand::kIncrementalUpdates)
    return "The PDF was saved with incremental updates: it has " +
           std::to_string(brand::FindXref(doc).startxrefCount) +
           " \"startxref\" lines, one per revision, and the stub edits only single-revision files." + kNormalizeHint;
  if (m == brand::kNoStartXref)
    return std::string("The PDF has no \"startxref\" keyword on a line of its own, so the stub cannot find its "
                       "cross-reference table.") + kNormalizeHint;
  return m;
}

std::string Plural(int n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

// Folds letters of any case the wizard might show (A to Z, Windows-1252 and
// UTF-8 Latin-1 capitals) and drops blanks and underscores.
std::string LooseText(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c == '_' || pdfstr::IsWhite(static_cast<char>(c))) continue;
    if (c == 0xC3 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      auto d = static_cast<unsigned char>(text[++i]);
      out += static_cast<char>(c);
      out += static_cast<char>(d >= 0x80 && d <= 0x9E && d != 0x97 ? d + 0x20 : d);
      continue;
    }
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c += 0x20;
    else if (c == 0x8A || c == 0x8C || c == 0x8E) c += 0x10;
    else if (c == 0x9F) c = 0xFF;
    out += static_cast<char>(c);
  }
  return out;
}

// What the walk over the stub's markers found, besides the questions.
struct LinkIssues {
  std::set<size_t> visible, stray;  // marker positions
  std::vector<std::set<std::string>> encoded;  // per question: "%7E in the question" and the like
  std::vector<bool> noPlaceholder;
  std::unordered_map<std::string, size_t> index;  // folded key -> question
};

void CheckLinkText(std::string_view text, size_t q, LinkIssues& issues) {
  size_t caret = text.find('^');
  std::string_view beforeDefault = text.substr(0, caret);
  size_t tilde = beforeDefault.find('~');
  std::string keyPart(text.substr(0, std::min(tilde, caret)));
  for (char& c : keyPart) c = brand::Folded(c);
  if (keyPart.find("%7e") != std::string::npos) issues.encoded[q].insert("%7E question");
  if (keyPart.find("%5e") != std::string::npos) issues.encoded[q].insert("%5E question");
  if (tilde == std::string_view::npos) return;
  std::string_view linkTemplate = beforeDefault.substr(tilde + 1);
  if (linkTemplate.find("XXXX") == std::string_view::npos && linkTemplate.find("xxxx") == std::string_view::npos)
    issues.noPlaceholder[q] = true;
  std::string folded(linkTemplate);
  for (char& c : folded) c = brand::Folded(c);
  if (caret == std::string_view::npos && folded.find("%5e") != std::string::npos) issues.encoded[q].insert("%5E template");
}

// Walks the markers as the stub does: questions, link counts and link text issues.
void WalkLinks(std::string_view doc, Report& r, LinkIssues& issues) {
  brand::MarkerWalker walker(doc);
  while (walker.Next()) {
    size_t uri;
    if (!brand::EnclosingLink(doc, walker.at(), &uri)) {
      issues.stray.insert(walker.at());
      continue;
    }
    issues.visible.insert(walker.at());
    std::string key = brand::VisibleCopy(walker.key());
    std::string folded = key;
    for (char& c : folded) c = brand::Folded(c);
    size_t q = issues.index.emplace(folded, r.questions.size()).first->second;
    if (q == r.questions.size()) {
      r.questions.push_back({key, brand::QuestionText(key), 0});
      issues.encoded.emplace_back();
      issues.noPlaceholder.push_back(false);
    }
    ++r.questions[q].links;
    ++r.seen[pdfstr::MatchKey(pdfstr::Unescape(key))];
    CheckLinkText(brand::VisibleCopy(doc.substr(walker.at(), walker.closing() - walker.at())), q, issues);
  }
}

// Marked URI strings written as "/URI (" (a blank before the string) or as hex
// strings: viewers follow them, the stub does not see them.
void FindHiddenForms(std::string_view doc, Report& r, LinkIssues& issues) {
  Tally blank, hex;  // links per question text
  for (size_t at = 0; (at = brand::FindByte(doc, at, '/')) != std::string_view::npos; ++at) {
    if (!brand::FoldedMatch(doc, at, "/uri")) continue;
    size_t i = at + 4;
    while (i < doc.size() && pdfstr::IsWhite(doc[i])) ++i;
    if (i >= doc.size()) break;
    bool isHex = doc[i] == '<' && brand::At(doc, i + 1) != '<';
    if (!isHex && (doc[i] != '(' || i == at + 4)) continue;
    auto parsed = isHex ? pdfstr::ParseHex(doc, i) : pdfstr::ParseLiteral(doc, i);
    if (!parsed) continue;
    size_t marker = pdfstr::FindMarker(parsed->value);
    if (marker == std::string::npos) continue;
    auto first = issues.visible.lower_bound(i);
    if (first != issues.visible.end() && *first < parsed->end) continue;  // the stub sees it through another "/uri("
    issues.stray.erase(issues.stray.lower_bound(i), issues.stray.lower_bound(parsed->end));
    std::string key = pdfstr::KeyAt(parsed->value, marker);
    ++r.hiddenForms[pdfstr::MatchKey(key)];
    (isHex ? hex : blank).Add(brand::QuestionText(key));
  }
  for (auto& [text, n] : blank.items())
    r.warnings.push_back(Plural(n, "link", "links") + " with question " + Quoted(text) +
                         " written as \"/URI (\" with a blank before the string: the stub does not see " +
                         (n == 1 ? "it" : "them") + ". `brandpdf normalize` writes \"/URI(\".");
  for (auto& [text, n] : hex.items())
    r.warnings.push_back(Plural(n, "link", "links") + " with question " + Quoted(text) +
                         " written as a hex string (/URI <...>): the stub does not see " + (n == 1 ? "it" : "them") +
                         ". `brandpdf normalize` writes it as a literal string.");
}

void LinkTextWarnings(const Report& r, const LinkIssues& issues, std::vector<std::string>& out) {
  for (size_t q = 0; q < r.questions.size(); ++q) {
    const std::string& text = Quoted(r.questions[q].text);
    for (const std::string& found : issues.encoded[q]) {
      bool tilde = found[1] == '7';
      out.push_back("question " + text + ": a link has \"" + found.substr(0, 3) + "\" where \"" + (tilde ? "~" : "^") +
                    "\" was probably meant; the stub reads it literally, so the " +
                    (tilde ? "link template" : "default link") + " becomes part of the " + found.substr(4) +
                    ". Fix the link, or pack with --normalize --decode-separators.");
    }
    if (issues.noPlaceholder[q])
      out.push_back("question " + text + ": a link template has no placeholder XXXX (or xxxx): the answer alone "
                    "becomes the link and the template is dropped.");
    if (r.questions[q].text.empty())
      out.push_back("question " + std::to_string(q + 1) + " has an empty question text: the reseller sees no question.");
    else if (r.questions[q].key.back() == '\\')
      out.push_back("question " + text + " ends with a backslash: an escaped \")\" in a link ends the link for the stub.");
  }
}

void CompareQuestions(const Report& r, std::vector<std::string>& out) {
  for (size_t i = 0; i < r.questions.size(); ++i) {
    std::string loose = LooseText(r.questions[i].text), folded = pdfstr::MatchKey(r.questions[i].key);
    for (size_t j = i + 1; j < r.questions.size(); ++j) {
      std::string other = pdfstr::MatchKey(r.questions[j].key);
      std::string pair = "questions " + std::to_string(i + 1) + " " + Quoted(r.questions[i].text) + " and " +
                         std::to_string(j + 1) + " " + Quoted(r.questions[j].text);
      if (LooseText(r.questions[j].text) == loose)
        out.push_back(pair + " differ only by letter case outside A-Z or by blanks: the reseller is asked both.");
      else if (other.compare(0, folded.size(), folded) == 0 || folded.compare(0, other.size(), other) == 0)
        out.push_back(pair + ": one is the beginning of the other; they are two questions, and the reseller "
                      "is asked both.");
    }
  }
}

}  // namespace

void Tally::Add(const std::string& name, int n) {
  for (auto& item : items_)
    if (item.first == name) return void(item.second += n);
  items_.emplace_back(name, n);
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

Report LintDocument(std::string_view doc) {
  Report r;
  std::vector<std::string> keys;
  r.verdict = brand::ScanBrandableItems(doc, keys);
  if (r.verdict) r.verdict = brand::CheckXref(brand::FindXref(doc));
  LinkIssues issues;
  WalkLinks(doc, r, issues);
  r.why = PlainReason(r.verdict, doc, r);
  FindHiddenForms(doc, r, issues);
  LinkTextWarnings(r, issues, r.warnings);
  if (r.questions.size() <= static_cast<size_t>(brand::kMaxItems)) CompareQuestions(r, r.warnings);
  if (!issues.stray.empty()) {
    int n = static_cast<int>(issues.stray.size());
    r.warnings.push_back(Plural(n, "link marker", "link markers") + " (the first at byte " +
                         std::to_string(*issues.stray.begin()) + ") outside any \"/URI(\" string the stub " +
                         "recognises (page text, a bookmark, or too far into a link): the stub ignores " +
                         (n == 1 ? "it." : "them."));
  }
  for (size_t at = 0; (at = brand::FindByte(doc, at, '%')) != std::string_view::npos; ++at) {
    if (at >= 6 && brand::FoldedMatch(doc, at - 6, "xxlink%20=")) {
      r.warnings.push_back("a link has \"xxlink%20=\" (the first at byte " + std::to_string(at - 6) +
                           "): the marker \"xxlink =\" with its blank percent-encoded, which the stub does not "
                           "recognise. Write \"xxlink=\" without the blank.");
      break;
    }
  }
  for (size_t at = 0; (at = doc.find("/ObjStm", at)) != std::string_view::npos; ++at) {
    char next = brand::At(doc, at + 7);
    if (!((next >= 'A' && next <= 'Z') || (next >= 'a' && next <= 'z') || (next >= '0' && next <= '9'))) {
      r.hasObjectStreams = true;
      break;
    }
  }
  return r;
}

}  // namespace tool
