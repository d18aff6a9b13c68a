// Normalising with libqpdf: libqpdf writes the file, our own code puts the
// marked URIs in the stub's form and our own engine verifies the result.
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include <map>

#include "branding/items.h"
#include "branding/rewrite.h"
#include "branding/xref.h"
#include "tools/brandpdf/lint.h"
#include "tools/brandpdf/linkview.h"
#include "tools/brandpdf/normalize.h"
#include "tools/brandpdf/pdfstring.h"
#include "tools/brandpdf/uriform.h"

namespace tool {

namespace {

constexpr int kMaxDepth = 64;

// Decodes the separators of every marked URI string inside one indirect object.
int DecodeIn(QPDFObjectHandle h, int depth) {
  if (depth > kMaxDepth) return 0;
  if (h.isStream()) h = h.getDict();
  int changed = 0;
  if (h.isArray()) {
    for (auto& item : h.getArrayAsVector())
      if (!item.isIndirect()) changed += DecodeIn(item, depth + 1);
    return changed;
  }
  if (!h.isDictionary()) return 0;
  if (h.hasKey("/URI") && h.getKey("/URI").isString()) {
    std::string value = h.getKey("/URI").getStringValue();
    std::string decoded = pdfstr::DecodeSeparators(value);
    if (decoded != value) h.replaceKey("/URI", QPDFObjectHandle::newString(decoded)), ++changed;
  }
  for (auto& [key, item] : h.getDictAsMap())
    if (!item.isIndirect()) changed += DecodeIn(item, depth + 1);
  return changed;
}

// One revision, no object streams, a classic table, stream data as it was.
std::string WriteWithQpdf(std::string_view doc, const NormalizeOptions& options, int& decoded) {
  QPDF pdf;
  pdf.setSuppressWarnings(true);
  pdf.processMemoryFile("document", doc.data(), doc.size());
  decoded = 0;
  if (options.decodeSeparators)
    for (auto& object : pdf.getAllObjects()) decoded += DecodeIn(object, 0);
  QPDFWriter writer(pdf);
  writer.setOutputMemory();
  writer.setObjectStreamMode(qpdf_o_disable);
  writer.setCompressStreams(false);
  writer.setDecodeLevel(qpdf_dl_none);
  writer.setPreserveEncryption(false);
  writer.setDeterministicID(true);
  writer.write();
  auto buffer = writer.getBufferSharedPointer();
  return std::string(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
}

// Links per matching key, as libqpdf sees them.
std::map<std::string, int> CountLinks(const LinkView& view, bool decode) {
  std::map<std::string, int> count;
  for (const MarkedLink& link : view.links) {
    if (!link.reachable) continue;  // the writer leaves out what nothing refers to
    std::string value = decode ? pdfstr::DecodeSeparators(link.value) : link.value;
    ++count[pdfstr::MatchKey(pdfstr::KeyAt(value, pdfstr::FindMarker(value)))];
  }
  return count;
}

brand::Status SameLinks(const std::map<std::string, int>& expected, const Report& normalized) {
  if (expected == normalized.seen) return brand::Status::Ok();
  std::string differ;
  for (auto& [key, n] : expected) {
    auto seen = normalized.seen.find(key);
    int got = seen == normalized.seen.end() ? 0 : seen->second;
    if (got != n) differ += "\n  " + key + ": " + std::to_string(n) + " in the original, " + std::to_string(got) + " seen";
  }
  for (auto& [key, n] : normalized.seen)
    if (!expected.count(key)) differ += "\n  " + key + ": none in the original, " + std::to_string(n) + " seen";
  return brand::Status::Fail("after normalising, the stub does not see the links the original holds:" + differ);
}

// Brands with sample answers; the result must pass libqpdf's check and keep
// every URI action, none of them still marked.
brand::Status TrialBranding(const std::string& pdf, const std::vector<std::string>& keys, int uriActions) {
  std::vector<std::string> answers;
  for (size_t i = 0; i < keys.size(); ++i) answers.push_back("trial" + std::to_string(i + 1));
  std::string branded;
  brand::Status status = brand::BrandDocument(pdf, keys, answers, branded);
  if (status) status = CheckPdf(branded);
  LinkView view;
  if (status) status = ViewLinks(branded, view);
  if (status && (!view.links.empty() || view.uriActions != uriActions))
    status = brand::Status::Fail(std::to_string(view.links.size()) + " links keep their marker");
  return status ? status : brand::Status::Fail("a trial branding of the normalised PDF fails: " + status.message());
}

std::vector<std::string> Notes(std::string_view doc, const LinkView& view, int decoded) {
  Report before = LintDocument(doc);
  brand::Status xref = brand::CheckXref(brand::FindXref(doc));
  std::vector<std::string> notes;
  int compressed = 0, hidden = 0, unused = 0;
  for (const MarkedLink& link : view.links) compressed += link.inObjectStream && link.reachable, unused += !link.reachable;
  for (auto& [key, n] : before.hiddenForms) hidden += n;
  if (view.encrypted) notes.push_back("removed the encryption");
  if (xref.message() == brand::kIncrementalUpdates) notes.push_back("merged the revisions into one");
  if (xref.message() == brand::kNoXrefTable || xref.message() == brand::kNoStartXref)
    notes.push_back("wrote a classic cross-reference table");
  if (compressed) notes.push_back("took " + std::to_string(compressed) + " marked links out of object streams");
  if (hidden) notes.push_back("wrote " + std::to_string(hidden) + " marked links as \"/URI(\" literal strings");
  if (unused) notes.push_back("left out " + std::to_string(unused) + " marked links in objects nothing refers to");
  if (decoded) notes.push_back("decoded %7E/%5E in " + std::to_string(decoded) + " marked links");
  return notes;
}

}  // namespace

bool NormalizeAvailable() { return true; }

brand::Status NormalizePdf(std::string_view doc, const NormalizeOptions& options, std::string& out,
                           std::vector<std::string>& notes) {
  LinkView before;
  brand::Status status = ViewLinks(doc, before);
  if (!status) return status;
  if (before.links.empty()) return brand::Status::Fail("no link of this PDF carries the link marker, even as libqpdf reads it");
  std::string pdf;
  int decoded = 0;
  try {
    pdf = WriteWithQpdf(doc, options, decoded);
  } catch (const std::exception& e) {
    return brand::Status::Fail(std::string("libqpdf cannot rewrite it: ") + e.what());
  }
  UriFormFixes fixes;
  if (!(status = WriteUrisForStub(pdf, fixes))) return brand::Status::Fail("normalising failed: " + status.message());
  Report after = LintDocument(pdf);
  if (!after.verdict) return brand::Status::Fail("the stub still refuses the normalised PDF: " + after.verdict.message());
  if (!(status = SameLinks(CountLinks(before, options.decodeSeparators), after))) return status;
  if (!(status = CheckPdf(pdf))) return brand::Status::Fail("the normalised PDF fails libqpdf's check: " + status.message());
  std::vector<std::string> keys;
  for (const Question& q : after.questions) keys.push_back(q.key);
  LinkView written;
  if (!(status = ViewLinks(pdf, written))) return status;
  if (!(status = TrialBranding(pdf, keys, written.uriActions))) return status;
  notes = Notes(doc, before, decoded);
  out = std::move(pdf);
  return brand::Status::Ok();
}

}  // namespace tool
