// brandpdf normalize: a PDF the stub would refuse or only partly see becomes
// one it handles fully.
#include <iostream>

#include "framework/fileio.h"
#include "tools/brandpdf/check.h"
#include "tools/brandpdf/commands.h"
#include "tools/brandpdf/input.h"
#include "tools/brandpdf/normalize.h"

namespace tool {

namespace {

constexpr char kUsage[] =
    "usage: brandpdf normalize IN OUT [--decode-separators]\n"
    "\n"
    "Rewrites IN (a PDF or a package) as OUT, a PDF the stub handles fully: one\n"
    "revision, a classic cross-reference table, link annotations outside compressed\n"
    "streams, marked URIs written as \"/URI(\" literal strings; page content as it was.\n"
    "Then checks that the stub finds the questions the original carries and that a\n"
    "trial branding passes libqpdf's check.\n"
    "  --decode-separators  read \"%7E\" as \"~\" and \"%5E\" as \"^\" in marked links\n"
    "                       (for producers that percent-encode them)\n"
    "Needs libqpdf: the Linux build has it, the Windows build does not.\n";

}  // namespace

int Normalize(const Args& args) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) return std::cout << kUsage, kExitOk;
  NormalizeOptions options;
  std::vector<std::string> files;
  for (const std::string& a : args) {
    if (a == "--decode-separators") options.decodeSeparators = true;
    else if (!a.empty() && a[0] == '-') return std::cerr << kUsage, Fail("unknown option " + a);
    else files.push_back(a);
  }
  if (files.size() != 2) return std::cerr << kUsage, Fail("expected IN OUT");
  if (SameFile(files[0], files[1])) return Fail("the output must not be written over the input");
  Input input;
  brand::Status status = ReadInput(files[0], input);
  std::string out;
  std::vector<std::string> notes;
  if (status) status = NormalizePdf(input.document, options, out, notes);
  if (!status) return Fail(status.message());
  try {
    fileio::WriteReplacing(files[1].c_str(), out.data(), out.size());
  } catch (const CException&) {
    return Fail(WithPath("Failed to write file %s", files[1]));
  }
  std::cout << "wrote " << files[1] << " (" << out.size() << " bytes)\n";
  for (const std::string& note : notes) std::cout << "  - " << note << "\n";
  Report report = CheckDocument(out);
  std::cout << "  the stub finds " << report.questions.size() << " questions; a trial branding passed libqpdf's check\n";
  if (!report.warnings.empty()) {
    std::cout << "Still to look at:\n";
    for (const std::string& w : report.warnings) std::cout << "  - " << w << "\n";
  }
  return kExitOk;
}

}  // namespace tool
