// The document as a PDF reader sees it, through libqpdf: every URI action whose
// string carries the link marker, wherever it is stored. Builds without
// libqpdf (the Windows tool) get a version that says it is not available.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "branding/status.h"

namespace tool {

struct MarkedLink {
  std::string value;            // the decoded URI string
  int object = 0;               // the indirect object that holds it
  bool inObjectStream = false;  // stored compressed, inside an object stream
  bool reachable = true;        // referred to from the document (a rewrite keeps it)
};

struct LinkView {
  bool encrypted = false;
  int uriActions = 0;                // URI actions with a string, marked or not
  std::vector<MarkedLink> links;     // in object number order
  std::vector<std::string> damage;   // libqpdf's warnings while reading
};

// Whether this build reads PDFs with libqpdf.
bool LinkViewAvailable();

// Reads the document with libqpdf; fails with libqpdf's own words when it cannot.
brand::Status ViewLinks(std::string_view doc, LinkView& view);

// What `qpdf --check` checks: the structure reads without repair, every stream
// decodes and the page tree is sound. Fails with libqpdf's first complaint.
brand::Status CheckPdf(std::string_view doc);

}  // namespace tool
