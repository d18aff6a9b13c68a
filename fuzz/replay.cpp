// Replays fuzz inputs without libFuzzer: every file named on the command line,
// or found in a directory named there, goes once through the target. A crash or
// a sanitizer report fails the run; so the corpora are ordinary tests.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    fs::path arg(argv[i]);
    if (fs::is_directory(arg)) {
      for (const auto& entry : fs::recursive_directory_iterator(arg))
        if (entry.is_regular_file()) files.push_back(entry.path());
    } else if (fs::is_regular_file(arg)) {
      files.push_back(arg);
    } else {
      std::fprintf(stderr, "replay: no such file or directory: %s\n", argv[i]);
      return 2;
    }
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    std::fprintf(stderr, "replay: no inputs\n");
    return 2;
  }
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    // An input of its own in the heap, so a read past its end is seen under ASan.
    std::vector<uint8_t> copy(bytes.begin(), bytes.end());
    std::printf("%s\n", file.c_str());  // names the input a failure comes from
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(copy.data(), copy.size());
  }
  std::printf("replayed %zu inputs\n", files.size());
  return 0;
}
