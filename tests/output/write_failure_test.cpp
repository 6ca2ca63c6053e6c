// Output that cannot be written: every program into /dev/full ends with the
// write-failure message and status 74, and a generator whose reader closes
// the pipe half way is ended by SIGPIPE (or, where SIGPIPE is ignored, by
// the message with the reason "Broken pipe").
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

extern char **environ;

namespace {

const std::string kSunder = SUNDER_PATH, kRingforge = RINGFORGE_PATH,
                  kMotley = MOTLEY_PATH, kTanglenet = TANGLENET_PATH,
                  kSpokerim = SPOKERIM_PATH, kHubspin = HUBSPIN_PATH,
                  kTwinloop = TWINLOOP_PATH, kPowerlaw = POWERLAW_PATH,
                  kCuttree = CUTTREE_PATH;
const std::string kNoSpace = "Error: cannot write output: No space left on device\n";

struct Outcome {
  std::string err;
  int status = -1;  // exit status, or 128 + signal number
  int signal = 0;   // the signal that ended the program, if any
};

// Reads fd to its end.
std::string readAll(int fd) {
  std::string s;
  char buf[4096];
  ssize_t k;
  while ((k = read(fd, buf, sizeof buf)) > 0) s.append(buf, static_cast<size_t>(k));
  return s;
}

Outcome waitFor(pid_t pid, int errFd) {
  Outcome o;
  o.err = readAll(errFd);
  close(errFd);
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  if (WIFEXITED(wstatus)) o.status = WEXITSTATUS(wstatus);
  if (WIFSIGNALED(wstatus)) o.signal = WTERMSIG(wstatus), o.status = 128 + o.signal;
  return o;
}

// Starts `path` with standard input from `inputFile` (or /dev/null) and
// standard output on `outFd`; SIGPIPE is reset to its default in the child
// unless `ignorePipe`. Returns the read end of its standard error.
pid_t start(const std::string &path, const std::vector<std::string> &args, int outFd,
            const std::string &inputFile, bool ignorePipe, int *errFd) {
  int errPipe[2];
  if (pipe2(errPipe, O_CLOEXEC) != 0) ADD_FAILURE() << "pipe";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inputFile.empty() ? "/dev/null" : inputFile.c_str(),
                                   O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outFd, 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  // The spawning process keeps its own disposition; the child gets SIGPIPE
  // as a shell would give it, or ignored.
  signal(SIGPIPE, ignorePipe ? SIG_IGN : SIG_DFL);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t defaults;
  sigemptyset(&defaults);
  if (!ignorePipe) sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);

  std::vector<std::string> store{path};
  store.insert(store.end(), args.begin(), args.end());
  std::vector<char *> argv;
  for (std::string &s : store) argv.push_back(&s[0]);
  argv.push_back(nullptr);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, path.c_str(), &actions, &attr, argv.data(), environ);
  signal(SIGPIPE, SIG_IGN);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  close(errPipe[1]);
  EXPECT_EQ(rc, 0) << "cannot start " << path;
  *errFd = errPipe[0];
  return pid;
}

Outcome runIntoDevFull(const std::string &path, const std::vector<std::string> &args,
                       const std::string &inputFile) {
  int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
  EXPECT_GE(full, 0) << "/dev/full";
  int errFd = -1;
  pid_t pid = start(path, args, full, inputFile, false, &errFd);
  close(full);
  return waitFor(pid, errFd);
}

// A generator whose reader takes `bytes` bytes and then closes the pipe.
Outcome runIntoClosedPipe(const std::string &path, const std::vector<std::string> &args,
                          size_t bytes, bool ignorePipe, std::string *got) {
  int outPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) ADD_FAILURE() << "pipe";
  int errFd = -1;
  pid_t pid = start(path, args, outPipe[1], "", ignorePipe, &errFd);
  close(outPipe[1]);
  got->resize(bytes);
  size_t have = 0;
  while (have < bytes) {
    ssize_t k = read(outPipe[0], &(*got)[have], bytes - have);
    if (k <= 0) break;
    have += static_cast<size_t>(k);
  }
  got->resize(have);
  close(outPipe[0]);
  return waitFor(pid, errFd);
}

struct FullCase {
  const std::string &path;
  std::vector<std::string> args;
  std::string input;  // a file for standard input, or none
  int status;
  std::string err;
};

TEST(WriteFailure, EveryProgramIntoDevFull) {
  const std::string four = EXAMPLES_DIR "/four.cut";
  const FullCase cases[] = {
      // The report fails at the final flush.
      {kSunder, {}, four, 74, kNoSpace},
      // The reader's message is lost too: the write failure is the report.
      {kSunder, {}, "/dev/null", 74, kNoSpace},
      // Small outputs fail at the final flush, large ones at the first
      // full buffer.
      {kRingforge, {"3"}, "", 74, kNoSpace},
      {kRingforge, {"1000000", "-m5000000"}, "", 74, kNoSpace},
      {kMotley, {"4", "1", "0"}, "", 74, kNoSpace},
      {kMotley, {"100000", "20", "0"}, "", 74, kNoSpace},
      {kTanglenet, {"10", "50", "2", "3"}, "", 74, kNoSpace},
      {kSpokerim, {"6"}, "", 74, kNoSpace},
      {kHubspin, {"3"}, "", 74, kNoSpace},
      {kTwinloop, {"6"}, "", 74, kNoSpace},
      {kTwinloop, {"1000000"}, "", 74, kNoSpace},
      {kPowerlaw, {"1000000"}, "", 74, kNoSpace},
      {kCuttree, {}, four, 74, kNoSpace},
      {kCuttree, {"--help"}, "", 74, kNoSpace},
      // A rejected command line writes nothing: its own status stays.
      {kRingforge, {"2"}, "", 2, "\nError: number_of_nodes must be int > 2\n"},
  };
  for (const FullCase &c : cases) {
    std::string trace = c.path.substr(c.path.rfind('/') + 1);
    for (const std::string &a : c.args) trace += " " + a;
    SCOPED_TRACE(trace + " < " + c.input);
    Outcome o = runIntoDevFull(c.path, c.args, c.input);
    EXPECT_EQ(o.status, c.status);
    EXPECT_EQ(o.err, c.err);
  }
}

TEST(WriteFailure, ClosedPipeEndsByTheSignal) {
  std::string got;
  Outcome o = runIntoClosedPipe(kRingforge, {"200000", "-m1000000"}, 100, false, &got);
  EXPECT_EQ(got.substr(0, 30), "c \"ringforge\" min-cut problem\n");
  EXPECT_EQ(got.size(), 100u);
  EXPECT_EQ(o.signal, SIGPIPE);
  EXPECT_EQ(o.err, "");
}

TEST(WriteFailure, ClosedPipeWithSigpipeIgnoredIsAnError) {
  std::string got;
  Outcome o = runIntoClosedPipe(kTwinloop, {"2000000"}, 100, true, &got);
  EXPECT_EQ(got.size(), 100u);
  EXPECT_EQ(o.signal, 0);
  EXPECT_EQ(o.status, 74);
  EXPECT_EQ(o.err, "Error: cannot write output: Broken pipe\n");
}

}  // namespace
