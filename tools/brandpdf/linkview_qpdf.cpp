// The link view through libqpdf.
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/Pl_Discard.hh>

#include <set>

#include "tools/brandpdf/linkview.h"
#include "tools/brandpdf/pdfstring.h"

namespace tool {

namespace {

constexpr int kMaxDepth = 64;  // nesting of direct objects we follow; hostile files go deeper

struct Walk {
  LinkView& view;
  int object;
  bool inObjectStream;
};

std::string StringValue(QPDFObjectHandle s) {
  std::string value = s.getStringValue();
  if (value.size() >= 2 && value[0] == '\xFE' && value[1] == '\xFF') return s.getUTF8Value();
  return value;
}

// Visits the direct objects inside one indirect object; indirect references are
// visited as objects of their own.
void Visit(QPDFObjectHandle h, const Walk& w, int depth) {
  if (depth > kMaxDepth) return;
  if (h.isStream()) h = h.getDict();
  if (h.isArray()) {
    for (auto& item : h.getArrayAsVector())
      if (!item.isIndirect()) Visit(item, w, depth + 1);
    return;
  }
  if (!h.isDictionary()) return;
  if (h.hasKey("/URI") && h.getKey("/URI").isString()) {
    ++w.view.uriActions;
    std::string value = StringValue(h.getKey("/URI"));
    if (pdfstr::FindMarker(value) != std::string::npos) w.view.links.push_back({value, w.object, w.inObjectStream});
  }
  for (auto& [key, item] : h.getDictAsMap())
    if (!item.isIndirect()) Visit(item, w, depth + 1);
}

// Pushes the indirect objects that h refers to and that are new to `seen`.
void Children(QPDFObjectHandle h, std::vector<QPDFObjectHandle>& todo, std::set<QPDFObjGen>& seen, int depth) {
  if (depth > kMaxDepth) return;
  if (h.isStream()) h = h.getDict();
  auto follow = [&](QPDFObjectHandle item) {
    if (!item.isIndirect()) Children(item, todo, seen, depth + 1);
    else if (seen.insert(item.getObjGen()).second) todo.push_back(item);
  };
  if (h.isArray()) {
    for (auto& item : h.getArrayAsVector()) follow(item);
  } else if (h.isDictionary()) {
    for (auto& [key, item] : h.getDictAsMap()) follow(item);
  }
}

// The indirect objects the trailer leads to, directly or not.
std::set<QPDFObjGen> Reachable(QPDF& pdf) {
  std::set<QPDFObjGen> seen;
  std::vector<QPDFObjectHandle> todo{pdf.getTrailer()};
  while (!todo.empty()) {
    QPDFObjectHandle h = todo.back();
    todo.pop_back();
    Children(h, todo, seen, 0);
  }
  return seen;
}

}  // namespace

bool LinkViewAvailable() { return true; }

brand::Status ViewLinks(std::string_view doc, LinkView& view) {
  try {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processMemoryFile("document", doc.data(), doc.size());
    view = LinkView{};
    view.encrypted = pdf.isEncrypted();
    std::set<int> compressed;
    for (auto& [og, entry] : pdf.getXRefTable())
      if (entry.getType() == 2) compressed.insert(og.getObj());
    std::set<QPDFObjGen> reachable = Reachable(pdf);
    for (auto& object : pdf.getAllObjects()) {
      int id = object.getObjectID();
      size_t before = view.links.size();
      Visit(object, Walk{view, id, compressed.count(id) > 0}, 0);
      for (size_t i = before; i < view.links.size(); ++i) view.links[i].reachable = reachable.count(object.getObjGen()) > 0;
    }
    for (auto& warning : pdf.getWarnings()) view.damage.push_back(warning.what());
    return brand::Status::Ok();
  } catch (const std::exception& e) {
    return brand::Status::Fail(std::string("libqpdf cannot read it: ") + e.what());
  }
}

brand::Status CheckPdf(std::string_view doc) {
  try {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.setAttemptRecovery(false);
    pdf.processMemoryFile("document", doc.data(), doc.size());
    Pl_Discard discard;
    for (auto& object : pdf.getAllObjects())
      if (object.isStream()) object.pipeStreamData(&discard, 0, qpdf_dl_generalized);
    QPDFPageDocumentHelper(pdf).getAllPages();
    if (pdf.anyWarnings()) return brand::Status::Fail("libqpdf: " + std::string(pdf.getWarnings().front().what()));
    return brand::Status::Ok();
  } catch (const std::exception& e) {
    return brand::Status::Fail(std::string("libqpdf: ") + e.what());
  }
}

}  // namespace tool
