#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

class UserSettingsTest : public ::testing::Test {
 protected:
  TempDir dir;
  MainLibrary library;
  Configuration configuration{&library};
};

TEST_F(UserSettingsTest, RoundTrip) {
  configuration.creditscoin1 = 5;
  configuration.creditscoin2 = 65535;
  configuration.playmode = "fiesta";
  configuration.tvout = 1;
  EXPECT_EQ(configuration.SaveUserConfiguration(), 0);
  EXPECT_EQ(ReadHostFile("configuser"), "creditscoin1=5\ncreditscoin2=65535\nplaymode=fiesta\ntvout=1\n");

  Configuration restored(&library);
  EXPECT_EQ(restored.LoadUserConfiguration(), 0);
  EXPECT_EQ(restored.creditscoin1, 5);
  EXPECT_EQ(restored.creditscoin2, 65535);
  EXPECT_STREQ(restored.playmode.c_str(), "fiesta");
  EXPECT_EQ(restored.tvout, 1);
  EXPECT_EQ(restored.tvoutxres, 1366);
  EXPECT_EQ(restored.tvoutyres, 768);
}

// A coin value that is no number from 0 to 65535 keeps the one before.
TEST_F(UserSettingsTest, CoinValuesOutOfBoundsKeepTheirValue) {
  WriteHostFile("configuser",
                "creditscoin1=70000\ncreditscoin2=\nplaymode=\ncreditscoin1=-1\ncreditscoin2=1099511627776\n");
  configuration.playmode = "jukebox";
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(configuration.LoadUserConfiguration(), 0);
  const std::string printed = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(configuration.creditscoin1, 1);
  EXPECT_EQ(configuration.creditscoin2, 3);
  EXPECT_STREQ(configuration.playmode.c_str(), "");
  EXPECT_NE(printed.find("Valor no valido, se conserva el anterior: creditscoin2=1099511627776"), std::string::npos);
}

TEST_F(UserSettingsTest, MissingFileChangesNothing) {
  EXPECT_EQ(configuration.LoadUserConfiguration(), 1);
  EXPECT_EQ(configuration.creditscoin2, 3);
}

// A folder in a file's place cannot be read, even by the superuser.
TEST_F(UserSettingsTest, UnreadableFileIsNamedWithItsReason) {
  EXPECT_EQ(Configuration::UnreadableFile(), "");
  for (const char* name : {"configuser", "configuration"}) {
    std::filesystem::create_directory(name);
    EXPECT_EQ(Configuration::UnreadableFile(), std::string(name) + ": Is a directory");
  }
}

}  // namespace
