#include "platform/LogStream.h"

#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <set>

namespace platform {

namespace {

// The descriptor written to, and whether the next byte begins a line.
struct TimestampedOutput {
  int fd;
  bool atLineStart;
};

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

bool WriteTimestamp(int fd) {
  timeval now{};
  gettimeofday(&now, nullptr);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  char stamp[40];
  const size_t length = strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  const int total =
      snprintf(stamp + length, sizeof stamp - length, ".%03d ", static_cast<int>(now.tv_usec / 1000));
  return WriteAll(fd, stamp, length + static_cast<size_t>(total));
}

// Each write is one message: the stream is unbuffered, and the C library
// formats a whole printf before it writes to such a stream. A message that
// starts a line gets the timestamp; its lines stay together, so a message of
// several lines reads whole.
ssize_t WriteStamped(void* cookie, const char* data, size_t size) {
  auto* output = static_cast<TimestampedOutput*>(cookie);
  if (size == 0) return 0;
  if (output->atLineStart && !WriteTimestamp(output->fd)) return -1;
  if (!WriteAll(output->fd, data, size)) return -1;
  output->atLineStart = data[size - 1] == '\n';
  return static_cast<ssize_t>(size);
}

// The states of the open streams. The C library keeps its streams where leak
// checkers do not look; from here the states are seen to be in use, to the
// very end (the set is never destroyed, as standard output stays open).
std::set<TimestampedOutput*>& OpenOutputs() {
  static auto* const outputs = new std::set<TimestampedOutput*>;
  return *outputs;
}

// The descriptor belongs to whoever opened it; only the state goes.
int CloseStamped(void* cookie) {
  auto* output = static_cast<TimestampedOutput*>(cookie);
  OpenOutputs().erase(output);
  delete output;
  return 0;
}

}  // namespace

FILE* OpenTimestampedStream(int fd) {
  cookie_io_functions_t functions{};
  functions.write = WriteStamped;
  functions.close = CloseStamped;
  auto* output = new TimestampedOutput{fd, true};
  FILE* stream = fopencookie(output, "w", functions);
  if (stream == nullptr) {
    delete output;
    return nullptr;
  }
  OpenOutputs().insert(output);
  setvbuf(stream, nullptr, _IONBF, 0);
  return stream;
}

// The C library lets the program replace its standard output stream; what
// is printed from then on goes through the timestamping stream.
void PrepareLogOutput() {
  if (isatty(STDOUT_FILENO)) return;
  std::fflush(stdout);
  FILE* stream = OpenTimestampedStream(STDOUT_FILENO);
  if (stream != nullptr)
    stdout = stream;
  else
    setvbuf(stdout, nullptr, _IOLBF, 0);
}

}  // namespace platform
