#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/RLineReader.h"
#include "base/RTextFile.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

using Lines = std::vector<std::string>;

// Every line of the file as RTextFile::GetLine gives it, read as often as
// the file has bytes and twice more, so that the reads at the end count too.
Lines ReadWithTextFile(size_t reads) {
  RTextFile file;
  EXPECT_TRUE(file.Open("lines", "r"));
  Lines lines;
  for (size_t i = 0; i < reads; ++i) lines.push_back(file.GetLine().Chars());
  return lines;
}

Lines ReadWithLineReader(size_t reads, size_t blockSize) {
  RLineReader file(blockSize);
  EXPECT_TRUE(file.Open("lines", "r"));
  Lines lines;
  for (size_t i = 0; i < reads; ++i) {
    const RLineReader::Line line = file.NextLine();
    lines.emplace_back(line.text, line.length);
  }
  return lines;
}

struct Case {
  const char* what;
  std::string text;
};

const Case kCases[] = {
    {"empty file", ""},
    {"LF", "Pop\n\tA\n\t\ta.mp3\n"},
    {"CR LF and CR CR LF", "Pop\r\n\tA\r\r\n\t\ta.mp3\r\r\n"},
    {"no final line feed", "uno\ndos"},
    {"empty lines", "\n\n\r\n\nx\n\n"},
    {"Windows-1252 bytes", "Canci\xF3n\n\t\xC1ngel \x80\x9F\xFF\n"},
    {"line of 1022 and its feed", std::string(1022, 'a') + "\nb\n"},
    {"line of exactly one read", std::string(1023, 'a') + "\nb\n"},
    {"line of 1500", std::string(1500, 'a') + "\nb\n"},
    {"line of 3000 without feed", std::string(3000, 'a')},
    {"longest line", std::string(RTextFile::kLongestLine - 1, 'a') + "\nb\n"},
    {"lines past the longest", std::string(RTextFile::kLongestLine, 'a') + "x=1\n" +
                                   std::string(3 * RTextFile::kLongestLine, 'c') + "\nb\n"},
    {"past the longest without feed", "b\n" + std::string(RTextFile::kLongestLine + 5, 'a')},
    {"NUL inside and at the start", std::string("ab\0cd\n\0x\ny\n", 11)},
};

TEST(RLineReader, GivesTheLinesOfRTextFile) {
  TempDir temp;
  for (const Case& c : kCases) {
    WriteHostFile("lines", c.text);
    const size_t reads = c.text.size() + 2;
    const Lines expected = ReadWithTextFile(reads);
    // Blocks from barely one read long to larger than the file.
    for (size_t blockSize : {size_t{1}, size_t{20000}, size_t{1} << 16})
      EXPECT_EQ(ReadWithLineReader(reads, blockSize), expected) << c.what << ", block " << blockSize;
  }
}

TEST(RLineReader, FileNotOpenGivesNothing) {
  RLineReader file;
  EXPECT_EQ(file.NextLine().length, 0u);
}

}  // namespace
