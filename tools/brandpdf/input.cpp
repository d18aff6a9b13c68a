#include "tools/brandpdf/input.h"

#include "framework/cstring.h"
#include "framework/fileio.h"
#include "package/package.h"

namespace tool {

std::string WithPath(const char* format, const std::string& path) {
  return CString::FormatOne(format, path.c_str()).str();
}

brand::Status ReadInput(const std::string& path, Input& input) {
  std::string bytes;
  try {
    bytes = fileio::ReadAll(path.c_str());
  } catch (const CException&) {
    return brand::Status::Fail(WithPath(pkg::kUnableToRead, path));
  }
  auto at = pkg::FindRecord(bytes, BP_PACKAGE_MARKER, BP_PACKAGE_PAYLOAD);
  if (!at) {
    input = Input{false, std::move(bytes), {}};
    return brand::Status::Ok();
  }
  auto record = pkg::DecodePackageRecord(reinterpret_cast<const unsigned char*>(bytes.data()) + *at);
  if (auto status = pkg::CheckPackageRecord(record); !status) return status;
  std::string name;  // the record views the bytes; take the name before they move
  brand::Status status = pkg::ExtractDocument(record, std::move(bytes), name, input.document);
  input.isPackage = true;
  input.name = std::move(name);
  return status;
}

}  // namespace tool
