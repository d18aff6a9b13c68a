// Writing marked URI strings the way the stub reads them: "/URI(" directly
// followed by a literal string. Works on a single-revision PDF with a classic
// cross-reference table (what libqpdf writes), editing only object
// dictionaries, never stream data, and shifting the recorded offsets to match.
#pragma once

#include <string>

#include "branding/status.h"

namespace tool {

struct UriFormFixes {
  int blanks = 0;  // "/URI (" became "/URI("
  int hex = 0;     // hex strings became literal strings
};

brand::Status WriteUrisForStub(std::string& pdf, UriFormFixes& fixes);

}  // namespace tool
