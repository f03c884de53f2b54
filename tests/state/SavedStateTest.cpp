#include "state/SavedState.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "TestCatalogue.h"
#include "base/RTextFile.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

using Triple = std::vector<uint32_t>;

std::vector<Triple> Entries(const StateSnapshot& state) {
  std::vector<Triple> entries;
  for (const QueueElement& e : state.queue) entries.push_back({e.genre, e.disc, e.track});
  return entries;
}

std::vector<int32_t> Payments(const StateSnapshot& state) {
  std::vector<int32_t> paid;
  for (const QueueElement& e : state.queue) paid.push_back(e.paid);
  return paid;
}

QueueElement Entry(uint32_t genre, uint32_t disc, uint32_t track, int32_t paid = 0) {
  return QueueElement{genre, disc, track, 0, paid};
}

class SavedStateTest : public ::testing::Test {
 protected:
  // Loads text as "tempdata"; what was printed goes to printed.
  StateSnapshot Load(const std::string& text, bool dropFirstEntry = false) {
    WriteHostFile("tempdata", text);
    StateSnapshot state;
    state.volume = -1;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(saved.Load(state, dropFirstEntry), SavedState::Loaded::kRead);
    std::fflush(stdout);
    printed = ::testing::internal::GetCapturedStdout();
    return state;
  }

  TempDir dir;
  TestCatalogue catalogue;
  SavedState saved{&catalogue.library};
  std::string printed;
};

TEST_F(SavedStateTest, StateIsWrittenInItsLineFormat) {
  StateSnapshot state;
  state.credits = 2;
  state.volume = 40;
  state.coins = {12, 0, 0, 0, 0, 3};
  state.queue = {Entry(2, 0, 3), Entry(1, 5, 1), Entry(0, 5, 0), Entry(7, 8, 9)};
  EXPECT_TRUE(saved.Save(state));
  EXPECT_EQ(ReadHostFile("tempdata"),
            "savedcredits=2\ntmpvolumen=40\n"
            "queueitem=2,0,3\n"
            "queueitemstring=Rock/Descargas/Otro tema.mp3\n"
            "queueitemstring=Pop/Descargas/Song.mp3\n"
            "queueitem=7,8,9\n"
            "counter1=12\ncounter2=0\ncounter3=0\ncounter4=0\ncounter5=0\ncounter6=3\n");
}

// What each entry was paid follows it on a line of its own and comes back
// with it; entries nobody paid for have no such line.
TEST_F(SavedStateTest, StateRoundTripsWithPaymentsAndDownloadsByName) {
  StateSnapshot state;
  state.credits = 5;
  state.volume = 70;
  state.coins = {0, 8, 0, 0, 0, 0};
  state.queue = {Entry(2, 0, 3, 2), Entry(1, 5, 1, 3), Entry(1, 4, 0)};
  ASSERT_TRUE(saved.Save(state));
  EXPECT_NE(ReadHostFile("tempdata").find("queueitem=2,0,3\nqueueitempaid=2\n"
                                          "queueitemstring=Rock/Descargas/Otro tema.mp3\nqueueitempaid=3\n"
                                          "queueitem=1,4,0\ncounter1="),
            std::string::npos);
  const StateSnapshot restored = Load(ReadHostFile("tempdata"));
  EXPECT_EQ(restored.credits, 5);
  EXPECT_EQ(restored.volume, 70);
  EXPECT_EQ(restored.coins, state.coins);
  EXPECT_EQ(Entries(restored), (std::vector<Triple>{{2, 0, 3}, {1, 5, 1}, {1, 4, 0}}));
  EXPECT_EQ(Payments(restored), (std::vector<int32_t>{2, 3, 0}));
}

// Older files have no payments: their entries come back unpaid. What was
// paid for an entry no longer in the catalogue comes back as credits; the
// entry jumpsong leaves out began to play and keeps its price.
TEST_F(SavedStateTest, PaymentsBelongOnlyToTheEntryBeforeThem) {
  const struct {
    const char* text;
    bool dropFirst;
    std::vector<int32_t> paid;
    int32_t credits;
  } cases[] = {
      {"queueitem=2,0,3\nqueueitem=1,4,0\n", false, {0, 0}, 0},
      {"queueitem=2,0,3\nqueueitem=9,9,9\nqueueitempaid=4\nqueueitem=1,4,0\n", false, {0, 0}, 4},
      {"queueitempaid=4\nqueueitem=2,0,3\nqueueitempaid=5\nqueueitempaid=6\n", false, {5}, 0},
      {"queueitem=2,0,3\nqueueitempaid=4\nqueueitem=1,4,0\n", true, {0}, 0},
      {"savedcredits=3\nqueueitemstring=Pop/Descargas/Borrada.mp3\nqueueitempaid=2\nqueueitempaid=7\n", false, {}, 5},
  };
  for (const auto& item : cases) {
    const StateSnapshot state = Load(item.text, item.dropFirst);
    EXPECT_EQ(Payments(state), item.paid) << item.text;
    EXPECT_EQ(state.credits, item.credits) << item.text;
  }
}

