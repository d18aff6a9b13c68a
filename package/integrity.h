// The start-up integrity check of the branding record. A record as the stub is
// built passes; a record the publisher tool filled carries a CRC-32 of the whole
// block, so any changed byte of it fails. It guards against damage and casual
// edits, not against someone who recomputes the checksum.
#pragma once

#include <cstdint>
#include <string_view>

namespace pkg {

extern const char kBrandingCheckFailure[];

uint32_t Crc32(const unsigned char* bytes, size_t length, uint32_t crc = 0);

// Whether a branding record block (BP_BRANDING_BLOCK bytes) is as built or
// filled and unchanged.
bool BrandingRecordIntact(const unsigned char* block);

// Fills a branding record block: a signature, the packed document's length,
// a short note of what made it, and the checksum over everything else.
void FillBrandingRecord(unsigned char* block, int32_t documentLength, std::string_view note);

}  // namespace pkg
