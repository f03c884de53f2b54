// Catalogue loading against the bare cost of its input: loading "db" versus
// reading the same file line by line, and the folder scan versus listing the
// same tree. Runs in a temporary folder holding a generated "db" of 10,000
// albums and a media tree of 2,000 albums, ten tracks each.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "support/TempDir.h"
#include "base/RTextFile.h"
#include "bench/CatalogueGenerator.h"
#include "catalogue/MainLibrary.h"
#include "platform/Files.h"

namespace {

const char* const kMediaRoot = "media";

// The loaders log every genre on standard output; the benchmark's own report
// goes there too, so their lines are sent to /dev/null while they run.
class QuietStdout {
 public:
  QuietStdout() : saved_(dup(STDOUT_FILENO)) {
    std::fflush(stdout);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
  }
  ~QuietStdout() {
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
  }

 private:
  int saved_;
};

int CountAlbums(const MainLibrary& library) {
  int albums = 0;
  for (RItemList* node = library.GetFirst(); node; node = node->next)
    if (node->data != library.allGenre) albums += static_cast<GenreElement*>(node->data)->GetTotalDiscs();
  return albums;
}

template <class Load>
void MeasureLoad(benchmark::State& state, Load load) {
  QuietStdout quiet;
  for (auto _ : state) {
    MainLibrary* library = new MainLibrary;
    library->AddContentPath(kMediaRoot);
    load(*library);
    state.PauseTiming();
    state.counters["albums"] = CountAlbums(*library);
    delete library;  // and with it the arena of its elements
    state.ResumeTiming();
  }
}

void LoadCatalogueFile(benchmark::State& state) {
  MeasureLoad(state, [](MainLibrary& library) { library.LoadContentFromDB(); });
}

void ReadCatalogueFileLines(benchmark::State& state) {
  for (auto _ : state) {
    RTextFile file;
    file.Open(MainLibrary::kCatalogueFileName, "r");
    int64_t lines = 0;
    while (file.GetLine().GetLength() > 0) ++lines;
    benchmark::DoNotOptimize(lines);
    state.counters["lines"] = static_cast<double>(lines);
  }
}

void ScanFolders(benchmark::State& state) {
  MeasureLoad(state, [](MainLibrary& library) { library.LoadContentFromStorage(); });
}

int64_t ListFolder(const std::string& path, int depth) {
  platform::DirListing listing(path);
  std::string name;
  int64_t entries = 0;
  while (listing.Next(name)) {
    if (name == "." || name == "..") continue;
    ++entries;
    if (depth > 0) entries += ListFolder(path + "\\" + name, depth - 1);
  }
  return entries;
}

// Root, genre and album levels, as the scan walks them.
void ListTreeWithDirListing(benchmark::State& state) {
  for (auto _ : state) {
    const int64_t entries = ListFolder(kMediaRoot, 2);
    benchmark::DoNotOptimize(entries);
    state.counters["entries"] = static_cast<double>(entries);
  }
}

void ListTreeWithFilesystem(benchmark::State& state) {
  for (auto _ : state) {
    int64_t entries = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kMediaRoot)) {
      benchmark::DoNotOptimize(&entry);
      ++entries;
    }
    state.counters["entries"] = static_cast<double>(entries);
  }
}

BENCHMARK(LoadCatalogueFile)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadCatalogueFileLines)->Unit(benchmark::kMillisecond);
BENCHMARK(ScanFolders)->Unit(benchmark::kMillisecond);
BENCHMARK(ListTreeWithDirListing)->Unit(benchmark::kMillisecond);
BENCHMARK(ListTreeWithFilesystem)->Unit(benchmark::kMillisecond);

// The console report followed by each loader's time over its input's.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration)
        seconds_[run.benchmark_name()] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    Ratio("LoadCatalogueFile", "ReadCatalogueFileLines");
    Ratio("ScanFolders", "ListTreeWithDirListing");
    Ratio("ScanFolders", "ListTreeWithFilesystem");
    ConsoleReporter::Finalize();
  }

 private:
  void Ratio(const std::string& measured, const std::string& baseline) {
    if (!seconds_.count(measured) || !seconds_.count(baseline)) return;
    GetOutputStream() << measured << " / " << baseline << " = " << seconds_[measured] / seconds_[baseline] << "\n";
  }

  std::map<std::string, double> seconds_;
};


}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TempDir folder;  // the generated inputs, removed at the end
  GeneratedShape catalogue;
  catalogue.albums = 10000;
  GeneratedShape tree;
  tree.albums = 2000;
  if (!GenerateCatalogueFile(MainLibrary::kCatalogueFileName, catalogue) || !GenerateMediaTree(kMediaRoot, tree)) {
    std::fprintf(stderr, "No se pudieron generar los datos de prueba\n");
    return 1;
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
