// The link view for builds without libqpdf (the Windows tool).
#include "tools/brandpdf/linkview.h"

namespace tool {

namespace {
const char kNeedsQpdf[] = "this build of brandpdf reads PDFs without libqpdf; use the Linux build";
}  // namespace

bool LinkViewAvailable() { return false; }

brand::Status ViewLinks(std::string_view, LinkView&) { return brand::Status::Fail(kNeedsQpdf); }

brand::Status CheckPdf(std::string_view) { return brand::Status::Fail(kNeedsQpdf); }

}  // namespace tool
