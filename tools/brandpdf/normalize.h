// Normalising: any PDF libqpdf reads becomes one the stub handles fully (one
// revision, a classic cross-reference table, link actions outside compressed
// streams, marked URIs written as "/URI(" literal strings), page content untouched.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "branding/status.h"

namespace tool {

struct NormalizeOptions {
  bool decodeSeparators = false;  // "%7E" -> "~" and "%5E" -> "^" behind a link marker
};

// Whether this build can normalise (it needs libqpdf).
bool NormalizeAvailable();

// Rewrites `doc` into `out` and verifies the result: the stub finds the
// questions and links that libqpdf sees in the original, and a trial branding
// passes libqpdf's check. `notes` says what was changed, one line each.
brand::Status NormalizePdf(std::string_view doc, const NormalizeOptions& options, std::string& out,
                           std::vector<std::string>& notes);

}  // namespace tool
