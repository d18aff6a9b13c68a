// brandpdf: the publisher's tool. Forwards to the command named first.
#include <iostream>
#include <string>

#include "tools/brandpdf/commands.h"

namespace {

constexpr char kUsage[] =
    "usage: brandpdf COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  pack STUB PDF -o PACKAGE [--name NAME]   make a package from the stub and a PDF\n"
    "  items FILE                               list the questions of a PDF or package\n"
    "  brand FILE -o OUT [--answer VALUE]...    write a branded copy, as the stub would\n"
    "\n"
    "`brandpdf COMMAND --help` tells more. Exit codes: 0 done, 2 refused or failed.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return std::cerr << kUsage, 2;
  std::string command = argv[1];
  tool::Args args(argv + 2, argv + argc);
  if (command == "--help" || command == "-h" || command == "help") return std::cout << kUsage, 0;
  if (command == "pack") return tool::Pack(args);
  if (command == "items") return tool::Items(args);
  if (command == "brand") return tool::Brand(args);
  std::cerr << kUsage;
  return tool::Fail("unknown command " + command);
}
