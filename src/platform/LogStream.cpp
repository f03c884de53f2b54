#include "platform/LogStream.h"

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <initializer_list>
#include <set>
#include <string>
#include <string_view>

namespace platform {

namespace {

// The descriptor written to, whether the next byte begins a line and
// whether lines begin with the date and time.
struct LogOutput {
  int fd;
  bool atLineStart;
  LinePrefix prefix;
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

std::string Timestamp() {
  timeval now{};
  gettimeofday(&now, nullptr);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  char stamp[40];
  const size_t length = strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  snprintf(stamp + length, sizeof stamp - length, ".%03d ", static_cast<int>(now.tv_usec / 1000));
  return stamp;
}

// C0 controls, DEL and the C1 controls that the code page's five undefined
// bytes stand for.
bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 ||
         byte == 0x9D;
}

void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (!IsControl(byte)) {
      out += c;
      continue;
    }
    char escape[5];
    snprintf(escape, sizeof escape, "\\x%02X", byte);
    out += escape;
  }
}

// Each write is one message: the stream is unbuffered, and the C library
// formats a whole printf before it writes to such a stream. Line breaks
// before a message's text end the line before it, TABs at the start of a
// line indent it and line breaks after the text end its line; any other
// control character is shown escaped ("\x0A"), so nothing printed inside a
// message (a file name holding a line feed) can begin a line of its own.
// Every line that begins with text begins with the date and time when the
// stream is stamped.
std::string LogText(LogOutput& output, std::string_view message) {
  const size_t textStart = std::min(message.find_first_not_of('\n'), message.size());
  const size_t textEnd = std::max(message.find_last_not_of('\n') + 1, textStart);
  std::string text(message.substr(0, textStart));
  if (textStart > 0) output.atLineStart = true;
  size_t indentEnd = textStart;
  if (output.atLineStart && textStart < textEnd) {
    if (output.prefix == LinePrefix::kTime) text += Timestamp();
    if (output.prefix == LinePrefix::kPriority)
      text += "<" + std::to_string(MessagePriority(message.data() + textStart, textEnd - textStart)) + ">";
    indentEnd = std::min(message.find_first_not_of('\t', textStart), textEnd);
    text += message.substr(textStart, indentEnd - textStart);
  }
  AppendEscaped(text, message.substr(indentEnd, textEnd - indentEnd));
  text += message.substr(textEnd);
  if (textStart < textEnd) output.atLineStart = textEnd < message.size();
  return text;
}

ssize_t WriteLogMessage(void* cookie, const char* data, size_t size) {
  auto* output = static_cast<LogOutput*>(cookie);
  const std::string text = LogText(*output, std::string_view(data, size));
  if (!WriteAll(output->fd, text.data(), text.size())) return -1;
  return static_cast<ssize_t>(size);
}

// The states of the open streams. The C library keeps its streams where leak
// checkers do not look; from here the states are seen to be in use, to the
// very end (the set is never destroyed, as standard output stays open).
std::set<LogOutput*>& OpenOutputs() {
  static auto* const outputs = new std::set<LogOutput*>;
  return *outputs;
}

// The descriptor belongs to whoever opened it; only the state goes.
int CloseLogStream(void* cookie) {
  auto* output = static_cast<LogOutput*>(cookie);
  OpenOutputs().erase(output);
  delete output;
  return 0;
}

}  // namespace

int MessagePriority(const char* message, size_t length) {
  const std::string_view text(message, length);
  const auto holds = [&](std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(), [&](std::string_view word) {
      return text.find(word) != std::string_view::npos;
    });
  };
  if (holds({"Error", "error", "No se pudo", "No se pueden", "Can't", "terminando programa", "fuera de servicio"}))
    return 3;
  if (holds({"rechazad", "no valido", "no encontrad", "omitid", "se descarta", "al maximo", "no realizada"})) return 4;
  return 6;
}

namespace {

// The journal tells its stream by device and inode in JOURNAL_STREAM.
bool IsJournal(int fd) {
  const char* stream = std::getenv("JOURNAL_STREAM");
  struct stat info;
  if (stream == nullptr || fstat(fd, &info) != 0) return false;
  return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) == stream;
}

}  // namespace

FILE* OpenLogStream(int fd, LinePrefix prefix) {
  cookie_io_functions_t functions{};
  functions.write = WriteLogMessage;
  functions.close = CloseLogStream;
  auto* output = new LogOutput{fd, true, prefix};
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
// is printed from then on goes through the log stream.
void PrepareLogOutput() {
  std::fflush(stdout);
  const LinePrefix prefix = isatty(STDOUT_FILENO)  ? LinePrefix::kNone
                            : IsJournal(STDOUT_FILENO) ? LinePrefix::kPriority
                                                       : LinePrefix::kTime;
  FILE* stream = OpenLogStream(STDOUT_FILENO, prefix);
  if (stream != nullptr)
    stdout = stream;
  else
    setvbuf(stdout, nullptr, _IOLBF, 0);
}

}  // namespace platform
