// Package access: the package record, the document it points to, and how the
// publisher tool finds records in an executable file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "branding/status.h"
#include "package/layout.h"

namespace pkg {

using brand::Status;

extern const char kStubNotMerged[];
extern const char kNoPdfInPackage[];
extern const char kUnableToRead[];      // one "%s": the package path
extern const char kExePathUnknown[];    // one "%s": the help-file path
extern const char kDocumentOutside[];
extern const char kNameUnterminated[];

// The fields of a package record block (BP_PACKAGE_BLOCK bytes).
struct PackageRecord {
  bool unfilled = false;  // the 50 bytes at offset 160 are the placeholder
  int32_t hasDocument = 0;
  int32_t documentOffset = 0;
  int32_t documentLength = 0;
  std::string_view nameField;  // the whole name field, up to the trailer
};

PackageRecord DecodePackageRecord(const unsigned char* block);

// The checks made before any file is opened: a filled record with a document.
Status CheckPackageRecord(const PackageRecord& record);

// Where the document lies in a package file of `fileSize` bytes, and its name.
// Refuses a record whose region does not lie inside the file or whose name has
// no zero.
Status LocateDocument(const PackageRecord& record, size_t fileSize, std::string& name, size_t& offset,
                      size_t& length);

// Takes the document out of the package file's bytes (moved in, so the bytes
// are copied once and the file image is gone afterwards) and its name. Refuses
// a record whose region does not lie inside the file or whose name has no zero.
Status ExtractDocument(const PackageRecord& record, std::string fileBytes, std::string& name, std::string& document);

// Where a record begins in an executable image: its marker must occur exactly
// twice, at the record's start and in its trailer `payload` bytes later.
std::optional<size_t> FindRecord(std::string_view image, const char* marker, size_t payload);

// Little-endian 32-bit fields.
int32_t ReadInt32(const unsigned char* at);
void WriteInt32(unsigned char* at, int32_t value);

}  // namespace pkg
