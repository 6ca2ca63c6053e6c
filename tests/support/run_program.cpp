#include "run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

extern char **environ;

namespace {

void makePipe(int fds[2]) {
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
}

// Feeds `input` to fd `in` while draining `outFd` and `errFd`, so that no
// side blocks on a full pipe.
void pump(int in, const std::string &input, int outFd, int errFd,
          ProgramResult &r) {
  size_t written = 0;
  if (input.empty()) { close(in); in = -1; }
  bool outOpen = true, errOpen = true;
  char buf[65536];
  while (outOpen || errOpen || in >= 0) {
    pollfd fds[3];
    int nfds = 0;
    int outIdx = -1, errIdx = -1, inIdx = -1;
    if (outOpen) { fds[nfds] = {outFd, POLLIN, 0}; outIdx = nfds++; }
    if (errOpen) { fds[nfds] = {errFd, POLLIN, 0}; errIdx = nfds++; }
    if (in >= 0) { fds[nfds] = {in, POLLOUT, 0}; inIdx = nfds++; }
    if (poll(fds, nfds, -1) < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("poll failed");
    }
    auto drain = [&](int idx, int fd, std::string &dst, bool &open) {
      if (idx < 0 || !(fds[idx].revents & (POLLIN | POLLHUP | POLLERR))) return;
      ssize_t k = read(fd, buf, sizeof buf);
      if (k > 0) dst.append(buf, static_cast<size_t>(k));
      else open = false;
    };
    drain(outIdx, outFd, r.out, outOpen);
    drain(errIdx, errFd, r.err, errOpen);
    if (inIdx >= 0 && (fds[inIdx].revents & (POLLOUT | POLLERR | POLLHUP))) {
      ssize_t k = write(in, input.data() + written, input.size() - written);
      if (k > 0) written += static_cast<size_t>(k);
      if (k < 0 || written == input.size()) { close(in); in = -1; }
    }
  }
}

}  // namespace

ProgramResult runProgram(const std::string &path,
                         const std::vector<std::string> &args,
                         const std::string &input) {
  int inPipe[2], outPipe[2], errPipe[2];
  makePipe(inPipe);
  makePipe(outPipe);
  makePipe(errPipe);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);

  std::vector<std::string> argvStore;
  argvStore.push_back(path);
  argvStore.insert(argvStore.end(), args.begin(), args.end());
  std::vector<char *> argv;
  for (auto &s : argvStore) argv.push_back(&s[0]);
  argv.push_back(nullptr);

  // A child that exits before reading all its input must not kill us.
  signal(SIGPIPE, SIG_IGN);
  pid_t pid;
  int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(inPipe[0]);
  close(outPipe[1]);
  close(errPipe[1]);
  if (rc != 0) {
    close(inPipe[1]);
    close(outPipe[0]);
    close(errPipe[0]);
    throw std::runtime_error("cannot start " + path + ": " + strerror(rc));
  }

  ProgramResult r;
  pump(inPipe[1], input, outPipe[0], errPipe[0], r);
  close(outPipe[0]);
  close(errPipe[0]);
  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {}
  if (WIFEXITED(wstatus)) r.status = WEXITSTATUS(wstatus);
  else if (WIFSIGNALED(wstatus)) r.status = 128 + WTERMSIG(wstatus);
  return r;
}
