#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "TestCatalogue.h"
#include "config/Configuration.h"
#include "playback/Queue.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

using Triple = std::vector<uint32_t>;

std::vector<Triple> Entries(const Queue& queue) {
  std::vector<Triple> entries;
  for (const QueueElement& e : queue.GetElements()) entries.push_back({e.genre, e.disc, e.track});
  return entries;
}

class SavedStateTest : public ::testing::Test {
 protected:
  // Loads text as "tempdata" into queue and balance; what was printed.
  std::string LoadTempData(const std::string& text) {
    WriteHostFile("tempdata", text);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(configuration.LoadTempData(&queue, &balance), 1);
    std::fflush(stdout);
    return ::testing::internal::GetCapturedStdout();
  }

  TempDir dir;
  TestCatalogue catalogue;
  Configuration configuration{&catalogue.library};
  Queue queue;
  int balance = 0;
};

TEST_F(SavedStateTest, UserSettingsRoundTrip) {
  configuration.creditscoin1 = 5;
  configuration.creditscoin2 = 65535;
  configuration.playmode = "fiesta";
  configuration.tvout = 1;
  EXPECT_EQ(configuration.SaveUserConfiguration(), 0);
  EXPECT_EQ(ReadHostFile("configuser"), "creditscoin1=5\ncreditscoin2=65535\nplaymode=fiesta\ntvout=1\n");

  Configuration restored(&catalogue.library);
  EXPECT_EQ(restored.LoadUserConfiguration(), 0);
  EXPECT_EQ(restored.creditscoin1, 5);
  EXPECT_EQ(restored.creditscoin2, 65535);
  EXPECT_STREQ(restored.playmode.c_str(), "fiesta");
  EXPECT_EQ(restored.tvout, 1);
  EXPECT_EQ(restored.tvoutxres, 1366);
  EXPECT_EQ(restored.tvoutyres, 768);
}

TEST_F(SavedStateTest, UserSettingsKeepCoinValuesInSixteenBits) {
  WriteHostFile("configuser", "creditscoin1=70000\ncreditscoin2=\nplaymode=\n");
  configuration.playmode = "jukebox";
  EXPECT_EQ(configuration.LoadUserConfiguration(), 0);
  EXPECT_EQ(configuration.creditscoin1, 4464);
  EXPECT_EQ(configuration.creditscoin2, 0);
  EXPECT_STREQ(configuration.playmode.c_str(), "");
}

TEST_F(SavedStateTest, MissingFilesChangeNothing) {
  EXPECT_EQ(configuration.LoadUserConfiguration(), 1);
  EXPECT_EQ(configuration.creditscoin2, 3);
  balance = 7;
  EXPECT_EQ(configuration.LoadTempData(&queue, &balance), 1);
  EXPECT_EQ(balance, 7);
  EXPECT_EQ(queue.Count(), 0);
}

TEST_F(SavedStateTest, StateIsWrittenInItsLineFormat) {
  configuration.volumen = 40;
  configuration.counter1 = 12;
  configuration.counter6 = 3;
  queue.AddElementToQueue(2, 0, 3);
  queue.AddElementToQueue(1, 5, 1);
  queue.AddElementToQueueVIP(0, 5, 0);
  EXPECT_EQ(configuration.SaveTempData(&queue, -2), 1);
  EXPECT_EQ(ReadHostFile("tempdata"),
            "savedcredits=-2\ntmpvolumen=40\n"
            "queueitem=2,0,3\n"
            "queueitemstring=Pop/Descargas/Song.mp3\n"
            "queueitemstring=Rock/Descargas/Otro tema.mp3\n"
            "counter1=12\ncounter2=0\ncounter3=0\ncounter4=0\ncounter5=0\ncounter6=3\n");
}

TEST_F(SavedStateTest, StateRoundTripsDownloadsByName) {
  configuration.counter2 = 8;
  configuration.volumen = 70;
  queue.AddElementToQueue(1, 5, 1);
  queue.AddElementToQueue(3, 4, 2);
  configuration.SaveTempData(&queue, -5);

  Configuration restored(&catalogue.library);
  Queue restoredQueue;
  int restoredBalance = 0;
  restored.LoadTempData(&restoredQueue, &restoredBalance);
  EXPECT_EQ(restoredBalance, -5);
  EXPECT_EQ(restored.volumen, 70);
  EXPECT_EQ(restored.counter2, 8);
  EXPECT_EQ(Entries(restoredQueue), (std::vector<Triple>{{1, 5, 1}, {3, 4, 2}}));
  EXPECT_EQ(restoredQueue.GetElementFromQueue(0)->vip, 0);
}

