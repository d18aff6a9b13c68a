// brand_bench: the engine's in-process timings on generated files, side by side
// with what they are measured against (reading the file, the literal loop).
//
//   brand_bench --big FILE --medium FILE [benchmark flags]   timings
//   brand_bench copy IN OUT                                  read + write, as brandpdf does its I/O
//   brand_bench brand IN OUT [ANSWER]...                     brandpdf brand with the in-place rewrite
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <iostream>
#include <string>
#include <vector>

#include "branding/items.h"
#include "branding/rewrite.h"
#include "branding/xref.h"
#include "framework/exceptions.h"
#include "framework/fileio.h"
#include "tests/oracle.h"

namespace {

struct Job {
  std::string doc;
  std::vector<std::string> keys, values;
};

// Reads a file and its items, with an answer for each item.
Job Load(const std::string& path) {
  Job job;
  job.doc = fileio::ReadAll(path.c_str());
  brand::Status status = brand::ScanBrandableItems(job.doc, job.keys);
  if (!status) throw std::runtime_error(path + ": " + status.message());
  for (size_t i = 0; i < job.keys.size(); ++i) job.values.push_back("member-" + std::to_string(1000 + i));
  return job;
}

size_t ReadInto(const std::string& path, std::string& buffer) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return 0;
  size_t done = 0;
  for (ssize_t n; done < buffer.size() && (n = ::read(fd, &buffer[done], buffer.size() - done)) > 0;) done += n;
  ::close(fd);
  return done;
}

void Register(const std::string& label, const std::string& path, const Job& job, bool withOracle) {
  benchmark::RegisterBenchmark(("read/" + label).c_str(), [path](benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(fileio::ReadAll(path.c_str()));
  })->Unit(benchmark::kMillisecond)->UseRealTime();
  // Reading into a buffer that is already mapped: the copy alone, no page faults.
  benchmark::RegisterBenchmark(("readwarm/" + label).c_str(), [path, &job](benchmark::State& state) {
    std::string buffer(job.doc.size(), '\0');
    for (auto _ : state) benchmark::DoNotOptimize(ReadInto(path, buffer));
  })->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark(("scan/" + label).c_str(), [&job](benchmark::State& state) {
    for (auto _ : state) {
      std::vector<std::string> keys;
      benchmark::DoNotOptimize(brand::ScanBrandableItems(job.doc, keys));
    }
  })->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark(("xref/" + label).c_str(), [&job](benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(brand::FindXref(job.doc));
  })->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark(("brand/" + label).c_str(), [&job](benchmark::State& state) {
    for (auto _ : state) {
      std::string out;
      benchmark::DoNotOptimize(brand::BrandDocument(job.doc, job.keys, job.values, out));
    }
  })->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark(("inplace/" + label).c_str(), [&job](benchmark::State& state) {
    for (auto _ : state) {
      state.PauseTiming();
      std::string doc = job.doc;
      state.ResumeTiming();
      benchmark::DoNotOptimize(brand::BrandInPlace(doc, job.keys, job.values));
    }
  })->Unit(benchmark::kMillisecond)->UseRealTime();
  if (!withOracle) return;
  benchmark::RegisterBenchmark(("oracle/" + label).c_str(), [&job](benchmark::State& state) {
    for (auto _ : state) {
      std::string out;
      benchmark::DoNotOptimize(oracle::Brand(job.doc, job.keys, job.values, out));
    }
  })->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
}

// The publisher tool's I/O alone: read the whole file, write it whole.
int Copy(const char* in, const char* out) {
  try {
    std::string bytes = fileio::ReadAll(in);
    fileio::WriteReplacing(out, bytes.data(), bytes.size());
    return 0;
  } catch (const CException&) {
    std::cerr << "brand_bench: cannot copy " << in << " to " << out << "\n";
    return 2;
  }
}

// `brandpdf brand` on a plain PDF with the rewrite made in place: read, scan,
// rewrite in the same buffer, write. Answers beyond the items are ignored.
int BrandFile(const char* in, const char* out, char** answers, int count) {
  try {
    std::string doc = fileio::ReadAll(in);
    std::vector<std::string> keys;
    brand::Status status = brand::ScanBrandableItems(doc, keys);
    std::vector<std::string> values(answers, answers + std::min<size_t>(count, keys.size()));
    values.resize(keys.size());
    if (status) status = brand::BrandInPlace(doc, keys, values);
    if (!status) return std::cerr << "brand_bench: " << status.message() << "\n", 2;
    fileio::WriteReplacing(out, doc.data(), doc.size());
    return 0;
  } catch (const CException&) {
    std::cerr << "brand_bench: cannot brand " << in << " to " << out << "\n";
    return 2;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "copy") == 0) return Copy(argv[2], argv[3]);
  if (argc >= 4 && std::strcmp(argv[1], "brand") == 0) return BrandFile(argv[2], argv[3], argv + 4, argc - 4);
  std::string big, medium;
  std::vector<char*> rest{argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--big") == 0 && i + 1 < argc) big = argv[++i];
    else if (std::strcmp(argv[i], "--medium") == 0 && i + 1 < argc) medium = argv[++i];
    else rest.push_back(argv[i]);
  }
  int restCount = static_cast<int>(rest.size());
  benchmark::Initialize(&restCount, rest.data());
  if (big.empty() && medium.empty()) {
    std::cerr << "usage: brand_bench --big FILE --medium FILE [benchmark flags] | brand_bench copy IN OUT\n";
    return 2;
  }
  try {
    std::vector<Job> jobs;
    jobs.reserve(2);
    if (!big.empty()) Register("big", big, jobs.emplace_back(Load(big)), false);
    if (!medium.empty()) Register("medium", medium, jobs.emplace_back(Load(medium)), true);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  } catch (const std::exception& e) {
    std::cerr << "brand_bench: " << e.what() << "\n";
    return 2;
  } catch (const CException& e) {
    std::cerr << "brand_bench: " << e.What() << "\n";
    return 2;
  }
  return 0;
}
