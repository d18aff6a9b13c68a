// Runs the publisher tool, or a function, in a child process whose limits or
// user differ from the test's: a file-size limit, or an unprivileged user for
// whom permissions bite even when the tests run as root.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace hostile {

struct Outcome {
  int code = -1;       // exit code, or -1 when the child did not exit normally
  std::string output;  // stdout and stderr together
};

// Changes the child before it runs: returns false when it cannot.
using Setup = std::function<bool()>;

// Runs BRANDPDF_TOOL with `args` in a child prepared by `setup`.
Outcome RunTool(const std::vector<std::string>& args, const Setup& setup = {});

// Runs `body` in a child prepared by `setup`; its result is the exit code.
int RunInChild(const Setup& setup, const std::function<int()>& body);

// Setups. Each child write beyond `bytes` fails with EFBIG instead of a signal.
Setup FileSizeLimit(long bytes);
// The child runs as the user "nobody" (only when the test runs as root).
Setup Unprivileged();
bool IsRoot();

}  // namespace hostile
