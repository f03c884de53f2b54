// How long the main loop is blocked by the cover cache: a genre change
// empties the ring, which the cache steps of the following passes fill from
// the thumbnails on disk (cold: none stored yet; warm: all stored), beside
// the old way of decoding and scaling the 24 covers in one pass; a one-disc
// move loads one. Runs in a temporary folder holding a genre of 30 albums
// whose covers are 1000 × 1000 JPEG images made by ImageMagick, at the
// default skin of two screen sizes.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>

#include "catalogue/MainLibrary.h"
#include "gui/CoverThumbnails.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Processes.h"
#include "playback/Queue.h"
#include "support/TempDir.h"

namespace {

const int kAlbums = 30;
const char* const kCoverSize = "1000x1000";

// The genre "Pop" of albums "Disco N", each with its own cover, under the
// media folder "media" of a temporary working directory.
class CoverFolder {
 public:
  CoverFolder() {
    library.AddContentPath("media");
    GenreElement* genre = library.GetOrAddGenre("Pop");
    for (int d = 0; d < kAlbums && ready; ++d) {
      const std::string title = "Disco " + std::to_string(d);
      DiscElement* disc = library.NewDisc(genre, title.c_str(), static_cast<uint32_t>(title.size()));
      disc->SetCoverName(RString::Borrowing("cover.jpg", 9));
      genre->AddDisc(disc);
      ready = MakeCover(std::filesystem::path("media") / "Pop" / title, d);
    }
  }

  MainLibrary library;
  bool ready = true;

 private:
  // A fractal picture compresses and decodes like a photograph.
  static bool MakeCover(const std::filesystem::path& folder, int seed) {
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "cover.jpg").string();
    return platform::RunAndWait({"convert", "-size", kCoverSize, "-seed", std::to_string(seed),
                                 "plasma:fractal", "-quality", "90", file}) == 0;
  }

  TempDir dir_;
};

CoverFolder& Covers() {
  static CoverFolder folder;
  return folder;
}

// A GUI with just what the cover cache needs: skin, catalogue, the default
// cover and the ring.
class CacheOnly {
 public:
  CacheOnly(int width, int height) : skin(width, height, 1) {
    skin.SetDefaultCoordsSkin4();
    gui.Resources().skin = &skin;
    gui.Resources().library = &Covers().library;
    gui.Images().coverSurface.reset(SDLGui::NewSurface(skin.wcover, skin.hcovers));
  }

  Skin skin;
  Queue queue;
  SDLGui gui{&queue};
};

bool Prepared(benchmark::State& state) {
  if (platform::FindProgram("convert").empty()) {
    state.SkipWithError("ImageMagick's convert is not installed");
    return false;
  }
  if (!Covers().ready) {
    state.SkipWithError("the covers could not be made");
    return false;
  }
  return true;
}

bool RingFull(SDLGui& gui) {
  for (int i = 0; i < CoverRing::kSlots; ++i)
    if (gui.Carousel().Ring().At(i)->cover == nullptr) return false;
  return gui.Carousel().Ring().At(CoverRing::kSelected)->enlarged != nullptr;
}

// The passes wait on the cover loader between them, as the main loop's
// other work would.
void FillRing(SDLGui& gui) {
  while (!RingFull(gui)) {
    gui.Carousel().coverswithcache();
    gui.Carousel().Loading().AwaitProgress(1000);
  }
}

double Milliseconds(std::chrono::steady_clock::duration time) {
  return std::chrono::duration<double, std::milli>(time).count();
}

// The processor time of this thread: on a machine shared with other work
// it tells the cost of a pass from the time it waited to run.
double ThreadMilliseconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The old pass after a genre change: the 24 covers of the ring decoded and
// scaled at once.
void BM_GenreChangeDecodingEveryCover(benchmark::State& state) {
  if (!Prepared(state)) return;
  CacheOnly cache(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const Skin& skin = cache.skin;
  for (auto _ : state) {
    for (int i = 0; i < CoverRing::kSlots; ++i) {
      const bool forward = i < CoverRing::kSlots - CoverRing::kSelected;
      const int height = forward ? skin.hcovers - skin.coverseparation : skin.hcovers;
      SDL_Surface* image = SDLGui::LoadImageFile(Covers().library.GetCoverPath(0, i));
      SDL_FreeSurface(SDLGui::ScaledCopy(image, skin.wcover, height));
      SDL_FreeSurface(image);
    }
  }
}

// A genre change and the cache steps of the passes that fill the ring; the
// time is that of all the steps, longest_pass_ms that of the longest (and
// longest_pass_cpu_ms its processor time).
void GenreChangeSteps(benchmark::State& state, bool warm) {
  if (!Prepared(state)) return;
  CacheOnly cache(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  if (warm) FillRing(cache.gui);
  double longest = 0;
  double longestCpu = 0;
  int passes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (!warm) std::filesystem::remove_all(CoverThumbnails::kFolder);
    cache.gui.Carousel().ResetCoversCache();
    state.ResumeTiming();
    for (passes = 0; !RingFull(cache.gui); ++passes) {
      const auto start = std::chrono::steady_clock::now();
      const double startCpu = ThreadMilliseconds();
      cache.gui.Carousel().coverswithcache();
      longestCpu = std::max(longestCpu, ThreadMilliseconds() - startCpu);
      longest = std::max(longest, Milliseconds(std::chrono::steady_clock::now() - start));
      cache.gui.Carousel().Loading().AwaitProgress(1000);
    }
  }
  state.counters["longest_pass_ms"] = longest;
  state.counters["longest_pass_cpu_ms"] = longestCpu;
  state.counters["passes"] = passes;
}

void BM_GenreChangeCold(benchmark::State& state) { GenreChangeSteps(state, false); }
void BM_GenreChangeWarm(benchmark::State& state) { GenreChangeSteps(state, true); }

BENCHMARK(BM_GenreChangeDecodingEveryCover)
    ->Args({1024, 768})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_GenreChangeCold)
    ->Args({1024, 768})
    ->Args({1920, 1080})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_GenreChangeWarm)
    ->Args({1024, 768})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void SlideRight(SDLGui& gui) {
  gui.Selection().selDisc = (gui.Selection().selDisc + 1) % kAlbums;
  gui.Carousel().SlideRight();
  gui.Carousel().coverswithcache();
}

// Once every album has been selected, so that its thumbnails are stored.
void BM_OneDiscMoveLoadsOneCover(benchmark::State& state) {
  if (!Prepared(state)) return;
  CacheOnly cache(1024, 768);
  FillRing(cache.gui);
  for (int i = 0; i < kAlbums; ++i) {
    SlideRight(cache.gui);
    FillRing(cache.gui);
  }
  for (auto _ : state) SlideRight(cache.gui);
}
BENCHMARK(BM_OneDiscMoveLoadsOneCover)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
