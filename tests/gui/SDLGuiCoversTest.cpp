#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "CoverCatalogue.h"
#include "SDLGuiTestCabinet.h"
#include "platform/Paths.h"
#include "gui/CoverDecoder.h"
#include "support/Files.h"
#include "support/HostileFiles.h"

namespace {

class SDLGuiCoversTest : public CabinetTest {
 protected:
  CoverRing::Slot& Slot(int i) {
    CoverRing::Slot* slot = gui.Carousel().Ring().At(i);
    EXPECT_NE(slot, nullptr) << i;
    return *slot;
  }

  // Runs the cache step until the loader settles and returns what it
  // logged.
  std::string FillCache() {
    testing::internal::CaptureStdout();
    const bool settled = SettleCovers();
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(settled);
    return log;
  }

  // One step of the ring once the loader has finished what it places next.
  void StepWhenFinished() {
    ASSERT_TRUE(gui.Carousel().Loading().AwaitProgress(10000));
    gui.Carousel().coverswithcache();
  }

  // The slot holds the cover of disc d, at the height of its pass.
  void ExpectCover(int i, int d) {
    const CoverRing::Slot& slot = Slot(i);
    EXPECT_EQ(slot.disc, static_cast<uint32_t>(d)) << "slot " << i;
    ASSERT_NE(slot.cover, nullptr) << "slot " << i;
    EXPECT_EQ(slot.cover->w, skin.wcover) << "slot " << i;
    const int height =
        i >= CoverRing::kSelected ? skin.hcovers - skin.coverseparation : skin.hcovers;
    EXPECT_EQ(slot.cover->h, height) << "slot " << i;
    EXPECT_TRUE(
        Near(ColorAt(slot.cover, slot.cover->w / 2, slot.cover->h / 2), CoverCatalogue::ColorOf(d)))
        << "slot " << i << " disc " << d;
  }

  std::vector<SDL_Surface*> Covers() {
    std::vector<SDL_Surface*> covers;
    for (int i = 0; i < CoverRing::kSlots; ++i) covers.push_back(Slot(i).cover);
    return covers;
  }

  static int Mod(int a, int n) { return (a % n + n) % n; }

  // The host path of the stored thumbnail of slot 10's cover.
  std::filesystem::path SelectedEntry() {
    const std::string entry = CoverThumbnails::EntryPath(
        library.GetCoverPath(0, 0), skin.wcover, skin.hcovers - skin.coverseparation);
    return platform::ToHostPath(entry);
  }

