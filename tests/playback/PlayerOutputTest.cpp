#include "playback/PlayerOutput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Clock.h"

using Lines = std::vector<std::string>;

TEST(PlayerOutput, KeepsTheLinesTellingOfFailuresOrTheEnd) {
  for (const char* kept : {"Failed to open x.", "Cannot open file 'x'", "No stream found to handle url x",
                           "FATAL: Cannot initialize video driver.", "[h264] error while decoding", "Exiting..."})
    EXPECT_TRUE(PlayerOutput::IsActedOn(kept)) << kept;
  for (const char* dropped : {"A:   1.2 V:   1.2 A-V:  0.000", "Playing media/x.mp3.", "Devolucion: 500", ""})
    EXPECT_FALSE(PlayerOutput::IsActedOn(dropped)) << dropped;
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
