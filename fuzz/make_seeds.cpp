// Writes the seed corpora: small documents made with the tests' PDF builder, in
// each target's input layout. Run once by hand (scripts/fuzz seeds); the files
// it writes are kept under fuzz/corpus/<target>/ with the inputs fuzzing found.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "package/layout.h"
#include "tests/pdf_builder.h"

namespace {

std::string g_root;

void Put(const std::string& target, const std::string& name, const std::string& bytes) {
  std::ofstream(g_root + "/" + target + "/seed-" + name, std::ios::binary) << bytes;
}

std::string Le32(int32_t value) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(static_cast<uint32_t>(value) >> (8 * i));
  return s;
}

// "MZ", a filled package record, a little image, then the document.
std::string Package(const std::string& document, const std::string& name) {
  std::string block(BP_PACKAGE_BLOCK, '\0');
  block.replace(0, BP_MARKER_LENGTH, BP_PACKAGE_MARKER);
  block.replace(BP_MARKER_LENGTH + BP_PACKAGE_PAYLOAD, BP_MARKER_LENGTH, BP_PACKAGE_MARKER);
  std::string image = "MZ" + block + "image";
  block.replace(BP_HAS_DOCUMENT_AT, 4, Le32(1));
  block.replace(BP_DOCUMENT_OFFSET_AT, 4, Le32(static_cast<int32_t>(image.size())));
  block.replace(BP_DOCUMENT_LENGTH_AT, 4, Le32(static_cast<int32_t>(document.size())));
  block.replace(BP_DOCUMENT_NAME_AT, name.size(), name);
  return "MZ" + block + "image" + document;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return std::fprintf(stderr, "usage: make_seeds CORPUS_DIR\n"), 2;
  g_root = argv[1];
  const std::vector<std::pair<std::string, std::string>> pdfs = {
      {"one", testpdf::MakePdf({"xxlink=Your_member_ID~https://shop.example/join%3Fref=XXXX^https://shop.example/"})},
      {"items", testpdf::MakePdf({"xxlink=ID~a/XXXX", "lead XXLINK =id^d", "xxlink=Coupon~c/xxxx/XXXX",
                                  "xxlink=A xxlink=B~b", "https://plain.example/"})},
      {"crlf", testpdf::MakePdf({std::string("xxlink=Z\0ro~x/XXXX%20y^d", 24)}, "\r\n")},
      {"nolinks", testpdf::MakePdf({"https://plain.example/"})},
      {"open", "%PDF-1.4\n1 0 obj\n<< /A << /S /URI /URI(xxlink=open end~XXXX\nxref\n0 1\n0000000009 00000 n\r\n"
               "trailer\n<< >>\nstartxref\n40\n%%EOF\n"},
      {"twoxref", testpdf::MakePdf({"xxlink=ID~XXXX"}) + "xref\n0 1\n0000000010 00000 n\r\ntrailer\n<< >>\n"
                                                           "startxref\n9\n%%EOF\n"},
  };
  for (const auto& [name, pdf] : pdfs) {
    Put("scan", name, pdf);
    const std::string answers = std::string("A17\0www.shop.example\0(x)\\y\0", 29);
    Put("brand", name, std::string(1, static_cast<char>(answers.size())) + answers + pdf);
    Put("brand", name + "-empty", std::string(1, '\0') + pdf);
    const size_t link = pdf.find("/URI(");
    const int32_t at = link == std::string::npos ? 20 : static_cast<int32_t>(link + 5);
    Put("xref", name + "-grow", Le32(at) + Le32(40) + pdf);
    Put("xref", name + "-shrink", Le32(at) + Le32(-12) + pdf);
  }
  const std::string pdf = pdfs[0].second;
  Put("package", "pdf", pdf);
  Put("package", "package", Package(pdf, "Offer.pdf"));
  Put("package", "truncated", Package(pdf, "Offer.pdf").substr(0, BP_PACKAGE_BLOCK / 2));
  // Offset and length are folded into the file with one subtracted: these give the pdf.
  Put("package", "framed", Le32(1) + Le32(2 + BP_PACKAGE_BLOCK + 100 + 1) + Le32(static_cast<int32_t>(pdf.size() + 1)) + "\x09Offer.pdf" +
                               std::string(100, 'i') + pdf);
  return 0;
}