std::vector<int32_t> Payments(const Queue& queue) {
  std::vector<int32_t> paid;
  for (const QueueElement& e : queue.GetElements()) paid.push_back(e.paid);
  return paid;
}

// What each entry was paid follows it on a line of its own and comes back
// with it; entries nobody paid for have no such line.
TEST_F(SavedStateTest, PaymentsRoundTripWithTheirEntries) {
  queue.AddElementToQueue(2, 0, 3, 2);
  queue.AddElementToQueue(1, 5, 1, 3);
  queue.AddElementToQueue(1, 4, 0);
  configuration.SaveTempData(&queue, 1);
  EXPECT_NE(ReadHostFile("tempdata").find("queueitem=2,0,3\nqueueitempaid=2\n"
                                          "queueitemstring=Rock/Descargas/Otro tema.mp3\nqueueitempaid=3\n"
                                          "queueitem=1,4,0\ncounter1="),
            std::string::npos);

  Queue restored;
  int restoredBalance = 0;
  Configuration(&catalogue.library).LoadTempData(&restored, &restoredBalance);
  EXPECT_EQ(Entries(restored), (std::vector<Triple>{{2, 0, 3}, {1, 5, 1}, {1, 4, 0}}));
  EXPECT_EQ(Payments(restored), (std::vector<int32_t>{2, 3, 0}));
}

// Older files have no payments: their entries come back unpaid. A payment
// whose entry was left out is left out with it.
TEST_F(SavedStateTest, PaymentsBelongOnlyToTheEntryBeforeThem) {
  const struct {
    const char* text;
    std::vector<int32_t> paid;
  } cases[] = {
      {"queueitem=2,0,3\nqueueitem=1,4,0\n", {0, 0}},
      {"queueitem=2,0,3\nqueueitem=9,9,9\nqueueitempaid=4\nqueueitem=1,4,0\n", {0, 0}},
      {"queueitempaid=4\nqueueitem=2,0,3\nqueueitempaid=5\nqueueitempaid=6\n", {5}},
  };
  for (const auto& item : cases) {
    SCOPED_TRACE(item.text);
    Queue fresh;
    WriteHostFile("tempdata", item.text);
    ::testing::internal::CaptureStdout();
    configuration.LoadTempData(&fresh, &balance);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(Payments(fresh), item.paid);
  }
  configuration.jumpsong = true;
  LoadTempData("queueitem=2,0,3\nqueueitempaid=4\nqueueitem=1,4,0\n");
  EXPECT_EQ(Payments(queue), (std::vector<int32_t>{0}));
}

TEST_F(SavedStateTest, QueueEntriesAreRestoredInFileOrder) {
  LoadTempData("savedcredits=5\nqueueitem=2,0,3\nqueueitemstring=Rock/Descargas/Primero.mp4\nqueueitem=1,4,0\n");
  EXPECT_EQ(balance, 5);
  EXPECT_EQ(Entries(queue), (std::vector<Triple>{{2, 0, 3}, {1, 5, 0}, {1, 4, 0}}));
}

TEST_F(SavedStateTest, JumpsongDropsTheFirstPositionEntryAndRewritesTheFile) {
  configuration.jumpsong = true;
  LoadTempData("savedcredits=5\nqueueitem=2,0,3\nqueueitem=1,4,0\nqueueitem=2,0,3\n");
  EXPECT_EQ(Entries(queue), (std::vector<Triple>{{1, 4, 0}, {2, 0, 3}}));
  EXPECT_EQ(ReadHostFile("tempdata"),
            "savedcredits=5\ntmpvolumen=-1\nqueueitem=1,4,0\nqueueitem=2,0,3\n"
            "counter1=0\ncounter2=0\ncounter3=0\ncounter4=0\ncounter5=0\ncounter6=0\n");
}

TEST_F(SavedStateTest, JumpsongNeverDropsDownloads) {
  configuration.jumpsong = true;
  LoadTempData("queueitemstring=Pop/Descargas/Song.mp3\nqueueitem=1,2,3\n");
  EXPECT_EQ(Entries(queue), (std::vector<Triple>{{0, 5, 0}}));
}

