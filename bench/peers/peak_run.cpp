// peak_run: runs a program and writes its peak resident memory to a file.
//
//   peak_run REPORT -- PROGRAM [ARGUMENTS...]
//
// Standard input, output and error pass through to PROGRAM. When it ends,
// REPORT gets one line "maxrss_kb=<kilobytes>" (the child's ru_maxrss) and
// peak_run exits with the program's status, or 128 + the signal that ended
// it. On SIGTERM peak_run kills the program and still writes REPORT, so a
// run stopped at a time limit has its peak too.
//
// The benchmark starts every run through this small process rather than
// from its own interpreter: a child's ru_maxrss also counts the memory of
// the process it was forked from, which would hide small peaks.
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

volatile sig_atomic_t childPid = 0;

void killChild(int) {
  if (childPid > 0) kill(childPid, SIGKILL);
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 4 || std::strcmp(argv[2], "--") != 0) {
    std::fprintf(stderr, "usage: peak_run REPORT -- PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  struct sigaction onTerm {};
  onTerm.sa_handler = killChild;
  sigaction(SIGTERM, &onTerm, nullptr);

  pid_t pid = fork();
  if (pid < 0) {
    std::perror("peak_run: fork");
    return 2;
  }
  if (pid == 0) {
    signal(SIGTERM, SIG_DFL);
    execvp(argv[3], argv + 3);
    std::fprintf(stderr, "peak_run: cannot run %s: %s\n", argv[3], std::strerror(errno));
    _exit(127);
  }
  childPid = pid;
  int status = 0;
  struct rusage usage {};
  while (wait4(pid, &status, 0, &usage) < 0)
    if (errno != EINTR) {
      std::perror("peak_run: wait4");
      return 2;
    }
  FILE *report = std::fopen(argv[1], "w");
  if (report == nullptr || std::fprintf(report, "maxrss_kb=%ld\n", usage.ru_maxrss) < 0 ||
      std::fclose(report) != 0) {
    std::fprintf(stderr, "peak_run: cannot write %s\n", argv[1]);
    return 2;
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}
