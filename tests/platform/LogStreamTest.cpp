#include "platform/LogStream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <regex>
#include <string>

namespace {

const std::string kStamp = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )";

// What the stream wrote to a pipe after it was closed.
std::string WrittenThrough(void (*write)(FILE*)) {
  int ends[2];
  EXPECT_EQ(pipe(ends), 0);
  FILE* stream = platform::OpenTimestampedStream(ends[1]);
  EXPECT_NE(stream, nullptr);
  write(stream);
  std::fclose(stream);
  close(ends[1]);
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
  close(ends[0]);
  return text;
}

}  // namespace

TEST(TimestampedStream, LinePrintedInPiecesGetsOneTimestamp) {
  const std::string text = WrittenThrough([](FILE* stream) {
    std::fputs("Directorio ", stream);
    std::fflush(stream);
    std::fputs("actual: /srv\n", stream);
  });
  EXPECT_TRUE(std::regex_match(text, std::regex(kStamp + "Directorio actual: /srv\n"))) << text;
}

TEST(TimestampedStream, MessageOfSeveralLinesStaysTogether) {
  const std::string text = WrittenThrough([](FILE* stream) {
    std::fprintf(stream, "No hay contenido multimedia, usa el programa\n configtool.exe\n%s", "---");
  });
  const std::regex expected(kStamp + "No hay contenido multimedia, usa el programa\n configtool.exe\n---");
  EXPECT_TRUE(std::regex_match(text, expected)) << text;
}