TEST_F(SavedStateTest, MissingPartsOfAPositionReadAsZero) {
  LoadTempData("queueitem=3,2\n");
  EXPECT_EQ(Entries(queue), (std::vector<Triple>{{3, 0, 0}}));
}

TEST_F(SavedStateTest, EntriesOutsideTheCatalogueAreLeftOut) {
  const std::string printed = LoadTempData(
      "queueitem=9,0,0\nqueueitem=0,0,4\nqueueitem=-1,0,0\n"
      "queueitemstring=Pop/Descargas/Borrada.mp3\nqueueitem=0,0,3\n");
  EXPECT_EQ(Entries(queue), (std::vector<Triple>{{0, 0, 3}}));
  EXPECT_EQ(printed,
            "Elemento de la cola fuera del catalogo, no se agrega: 9,0,0\n"
            "Elemento de la cola fuera del catalogo, no se agrega: 0,0,4\n"
            "Elemento de la cola fuera del catalogo, no se agrega: -1,0,0\n"
            "Cancion descargada no encontrada, no se agrega a la cola: Pop/Descargas/Borrada.mp3\n");
}

TEST_F(SavedStateTest, EmptyCatalogueRestoresNothing) {
  MainLibrary empty;
  Configuration configuration(&empty);
  WriteHostFile("tempdata", "queueitemstring=Pop/Descargas/Song.mp3\nqueueitem=0,0,0\n");
  ::testing::internal::CaptureStdout();
  configuration.LoadTempData(&queue, &balance);
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(queue.Count(), 0);
}

TEST_F(SavedStateTest, EntriesUnknownToTheCatalogueAreStillSavedByPosition) {
  queue.AddElementToQueue(7, 8, 9);
  queue.AddElementToQueue(0, 5, 6);
  configuration.volumeFixed = true;
  configuration.SaveTempData(&queue, 1);
  const std::string expected = "savedcredits=1\nqueueitem=7,8,9\nqueueitem=0,5,6\ncounter1=";
  EXPECT_EQ(ReadHostFile("tempdata").substr(0, expected.size()), expected);
}

TEST_F(SavedStateTest, ConfiguredVolumeWinsAndIsNeverSaved) {
  configuration.volumen = 30;
  configuration.volumeFixed = true;
  LoadTempData("tmpvolumen=80\ncounter1=4\n");
  EXPECT_EQ(configuration.volumen, 30);
  EXPECT_EQ(configuration.counter1, 4);
  configuration.SaveTempData(&queue, 0);
  EXPECT_EQ(ReadHostFile("tempdata").find("tmpvolumen"), std::string::npos);

  Configuration unfixed(&catalogue.library);
  unfixed.LoadTempData(&queue, &balance);
  EXPECT_EQ(unfixed.volumen, -1);
  WriteHostFile("tempdata", "tmpvolumen=80\n");
  unfixed.LoadTempData(&queue, &balance);
  EXPECT_EQ(unfixed.volumen, 80);
}

}  // namespace

// A folder in a file's place cannot be read, even by the superuser.
TEST_F(SavedStateTest, UnreadableTempDataIsNeitherLoadedNorReplaced) {
  std::filesystem::create_directory("tempdata");
  balance = 7;
  EXPECT_EQ(configuration.LoadTempData(&queue, &balance), 0);
  EXPECT_EQ(balance, 7);
  EXPECT_EQ(configuration.SaveTempData(&queue, 12), 0);
  EXPECT_TRUE(std::filesystem::is_directory("tempdata"));
  EXPECT_FALSE(std::filesystem::exists("tempdata.tmp"));
}

TEST_F(SavedStateTest, UnreadableFileIsNamedWithItsReason) {
  EXPECT_EQ(Configuration::UnreadableFile(), "");
  WriteHostFile("tempdata", "savedcredits=50\n");
  EXPECT_EQ(Configuration::UnreadableFile(), "");
  for (const char* name : {"tempdata", "configuser", "configuration"}) {
    std::filesystem::remove(name);
    std::filesystem::create_directory(name);
    EXPECT_EQ(Configuration::UnreadableFile(), std::string(name) + ": Is a directory");
  }
}
