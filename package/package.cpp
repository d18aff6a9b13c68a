#include "package/package.h"

#include <cstring>
#include <utility>

namespace pkg {

const char kStubNotMerged[] = "Stub not merged with any HTML/image files";
const char kNoPdfInPackage[] = "There is no pdf file in the package";
const char kUnableToRead[] = "Unable to read file: %s";
const char kExePathUnknown[] = "Windows Error - cannot determine Zediver Odaruvaz file path \n\nHelp path is: %s";
const char kDocumentOutside[] = "The package is damaged: its pdf file does not lie inside the package file";
const char kNameUnterminated[] = "The package is damaged: the name of its pdf file has no end";

int32_t ReadInt32(const unsigned char* at) {
  uint32_t v = uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
  return static_cast<int32_t>(v);
}

void WriteInt32(unsigned char* at, int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(v >> (8 * i));
}

PackageRecord DecodePackageRecord(const unsigned char* block) {
  PackageRecord r;
  r.unfilled = std::memcmp(block + BP_PLACEHOLDER_AT, BP_PLACEHOLDER, BP_PLACEHOLDER_LENGTH) == 0;
  r.hasDocument = ReadInt32(block + BP_HAS_DOCUMENT_AT);
  r.documentOffset = ReadInt32(block + BP_DOCUMENT_OFFSET_AT);
  r.documentLength = ReadInt32(block + BP_DOCUMENT_LENGTH_AT);
  r.nameField = std::string_view(reinterpret_cast<const char*>(block + BP_DOCUMENT_NAME_AT), BP_DOCUMENT_NAME_SIZE);
  return r;
}

Status CheckPackageRecord(const PackageRecord& record) {
  if (record.unfilled) return Status::Fail(kStubNotMerged);
  if (record.hasDocument == 0) return Status::Fail(kNoPdfInPackage);
  return Status::Ok();
}

Status LocateDocument(const PackageRecord& record, size_t fileSize, std::string& name, size_t& offset,
                      size_t& length) {
  const int64_t start = record.documentOffset;
  const int64_t count = record.documentLength;
  if (start < 0 || count < 0 || start + count > static_cast<int64_t>(fileSize)) return Status::Fail(kDocumentOutside);
  size_t end = record.nameField.find('\0');
  if (end == std::string_view::npos) return Status::Fail(kNameUnterminated);
  name.assign(record.nameField.substr(0, end));
  offset = static_cast<size_t>(start);
  length = static_cast<size_t>(count);
  return Status::Ok();
}

Status ExtractDocument(const PackageRecord& record, std::string fileBytes, std::string& name, std::string& document) {
  size_t offset = 0, length = 0;
  if (Status status = LocateDocument(record, fileBytes.size(), name, offset, length); !status) return status;
  // The file image becomes the document: one move of its bytes, no second buffer.
  fileBytes.erase(0, offset);
  fileBytes.resize(length);
  document = std::move(fileBytes);
  return Status::Ok();
}

std::optional<size_t> FindRecord(std::string_view image, const char* marker, size_t payload) {
  std::string_view m(marker, BP_MARKER_LENGTH);
  size_t first = image.find(m);
  if (first == std::string_view::npos) return std::nullopt;
  size_t second = image.find(m, first + 1);
  if (second != first + BP_MARKER_LENGTH + payload) return std::nullopt;
  if (image.find(m, second + 1) != std::string_view::npos) return std::nullopt;
  if (image.size() < second + BP_TRAILER_LENGTH) return std::nullopt;
  return first;
}

}  // namespace pkg
