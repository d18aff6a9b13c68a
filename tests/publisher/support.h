// Shared by the publisher tests: running the tool, files, a stand-in stub, and
// every URI of a PDF as libqpdf reads it.
#pragma once

#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "package/layout.h"
#include "tests/run_command.h"

namespace pubtest {

// What the tool printed lands in `output`.
using Outcome = testcmd::Result;

inline Outcome Tool(const std::string& args) {
  return testcmd::Run(std::string(BRANDPDF_TOOL) + " " + args + " 2>&1");
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string WriteTemp(const std::string& name, const std::string& bytes) {
  std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// A file that `brandpdf pack` takes for a stub: the package and branding
// records as the stub is built, inside some other bytes.
inline std::string StandInStub() {
  auto block = [](int index, size_t size) {
    return std::string(reinterpret_cast<const char*>(bp_record_table[index]), size);
  };
  return WriteTemp("stand-in-stub.exe",
                   "MZ stand-in " + block(2, BP_PACKAGE_BLOCK) + block(0, BP_BRANDING_BLOCK) + " end");
}

// Every URI action's string, sorted.
inline std::vector<std::string> AllUris(const std::string& pdf) {
  QPDF q;
  q.setSuppressWarnings(true);
  q.processMemoryFile("pdf", pdf.data(), pdf.size());
  std::vector<std::string> uris;
  for (auto& object : q.getAllObjects()) {
    auto dict = object.isStream() ? object.getDict() : object;
    if (!dict.isDictionary() || !dict.hasKey("/A")) continue;
    auto action = dict.getKey("/A");
    if (action.isDictionary() && action.hasKey("/URI")) uris.push_back(action.getKey("/URI").getStringValue());
  }
  std::sort(uris.begin(), uris.end());
  return uris;
}

}  // namespace pubtest
