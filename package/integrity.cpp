#include "package/integrity.h"

#include <cstring>

#include "package/layout.h"
#include "package/package.h"

namespace pkg {

const char kBrandingCheckFailure[] = "Branding check failure (software corrupted)";

namespace {

constexpr char kSignature[8] = {'B', 'P', 'B', 'R', 'A', 'N', 'D', '1'};
constexpr size_t kPayloadAt = BP_MARKER_LENGTH;
constexpr size_t kCrcAt = kPayloadAt + BP_BRANDING_PAYLOAD - 4;  // last four payload bytes
constexpr size_t kNoteAt = kPayloadAt + 16;
constexpr size_t kNoteMax = 256;

bool AsBuilt(const unsigned char* block) {
  const unsigned char* slot = block + kPayloadAt;
  for (int s = 0; s < BP_BRANDING_SLOTS; ++s, slot += BP_BRANDING_SLOT) {
    for (int i = 0; i < BP_BRANDING_SLOT - 1; ++i)
      if (slot[i] != "1234567890"[i % 10]) return false;
    if (slot[BP_BRANDING_SLOT - 1] != 0) return false;
  }
  return true;
}

uint32_t BlockCrc(const unsigned char* block) {
  uint32_t crc = Crc32(block, kCrcAt);
  return Crc32(block + kCrcAt + 4, BP_BRANDING_BLOCK - kCrcAt - 4, crc);
}

}  // namespace

uint32_t Crc32(const unsigned char* bytes, size_t length, uint32_t crc) {
  crc = ~crc;
  for (size_t i = 0; i < length; ++i) {
    crc ^= bytes[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

bool BrandingRecordIntact(const unsigned char* block) {
  if (AsBuilt(block)) return true;
  if (std::memcmp(block + kPayloadAt, kSignature, sizeof kSignature) != 0) return false;
  return static_cast<uint32_t>(ReadInt32(block + kCrcAt)) == BlockCrc(block);
}

void FillBrandingRecord(unsigned char* block, int32_t documentLength, std::string_view note) {
  std::memset(block + kPayloadAt, 0, BP_BRANDING_PAYLOAD);
  std::memcpy(block + kPayloadAt, kSignature, sizeof kSignature);
  WriteInt32(block + kPayloadAt + 8, 1);  // format version
  WriteInt32(block + kPayloadAt + 12, documentLength);
  std::memcpy(block + kNoteAt, note.data(), note.size() < kNoteMax ? note.size() : kNoteMax - 1);
  WriteInt32(block + kCrcAt, static_cast<int32_t>(BlockCrc(block)));
}

}  // namespace pkg
