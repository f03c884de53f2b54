#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "SDLGuiTestCabinet.h"
#include "Surfaces.h"
#include "gui/CoverLoader.h"
#include "platform/Paths.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

constexpr uint32_t kWaitMs = 10000;

class CoverLoaderTest : public ::testing::Test {
 protected:
  // A plain 60 x 40 cover (BMP data) in the working directory.
  static std::string WriteCover(const std::string& name, const Rgba& colour) {
    SDL_Surface* image =
        FilledSurface(60, 40, static_cast<Uint8>(std::get<0>(colour)), static_cast<Uint8>(std::get<1>(colour)),
                      static_cast<Uint8>(std::get<2>(colour)));
    SDL_SaveBMP(image, name.c_str());
    SDL_FreeSurface(image);
    return name;
  }

  // What the loader hands over until it has nothing left to do.
  std::vector<CoverLoader::Finished> Drain() {
    std::vector<CoverLoader::Finished> all;
    CoverLoader::Finished finished;
    while (loader.AwaitProgress(kWaitMs)) {
      while (loader.TakeFinished(finished)) all.push_back(std::move(finished));
      if (loader.Idle()) break;
    }
    EXPECT_TRUE(loader.Idle());
    return all;
  }

  static std::filesystem::path Entry(const std::string& cover, int width, int height) {
    return platform::ToHostPath(CoverThumbnails::EntryPath(cover.c_str(), width, height));
  }

  TempDir dir;
  CoverLoader loader;
};

TEST_F(CoverLoaderTest, HandsOverEachWantedCoverAtItsSize) {
  const Rgba red = Opaque(200, 30, 30), blue = Opaque(30, 30, 200);
  const std::string redCover = WriteCover("red.bmp", red), blueCover = WriteCover("blue.bmp", blue);
  const struct {
    CoverLoader::Cover cover;
    Rgba middle;
    Rgba corner;
  } cases[] = {
      {{redCover, 30, 20}, red, red},
      {{blueCover, 90, 60}, blue, blue},
      {{redCover, 50, 50}, red, Opaque(0, 0, 0)},  // letterboxed
  };
  std::vector<CoverLoader::Cover> wanted;
  for (const auto& c : cases) wanted.push_back(c.cover);
  loader.Want(wanted);
  const std::vector<CoverLoader::Finished> finished = Drain();
  ASSERT_EQ(finished.size(), std::size(cases));
  for (size_t i = 0; i < finished.size(); ++i) {
    const auto& c = cases[i];
    const CoverLoader::Finished& got = finished[i];
    EXPECT_EQ(got.cover, c.cover) << i;
    ASSERT_NE(got.image, nullptr) << i;
    EXPECT_EQ(got.image->w, c.cover.width) << i;
    EXPECT_EQ(got.image->h, c.cover.height) << i;
    EXPECT_TRUE(Near(ColorAt(got.image, got.image->w / 2, got.image->h / 2), c.middle)) << i;
    EXPECT_TRUE(Near(ColorAt(got.image, 0, 0), c.corner)) << i;
    EXPECT_TRUE(std::filesystem::is_regular_file(Entry(c.cover.path, c.cover.width, c.cover.height))) << i;
  }
}

// Only the newest wants count: what the customer moved away from is not
// handed over, even when the worker had started it.
TEST_F(CoverLoaderTest, CoversNoLongerWantedAreNotHandedOver) {
  const std::string a = WriteCover("a.bmp", Opaque(10, 10, 10));
  const std::string b = WriteCover("b.bmp", Opaque(20, 20, 20));
  const std::string c = WriteCover("c.bmp", Opaque(30, 30, 30));
  loader.Want({{a, 40, 40}, {b, 40, 40}});
  loader.Want({{c, 40, 40}});
  const std::vector<CoverLoader::Finished> finished = Drain();
  ASSERT_EQ(finished.size(), 1u);
  EXPECT_EQ(finished[0].cover.path, c);

  loader.Want({{a, 40, 40}});
  loader.Want({});
  EXPECT_TRUE(Drain().empty());
}

TEST_F(CoverLoaderTest, UnreadableCoversComeBackWithoutImageAndSaySo) {
  WriteHostFile("damaged.bmp", "BM not an image");
  loader.Want({{"missing.bmp", 40, 40}, {"damaged.bmp", 40, 40}});
  const std::vector<CoverLoader::Finished> finished = Drain();
  ASSERT_EQ(finished.size(), 2u);
  for (const CoverLoader::Finished& got : finished) {
    EXPECT_EQ(got.image, nullptr) << got.cover.path;
    EXPECT_EQ(got.log.rfind("Error loading cover <" + got.cover.path + ">\n", 0), 0u) << got.log;
  }
}

// Thumbnails of albums gone and of sizes no longer shown go; anything not
// named as a thumbnail, and anything behind a link, stays.
TEST_F(CoverLoaderTest, IdleWorkerDeletesThumbnailsNoLongerRead) {
  namespace fs = std::filesystem;
  const fs::path folder = platform::ToHostPath(CoverThumbnails::kFolder);
  fs::create_directories(folder);
  const fs::path kept = Entry("kept.bmp", 30, 20), otherSize = Entry("kept.bmp", 31, 20),
                 albumGone = Entry("gone.bmp", 30, 20);
  const fs::path foreign[] = {folder / "notas.txt", fs::path(kept.string() + ".tmp"),
                              folder / "0123456789ABCDEF-30x20.mini", folder / "123-30x20.mini"};
  for (const fs::path& file : {kept, otherSize, albumGone}) WriteHostFile(file, "thumbnail");
  for (const fs::path& file : foreign) WriteHostFile(file, "not ours");
  fs::create_directory("outside");
  WriteHostFile("outside/target", "elsewhere");
  const fs::path link = Entry("link.bmp", 30, 20);
  fs::create_symlink(fs::absolute("outside/target"), link);

  auto inUse = std::make_shared<CoverThumbnails::InUse>();
  inUse->AddCover("kept.bmp");
  inUse->AddSize({30, 20});
  loader.Tidy(inUse);
  Drain();
  EXPECT_TRUE(fs::exists(kept));
  EXPECT_FALSE(fs::exists(otherSize));
  EXPECT_FALSE(fs::exists(albumGone));
  for (const fs::path& file : foreign) EXPECT_TRUE(fs::exists(file)) << file;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(fs::exists("outside/target"));

  // A cache folder that is a link is not walked.
  fs::remove_all(folder);
  WriteHostFile(fs::path("outside") / albumGone.filename(), "thumbnail");
  fs::create_directory_symlink(fs::absolute("outside"), folder);
  loader.Tidy(inUse);
  Drain();
  EXPECT_TRUE(fs::exists(fs::path("outside") / albumGone.filename()));
}

// Under the sanitizers this also shows that nothing leaks.
TEST_F(CoverLoaderTest, StopsWithCoversInHand) {
  std::vector<CoverLoader::Cover> wanted;
  for (int i = 0; i < 30; ++i)
    wanted.push_back({WriteCover("c" + std::to_string(i) + ".bmp", Opaque(i, i, i)), 400, 400});
  {
    CoverLoader busy;
    busy.Want(wanted);
    ASSERT_TRUE(busy.AwaitProgress(kWaitMs));
  }
  loader.Want(wanted);
  loader.Stop();
  EXPECT_TRUE(loader.Idle());
  CoverLoader::Finished finished;
  EXPECT_FALSE(loader.TakeFinished(finished));
  loader.Want(wanted);
  EXPECT_TRUE(loader.Idle());
}

}  // namespace
