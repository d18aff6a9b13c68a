// Output that is never lost: when the branded file cannot be written, the
// publisher tool says "Failed to write file %s", the target stays as it was and
// no temporary file is left beside it. The same holds for the write routine the
// wizard uses.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/fileio.h"
#include "tests/hostile/child.h"
#include "tests/pdf_builder.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kLargeOutput = 256 * 1024;  // more than the small file system and the file-size limit hold

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Names of temporary files left in a directory.
std::string Leftovers(const fs::path& dir) {
  std::string names;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().filename().string().rfind(".~bp", 0) == 0) names += entry.path().string() + " ";
  return names;
}

class WriteFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "write-failure-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    fs::permissions(root_, fs::perms::all);  // the unprivileged child must reach the input
    input_ = (root_ / "in.pdf").string();
    // A link long enough that the branded file is large.
    WriteFile(input_, testpdf::MakePdf({"xxlink=ID~XXXX", "https://pad.example/" + std::string(kLargeOutput, 'p')}));
    fs::permissions(input_, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
  }

  void TearDown() override {
    if (mounted_) ::umount2(mount_.c_str(), MNT_DETACH);
    std::error_code ignored;
    fs::permissions(root_, fs::perms::all, ignored);
    for (const auto& entry : fs::recursive_directory_iterator(root_, ignored))
      fs::permissions(entry.path(), fs::perms::all, ignored);
    fs::remove_all(root_, ignored);
  }

  // The write routine, in a child prepared by `setup`: 0 when it threw a file
  // exception, 1 when it wrote, 2 on anything else, 125 when `setup` failed.
  static int WriteReplacingIn(const hostile::Setup& setup, const std::string& target) {
    return hostile::RunInChild(setup, [&] {
      const std::string bytes(kLargeOutput, 'x');
      try {
        fileio::WriteReplacing(target.c_str(), bytes.data(), bytes.size());
        return 1;
      } catch (const CFileException&) {
        return 0;
      } catch (...) {
        return 2;
      }
    });
  }

  // Both the routine and the tool fail, and leave the target and its directory as they were.
  void ExpectWriteFails(const std::string& target, const hostile::Setup& setup) {
    const fs::path dir = fs::path(target).parent_path();
    const bool wasFile = fs::is_regular_file(target);
    const std::string before = wasFile ? ReadFile(target) : "";
    int routine = WriteReplacingIn(setup, target);
    if (routine == 125) GTEST_SKIP() << "the child process could not be limited here (setuid or setrlimit refused)";
    EXPECT_EQ(routine, 0) << "WriteReplacing did not fail with a file exception";
    hostile::Outcome tool = hostile::RunTool({"brand", input_, "-o", target, "--answer", "A17"}, setup);
    EXPECT_EQ(tool.code, 2) << tool.output;
    EXPECT_NE(tool.output.find("Failed to write file " + target), std::string::npos) << tool.output;
    EXPECT_EQ(fs::is_regular_file(target), wasFile);
    if (wasFile) {
      EXPECT_EQ(ReadFile(target), before);
    }
    EXPECT_EQ(Leftovers(dir), "");
  }

  fs::path root_;
  std::string input_;
  fs::path mount_;
  bool mounted_ = false;
};

TEST_F(WriteFailure, ReadOnlyDirectory) {
  fs::path dir = root_ / "read-only";
  fs::create_directory(dir);
  std::string target = (dir / "out.pdf").string();
  WriteFile(target, "the previous output");
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                           fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  // Root writes anywhere: the writing child then runs as an unprivileged user.
  ExpectWriteFails(target, hostile::IsRoot() ? hostile::Unprivileged() : hostile::Setup{});
}

TEST_F(WriteFailure, TargetIsADirectory) {
  fs::path target = root_ / "out.pdf";
  fs::create_directory(target);
  WriteFile((target / "kept").string(), "inside");
  ExpectWriteFails(target.string(), {});
  EXPECT_EQ(ReadFile((target / "kept").string()), "inside");
}

// A full disk: a small file system mounted for the test when that is allowed,
// otherwise a file-size limit on the writing process (the write fails alike).
TEST_F(WriteFailure, FullDisk) {
  mount_ = root_ / "small";
  fs::create_directory(mount_);
  mounted_ = ::mount("tmpfs", mount_.c_str(), "tmpfs", 0, "size=64k") == 0;
  std::string target = (mount_ / "out.pdf").string();
  WriteFile(target, "the previous output");
  ExpectWriteFails(target, mounted_ ? hostile::Setup{} : hostile::FileSizeLimit(4096));
}

}  // namespace
