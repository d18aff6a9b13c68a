// brandpdf check: what the stub will make of a PDF, and what would surprise the
// publisher. Also run by pack before it packs.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "tools/brandpdf/lint.h"

namespace tool {

constexpr int kExitWarnings = 1;

// The stub's view of the document plus, where this build has libqpdf, what a
// PDF reader sees that the stub does not.
Report CheckDocument(std::string_view doc);

// 0 accepted without warnings, 1 with warnings, 2 refused.
int ExitCodeOf(const Report& report);

// Plain lines: the verdict (with the stub's own message), the questions, the warnings.
void PrintReport(std::ostream& out, const std::string& name, const Report& report);

}  // namespace tool
