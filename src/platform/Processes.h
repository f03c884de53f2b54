#pragma once
// Starting outside programs. Programs get an argument vector (host UTF-8
// text) and never pass through a shell; their standard input is /dev/null.
#include <sys/types.h>

#include <cstdint>

#include <string>
#include <vector>

namespace platform {

using Argv = std::vector<std::string>;

// Full path of a program found on PATH (or the name itself when it already
// holds a "/" and is executable); empty when not found.
std::string FindProgram(const std::string& name);

// Where a waited-for program's output goes: by default the program's own
// streams; stdoutFile (an internal path) takes its standard output, quiet
// discards its standard error.
struct OutputOptions {
  std::string stdoutFile;
  bool quiet = false;
};

// Runs a program and waits for it; its exit code, or -1 when it could not be
// started or did not exit normally.
int RunAndWait(const Argv& argv, const OutputOptions& output = {});

// Starts a program in its own session and does not wait for it; its process
// id, or -1 when it could not be started. The child is reaped by the system.
pid_t StartDetached(const Argv& argv);

// A child process kept so that it can be waited for or ended later.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Start(const Argv& argv);
  // Waits for the child to end; its exit code, or -1.
  int Wait();
  // Waits up to ms milliseconds of real time for the child to end; whether
  // it has (it is then reaped and no longer running).
  bool WaitFor(uint32_t ms);
  // Whether the child has ended, without waiting; then it is reaped.
  bool HasEnded();
  // Ends the child and the processes it started at once (SIGKILL) and
  // reaps it.
  void Kill();
  // Ends the child and the processes it started (SIGTERM, then SIGKILL after
  // a second) if it still runs.
  void Terminate();
  bool IsRunning() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

// Ends a process by id if it is still alive and its command line (words
// joined by blanks) contains expectedName, so a reused id is left alone.
bool EndProcess(pid_t pid, const std::string& expectedName);

}  // namespace platform
