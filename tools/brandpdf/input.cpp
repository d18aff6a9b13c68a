#include "tools/brandpdf/input.h"

#include "framework/cstring.h"
#include "framework/fileio.h"
#include "package/package.h"

namespace tool {

std::string WithPath(const char* format, const std::string& path) {
  return CString::FormatOne(format, path.c_str()).str();
}

brand::Status FindDocument(std::string_view file, bool& isPackage, std::string& name, size_t& offset,
                           size_t& length) {
  auto at = pkg::FindRecord(file, BP_PACKAGE_MARKER, BP_PACKAGE_PAYLOAD);
  isPackage = at.has_value();
  if (!isPackage) {
    offset = 0;
    length = file.size();
    return brand::Status::Ok();
  }
  auto record = pkg::DecodePackageRecord(reinterpret_cast<const unsigned char*>(file.data()) + *at);
  if (auto status = pkg::CheckPackageRecord(record); !status) return status;
  return pkg::LocateDocument(record, file.size(), name, offset, length);
}

brand::Status ReadInput(const std::string& path, Input& input) {
  std::string bytes;
  try {
    bytes = fileio::ReadAll(path.c_str());
  } catch (const CException&) {
    return brand::Status::Fail(WithPath(pkg::kUnableToRead, path));
  }
  size_t offset = 0, length = 0;
  input = Input{};
  if (auto status = FindDocument(bytes, input.isPackage, input.name, offset, length); !status) return status;
  // The file's bytes become the document: moved into place, not copied.
  bytes.erase(0, offset);
  bytes.resize(length);
  input.document = std::move(bytes);
  return brand::Status::Ok();
}

}  // namespace tool