// With jumpsong the first entry saved by position is dropped; downloads,
// saved by name, never are. Missing position parts read as 0.
TEST_F(SavedStateTest, EntriesComeBackInFileOrder) {
  const struct {
    const char* text;
    bool dropFirst;
    std::vector<Triple> entries;
  } cases[] = {
      {"savedcredits=5\nqueueitem=2,0,3\nqueueitemstring=Rock/Descargas/Primero.mp4\nqueueitem=1,4,0\n", false,
       {{2, 0, 3}, {1, 5, 0}, {1, 4, 0}}},
      {"queueitem=2,0,3\nqueueitem=1,4,0\nqueueitem=2,0,3\n", true, {{1, 4, 0}, {2, 0, 3}}},
      {"queueitemstring=Pop/Descargas/Song.mp3\nqueueitem=1,2,3\n", true, {{0, 5, 0}}},
      {"queueitem=3,2\n", false, {{3, 0, 0}}},
  };
  for (const auto& item : cases) EXPECT_EQ(Entries(Load(item.text, item.dropFirst)), item.entries) << item.text;
}

TEST_F(SavedStateTest, EntriesOutsideTheCatalogueAreLeftOut) {
  const StateSnapshot state = Load(
      "queueitem=9,0,0\nqueueitem=0,0,4\nqueueitem=-1,0,0\nqueueitem=0,0,3x\n"
      "queueitemstring=Pop/Descargas/Borrada.mp3\nqueueitem=0,0,3\n");
  EXPECT_EQ(Entries(state), (std::vector<Triple>{{0, 0, 3}}));
  EXPECT_EQ(printed,
            "Elemento de la cola fuera del catalogo, no se agrega: 9,0,0\n"
            "Elemento de la cola fuera del catalogo, no se agrega: 0,0,4\n"
            "Elemento de la cola fuera del catalogo, no se agrega: -1,0,0\n"
            "Elemento de la cola fuera del catalogo, no se agrega: 0,0,3x\n"
            "Cancion descargada no encontrada, no se agrega a la cola: Pop/Descargas/Borrada.mp3\n");
}

// Numbers are read whole and never below 0: a negative balance from an
// older build, a wrapped one or a forged one reads 0, with a log line.
TEST_F(SavedStateTest, NumbersOutOfRangeReadAsZero) {
  const struct {
    const char* text;
    int32_t credits;
    int32_t coins1;
  } cases[] = {
      {"savedcredits=2147483647\ncounter1=7\n", 2147483647, 7},
      {"savedcredits=-16\ncounter1=-3\n", 0, 0},
      {"savedcredits=99999999999\ncounter1=5-3\n", 0, 0},
      {"savedcredits=12abc\ncounter1=\n", 0, 0},
  };
  for (const auto& item : cases) {
    const StateSnapshot state = Load(item.text);
    EXPECT_EQ(state.credits, item.credits) << item.text;
    EXPECT_EQ(state.coins[0], item.coins1) << item.text;
    EXPECT_EQ(printed.empty(), item.credits != 0) << item.text;
  }
}

// A line longer than our readers take, with a forged key at its end, is
// passed over whole; an entry whose line would be that long is never saved.
TEST_F(SavedStateTest, LongLinesAreNeitherReadInPiecesNorWritten) {
  const std::string title(RTextFile::kLongestLine, 'x');
  const StateSnapshot state = Load("savedcredits=1\nqueueitemstring=Pop/Descargas/" + title + "savedcredits=999\n");
  EXPECT_EQ(state.credits, 1);
  EXPECT_TRUE(state.queue.empty());
  EXPECT_TRUE(saved.CanSave(Entry(1, 5, 1)));
  MainLibrary& library = catalogue.library;
  const int longTrack = library.AddDownloadedTrack(RString(title.c_str()));
  ASSERT_GE(longTrack, 0);
  EXPECT_FALSE(saved.CanSave(Entry(0, static_cast<uint32_t>(library.DownloadsDiscIndex()), longTrack)));
}

TEST_F(SavedStateTest, ConfiguredVolumeIsNeitherReadNorSaved) {
  WriteHostFile("tempdata", "tmpvolumen=80\n");
  StateSnapshot fixed;
  EXPECT_EQ(saved.Load(fixed, false), SavedState::Loaded::kRead);
  EXPECT_FALSE(fixed.volume);
  ASSERT_TRUE(saved.Save(fixed));
  EXPECT_EQ(ReadHostFile("tempdata").find("tmpvolumen"), std::string::npos);
  EXPECT_EQ(Load("tmpvolumen=80\n").volume, 80);
}

TEST_F(SavedStateTest, MissingFileChangesNothing) {
  StateSnapshot state;
  state.credits = 7;
  EXPECT_EQ(saved.Load(state, false), SavedState::Loaded::kMissing);
  EXPECT_EQ(state.credits, 7);
}

// A folder in a file's place cannot be read, even by the superuser; the
// credits it may hold are never overwritten blind.
TEST_F(SavedStateTest, UnreadableFileIsNeitherLoadedNorReplaced) {
  std::filesystem::create_directory("tempdata");
  EXPECT_EQ(SavedState::UnreadableFile(), "tempdata: Is a directory");
  StateSnapshot state;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(saved.Load(state, false), SavedState::Loaded::kUnreadable);
  ::testing::internal::GetCapturedStdout();
  EXPECT_FALSE(saved.Save(state));
  EXPECT_FALSE(saved.Fault().empty());
  EXPECT_TRUE(std::filesystem::is_directory("tempdata"));
  EXPECT_FALSE(std::filesystem::exists("tempdata.tmp"));
}

}  // namespace
