// brandpdf items and brandpdf brand: the stub's engine without its window.
#include <iostream>

#include "branding/items.h"
#include "branding/rewrite.h"
#include "framework/afx.h"
#include "framework/fileio.h"
#include "tools/brandpdf/batch.h"
#include "tools/brandpdf/commands.h"
#include "tools/brandpdf/input.h"

namespace tool {

namespace {

constexpr char kItemsUsage[] =
    "usage: brandpdf items FILE\n"
    "\n"
    "Prints the questions a reseller will be asked, one per line, in order. FILE is a\n"
    "PDF or a package. When the stub would refuse it, prints the stub's message and\n"
    "exits with 2.\n";

constexpr char kBrandUsage[] =
    "usage: brandpdf brand FILE -o OUT [--answer VALUE]...\n"
    "       brandpdf brand FILE --batch TABLE.csv --out-dir DIR\n"
    "\n"
    "Writes a branded copy of FILE (a PDF or a package) to OUT, exactly as the\n"
    "stub would. Answers are given in the order `brandpdf items` prints the\n"
    "questions and trimmed as the wizard trims them; a missing answer is empty\n"
    "(the link's default link is used). On a refusal prints the stub's message,\n"
    "exits with 2 and writes nothing.\n"
    "\n"
    "With --batch, writes one branded copy per row of TABLE.csv into DIR (made if\n"
    "missing). The header row names the questions by their question text, in any\n"
    "order, plus an `output` column with each copy's file name:\n"
    "    output,Your member ID,Coupon code\n"
    "    acme.pdf,A17,\"SPRING, 2026\"\n"
    "Progress goes to stderr and a summary to stdout; a failing row does not stop\n"
    "the others, and the exit code is 2 if any row failed.\n";

std::string Trimmed(const std::string& value) {
  CString s(value);
  return s.Trim().str();
}

bool IsHelp(const Args& args) { return !args.empty() && (args[0] == "--help" || args[0] == "-h"); }

}  // namespace

int Fail(const std::string& message) {
  std::cerr << "brandpdf: " << message << "\n";
  return kExitRefused;
}

int Items(const Args& args) {
  if (IsHelp(args)) return std::cout << kItemsUsage, kExitOk;
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') return std::cerr << kItemsUsage, Fail("expected FILE");
  Input input;
  std::vector<std::string> keys;
  brand::Status status = ReadInput(args[0], input);
  if (status) status = brand::ScanBrandableItems(input.document, keys);
  if (!status) return Fail(status.message());
  for (const std::string& key : keys) std::cout << brand::QuestionText(key) << "\n";
  return kExitOk;
}

int Brand(const Args& args) {
  if (IsHelp(args)) return std::cout << kBrandUsage, kExitOk;
  std::string file, out, table, outDir;
  std::vector<std::string> answers;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "-o" || a == "--answer" || a == "--batch" || a == "--out-dir") && i + 1 >= args.size())
      return Fail(a + " needs a value");
    if (a == "-o") out = args[++i];
    else if (a == "--batch") table = args[++i];
    else if (a == "--out-dir") outDir = args[++i];
    else if (a == "--answer") answers.push_back(Trimmed(args[++i]));
    else if (!a.empty() && a[0] == '-') return std::cerr << kBrandUsage, Fail("unknown option " + a);
    else if (file.empty()) file = a;
    else return std::cerr << kBrandUsage, Fail("unexpected argument " + a);
  }
  if (!table.empty() || !outDir.empty()) {
    if (file.empty() || table.empty() || outDir.empty() || !out.empty() || !answers.empty())
      return std::cerr << kBrandUsage, Fail("expected FILE --batch TABLE.csv --out-dir DIR");
    return BrandBatch(file, table, outDir);
  }
  if (file.empty() || out.empty()) return std::cerr << kBrandUsage, Fail("expected FILE -o OUT");
  if (SameFile(file, out)) return Fail("the output must not be written over the input");
  SourceFile source;
  std::vector<std::string> keys;
  brand::Status status = source.Open(file);
  if (status) status = brand::ScanBrandableItems(source.document(), keys);
  if (!status) return Fail(status.message());
  if (answers.size() > keys.size())
    return Fail("there are " + std::to_string(answers.size()) + " answers for " + std::to_string(keys.size()) +
                " questions");
  answers.resize(keys.size());
  std::vector<brand::Piece> pieces;
  status = brand::PlanPieces(source.document(), keys, answers, pieces);
  if (!status) return Fail(status.message());
  if (!source.WriteBranded(out, pieces)) return Fail(WithPath("Failed to write file %s", out));
  return kExitOk;
}

}  // namespace tool
