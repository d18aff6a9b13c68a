// Builds small, valid classic-xref PDFs for tests: one page with a link
// annotation per URI string given, offsets recorded exactly.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace testpdf {

// `uris` are the raw bytes between "/URI(" and ")" (written as given).
inline std::string MakePdf(const std::vector<std::string>& uris, const std::string& eol = "\n") {
  std::vector<std::string> objects;
  std::string annots;
  for (size_t i = 0; i < uris.size(); ++i) annots += std::to_string(4 + i) + " 0 R ";
  objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
  objects.push_back("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Annots [" + annots + "] >>");
  for (size_t i = 0; i < uris.size(); ++i)
    objects.push_back("<< /Type /Annot /Subtype /Link /Rect [72 " + std::to_string(700 - 20 * i) +
                      " 300 " + std::to_string(715 - 20 * i) + "] /Border [0 0 0] /A << /S /URI /URI(" + uris[i] +
                      ") >> >>");
  std::string pdf = "%PDF-1.4" + eol + "%\xE2\xE3\xCF\xD3" + eol;
  std::vector<size_t> offsets;
  for (size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj" + eol + objects[i] + eol + "endobj" + eol;
  }
  size_t xref = pdf.size();
  pdf += "xref" + eol + "0 " + std::to_string(objects.size() + 1) + eol + "0000000000 65535 f\r\n";
  char entry[32];
  for (size_t off : offsets) {
    std::snprintf(entry, sizeof entry, "%010zu 00000 n\r\n", off);
    pdf += entry;
  }
  pdf += "trailer" + eol + "<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>" + eol;
  pdf += "startxref" + eol + std::to_string(xref) + eol + "%%EOF" + eol;
  return pdf;
}

}  // namespace testpdf
