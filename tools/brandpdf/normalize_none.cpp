// Normalising in builds without libqpdf: it says where to find it.
#include "tools/brandpdf/normalize.h"

namespace tool {

bool NormalizeAvailable() { return false; }

brand::Status NormalizePdf(std::string_view, const NormalizeOptions&, std::string&, std::vector<std::string>&) {
  return brand::Status::Fail(
      "normalising needs libqpdf, which this Windows build of brandpdf does not include; run "
      "`brandpdf normalize` (or `pack --normalize`) with the Linux build");
}

}  // namespace tool
