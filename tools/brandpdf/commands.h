// The publisher tool's commands. Each takes its arguments (after the command
// name) and returns the process exit code; errors go to stderr.
#pragma once

#include <string>
#include <vector>

namespace tool {

using Args = std::vector<std::string>;

int Pack(const Args& args);
int Items(const Args& args);
int Brand(const Args& args);
int Check(const Args& args);
int Normalize(const Args& args);

// Exit codes shared by the commands.
constexpr int kExitOk = 0;
constexpr int kExitRefused = 2;

// Prints "brandpdf: <message>" to stderr and returns kExitRefused.
int Fail(const std::string& message);

// Whether two paths name the same existing file.
bool SameFile(const std::string& a, const std::string& b);

// Makes the directory unless it exists; false when it cannot, or when the path
// names something that is not a directory.
bool EnsureDirectory(const std::string& path);

}  // namespace tool
