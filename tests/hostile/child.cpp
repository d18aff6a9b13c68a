#include "tests/hostile/child.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

namespace hostile {

namespace {

constexpr uid_t kNobody = 65534;

int ExitCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

}  // namespace

bool IsRoot() { return ::geteuid() == 0; }

Setup FileSizeLimit(long bytes) {
  return [bytes] {
    std::signal(SIGXFSZ, SIG_IGN);  // kept across exec: the write fails with EFBIG
    rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  };
}

Setup Unprivileged() {
  return [] { return ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0; };
}

Outcome RunTool(const std::vector<std::string>& args, const Setup& setup) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return {};
  std::fflush(nullptr);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(pipeFds[1], 1);
    ::dup2(pipeFds[1], 2);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    if (setup && !setup()) ::_exit(125);
    std::vector<char*> argv{const_cast<char*>(BRANDPDF_TOOL)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(BRANDPDF_TOOL, argv.data());
    ::_exit(126);
  }
  ::close(pipeFds[1]);
  Outcome run;
  char buffer[4096];
  for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) run.output.append(buffer, n);
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  run.code = ExitCode(status);
  return run;
}

int RunInChild(const Setup& setup, const std::function<int()>& body) {
  std::fflush(nullptr);
  pid_t pid = ::fork();
  if (pid == 0) {
    if (setup && !setup()) ::_exit(125);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return ExitCode(status);
}

}  // namespace hostile