  CoverCatalogue catalogue{library};
};

TEST_F(SDLGuiCoversTest, FiveDiscGenreFillsTheRingAroundTheSelection) {
  catalogue.AddGenre("Pop", 5);
  ASSERT_EQ(Start(), 1) << setUpLog;
  EXPECT_EQ(FillCache(), "");

  // Slots 10..23 hold 0,1,2,3,4,0,... and slots 9..0 hold 4,3,2,1,0,4,...
  for (int i = 0; i < CoverRing::kSlots; ++i) ExpectCover(i, Mod(i - CoverRing::kSelected, 5));
  EXPECT_EQ(gui.Carousel().CoversOnScreen(), 4);

  // A filled ring loads nothing more.
  const std::vector<SDL_Surface*> before = Covers();
  FillCache();
  EXPECT_EQ(Covers(), before);
}

TEST_F(SDLGuiCoversTest, SmallGenresAreNotWrapped) {
  catalogue.AddGenre("Duo", 2);
  ASSERT_EQ(Start(), 1) << setUpLog;
  FillCache();
  for (int i = 0; i < CoverRing::kSlots; ++i) {
    if (i == 10 || i == 11)
      ExpectCover(i, i - 10);
    else
      EXPECT_EQ(Slot(i).cover, nullptr) << i;
  }
  EXPECT_EQ(gui.Carousel().CoversOnScreen(), 2);

  gui.Carousel().ResetCoversCache();
  gui.Selection().selDisc = 1;
  FillCache();
  ExpectCover(10, 1);
  EXPECT_EQ(Slot(11).cover, nullptr);
  EXPECT_EQ(gui.Carousel().CoversOnScreen(), 1);
}

TEST_F(SDLGuiCoversTest, SlidesLoadOnlyTheCoverComingIntoView) {
  catalogue.AddGenre("Pop", 5);
  ASSERT_EQ(Start(), 1) << setUpLog;
  FillCache();

  // Right: slot 0 leaves (its cover released once), the others move one
  // towards the front and slot 23 comes in empty.
  std::vector<SDL_Surface*> before = Covers();
  SDL_Surface* leaving = before[0];
  ++leaving->refcount;
  gui.Selection().selDisc = 1;
  gui.Selection().selTrack = 2;
  gui.Carousel().SlideRight();
  EXPECT_EQ(leaving->refcount, 1);
  SDL_FreeSurface(leaving);
  EXPECT_EQ(gui.Selection().selTrack, 0u);
  for (int i = 0; i < CoverRing::kSlots - 1; ++i) EXPECT_EQ(Slot(i).cover, before[i + 1]) << i;
  EXPECT_EQ(Slot(23).cover, nullptr);
  FillCache();
  ExpectCover(23, Mod(1 + 13, 5));
  for (int i = 0; i < CoverRing::kSlots - 1; ++i) EXPECT_EQ(Slot(i).cover, before[i + 1]) << i;

  // Left: the mirror image.
  before = Covers();
  gui.Selection().selDisc = 0;
  gui.Selection().selTrack = 1;
  gui.Carousel().SlideLeft();
  EXPECT_EQ(gui.Selection().selTrack, 0u);
  EXPECT_EQ(Slot(0).cover, nullptr);
  for (int i = 1; i < CoverRing::kSlots; ++i) EXPECT_EQ(Slot(i).cover, before[i - 1]) << i;
  FillCache();
  for (int i = 0; i < CoverRing::kSlots; ++i) ExpectCover(i, Mod(i - CoverRing::kSelected, 5));
}

// A move left selects the cover the backward pass loaded at the full
// height; the enlarged cover still fills the carousel's height, not one gap
// more.
TEST_F(SDLGuiCoversTest, EnlargedCoverFillsTheCarouselAfterAMoveLeft) {
  catalogue.AddGenre("Pop", 5);
  ASSERT_EQ(Start(), 1) << setUpLog;
  FillCache();
  gui.Selection().selDisc = 4;
  gui.Carousel().SlideLeft();
  FillCache();
  const CoverRing::Slot& selected = Slot(CoverRing::kSelected);
  ASSERT_NE(selected.enlarged, nullptr);
  EXPECT_EQ(selected.enlarged->w, skin.wcover + skin.coverseparation);
  EXPECT_EQ(selected.enlarged->h, skin.hcovers);
}

TEST_F(SDLGuiCoversTest, MovingLeftInAThreeDiscGenreLoadsTheNewSelection) {
  catalogue.AddGenre("Trio", 3);
  ASSERT_EQ(Start(), 1) << setUpLog;
  FillCache();
  for (int i = 10; i <= 12; ++i) ExpectCover(i, i - 10);
  EXPECT_EQ(Slot(9).cover, nullptr);

  gui.Selection().selDisc = 2;
  gui.Carousel().SlideLeft();
  EXPECT_EQ(Slot(10).cover, nullptr);
  FillCache();
  ExpectCover(10, 2);
  EXPECT_EQ(gui.Carousel().CoversOnScreen(), 1);
}

TEST_F(SDLGuiCoversTest, DiscsWithoutAReadableCoverShareTheDefaultCover) {
  GenreElement* genre = catalogue.AddGenre("Pop", 3);
  catalogue.AddDisc(genre, "Sin portada", 2, false);
  DiscElement* broken = catalogue.AddDisc(genre, "Rota", 2, true);
  WriteHostFile(CoverCatalogue::CoverFile(genre, broken), "not an image");
  ASSERT_EQ(Start(), 1) << setUpLog;

  // Anything that released the default cover would lower its count.
  SDL_Surface* defaultCover = gui.Images().coverSurface;
  defaultCover->refcount += 10;
  const std::string log = FillCache();
  EXPECT_NE(log.find("Error loading cover <media\\Pop\\Rota\\cover.jpg>\n"), std::string::npos)
      << log;
  for (int i = 0; i < CoverRing::kSlots; ++i) {
    const int d = Mod(i - CoverRing::kSelected, 5);
    if (d >= 3) {
      EXPECT_EQ(Slot(i).cover, defaultCover) << i;
    }
  }
  for (int i = 0; i < CoverRing::kSlots; ++i) gui.Carousel().SlideRight();
  gui.Carousel().ResetCoversCache();
  for (int i = 0; i < CoverRing::kSlots; ++i) EXPECT_EQ(Slot(i).cover, nullptr) << i;
  EXPECT_EQ(defaultCover->refcount, 11);
  defaultCover->refcount -= 10;

  // Not decoded again until the file changes.
  EXPECT_EQ(FillCache(), "");
  gui.Carousel().ResetCoversCache();
  std::filesystem::copy_file(CoverCatalogue::CoverFile(genre, genre->GetDisc(0)),
                             CoverCatalogue::CoverFile(genre, broken),
                             std::filesystem::copy_options::overwrite_existing);
  gui.Selection().selDisc = 4;
  EXPECT_EQ(FillCache(), "");
  EXPECT_TRUE(Near(ColorAt(Slot(10).cover, Slot(10).cover->w / 2, Slot(10).cover->h / 2), CoverCatalogue::ColorOf(0)));
}

// Each case changes the cover or its stored thumbnail after a first fill;
// the next genre change shows the colour the case expects.
TEST_F(SDLGuiCoversTest, ThumbnailsServeOnlyTheCoverAsItIsOnDisk) {
  GenreElement* genre = catalogue.AddGenre("Pop", 5);
  const std::filesystem::path cover = CoverCatalogue::CoverFile(genre, genre->GetDisc(0));
  // Disc 1's cover has the same size in bytes and another colour.
  auto repaint = [&] {
    const auto time = std::filesystem::last_write_time(cover);
    std::filesystem::copy_file(CoverCatalogue::CoverFile(genre, genre->GetDisc(1)), cover,
                               std::filesystem::copy_options::overwrite_existing);
    return time;
  };
  auto damage = [&](std::streamoff at, const std::string& bytes) {
    std::fstream entry(SelectedEntry(), std::ios::in | std::ios::out | std::ios::binary);
    entry.seekp(at);
    entry.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  };
  const struct {
    const char* name;
    std::function<void()> change;
    int shownDisc;
  } cases[] = {
      {"stored thumbnail", [] {}, 0},
      {"same size and time", [&] { std::filesystem::last_write_time(cover, repaint()); }, 0},
      {"cover changed", [&] {
         const auto time = repaint();
         std::filesystem::last_write_time(cover, time + std::chrono::seconds(1));
       }, 1},
      {"cut short", [&] { std::filesystem::resize_file(SelectedEntry(), 100); }, 0},
      {"pixels damaged", [&] { damage(100, std::string(20000, '\x7f')); }, 0},
      {"garbage", [&] { WriteHostFile(SelectedEntry(), "not a thumbnail"); }, 0},
  };
  ASSERT_EQ(Start(), 1) << setUpLog;
  const std::filesystem::path original = std::filesystem::path(dir.Path()) / "original.bmp";
  std::filesystem::copy_file(cover, original);
  for (const auto& c : cases) {
    std::filesystem::copy_file(original, cover, std::filesystem::copy_options::overwrite_existing);
    gui.Carousel().ResetCoversCache();
    FillCache();
    ASSERT_TRUE(std::filesystem::exists(SelectedEntry())) << c.name;
    c.change();
    gui.Carousel().ResetCoversCache();
    FillCache();
    EXPECT_TRUE(Near(ColorAt(Slot(10).cover, Slot(10).cover->w / 2, Slot(10).cover->h / 2), CoverCatalogue::ColorOf(c.shownDisc))) << c.name;
  }
}

// One load a step: the selected disc first, then the covers on screen, each
// drawn as it comes in over the default cover.
TEST_F(SDLGuiCoversTest, StepsLoadTheCoversOnScreenFirst) {
  catalogue.AddGenre("Pop", 5);
  ASSERT_EQ(Start(), 1) << setUpLog;
  gui.Carousel().Ring().SetStepBudget(0);
  gui.Display().redrawMode = SDLGui::kUpToDate;
  gui.Panels().DrawCovers(false);
  const int step = skin.wcover + skin.coverseparation;
  const int middle = (skin.hcovers - skin.coverseparation) / 2;
  auto shownAt = [&](int i) { return ColorAt(gui.Images().coversSave, step * i + skin.coverseparation + 5, middle); };
  const Rgba defaultGrey = Opaque(90, 90, 90);
  EXPECT_TRUE(Near(ColorAt(gui.Images().coversSave, 5, middle), defaultGrey));

  gui.Carousel().coverswithcache();
  StepWhenFinished();
  EXPECT_NE(Slot(10).enlarged, nullptr);
  EXPECT_EQ(Slot(10).cover, nullptr);
  EXPECT_TRUE(Near(ColorAt(gui.Images().coversSave, 5, middle), CoverCatalogue::ColorOf(0)));
  StepWhenFinished();
  EXPECT_NE(Slot(10).cover, nullptr);
  for (int i = 1; i < 4; ++i) {
    EXPECT_TRUE(Near(shownAt(i), defaultGrey)) << i;
    StepWhenFinished();
    EXPECT_TRUE(Near(shownAt(i), CoverCatalogue::ColorOf(i))) << i;
  }
  EXPECT_EQ(Slot(14).cover, nullptr);
  EXPECT_EQ(Slot(9).cover, nullptr);
}

TEST_F(SDLGuiCoversTest, NoSelectableDiscLoadsNothing) {
  catalogue.AddGenre("Pop", 5);
  catalogue.AddGenre("Vacio", 0);
  ASSERT_EQ(Start(), 1) << setUpLog;
  for (uint32_t genre : {1u, 7u}) {
    gui.Selection().selGenre = genre;
    EXPECT_EQ(FillCache(), "");
    EXPECT_EQ(gui.Carousel().CoversOnScreen(), 0);
  }
  gui.Selection().selGenre = 0;
  gui.Selection().selDisc = 5;
  FillCache();
  for (int i = 0; i < CoverRing::kSlots; ++i) EXPECT_EQ(Slot(i).cover, nullptr) << i;
}

// Whatever stands under a cover's name, start-up goes on and the disc
// shows the default cover.
TEST_F(SDLGuiCoversTest, CoversThatAreNoRegularFileShowTheDefaultCover) {
  const std::vector<HostileFile> hostiles = HostileFiles(kLargestImageFile + 1);
  GenreElement* genre = catalogue.AddGenre("Pop", static_cast<int>(hostiles.size()));
  for (size_t d = 0; d < hostiles.size(); ++d) {
    const std::filesystem::path cover = CoverCatalogue::CoverFile(genre, genre->GetDisc(static_cast<uint32_t>(d)));
    std::filesystem::remove(cover);
    hostiles[d].make(cover);
  }
  ASSERT_EQ(Start(), 1) << setUpLog;
  const std::string log = setUpLog + FillCache();
  for (int i = 0; i < CoverRing::kSlots; ++i) EXPECT_EQ(Slot(i).cover, gui.Images().coverSurface) << i;
  for (size_t d = 0; d < hostiles.size(); ++d)
    EXPECT_NE(log.find("Error loading cover <media\\Pop\\Disco " + std::to_string(d) + "\\cover.jpg>"),
              std::string::npos)
        << hostiles[d].kind << "\n" << log;
}

}  // namespace
