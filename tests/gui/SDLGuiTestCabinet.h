#pragma once
// A cabinet working directory for GUI tests: every image the display set-up
// loads, in plain colours (BMP data, which the image loader recognises
// whatever the file name), a font as "arial.ttf", and the objects start-up
// hands to SDLGui::initialize. Time runs on a manual clock.
#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <string>
#include <vector>

#include "Surfaces.h"
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "playback/Queue.h"
#include "support/Files.h"
#include "support/TempDir.h"

struct CabinetImage {
  std::string file;
  int w;
  int h;
  Uint8 r, g, b;
};

// Colours the tests look for on the screen.
constexpr Uint8 kSkinBlue[3] = {0, 0, 255};
constexpr Uint8 kOfflineRed[3] = {255, 0, 0};
constexpr Uint8 kOnlineGreen[3] = {0, 255, 0};
constexpr Uint8 kTvYellow[3] = {255, 255, 0};

// Whether two colours differ by at most 2 in each channel: scaling with
// smoothing leaves plain images off by one here and there.
inline bool Near(const Rgba& a, const Rgba& b) {
  auto close = [](int x, int y) { return x - y <= 2 && y - x <= 2; };
  return close(std::get<0>(a), std::get<0>(b)) && close(std::get<1>(a), std::get<1>(b)) &&
         close(std::get<2>(a), std::get<2>(b)) && close(std::get<3>(a), std::get<3>(b));
}

inline std::vector<CabinetImage> CabinetImages() {
  std::vector<CabinetImage> images = {
      {"skins/skin.jpg", 320, 240, kSkinBlue[0], kSkinBlue[1], kSkinBlue[2]},
      {"images/defaultcover.jpg", 100, 100, 90, 90, 90},
      {"images/teclado.png", 700, 300, 200, 200, 200},
      {"images/searchphone.png", 800, 600, 30, 30, 30},
      {"images/fondo_tv.jpg", 320, 240, kTvYellow[0], kTvYellow[1], kTvYellow[2]},
      {"images/gear-icon_32x32.png", 32, 32, 1, 1, 1},
      {"images/gear-icon_32x32_2.png", 32, 32, 2, 2, 2},
      {"images/gear-icon-red_32x32.png", 32, 32, 3, 3, 3},
      {"images/gear-icon-red_32x32_2.png", 32, 32, 4, 4, 4},
      {"images/aceptar.png", 64, 35, 10, 10, 10},
      {"images/menu.png", 64, 35, 11, 11, 11},
      {"images/flecha_izquierda.png", 64, 64, 12, 12, 12},
      {"images/flecha_derecha.png", 64, 64, 13, 13, 13},
      {"images/flecha_arriba.png", 45, 45, 14, 14, 14},
      {"images/flecha_abajo.png", 45, 45, 15, 15, 15},
      {"images/back.png", 48, 48, 16, 16, 16},
      {"images/onlineicon.png", 20, 20, kOnlineGreen[0], kOnlineGreen[1], kOnlineGreen[2]},
      {"images/offlineicon.png", 20, 20, kOfflineRed[0], kOfflineRed[1], kOfflineRed[2]},
      {"images/05KARAOKE.jpg", 64, 48, 20, 20, 20},
      {"images/610KARAOKE.jpg", 64, 48, 21, 21, 21},
      {"images/genresdialog.png", 500, 400, 40, 40, 40},
      {"images/resultDialog.png", 600, 500, 41, 41, 41},
      {"images/jumpdialog.png", 300, 200, 42, 42, 42},
      {"images/codeDialog.png", 560, 540, 43, 43, 43},
  };
  for (int digit = 0; digit < 10; ++digit)
    images.push_back({"images/" + std::to_string(digit) + ".png", 25, 20, 50, 50, 50});
  return images;
}

inline void WriteCabinet(const std::filesystem::path& dir) {
  for (const CabinetImage& image : CabinetImages()) {
    std::filesystem::create_directories((dir / image.file).parent_path());
    SDL_Surface* surface = FilledSurface(image.w, image.h, image.r, image.g, image.b);
    SDL_SaveBMP(surface, (dir / image.file).c_str());
    SDL_FreeSurface(surface);
  }
  std::error_code ignored;
  std::filesystem::copy_file(kTestFont, dir / "arial.ttf", ignored);
}

