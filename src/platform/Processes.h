#pragma once
// Starting outside programs. Programs get an argument vector (host UTF-8
// text) and never pass through a shell; their standard input is /dev/null.
#include <sys/types.h>

#include <cstdint>

#include <optional>
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

// Where a child's standard output and error go: the program's own streams,
// or a pipe that the program reads with ChildProcess::ReadOutput.
enum class ChildOutput { kInherited, kCaptured };

// A child process kept so that it can be waited for or ended later. It leads
// a process group of its own, and ends with the thread that started it
// however this program ends (even by SIGKILL). When it ends, whatever is
// left of its group is killed with it.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Start(const Argv& argv, ChildOutput output = ChildOutput::kInherited);
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
  // What a captured child wrote since the last call, without waiting: at
  // most maxBytes, "" when there is nothing (or nothing is captured). What
  // it wrote before it ended can still be read after it was reaped.
  std::string ReadOutput(size_t maxBytes);

 private:
  // Forgets the ended child: its exit code, or -1. One that waits to be
  // reaped is reaped after what is left of its group is killed; one already
  // reaped elsewhere is only forgotten.
  int Forget(bool waitsToBeReaped);
  void CloseOutput();

  pid_t pid_ = -1;
  int outputFd_ = -1;
};

// Ends a process by id if it is still alive and its command line (words
// joined by blanks) contains expectedName, so a reused id is left alone. A
// process that leads its process group is ended with the whole group.
bool EndProcess(pid_t pid, const std::string& expectedName);
// Ends the process as EndProcess does and waits up to a second for it to go,
// then kills what is left of it; false when it was not the process named.
bool EndProcessAndWait(pid_t pid, const std::string& expectedName);

// A process noted in a small file (its id on the first line, a part of its
// command line on the second) so that a later run can end it.
struct ProcessRecord {
  pid_t pid = 0;
  std::string mark;
};
bool RecordProcess(const std::string& file, const ProcessRecord& record);
// None when the file is missing, is no regular file or names no process.
std::optional<ProcessRecord> ReadProcessRecord(const std::string& file);

}  // namespace platform
