#include "playback/PlayerOutput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Clock.h"

using Lines = std::vector<std::string>;

TEST(PlayerOutput, KeepsTheLinesTellingOfFailuresOrTheEnd) {
  const struct {
    const char* line;
    bool kept;
  } cases[] = {
      {"Failed to open /media/x.mp3.", true},
      {"Cannot open file 'x': No such file or directory", true},
      {"No stream found to handle url x", true},
      {"Could not open/initialize audio device -> no sound.", true},
      {"FATAL: Cannot initialize video driver.", true},
      {"[h264 @ 0x5] error while decoding MB 1 2", true},
      {"Exiting... (End of file)", true},
      {"A:   1.2 V:   1.2 A-V:  0.000 ct:  0.000   3/  3 ??% ??% ??,?% 0 0", false},
      {"MPlayer 1.5 (Debian), built with gcc-12 (C) 2000-2022 MPlayer Team", false},
      {"Playing media/Rock/Disco/01 Tema.mp3.", false},
      {"Devolucion: 500", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(PlayerOutput::IsActedOn(c.line), c.kept) << c.line;
}

TEST(PlayerOutput, LinesEndAtEitherBreakAndLongOnesAreCut) {
  PlayerOutput output;
  EXPECT_EQ(output.Take("A: 1.0\rA: 1.1\rFailed to "), Lines{});
  EXPECT_EQ(output.Take("open x.\r\nExiting..."), Lines{"Failed to open x."});
  EXPECT_EQ(output.Finish(), Lines{"Exiting..."});
  EXPECT_EQ(output.Take("error " + std::string(1000, 'x') + "\n"),
            Lines{"error " + std::string(PlayerOutput::kLongestLine - 6, 'x')});
}

TEST(PlayerOutput, AtMostTenLinesInTenSecondsAndTheRestAreCounted) {
  platform::ManualClock clock(50000);
  platform::SetClock(&clock);
  PlayerOutput output;
  Lines logged;
  for (int i = 0; i < 25; ++i)
    for (const std::string& line : output.Take("error " + std::to_string(i) + "\n")) logged.push_back(line);
  EXPECT_EQ(logged.size(), 10u);
  EXPECT_EQ(logged.back(), "error 9");
  clock.Advance(PlayerOutput::kWindow);
  EXPECT_EQ(output.Take("error 25\n"), (Lines{"(15 lineas del reproductor omitidas)", "error 25"}));
  platform::SetClock(nullptr);
}