// Every image slot that a complete set-up fills, with its name.
inline std::vector<std::pair<std::string, SDL_Surface*>> LoadedImages(const SDLGui& gui) {
  std::vector<std::pair<std::string, SDL_Surface*>> slots = {
      {"background", gui.Images().background},
      {"coverSurface", gui.Images().coverSurface},
      {"keyboardImage", gui.Images().keyboardImage},
      {"searchPhoneImage", gui.Images().searchPhoneImage},
      {"searchPhoneSave", gui.Images().searchPhoneSave},
      {"backImage", gui.Images().backImage},
      {"onlineIcon", gui.Images().onlineIcon},
      {"offlineIcon", gui.Images().offlineIcon},
      {"karaokeImage05", gui.Images().karaokeImage05},
      {"karaokeImage610", gui.Images().karaokeImage610},
      {"genresDialogImage", gui.Images().genresDialogImage},
      {"genresDialogSave", gui.Images().genresDialogSave},
      {"resultDialogImage", gui.Images().resultDialogImage},
      {"resultDialogSave", gui.Images().resultDialogSave},
      {"jumpDialogImage", gui.Images().jumpDialogImage},
      {"jumpDialogSave", gui.Images().jumpDialogSave},
  };
  for (int i = 0; i < 6; ++i) slots.push_back({"buttonImages" + std::to_string(i), gui.Images().buttonImages[i]});
  for (int i = 0; i < 4; ++i) slots.push_back({"gearIcons" + std::to_string(i), gui.Images().gearIcons[i]});
  for (int i = 0; i < 10; ++i) slots.push_back({"digitImages" + std::to_string(i), gui.Images().digitImages[i]});
  for (int i = 0; i < 3; ++i) slots.push_back({"keyHighlights" + std::to_string(i), gui.Images().keyHighlights[i]});
  return slots;
}

// Credits as a restored state brings them, the counters at 0.
inline void GiveCredits(SDLGui& gui, int32_t credits) {
  StateSnapshot state;
  state.credits = credits;
  gui.Resources().cashbox->Restore(state);
}

class CabinetTest : public ::testing::Test {
 protected:
  CabinetTest() {
    platform::SetClock(&clock);
    config.skinname = "skin";
    config.volumen = -1;
    skin.CalculateCoordinates(1, 0, 0);
  }
  ~CabinetTest() override { platform::SetClock(nullptr); }

  // Writes the cabinet into the working directory and sets the GUI up.
  int Start() {
    WriteCabinet(".");
    return Initialize();
  }
  // Sets the GUI up in the current directory; input left by the set-up
  // (the pointer moved to the centre) is dropped.
  int Initialize() {
    testing::internal::CaptureStdout();
    const int result = gui.initialize(&skin, &library, nullptr, &config);
    setUpLog = testing::internal::GetCapturedStdout();
    PendingEvents();
    return result;
  }
  // Takes every pending event; how many there were.
  static int PendingEvents() {
    SDL_Event event;
    int count = 0;
    while (SDL_PollEvent(&event)) ++count;
    return count;
  }

  static Rgba Color(const Uint8 (&rgb)[3]) { return Opaque(rgb[0], rgb[1], rgb[2]); }

  // "tempdata" once the saves asked for so far are written.
  std::string SavedFile() {
    gui.Money().Flush();
    return ReadHostFile("tempdata");
  }
  bool StateSaved() {
    gui.Money().Flush();
    return std::filesystem::exists("tempdata");
  }
  // What follows the sales submitted so far, once saved, as the main loop's
  // next pass does it.
  void FinishSales() {
    gui.Money().Flush();
    gui.Sales().Finish();
  }

  // Runs the cover step until the cover loader has nothing left to do,
  // waiting on the loader between steps; false when it does not come to it.
  bool SettleCovers() {
    for (int step = 0; step < 100; ++step) {
      gui.Carousel().coverswithcache();
      if (gui.Carousel().Loading().Idle()) return true;
      gui.Carousel().Loading().AwaitProgress(10000);
    }
    return false;
  }

  TempDir dir;
  platform::ManualClock clock{1000};
  MainLibrary library;
  Configuration config{&library};
  Skin skin{1024, 768, 1};
  Queue queue;
  SDLGui gui{&queue};
  std::string setUpLog;
};
