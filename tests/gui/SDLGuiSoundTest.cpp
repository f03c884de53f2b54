#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "SDLGuiTestCabinet.h"
#include "platform/System.h"
#include "support/Files.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// A silent 8-bit mono WAV file of samples at 8000 per second.
void WriteWav(const char* file, uint32_t samples) {
  std::string data;
  auto number = [&data](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) data.push_back(static_cast<char>(value >> (8 * i)));
  };
  data += "RIFF";
  number(36 + samples, 4);
  data += "WAVEfmt ";
  number(16, 4);
  number(1, 2);  // PCM
  number(1, 2);  // mono
  number(8000, 4);
  number(8000, 4);
  number(1, 2);
  number(8, 2);
  data += "data";
  number(samples, 4);
  data.append(samples, static_cast<char>(128));
  WriteHostFile(file, data);
}

// SDL's dummy audio driver plays sound in real time and lets it be heard
// nowhere.
class SDLGuiCoinSoundTest : public CabinetTest {
 protected:
  SDLGuiCoinSoundTest() : savedDriver_(platform::GetEnv("SDL_AUDIODRIVER")) {
    platform::SetEnv("SDL_AUDIODRIVER", "dummy");
  }
  ~SDLGuiCoinSoundTest() override {
    if (savedDriver_.empty())
      unsetenv("SDL_AUDIODRIVER");
    else
      platform::SetEnv("SDL_AUDIODRIVER", savedDriver_);
  }

  void SetUp() override {
    ASSERT_EQ(Start(), 1) << setUpLog;
    config.soundcredit = true;
  }
  // Wall-clock milliseconds an action takes.
  static long long RealTimeOf(const std::function<void()>& action) {
    const auto start = steady_clock::now();
    action();
    return std::chrono::duration_cast<milliseconds>(steady_clock::now() - start).count();
  }
  bool Playing() const { return gui.Resources().coinSound != nullptr && gui.Resources().coinSound->Playing(); }
  // The clip's worker opens and gives back the device on its own time.
  static bool Eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 500 && !condition(); ++i) std::this_thread::sleep_for(milliseconds(10));
    return condition();
  }
  bool Over() const { return Eventually([this] { return !Playing(); }); }

 private:
  std::string savedDriver_;
};

TEST_F(SDLGuiCoinSoundTest, CoinSoundPlaysWhileTheLoopGoesOn) {
  WriteWav("coin.wav", 8000);  // one second
  EXPECT_LT(RealTimeOf([&] { gui.Coins().CreditKey(config.coin1); }), 500);
  EXPECT_EQ(gui.Credits(), 1);
  EXPECT_TRUE(Playing());
  EXPECT_TRUE(Eventually([] { return SDL_GetAudioStatus() == SDL_AUDIO_PLAYING; }));
  gui.draw();
  EXPECT_TRUE(Playing());

  EXPECT_TRUE(Over());
  EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);  // the device is given back once the sound is over

  gui.Coins().CreditKey(config.coin1);
  EXPECT_TRUE(Playing());
  EXPECT_EQ(gui.Credits(), 2);
}

TEST_F(SDLGuiCoinSoundTest, WithoutTheFileOrAnAudioDeviceCoinsAreStillCredited) {
  gui.Coins().CreditKey(config.coin1);
  EXPECT_TRUE(Over());
  EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
  EXPECT_EQ(gui.Credits(), 1);

  platform::SetEnv("SDL_AUDIODRIVER", "no-such-device");
  WriteWav("coin.wav", 800);
  gui.Coins().CreditKey(config.coin1);
  EXPECT_TRUE(Over());
  platform::SetEnv("SDL_AUDIODRIVER", "dummy");
  EXPECT_EQ(gui.Credits(), 2);

  gui.Coins().CreditKey(config.coin1);  // not tried again
  EXPECT_FALSE(Playing());
  EXPECT_EQ(gui.Credits(), 3);
}

}  // namespace
