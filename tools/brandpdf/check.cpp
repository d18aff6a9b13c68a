#include "tools/brandpdf/check.h"

#include <iostream>
#include <map>

#include "branding/items.h"
#include "tools/brandpdf/commands.h"
#include "tools/brandpdf/input.h"
#include "tools/brandpdf/linkview.h"
#include "tools/brandpdf/pdfstring.h"

namespace tool {

namespace {

constexpr char kUsage[] =
    "usage: brandpdf check FILE\n"
    "\n"
    "Tells whether the stub will accept FILE (a PDF or a package) and, if not, the\n"
    "stub's message and the reason in plain words; lists the questions the reseller\n"
    "will be asked; warns about links the stub will not see or will read otherwise\n"
    "than meant. Exit codes: 0 accepted, 1 accepted with warnings, 2 refused.\n";

std::string Links(int n) { return std::to_string(n) + (n == 1 ? " link" : " links"); }

struct Seen {
  Tally compressed;                              // per matching key, in object order
  std::map<std::string, int> plain;              // per matching key
  std::map<std::string, std::string> text;       // matching key -> question text
};

void CompareWithStub(const Seen& t, Report& r) {
  auto& w = r.warnings;
  for (auto& [key, n] : t.compressed.items()) {
    bool asked = r.seen.count(key) > 0;
    w.push_back(Links(n) + " with question " + Quoted(t.text.at(key)) +
                " inside object streams (compressed): the stub does not see " + (n == 1 ? "it" : "them") +
                (asked ? ", so they keep their marker while the other links of the question are rewritten."
                       : " and never asks this question.") +
                " `brandpdf normalize` takes " + (n == 1 ? "it" : "them") + " out.");
  }
  for (auto& [key, n] : t.plain) {
    auto seen = r.seen.find(key);
    auto hidden = r.hiddenForms.find(key);
    int known = (seen == r.seen.end() ? 0 : seen->second) + (hidden == r.hiddenForms.end() ? 0 : hidden->second);
    if (n > known)
      w.push_back(Links(n - known) + " with question " + Quoted(t.text.at(key)) +
                  " not seen by the stub although not compressed (an escape or line break before the marker, "
                  "or a lead-in longer than 94 characters?). `brandpdf normalize` rewrites them.");
  }
  for (auto& [key, n] : r.seen) {
    auto plain = t.plain.find(key);
    int actions = plain == t.plain.end() ? 0 : plain->second;
    bool compressed = false;
    for (auto& item : t.compressed.items()) compressed |= item.first == key;
    if (n > actions && !compressed)
      w.push_back("the stub rewrites " + std::to_string(n - actions) +
                  " more marked strings than the PDF has link actions for question " + Quoted(t.text.at(key)) +
                  " (old revisions, unused objects or page text).");
  }
}

void AddLinkViewFindings(std::string_view doc, Report& r) {
  if (!LinkViewAvailable()) {
    if (r.hasObjectStreams)
      r.warnings.push_back("the PDF has object streams (compressed objects); this build of brandpdf cannot look "
                           "inside them, so marked links there are not counted. Run `brandpdf check` from the "
                           "Linux build, which reads PDFs with libqpdf.");
    return;
  }
  LinkView view;
  if (brand::Status status = ViewLinks(doc, view); !status) {
    r.warnings.push_back(status.message() + " (viewers may fail too).");
    return;
  }
  if (!view.damage.empty())
    r.warnings.push_back("libqpdf found damage while reading it (" + std::to_string(view.damage.size()) +
                         " warnings; the first: " + view.damage.front() + ").");
  if (view.encrypted) {
    r.warnings.push_back("the PDF is encrypted: the stub sees its strings only encrypted and misses its " +
                         Links(static_cast<int>(view.links.size())) + " with a marker. `brandpdf normalize` "
                         "writes it unencrypted.");
    return;
  }
  Seen t;
  for (const Question& q : r.questions) t.text.emplace(pdfstr::MatchKey(pdfstr::Unescape(q.key)), q.text);
  for (const MarkedLink& link : view.links) {
    std::string key = pdfstr::KeyAt(link.value, pdfstr::FindMarker(link.value));
    std::string match = pdfstr::MatchKey(key);
    if (link.inObjectStream) t.compressed.Add(match);
    else ++t.plain[match];
    t.text.emplace(match, brand::QuestionText(key));
  }
  CompareWithStub(t, r);
}

void PrintIndented(std::ostream& out, const std::string& label, const std::string& text) {
  std::string pad(label.size(), ' ');
  size_t start = 0;
  bool first = true;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) out << "  " << (first ? label : pad) << text.substr(start, end - start) << "\n", first = false;
    start = end + 1;
  }
}

}  // namespace

Report CheckDocument(std::string_view doc) {
  Report report = LintDocument(doc);
  AddLinkViewFindings(doc, report);
  return report;
}

int ExitCodeOf(const Report& report) {
  if (!report.verdict) return kExitRefused;
  return report.warnings.empty() ? kExitOk : kExitWarnings;
}

void PrintReport(std::ostream& out, const std::string& name, const Report& r) {
  size_t nw = r.warnings.size();
  if (r.verdict) {
    out << name << ": the stub will accept this PDF";
    out << (nw ? ", with " + std::to_string(nw) + (nw == 1 ? " warning.\n" : " warnings.\n") : std::string(".\n"));
  } else {
    out << name << ": the stub will refuse this PDF.\n";
    PrintIndented(out, "The stub says: ", r.verdict.message());
    PrintIndented(out, "Why: ", r.why);
  }
  if (!r.questions.empty()) {
    out << "\n" << (r.verdict ? "Questions the reseller will be asked" : "Questions in the links the stub sees")
        << " (" << r.questions.size() << "):\n";
    size_t shown = std::min<size_t>(r.questions.size(), brand::kMaxItems);
    for (size_t i = 0; i < shown; ++i)
      out << "  " << i + 1 << ". " << r.questions[i].text << " (" << Links(r.questions[i].links) << ")\n";
    if (shown < r.questions.size()) out << "  ... and " << r.questions.size() - shown << " more\n";
  }
  if (nw) {
    out << "\nWarnings (" << nw << "):\n";
    for (const std::string& w : r.warnings) out << "  - " << w << "\n";
  }
}

int Check(const Args& args) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) return std::cout << kUsage, kExitOk;
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') return std::cerr << kUsage, Fail("expected FILE");
  Input input;
  if (brand::Status status = ReadInput(args[0], input); !status) return Fail(status.message());
  Report report = CheckDocument(input.document);
  PrintReport(std::cout, args[0], report);
  return ExitCodeOf(report);
}

}  // namespace tool
