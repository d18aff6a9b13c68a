// Damaged and hostile packages, read as the publisher tool reads a file: each
// gets the stub's message or a clear one of ours, never a read outside the file.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "branding/items.h"
#include "package/package.h"
#include "tests/pdf_builder.h"
#include "tools/brandpdf/input.h"

namespace {

constexpr size_t kRecordAt = 2;  // behind "MZ"

// "MZ", a filled package record, a little image, then the document.
std::string Package(const std::string& document) {
  std::string block(BP_PACKAGE_BLOCK, '\0');
  block.replace(0, BP_MARKER_LENGTH, BP_PACKAGE_MARKER);
  block.replace(BP_MARKER_LENGTH + BP_PACKAGE_PAYLOAD, BP_MARKER_LENGTH, BP_PACKAGE_MARKER);
  std::string image = "MZ" + block + "image";
  auto* record = reinterpret_cast<unsigned char*>(&image[kRecordAt]);
  pkg::WriteInt32(record + BP_HAS_DOCUMENT_AT, 1);
  pkg::WriteInt32(record + BP_DOCUMENT_OFFSET_AT, static_cast<int32_t>(image.size()));
  pkg::WriteInt32(record + BP_DOCUMENT_LENGTH_AT, static_cast<int32_t>(document.size()));
  std::memcpy(record + BP_DOCUMENT_NAME_AT, "Offer.pdf", 9);
  return image + document;
}

void SetField(std::string& image, size_t field, int64_t value) {
  pkg::WriteInt32(reinterpret_cast<unsigned char*>(&image[kRecordAt + field]), static_cast<int32_t>(value));
}

// What the tool reports for a file: the message of the read or the scan, or
// "" when items were found.
std::string Outcome(const std::string& bytes, tool::Input& input) {
  std::string path = ::testing::TempDir() + "hostile-package.exe";
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  brand::Status status = tool::ReadInput(path, input);
  std::vector<std::string> keys;
  if (status) status = brand::ScanBrandableItems(input.document, keys);
  return status.message();
}

}  // namespace

TEST(HostilePackages, EachGetsAClearOutcome) {
  const std::string pdf = testpdf::MakePdf({"xxlink=ID~XXXX"});
  const std::string good = Package(pdf);
  const int64_t size = static_cast<int64_t>(good.size());
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
    std::string message;  // "" when the document's items are found
  } cases[] = {
      {"as packed", [](std::string&) {}, ""},
      // Cut before the trailer the record is not found; the bytes are then no brandable pdf.
      {"cut inside the first marker", [](std::string& p) { p.resize(kRecordAt + 30); }, brand::kNotBrandable},
      {"cut before the trailer", [](std::string& p) { p.resize(kRecordAt + 5000); }, brand::kNotBrandable},
      {"cut inside the trailer's zeros", [](std::string& p) { p.resize(kRecordAt + BP_PACKAGE_BLOCK - 2); },
       brand::kNotBrandable},
      {"cut right after the record", [](std::string& p) { p.resize(kRecordAt + BP_PACKAGE_BLOCK); },
       pkg::kDocumentOutside},
      {"cut inside the document", [](std::string& p) { p.resize(p.size() - 10); }, pkg::kDocumentOutside},
      {"offset INT32_MIN", [](std::string& p) { SetField(p, BP_DOCUMENT_OFFSET_AT, INT32_MIN); },
       pkg::kDocumentOutside},
      {"length INT32_MIN", [](std::string& p) { SetField(p, BP_DOCUMENT_LENGTH_AT, INT32_MIN); },
       pkg::kDocumentOutside},
      {"offset and length INT32_MAX",
       [](std::string& p) {
         SetField(p, BP_DOCUMENT_OFFSET_AT, INT32_MAX);
         SetField(p, BP_DOCUMENT_LENGTH_AT, INT32_MAX);
       },
       pkg::kDocumentOutside},
      {"empty region one past the end",
       [&](std::string& p) {
         SetField(p, BP_DOCUMENT_OFFSET_AT, size + 1);
         SetField(p, BP_DOCUMENT_LENGTH_AT, 0);
       },
       pkg::kDocumentOutside},
      // Regions inside the file are taken as they are, even over the record itself.
      {"the whole file, record included",
       [&](std::string& p) {
         SetField(p, BP_DOCUMENT_OFFSET_AT, 0);
         SetField(p, BP_DOCUMENT_LENGTH_AT, size);
       },
       ""},
      {"a region inside the record", [](std::string& p) { SetField(p, BP_DOCUMENT_OFFSET_AT, kRecordAt); }, brand::kNotBrandable},
      {"document length 0", [](std::string& p) { SetField(p, BP_DOCUMENT_LENGTH_AT, 0); }, brand::kNotBrandable},
      {"empty region at the end",
       [&](std::string& p) {
         SetField(p, BP_DOCUMENT_OFFSET_AT, size);
         SetField(p, BP_DOCUMENT_LENGTH_AT, 0);
       },
       brand::kNotBrandable},
  };
  for (const Case& c : cases) {
    std::string bytes = good;
    c.damage(bytes);
    tool::Input input;
    EXPECT_EQ(Outcome(bytes, input), c.message) << c.what;
  }
  // What succeeds is copied exactly, and the name is read up to its zero.
  tool::Input input;
  Outcome(good, input);
  EXPECT_EQ(input.document, pdf);
  EXPECT_EQ(input.name, "Offer.pdf");
  std::string longName = good;
  longName.replace(kRecordAt + BP_DOCUMENT_NAME_AT, BP_DOCUMENT_NAME_SIZE - 1, BP_DOCUMENT_NAME_SIZE - 1, 'n');
  Outcome(longName, input);
  EXPECT_EQ(input.name, std::string(BP_DOCUMENT_NAME_SIZE - 1, 'n'));
}
