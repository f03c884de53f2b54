#include "platform/Processes.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/System.h"

namespace platform {
namespace {

// How long a child asked to end may take before it is killed, and how often
// it is looked at meanwhile.
constexpr uint32_t kTerminateGrace = 1000;
constexpr uint32_t kEndPollStep = 20;
// A process record is a line or two.
constexpr size_t kRecordCap = 4096;

std::vector<char*> ArgvPointers(const Argv& argv) {
  std::vector<char*> pointers;
  for (const std::string& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

// A program and its argument pointers, made ready before forking so that
// nothing is allocated between fork and exec.
struct PreparedCommand {
  std::string program;
  std::vector<char*> args;
  int stdoutFd = -1;  // replaces standard output when set
  int stderrFd = -1;  // replaces standard error when set
  // The starting process, when the child is to end with the thread that
  // starts it.
  pid_t endsWith = 0;
};

// In the child after fork: standard input from /dev/null, then exec. On
// failure the errno goes down the error pipe and the child exits.
// A program starts with every signal deliverable and handled by default,
// whatever the starting thread blocked or ignored (SDL's threads block most).
void ResetSignals() {
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  struct sigaction byDefault = {};
  byDefault.sa_handler = SIG_DFL;
  for (int signal : {SIGPIPE, SIGCHLD, SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(signal, &byDefault, nullptr);
}

// The kernel kills the child when the starting thread goes; a parent that
// went before the request was made is seen as a new parent id.
void EndWithParent(pid_t parent) {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);
}

[[noreturn]] void ExecChild(const PreparedCommand& command, int errorPipe) {
  ResetSignals();
  if (command.endsWith > 0) EndWithParent(command.endsWith);
  const int devNull = open("/dev/null", O_RDONLY);
  if (devNull >= 0) {
    dup2(devNull, STDIN_FILENO);
    if (devNull != STDIN_FILENO) close(devNull);
  }
  if (command.stdoutFd >= 0) dup2(command.stdoutFd, STDOUT_FILENO);
  if (command.stderrFd >= 0) dup2(command.stderrFd, STDERR_FILENO);
  execv(command.program.c_str(), command.args.data());
  const int error = errno;
  (void)!write(errorPipe, &error, sizeof error);
  _exit(127);
}

int WaitForExit(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Reads what the child sent before exec or exit; true when exec succeeded
// (the close-on-exec pipe closed without data).
bool ExecSucceeded(int readEnd) {
  int error = 0;
  ssize_t got;
  do got = read(readEnd, &error, sizeof error);
  while (got < 0 && errno == EINTR);
  close(readEnd);
  return got == 0;
}

bool Prepare(const Argv& argv, PreparedCommand& command) {
  if (argv.empty()) return false;
  command.program = FindProgram(argv[0]);
  command.args = ArgvPointers(argv);
  return !command.program.empty();
}

// Forks a child that runs the command; the pid, or -1 when it could not be
// started. Only async-signal-safe calls, so it may run in a forked child.
pid_t Launch(const PreparedCommand& command, bool newSession) {
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    close(pipeEnds[0]);
    if (newSession) setsid();
    else setpgid(0, 0);
    ExecChild(command, pipeEnds[1]);
  }
  close(pipeEnds[1]);
  if (pid < 0) {
    close(pipeEnds[0]);
    return -1;
  }
  if (!ExecSucceeded(pipeEnds[0])) {
    WaitForExit(pid);
    return -1;
  }
  return pid;
}

bool IsExecutableFile(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

// Where a child of ours stands: running, ended and waiting to be reaped
// (its id, and the id of the group it led, cannot be taken meanwhile), or
// gone (reaped by someone else).
enum class ChildState { kRunning, kEndedUnreaped, kGone };

// Without WNOHANG it waits for the child to end.
ChildState StateOf(pid_t pid, int options) {
  siginfo_t info{};
  while (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT | options) != 0)
    if (errno != EINTR) return ChildState::kGone;
  return info.si_pid == pid ? ChildState::kEndedUnreaped : ChildState::kRunning;
}

std::string CommandLineOf(pid_t pid) {
  std::ifstream cmdline("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
  std::string command((std::istreambuf_iterator<char>(cmdline)), std::istreambuf_iterator<char>());
  std::replace(command.begin(), command.end(), '\0', ' ');
  return command;
}

// A zombie has no command line, so it is never taken for the process named.
bool IsProcessNamed(pid_t pid, const std::string& expectedName) {
  return pid > 0 && !expectedName.empty() && CommandLineOf(pid).find(expectedName) != std::string::npos;
}

bool SignalProcessOrGroup(pid_t pid, int signal) {
  const pid_t target = getpgid(pid) == pid ? -pid : pid;
  return kill(target, signal) == 0;
}

// Up to cap bytes of a regular file, opened without following a link or
// waiting on a FIFO; none when it is no such file.
std::optional<std::string> ReadSmallRegularFile(const std::string& path, size_t cap) {
  const int fd = open(ToHostPath(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::string text(cap, '\0');
  ssize_t got = -1;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) got = read(fd, &text[0], cap);
  close(fd);
  if (got < 0) return std::nullopt;
  text.resize(static_cast<size_t>(got));
  return text;
}

}  // namespace

std::string FindProgram(const std::string& name) {
  if (name.empty()) return "";
  if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : "";
  const std::string path = GetEnv("PATH");
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    const std::string folder = end > start ? path.substr(start, end - start) : ".";
    const std::string candidate = folder + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return "";
}

int RunAndWait(const Argv& argv, const OutputOptions& output) {
  PreparedCommand command;
  if (!Prepare(argv, command)) return -1;
  if (!output.stdoutFile.empty())
    command.stdoutFd = open(ToHostPath(output.stdoutFile).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (output.quiet) command.stderrFd = open("/dev/null", O_WRONLY | O_CLOEXEC);
  const pid_t pid = Launch(command, false);
  for (int fd : {command.stdoutFd, command.stderrFd})
    if (fd >= 0) close(fd);
  return pid < 0 ? -1 : WaitForExit(pid);
}

pid_t StartDetached(const Argv& argv) {
  // The intermediate child starts the program and exits at once, so the
  // program is adopted by init and never lingers as our zombie.
  PreparedCommand command;
  int pidPipe[2];
  if (!Prepare(argv, command) || pipe2(pidPipe, O_CLOEXEC) != 0) return -1;
  const pid_t middle = fork();
  if (middle == 0) {
    close(pidPipe[0]);
    const pid_t program = Launch(command, true);
    (void)!write(pidPipe[1], &program, sizeof program);
    _exit(0);
  }
  close(pidPipe[1]);
  pid_t program = -1;
  if (middle < 0 || read(pidPipe[0], &program, sizeof program) != sizeof program) program = -1;
  close(pidPipe[0]);
  if (middle > 0) WaitForExit(middle);
  return program;
}

ChildProcess::~ChildProcess() {
  Terminate();
  CloseOutput();
}

bool ChildProcess::Start(const Argv& argv, ChildOutput output) {
  Terminate();
  CloseOutput();
  PreparedCommand command;
  if (!Prepare(argv, command)) return false;
  command.endsWith = getpid();
  int pipeEnds[2] = {-1, -1};
  if (output == ChildOutput::kCaptured) {
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
    command.stdoutFd = command.stderrFd = pipeEnds[1];
    fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
    outputFd_ = pipeEnds[0];
  }
  pid_ = Launch(command, false);
  if (pipeEnds[1] >= 0) close(pipeEnds[1]);
  return pid_ > 0;
}

int ChildProcess::Forget(bool waitsToBeReaped) {
  int code = -1;
  if (waitsToBeReaped) {
    // What is left of its group goes with it.
    kill(-pid_, SIGKILL);
    code = WaitForExit(pid_);
  }
  pid_ = -1;
  return code;
}

int ChildProcess::Wait() {
  if (pid_ <= 0) return -1;
  return Forget(StateOf(pid_, 0) == ChildState::kEndedUnreaped);
}

bool ChildProcess::WaitFor(uint32_t ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!HasEnded()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

bool ChildProcess::HasEnded() {
  if (pid_ <= 0) return true;
  const ChildState state = StateOf(pid_, WNOHANG);
  if (state == ChildState::kRunning) return false;
  Forget(state == ChildState::kEndedUnreaped);
  return true;
}

void ChildProcess::Kill() {
  if (pid_ <= 0) return;
  // The child leads its own process group: whatever it started goes too.
  kill(-pid_, SIGKILL);
  Wait();
}

void ChildProcess::Terminate() {
  if (pid_ <= 0) return;
  kill(-pid_, SIGTERM);
  const uint32_t start = Ticks();
  while (!HasEnded()) {
    if (Ticks() - start >= kTerminateGrace) {
      Kill();
      return;
    }
    Delay(kEndPollStep);
  }
}

std::string ChildProcess::ReadOutput(size_t maxBytes) {
  std::string output;
  char chunk[4096];
  while (outputFd_ >= 0 && output.size() < maxBytes) {
    const ssize_t got = read(outputFd_, chunk, std::min(sizeof chunk, maxBytes - output.size()));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    output.append(chunk, static_cast<size_t>(got));
  }
  return output;
}

void ChildProcess::CloseOutput() {
  if (outputFd_ >= 0) close(outputFd_);
  outputFd_ = -1;
}

bool EndProcess(pid_t pid, const std::string& expectedName) {
  return IsProcessNamed(pid, expectedName) && SignalProcessOrGroup(pid, SIGTERM);
}

bool EndProcessAndWait(pid_t pid, const std::string& expectedName) {
  if (!EndProcess(pid, expectedName)) return false;
  const uint32_t start = Ticks();
  while (IsProcessNamed(pid, expectedName)) {
    if (Ticks() - start >= kTerminateGrace) {
      SignalProcessOrGroup(pid, SIGKILL);
      break;
    }
    Delay(kEndPollStep);
  }
  return true;
}

bool RecordProcess(const std::string& file, const ProcessRecord& record) {
  return WriteFileAtomically(file, std::to_string(record.pid) + "\n" + record.mark + "\n", false);
}

std::optional<ProcessRecord> ReadProcessRecord(const std::string& file) {
  const std::optional<std::string> text = ReadSmallRegularFile(file, kRecordCap);
  if (!text) return std::nullopt;
  std::istringstream lines(*text);
  ProcessRecord record;
  if (!(lines >> record.pid) || record.pid <= 0) return std::nullopt;
  lines.ignore(1);
  std::getline(lines, record.mark);
  return record;
}

}  // namespace platform
