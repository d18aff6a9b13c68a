// brandpdf: the publisher's tool. Forwards to the command named first.
#include <iostream>
#include <string>

#include "tools/brandpdf/commands.h"
#include "tools/brandpdf/normalize.h"

namespace {

constexpr char kUsage[] =
    "usage: brandpdf COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  check FILE                               will the stub accept it? its questions, and warnings\n"
    "  pack STUB PDF -o PACKAGE [--name NAME] [--normalize]\n"
    "                                           make a package from the stub and a PDF\n"
    "  normalize IN OUT [--decode-separators]   rewrite a PDF so the stub handles it fully\n"
    "  items FILE                               list the questions of a PDF or package\n"
    "  brand FILE -o OUT [--answer VALUE]...    write a branded copy, as the stub would\n"
    "  brand FILE --batch TABLE.csv --out-dir DIR\n"
    "                                           one branded copy per row of a table\n"
    "\n"
    "`brandpdf COMMAND --help` tells more. Exit codes: 0 done, 1 check found warnings,\n"
    "2 refused or failed.\n";

constexpr char kWithoutQpdf[] =
    "\n"
    "This build has no libqpdf: `normalize` and `pack --normalize` need the Linux\n"
    "build, and `check` cannot look inside object streams or encrypted files, nor\n"
    "report damage that libqpdf finds; it warns when a PDF has object streams.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return std::cerr << kUsage, 2;
  std::string command = argv[1];
  tool::Args args(argv + 2, argv + argc);
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage << (tool::NormalizeAvailable() ? "" : kWithoutQpdf);
    return 0;
  }
  if (command == "check") return tool::Check(args);
  if (command == "pack") return tool::Pack(args);
  if (command == "normalize") return tool::Normalize(args);
  if (command == "items") return tool::Items(args);
  if (command == "brand") return tool::Brand(args);
  std::cerr << kUsage;
  return tool::Fail("unknown command " + command);
}
