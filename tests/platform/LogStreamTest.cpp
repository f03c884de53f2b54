#include "platform/LogStream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <regex>
#include <string>

namespace {

const std::string kStamp = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )";

// What the stream wrote to a pipe after it was closed.
std::string WrittenThrough(void (*write)(FILE*), platform::LinePrefix prefix = platform::LinePrefix::kTime) {
  int ends[2];
  EXPECT_EQ(pipe(ends), 0);
  FILE* stream = platform::OpenLogStream(ends[1], prefix);
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

TEST(LogStream, LinePrintedInPiecesGetsOneTimestamp) {
  const std::string text = WrittenThrough([](FILE* stream) {
    std::fputs("Directorio ", stream);
    std::fflush(stream);
    std::fputs("actual: /srv\n", stream);
  });
  EXPECT_TRUE(std::regex_match(text, std::regex(kStamp + "Directorio actual: /srv\n"))) << text;
}

// Whatever a printed name holds, it cannot begin a line of the log.
TEST(LogStream, ControlCharactersInsideAMessageAreEscaped) {
  static const struct {
    const char* name;
    const char* logged;
  } cases[] = {
      {"Tema.mp3", "Tema.mp3"},
      {"a\n2026-01-01 00:00:00.000 Devolucion: 500", "a\\x0A2026-01-01 00:00:00.000 Devolucion: 500"},
      {"a\r\nb\x85", "a\\x0D\\x0Ab\x85"},
      {"\tx\x1B[2Jy\x7F", "\\x09x\\x1B[2Jy\\x7F"},
      {"\x81" "2E\x8D\x8F\x90\x9D", "\\x812E\\x8D\\x8F\\x90\\x9D"},
      {"Canci\xF3n \x80 \xFF", "Canci\xF3n \x80 \xFF"},
  };
  static const char* name = nullptr;
  for (const auto& c : cases) {
    name = c.name;
    const std::string text = WrittenThrough([](FILE* stream) { std::fprintf(stream, "Nombre: %s\n", name); }, platform::LinePrefix::kNone);
    EXPECT_EQ(text, std::string("Nombre: ") + c.logged + "\n") << c.name;
  }
}

// Line breaks at a message's ends and TABs that indent a line are kept, and
// each line of text gets its date and time.
TEST(LogStream, LinesEndAndAreIndentedOnlyAtTheMessagesEnds) {
  const std::string text = WrittenThrough([](FILE* stream) {
    std::fputs("Uno\n\n", stream);
    std::fputs("\tCargando album: x\ty\n", stream);
    std::fputs("dos", stream);
    std::fputs("\nTerminando\n", stream);
    std::fputs("\n", stream);
  });
  const std::regex expected(kStamp + "Uno\n\n" + kStamp + "\tCargando album: x\\\\x09y\n" + kStamp + "dos\n" +
                            kStamp + "Terminando\n\n");
  EXPECT_TRUE(std::regex_match(text, expected)) << text;
}

// In the journal, which keeps its own times, every line begins with its
// priority instead.
TEST(LogStream, JournalLinesBeginWithTheirPriority) {
  const std::string text = WrittenThrough(
      [](FILE* stream) {
        std::fputs("Reproduciendo [0,1,2]\n", stream);
        std::fputs("No se pudo guardar tempdata: No space left on device\n", stream);
        std::fputs("Pedido rechazado, nombre no valido: x\n\tdetalle\n", stream);
      },
      platform::LinePrefix::kPriority);
  EXPECT_EQ(text,
            "<6>Reproduciendo [0,1,2]\n"
            "<3>No se pudo guardar tempdata: No space left on device\n"
            "<4>Pedido rechazado, nombre no valido: x\\x0A\\x09detalle\n");
}
