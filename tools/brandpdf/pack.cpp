// brandpdf pack: a stub and a PDF become a package.
#include <cstring>
#include <iostream>

#include "framework/fileio.h"
#include "package/integrity.h"
#include "package/package.h"
#include "tools/brandpdf/check.h"
#include "tools/brandpdf/commands.h"
#include "tools/brandpdf/normalize.h"

namespace tool {

namespace {

constexpr char kUsage[] =
    "usage: brandpdf pack STUB PDF -o PACKAGE [--name NAME] [--normalize [--decode-separators]] [--force]\n"
    "\n"
    "Appends PDF to STUB (BrandPdfStub.exe) and fills the stub's package record, so\n"
    "that the package asks a reseller the PDF's questions and saves a branded copy.\n"
    "Runs `brandpdf check` first: a PDF the stub would refuse is not packed (the\n"
    "reasons are printed), warnings are printed and the PDF is packed.\n"
    "  -o PACKAGE           the package to write (never one of the inputs)\n"
    "  --name NAME          the file name the reseller's Save box proposes (default: PDF's name)\n"
    "  --normalize          pack the PDF as `brandpdf normalize` rewrites it (Linux build only)\n"
    "  --decode-separators  with --normalize: read \"%7E\" as \"~\", \"%5E\" as \"^\" in marked links\n"
    "  --force              pack even a PDF the stub will refuse (to try the stub's messages)\n";

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct PackArgs {
  std::string stub, pdf, out, name;
  bool nameGiven = false;
  bool normalize = false, force = false;
  NormalizeOptions options;
};

bool Parse(const Args& args, PackArgs& p, std::string& error) {
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "-o" || a == "--name") && i + 1 >= args.size()) return error = a + " needs a value", false;
    if (a == "-o") p.out = args[++i];
    else if (a == "--name") p.name = args[++i], p.nameGiven = true;
    else if (a == "--normalize") p.normalize = true;
    else if (a == "--decode-separators") p.options.decodeSeparators = true;
    else if (a == "--force") p.force = true;
    else if (!a.empty() && a[0] == '-') return error = "unknown option " + a, false;
    else positional.push_back(a);
  }
  if (positional.size() != 2 || p.out.empty()) return error = "expected STUB PDF -o PACKAGE", false;
  p.stub = positional[0];
  p.pdf = positional[1];
  if (!p.nameGiven) p.name = BaseName(p.pdf);
  if (p.options.decodeSeparators && !p.normalize) return error = "--decode-separators needs --normalize", false;
  return true;
}

// Fills the package record and the branding record inside the stub image.
bool FillRecords(std::string& stub, const PackArgs& p, int32_t pdfLength, std::string& error) {
  auto at = pkg::FindRecord(stub, BP_PACKAGE_MARKER, BP_PACKAGE_PAYLOAD);
  if (!at) return error = p.stub + ": not a stub: its package record marker must occur exactly twice", false;
  auto* record = reinterpret_cast<unsigned char*>(&stub[*at]);
  if (!pkg::DecodePackageRecord(record).unfilled)
    return error = p.stub + ": the stub's package record is already filled (is it a package already?)", false;
  auto brandingAt = pkg::FindRecord(stub, BP_BRANDING_MARKER, BP_BRANDING_PAYLOAD);
  if (!brandingAt) return error = p.stub + ": not a stub: its branding record was not found", false;
  if (p.name.size() >= BP_DOCUMENT_NAME_SIZE || p.name.find('\0') != std::string::npos)
    return error = "the document name must be shorter than 9992 bytes", false;
  pkg::WriteInt32(record + BP_HAS_DOCUMENT_AT, 1);
  pkg::WriteInt32(record + BP_DOCUMENT_OFFSET_AT, static_cast<int32_t>(stub.size()));
  pkg::WriteInt32(record + BP_DOCUMENT_LENGTH_AT, pdfLength);
  std::memset(record + BP_DOCUMENT_NAME_AT, 0, BP_DOCUMENT_NAME_SIZE);
  std::memcpy(record + BP_DOCUMENT_NAME_AT, p.name.data(), p.name.size());
  pkg::FillBrandingRecord(reinterpret_cast<unsigned char*>(&stub[*brandingAt]), pdfLength, "brandpdf pack");
  return true;
}

// Normalises when asked, then checks: false (with the reasons printed) for a
// PDF the stub would refuse, unless forced.
bool Prepare(const PackArgs& p, std::string& pdf, std::string& error) {
  if (p.normalize) {
    std::string normalized;
    std::vector<std::string> notes;
    brand::Status status = NormalizePdf(pdf, p.options, normalized, notes);
    if (!status) return error = "cannot normalise " + p.pdf + ": " + status.message(), false;
    pdf = std::move(normalized);
    std::cout << "normalised " << p.pdf << "\n";
    for (const std::string& note : notes) std::cout << "  - " << note << "\n";
  }
  Report report = CheckDocument(pdf);
  if (!report.verdict && !p.force) {
    PrintReport(std::cerr, p.pdf, report);
    error = "not packed: the stub would refuse this PDF";
    if (!p.normalize && NormalizeAvailable()) error += " (--normalize may make it fit)";
    return false;
  }
  if (!report.verdict || !report.warnings.empty()) PrintReport(std::cerr, p.pdf, report);
  return true;
}

}  // namespace

int Pack(const Args& args) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) return std::cout << kUsage, kExitOk;
  PackArgs p;
  std::string error;
  if (!Parse(args, p, error)) return std::cerr << kUsage, Fail(error);
  if (SameFile(p.out, p.stub) || SameFile(p.out, p.pdf)) return Fail("the package must not be written over an input");
  std::string stub, pdf;
  try {
    stub = fileio::ReadAll(p.stub.c_str());
    pdf = fileio::ReadAll(p.pdf.c_str());
  } catch (const CFileException& e) {
    return Fail("cannot read " + e.m_fileName);
  } catch (const CException&) {
    return Fail("out of memory");
  }
  if (!Prepare(p, pdf, error)) return Fail(error);
  if (static_cast<uint64_t>(stub.size()) + pdf.size() > INT32_MAX)
    return Fail("the package would be 2 GiB or larger; the stub's offsets are 32-bit");
  if (!FillRecords(stub, p, static_cast<int32_t>(pdf.size()), error)) return Fail(error);
  stub += pdf;
  try {
    fileio::WriteReplacing(p.out.c_str(), stub.data(), stub.size());
  } catch (const CException&) {
    return Fail("cannot write " + p.out + " (nothing was written)");
  }
  std::cout << "packed " << p.pdf << " (" << pdf.size() << " bytes, name \"" << p.name << "\") into " << p.out << "\n";
  return kExitOk;
}

}  // namespace tool
