// Runs a shell command for a test and keeps what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace testcmd {

struct Result {
  int code = -1;       // the exit code, or -1 when it did not exit normally
  std::string output;  // stdout and, where the command redirects it, stderr
};

inline Result Run(const std::string& command) {
  Result result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
  int status = pclose(pipe);
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace testcmd
