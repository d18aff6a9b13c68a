// Fuzz target: a file as the publisher tool reads it. The bytes are searched
// for the package record; when one is found it is decoded, checked and its
// document extracted. A second record, built around fields taken from the
// input's first bytes, reaches the extraction without the fuzzer having to
// rebuild two 60-byte markers 10160 bytes apart.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/check.h"
#include "package/package.h"

namespace {

void ReadPackage(std::string bytes) {
  auto at = pkg::FindRecord(bytes, BP_PACKAGE_MARKER, BP_PACKAGE_PAYLOAD);
  if (!at) return;
  FUZZ_CHECK(bytes.size() >= *at + BP_PACKAGE_BLOCK);
  const std::string original = bytes;
  auto record = pkg::DecodePackageRecord(reinterpret_cast<const unsigned char*>(bytes.data()) + *at);
  if (!pkg::CheckPackageRecord(record)) return;
  std::string name, document;
  brand::Status status = pkg::ExtractDocument(record, std::move(bytes), name, document);
  if (!status) {
    FUZZ_CHECK(status.message() == pkg::kDocumentOutside || status.message() == pkg::kNameUnterminated);
    return;
  }
  // Exactly the recorded region, and the name up to its zero.
  FUZZ_CHECK(record.documentOffset >= 0 && record.documentLength >= 0);
  FUZZ_CHECK(document == original.substr(record.documentOffset, record.documentLength));
  FUZZ_CHECK(name.find('\0') == std::string::npos && name.size() < BP_DOCUMENT_NAME_SIZE);
  FUZZ_CHECK(original.compare(*at + BP_DOCUMENT_NAME_AT, name.size() + 1, name.c_str(), name.size() + 1) == 0);
}

// "MZ", a package record block, then the rest of the input. Input layout:
// hasDocument, offset, length (4 bytes each), a control byte, then name bytes.
// Control: low 7 bits the name length; bit 7 takes offset and length raw, else
// they are folded into the file's size so most regions are near the edges.
std::string FramedImage(const uint8_t* data, size_t size) {
  std::string block(BP_PACKAGE_BLOCK, '\0');
  auto* b = reinterpret_cast<unsigned char*>(&block[0]);
  std::memcpy(b, BP_PACKAGE_MARKER, BP_MARKER_LENGTH);
  std::memcpy(b + BP_MARKER_LENGTH + BP_PACKAGE_PAYLOAD, BP_PACKAGE_MARKER, BP_MARKER_LENGTH);
  std::memcpy(b + BP_HAS_DOCUMENT_AT, data, 4);
  const uint8_t control = data[12];
  size_t nameLength = std::min<size_t>(control & 0x7F, size - 13);
  std::memcpy(b + BP_DOCUMENT_NAME_AT, data + 13, nameLength);
  if (nameLength == 0x7F) std::memset(b + BP_DOCUMENT_NAME_AT, 'n', BP_DOCUMENT_NAME_SIZE);  // no zero at all
  std::string image = "MZ" + block;
  image.append(reinterpret_cast<const char*>(data + 13 + nameLength), size - 13 - nameLength);
  int32_t offset = pkg::ReadInt32(data + 4), length = pkg::ReadInt32(data + 8);
  if (!(control & 0x80)) {
    const int64_t span = static_cast<int64_t>(image.size()) + 2;
    offset = static_cast<int32_t>((static_cast<int64_t>(offset) % span + span) % span - 1);
    length = static_cast<int32_t>((static_cast<int64_t>(length) % span + span) % span - 1);
  }
  pkg::WriteInt32(reinterpret_cast<unsigned char*>(&image[2]) + BP_DOCUMENT_OFFSET_AT, offset);
  pkg::WriteInt32(reinterpret_cast<unsigned char*>(&image[2]) + BP_DOCUMENT_LENGTH_AT, length);
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadPackage(std::string(reinterpret_cast<const char*>(data), size));
  if (size >= 13) ReadPackage(FramedImage(data, size));
  return 0;
}
