// Small classic-table PDFs for the publisher tests: one page, one link
// annotation per URI entry (the raw text after "/S /URI "), optional page text.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace pubtest {

inline std::string SmallPdf(const std::vector<std::string>& uriEntries, const std::string& pageText = "") {
  std::vector<std::string> objects;
  std::string annots;
  for (size_t i = 0; i < uriEntries.size(); ++i) annots += std::to_string(5 + i) + " 0 R ";
  std::string content = "BT /F1 12 Tf 72 720 Td (" + pageText + ") Tj ET";
  objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
  objects.push_back("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R /Annots [" + annots + "] >>");
  objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream");
  for (size_t i = 0; i < uriEntries.size(); ++i)
    objects.push_back("<< /Type /Annot /Subtype /Link /Rect [72 " + std::to_string(700 - 20 * i) + " 300 " +
                      std::to_string(715 - 20 * i) + "] /A << /S /URI " + uriEntries[i] + " >> >>");
  std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f\r\n";
  char entry[32];
  for (size_t off : offsets) {
    std::snprintf(entry, sizeof entry, "%010zu 00000 n\r\n", off);
    pdf += entry;
  }
  pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\n";
  return pdf + "startxref\n" + std::to_string(xref) + "\n%%EOF\n";
}

}  // namespace pubtest
