#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "package/integrity.h"
#include "package/package.h"
#include "tests/pdf_builder.h"

namespace {

// A copy of a record block as the stub is built.
std::string AsBuilt(int index, size_t size) {
  return std::string(reinterpret_cast<const char*>(bp_record_table[index]), size);
}

unsigned char* U(std::string& s, size_t at = 0) { return reinterpret_cast<unsigned char*>(&s[at]); }

// A filled package record followed by `document` at the end of a file image.
std::string PackageImage(const std::string& document, const std::string& name) {
  std::string image = "MZ-stub-" + AsBuilt(2, BP_PACKAGE_BLOCK) + "-tail";
  unsigned char* record = U(image, 8);
  pkg::WriteInt32(record + BP_HAS_DOCUMENT_AT, 1);
  pkg::WriteInt32(record + BP_DOCUMENT_OFFSET_AT, static_cast<int32_t>(image.size()));
  pkg::WriteInt32(record + BP_DOCUMENT_LENGTH_AT, static_cast<int32_t>(document.size()));
  std::memset(record + BP_DOCUMENT_NAME_AT, 0, BP_DOCUMENT_NAME_SIZE);
  std::memcpy(record + BP_DOCUMENT_NAME_AT, name.data(), name.size());
  return image + document;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(Records, AsBuiltLayout) {
  std::string package = AsBuilt(2, BP_PACKAGE_BLOCK);
  EXPECT_EQ(package.substr(0, 60), BP_PACKAGE_MARKER);
  EXPECT_EQ(package.substr(10160, 60), BP_PACKAGE_MARKER);
  EXPECT_EQ(package.substr(10220, 4), std::string(4, '\0'));
  EXPECT_EQ(package.substr(160, 50), BP_PLACEHOLDER);
  std::string reserved = AsBuilt(1, BP_RESERVED_BLOCK);
  EXPECT_EQ(reserved.substr(0, 60), BP_RESERVED_MARKER);
  EXPECT_EQ(reserved.substr(60, 1000), std::string(1000, '\0'));
  EXPECT_EQ(reserved.substr(1060, 60), BP_RESERVED_MARKER);
  std::string branding = AsBuilt(0, BP_BRANDING_BLOCK);
  EXPECT_EQ(branding.substr(0, 60), BP_BRANDING_MARKER);
  std::string slot;
  while (slot.size() < 99) slot += "1234567890";
  slot.resize(99);
  slot += '\0';
  for (size_t i = 0; i < 30; ++i) EXPECT_EQ(branding.substr(60 + 100 * i, 100), slot) << "slot " << i;
  EXPECT_EQ(branding.substr(3060, 60), BP_BRANDING_MARKER);
  // One after another: package, reserved, branding.
  EXPECT_EQ(bp_record_table[1], bp_record_table[2] + BP_PACKAGE_BLOCK);
  EXPECT_EQ(bp_record_table[0], bp_record_table[1] + BP_RESERVED_BLOCK);
}

TEST(PackageRecord, PlaceholderHasDocumentAndRegionChecks) {
  std::string record = AsBuilt(2, BP_PACKAGE_BLOCK);
  EXPECT_EQ(pkg::CheckPackageRecord(pkg::DecodePackageRecord(U(record))).message(), pkg::kStubNotMerged);
  record[160 + 49] = 'x';  // 49 equal bytes: a filled record
  EXPECT_FALSE(pkg::DecodePackageRecord(U(record)).unfilled);
  EXPECT_EQ(pkg::CheckPackageRecord(pkg::DecodePackageRecord(U(record))).message(), pkg::kNoPdfInPackage);
  pkg::WriteInt32(U(record, BP_HAS_DOCUMENT_AT), -7);  // any non-zero value holds a document
  EXPECT_TRUE(pkg::CheckPackageRecord(pkg::DecodePackageRecord(U(record))).ok());
}

TEST(PackageRecord, ExtractsExactlyTheRecordedRegion) {
  std::string image = PackageImage("%PDF-1.4 body", "Offer.pdf");
  std::string name, document;
  auto record = pkg::DecodePackageRecord(U(image, 8));
  ASSERT_TRUE(pkg::ExtractDocument(record, image, name, document).ok());
  EXPECT_EQ(name, "Offer.pdf");
  EXPECT_EQ(document, "%PDF-1.4 body");

  // A region inside the file rather than at its end, and an empty one.
  pkg::WriteInt32(U(image, 8 + BP_DOCUMENT_OFFSET_AT), 3);
  pkg::WriteInt32(U(image, 8 + BP_DOCUMENT_LENGTH_AT), 4);
  ASSERT_TRUE(pkg::ExtractDocument(pkg::DecodePackageRecord(U(image, 8)), image, name, document).ok());
  EXPECT_EQ(document, "stub");
  pkg::WriteInt32(U(image, 8 + BP_DOCUMENT_LENGTH_AT), 0);
  ASSERT_TRUE(pkg::ExtractDocument(pkg::DecodePackageRecord(U(image, 8)), image, name, document).ok());
  EXPECT_EQ(document, "");
}

TEST(PackageRecord, RefusesRegionsOutsideTheFileAndNamesWithoutEnd) {
  struct Case { int32_t offset, length; } cases[] = {{-1, 5}, {0, -1}, {INT32_MAX, 1}, {10, INT32_MAX}};
  std::string image = PackageImage("%PDF", "a.pdf");
  const int32_t size = static_cast<int32_t>(image.size());
  std::string name, document;
  for (Case c : cases) {
    pkg::WriteInt32(U(image, 8 + BP_DOCUMENT_OFFSET_AT), c.offset);
    pkg::WriteInt32(U(image, 8 + BP_DOCUMENT_LENGTH_AT), c.length);
    EXPECT_EQ(pkg::ExtractDocument(pkg::DecodePackageRecord(U(image, 8)), image, name, document).message(),
              pkg::kDocumentOutside) << c.offset << "+" << c.length;
  }
  pkg::WriteInt32(U(image, 8 + BP_DOCUMENT_OFFSET_AT), size - 4);
  pkg::WriteInt32(U(image, 8 + BP_DOCUMENT_LENGTH_AT), 5);  // one byte past the end
  EXPECT_FALSE(pkg::ExtractDocument(pkg::DecodePackageRecord(U(image, 8)), image, name, document).ok());
  pkg::WriteInt32(U(image, 8 + BP_DOCUMENT_LENGTH_AT), 4);
  std::memset(U(image, 8 + BP_DOCUMENT_NAME_AT), 'n', BP_DOCUMENT_NAME_SIZE);
  EXPECT_EQ(pkg::ExtractDocument(pkg::DecodePackageRecord(U(image, 8)), image, name, document).message(),
            pkg::kNameUnterminated);
}

TEST(PackageRecord, FoundOnlyWhenItsMarkerOccursExactlyTwice) {
  std::string image = PackageImage("%PDF", "a.pdf");
  EXPECT_EQ(pkg::FindRecord(image, BP_PACKAGE_MARKER, BP_PACKAGE_PAYLOAD), 8u);
  EXPECT_FALSE(pkg::FindRecord(image + BP_PACKAGE_MARKER, BP_PACKAGE_MARKER, BP_PACKAGE_PAYLOAD));
  EXPECT_FALSE(pkg::FindRecord(image.substr(0, 100), BP_PACKAGE_MARKER, BP_PACKAGE_PAYLOAD));
  EXPECT_FALSE(pkg::FindRecord("%PDF-1.4", BP_PACKAGE_MARKER, BP_PACKAGE_PAYLOAD));
}

TEST(BrandingRecord, AsBuiltAndFilledPassAnyChangedByteFails) {
  std::string block = AsBuilt(0, BP_BRANDING_BLOCK);
  EXPECT_TRUE(pkg::BrandingRecordIntact(U(block)));
  std::string changed = block;
  changed[60 + 250] ^= 1;
  EXPECT_FALSE(pkg::BrandingRecordIntact(U(changed)));

  pkg::FillBrandingRecord(U(block), 1234, "test");
  EXPECT_TRUE(pkg::BrandingRecordIntact(U(block)));
  for (size_t at : {size_t{0}, size_t{60}, size_t{70}, size_t{1500}, size_t{3056}, size_t{3059}, size_t{3123}}) {
    std::string tampered = block;
    tampered[at] ^= 0x20;
    EXPECT_FALSE(pkg::BrandingRecordIntact(U(tampered))) << "byte " << at;
  }
}

// The built stub, packed by the publisher tool, gives back the PDF's bytes and name.
TEST(RealStub, MarkersOccurTwiceAndPackRoundTrips) {
  std::string stub = ReadFile(BRANDPDF_STUB);
  ASSERT_FALSE(stub.empty()) << "build the win32 preset first: " << BRANDPDF_STUB;
  // A 32-bit GUI program for i386, small enough to mail.
  ASSERT_GT(stub.size(), 0x200u);
  EXPECT_LE(stub.size(), 1u << 20);
  uint32_t pe = static_cast<uint8_t>(stub[0x3C]) | static_cast<uint8_t>(stub[0x3D]) << 8;
  ASSERT_EQ(stub.compare(0, 2, "MZ"), 0);
  ASSERT_EQ(stub.compare(pe, 4, std::string("PE\0\0", 4)), 0);
  EXPECT_EQ(static_cast<uint8_t>(stub[pe + 4]) | static_cast<uint8_t>(stub[pe + 5]) << 8, 0x14C);   // i386
  EXPECT_EQ(static_cast<uint8_t>(stub[pe + 24]) | static_cast<uint8_t>(stub[pe + 25]) << 8, 0x10B); // PE32
  EXPECT_EQ(static_cast<uint8_t>(stub[pe + 24 + 68]), 2);  // the Windows GUI subsystem
  for (const char* marker : {BP_PACKAGE_MARKER, BP_RESERVED_MARKER, BP_BRANDING_MARKER}) {
    size_t count = 0;
    for (size_t at = stub.find(marker); at != std::string::npos; at = stub.find(marker, at + 1)) ++count;
    EXPECT_EQ(count, 2u) << marker;
  }
  std::string dir = ::testing::TempDir() + "round-trip-" + std::to_string(::getpid()) + "-";
  std::string pdf = dir + "in.pdf", package = dir + "package.exe";
  std::string body = testpdf::MakePdf({"xxlink=Your_member_ID~https://shop.example/?ref=XXXX"});
  std::ofstream(pdf, std::ios::binary) << body;
  std::string command = std::string(BRANDPDF_TOOL) + " pack " + BRANDPDF_STUB + " " + pdf + " -o " + package +
                        " --name 'Offer 2026.pdf' >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string image = ReadFile(package);
  auto at = pkg::FindRecord(image, BP_PACKAGE_MARKER, BP_PACKAGE_PAYLOAD);
  ASSERT_TRUE(at);
  auto record = pkg::DecodePackageRecord(U(image, *at));
  EXPECT_EQ(record.documentOffset, static_cast<int32_t>(stub.size()));
  std::string name, document;
  ASSERT_TRUE(pkg::CheckPackageRecord(record).ok());
  ASSERT_TRUE(pkg::ExtractDocument(record, image, name, document).ok());
  EXPECT_EQ(document, body);
  EXPECT_EQ(name, "Offer 2026.pdf");
  auto branding = pkg::FindRecord(image, BP_BRANDING_MARKER, BP_BRANDING_PAYLOAD);
  ASSERT_TRUE(branding);
  EXPECT_TRUE(pkg::BrandingRecordIntact(U(image, *branding)));
  // A package is not a stub: packing it again is refused.
  command = std::string(BRANDPDF_TOOL) + " pack " + package + " " + pdf + " -o " + dir + "again.exe 2>/dev/null";
  EXPECT_NE(std::system(command.c_str()), 0);
}
