// The local search over 100,000 tracks (10,000 albums of 10) for a text of
// two words, beside a plain byte-substring pass over the same titles: the
// baseline of what any containment test costs here.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "playback/Queue.h"

namespace {

const int kAlbums = 10000;
const int kTracksPerAlbum = 10;
const char* const kWords[] = {"Noche", "Amor", "Verano", "Canci\xF3n", "Fuego", "Luna", "Coraz\xF3n", "Baile"};
// Two words: one common in album titles, one rarer in track titles.
const char* const kText = "verano 4711";

// Genre 0 stands for the all-music genre, which the search leaves out;
// genre 1 holds every album.
class SearchCatalogue {
 public:
  SearchCatalogue() {
    library.AddItem(NewGenre("TODA LA MUSICA"));
    GenreElement* genre = NewGenre("Pop");
    library.AddItem(genre);
    for (int a = 0; a < kAlbums; ++a) {
      const std::string album = std::string(kWords[a % 8]) + " de " + kWords[(a / 8) % 8] + " " + std::to_string(a);
      DiscElement* disc = library.NewDisc(genre, album.c_str(), static_cast<uint32_t>(album.size()));
      genre->AddDisc(disc);
      for (int t = 0; t < kTracksPerAlbum; ++t) {
        const std::string title = std::to_string(t + 1) + " - " + kWords[(a + t) % 8] + " y " +
                                  kWords[(a * 7 + t * 3) % 8] + " " + std::to_string(a * 10 + t) + ".mp3";
        disc->AddTrack(library.NewTrack(title.c_str(), static_cast<uint32_t>(title.size())));
      }
    }
  }

  MainLibrary library;

 private:
  GenreElement* NewGenre(const std::string& name) {
    return library.NewGenre(name.c_str(), static_cast<uint32_t>(name.size()));
  }
};

SearchCatalogue& Catalogue() {
  static SearchCatalogue catalogue;
  return catalogue;
}

void BM_FindSong(benchmark::State& state) {
  Configuration config(&Catalogue().library);
  Queue queue;
  SDLGui gui(&queue);
  gui.Resources().library = &Catalogue().library;
  gui.Resources().config = &config;
  gui.Lists().resultsList = std::make_unique<ListBox>(SDL_Rect{0, 0, 600, 500}, &gui.Writers().genresListFont);
  gui.Search().searchText = kText;
  for (auto _ : state) benchmark::DoNotOptimize(gui.Keyboard().FindSong());
  state.counters["results"] = static_cast<double>(gui.Search().resultEntries.size());
}
BENCHMARK(BM_FindSong)->Unit(benchmark::kMillisecond);

// A GUI with what the searcher needs: a screen, the skin, the searcher's
// image and its two lists.
class SearcherOnly {
 public:
  explicit SearcherOnly(const char* text) {
    SDL_putenv(const_cast<char*>("SDL_VIDEODRIVER=dummy"));
    SDL_Init(SDL_INIT_VIDEO);
    skin.CalculateCoordinates(1, 0, 0);
    gui.Display().screen = SDL_SetVideoMode(1024, 768, 24, SDL_SWSURFACE);
    gui.Resources().skin = &skin;
    gui.Resources().library = &Catalogue().library;
    gui.Resources().config = &config;
    gui.Images().searchPhoneImage.reset(SDLGui::NewSurface(800, 600));
    gui.Images().searchPhoneSave.reset(SDLGui::NewSurface(800, 600));
    gui.Lists().localResultsList = std::make_unique<ListBox>(SDL_Rect{0, 0, 300, 300}, &gui.Writers().genresListFont);
    gui.Lists().onlineResultsList = std::make_unique<ListBox>(SDL_Rect{0, 0, 300, 300}, &gui.Writers().genresListFont);
    gui.Search().searchText = text;
  }

  Configuration config{&Catalogue().library};
  Skin skin{1024, 768, 1};
  Queue queue;
  SDLGui gui{&queue};
};

// The searcher's search while typing: one slice of at most 99 albums and
// tracks, which a pass of the main loop runs between two inputs.
void BM_SearcherSlice(benchmark::State& state) {
  SearcherOnly searcher("zzq");  // no match: the slices go on to the end
  SDLGui& gui = searcher.gui;
  gui.Searcher().AsyncSearch(true);
  for (auto _ : state) {
    if (!gui.Search().searchRunning) gui.Searcher().AsyncSearch(true);
    benchmark::DoNotOptimize(gui.Searcher().AsyncSearch(false));
  }
}
BENCHMARK(BM_SearcherSlice)->Unit(benchmark::kMicrosecond);

// Every slice until a three-letter text has listed all its matches.
void BM_SearcherWholeCatalogue(benchmark::State& state) {
  SearcherOnly searcher("lun");
  SDLGui& gui = searcher.gui;
  int slices = 0;
  for (auto _ : state) {
    gui.Searcher().AsyncSearch(true);
    for (slices = 1; gui.Search().searchRunning; ++slices) gui.Searcher().AsyncSearch(false);
  }
  state.counters["slices"] = slices;
  state.counters["matches"] = static_cast<double>(gui.Search().albumMatches.size() + gui.Search().trackMatches.size());
}
BENCHMARK(BM_SearcherWholeCatalogue)->Unit(benchmark::kMillisecond);

// The same walk and rule (each word in the album or the track title) with
// strstr, which ignores neither case nor accents.
void BM_PlainSubstringBaseline(benchmark::State& state) {
  const char* const words[] = {"Verano", "4711"};
  for (auto _ : state) {
    int found = 0;
    for (const RItemList* genre = Catalogue().library.GetItemRaw(1); genre != nullptr; genre = genre->next)
      for (const RItemList* node = static_cast<GenreElement*>(genre->data)->GetFirst(); node; node = node->next) {
        const auto* disc = static_cast<DiscElement*>(node->data);
        const char* album = disc->GetTitle().Chars();
        for (unsigned t = 0; t < static_cast<unsigned>(disc->GetTotalTracks()); ++t) {
          const char* title = disc->GetTrack(t)->GetTitle().Chars();
          bool all = true;
          for (const char* word : words) all = all && (std::strstr(album, word) || std::strstr(title, word));
          found += all;
        }
      }
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_PlainSubstringBaseline)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
