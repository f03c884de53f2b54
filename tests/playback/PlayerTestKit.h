#pragma once
// What the player tests share: a working directory with a media folder, a
// small catalogue over it, a listener that records playback events, and
// stand-in players first on PATH that record their arguments and then sleep
// until they are ended or their time is up.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "platform/System.h"
#include "playback/Player.h"
#include "playback/Queue.h"
#include "support/Files.h"
#include "support/TempDir.h"
#include "support/Wait.h"

namespace fs = std::filesystem;

// One run of a stand-in player: its process id and its arguments, the
// program's own path first.
struct PlayerCall {
  int pid = 0;
  std::vector<std::string> argv;
};

// What the player sees of a screen: the events it posted, a video window
// handle and the settings.
class RecordingListener : public PlayerListener {
 public:
  // Event() before any was posted.
  static constexpr int kNoEvent = 2;

  RecordingListener(const Configuration& config, Queue& queue) : config_(config), queue_(queue) {}
  void ExternalAction(int event) override {
    std::lock_guard<std::mutex> lock(mutex_);
    last_ = event;
  }
  void ItemNotPlayed(const QueueElement& entry, const PlayReport& report) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (queue_.RemoveHeadIf(entry)) notPlayed_.push_back(entry);
    reports_.push_back(report);
  }
  void ItemPlayed(const QueueElement& entry, const PlayReport& report) override {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.RemoveHeadIf(entry);
    reports_.push_back(report);
  }
  unsigned long GetWindowPlayerHandle() override { return window; }
  const Configuration& PlayerSettings() const override { return config_; }
  void ForgetPlayer(const Player* gone) override { forgotten = gone; }
  int LastEvent() {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_;
  }
  std::vector<QueueElement> NotPlayed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return notPlayed_;
  }
  // How each item ended, as told.
  std::vector<PlayReport::End> Ends() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<PlayReport::End> ends;
    for (const PlayReport& report : reports_) {
      EXPECT_LE(report.started, report.ended);
      ends.push_back(report.end);
    }
    return ends;
  }

  unsigned long window = 0;
  const Player* forgotten = nullptr;

 private:
  const Configuration& config_;
  Queue& queue_;
  std::mutex mutex_;
  int last_ = kNoEvent;
  std::vector<QueueElement> notPlayed_;
  std::vector<PlayReport> reports_;
};

inline bool ProcessRuns(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string field, state;
  stat >> field >> field >> state;  // pid, (name), state
  return stat && state != "Z";
}

class PlayerTest : public ::testing::Test {
 protected:
  PlayerTest() {
    savedPath_ = platform::GetEnv("PATH");
    platform::SetEnv("PATH", (dir.Path() / "bin").string());
    library.AddContentPath("media");
    config.favoritos = false;
  }
  ~PlayerTest() override { platform::SetEnv("PATH", savedPath_); }

  // How a stand-in answers a request to end: it ends with the process it
  // started, ignores the request, or ends and leaves that process behind.
  enum class OnTerm { kEnds, kIgnores, kLeavesItsChild };

  // A stand-in player named name in the folder first on PATH; it prints
  // prints, plays for seconds (its "/bin/sleep" child's id in "child.pid"),
  // and answers a request to end as onTerm says.
  void InstallStandIn(const std::string& name, int seconds = 0, OnTerm onTerm = OnTerm::kEnds,
                      const std::string& prints = "") {
    const fs::path program = dir.Path() / "bin" / name;
    const char* const traps[] = {"trap 'kill $! 2>/dev/null; exit 0' TERM\n", "trap '' TERM\n",
                                 "trap 'exit 0' TERM\n"};
    WriteHostFile(program, std::string("#!/bin/sh\n") + traps[static_cast<int>(onTerm)] + "printf '" + prints + "'\n/bin/sleep " +
                               std::to_string(seconds) + " &\necho $! > '" + (dir.Path() / "child.pid").string() +
                               "'\n{ echo \"$$\"; printf '%s\\n' \"$0\" \"$@\"; echo '--'; } >> '" +
                               (dir.Path() / "calls.txt").string() + "'\nwait\n");
    fs::permissions(program, fs::perms::owner_all);
  }

  std::vector<PlayerCall> Calls() const {
    std::istringstream lines(ReadHostFile(dir.Path() / "calls.txt"));
    std::vector<PlayerCall> calls;
    std::string line;
    while (std::getline(lines, line)) {
      PlayerCall call;
      call.pid = std::stoi(line);
      while (std::getline(lines, line) && line != "--") call.argv.push_back(line);
      calls.push_back(call);
    }
    return calls;
  }
  std::string Program(const std::string& name) const { return (dir.Path() / "bin" / name).string(); }

  // A disc of genre genreName (made when missing) with tracks; the files are
  // written under the media folder unless onDisk is false.
  void AddDisc(const char* genreName, const char* title, std::vector<const char*> tracks, bool onDisk = true) {
    GenreElement* genre = library.GetGenreByName(genreName);
    if (genre == nullptr) library.AddItem(genre = Own(new GenreElement(genreName)));
    DiscElement* disc = Own(new DiscElement(title));
    disc->SetGenre(genre);
    genre->AddDisc(disc);
    for (const char* track : tracks) {
      disc->AddTrack(Own(new TrackElement(track)));
      if (onDisk) WriteHostFile(fs::path("media") / genreName / title / track, std::string("data of ") + track);
    }
  }
  void AddEmptyGenre(const char* name) { library.AddItem(Own(new GenreElement(name))); }

  RString TrackPath(uint32_t genre, uint32_t disc, uint32_t track) const {
    return library.GetTrackPath(genre, disc, track);
  }
  int Event() { return gui.LastEvent(); }

  // Runs PlayNext on a thread of its own; returns once the stand-in runs.
  std::thread PlayNextInBackground() {
    std::thread pass([this] { player.PlayNext(); });
    EXPECT_TRUE(WaitUntil([this] { return Calls().size() == 1; }));
    return pass;
  }

  TempDir dir;
  std::vector<std::shared_ptr<void>> elements;  // the catalogue's elements
  MainLibrary library;
  Configuration config{&library};
  Queue queue;
  RecordingListener gui{config, queue};
  Player player{&gui, &library, &queue, "x11"};

 private:
  template <class Element>
  Element* Own(Element* element) {
    elements.emplace_back(element);
    return element;
  }

  std::string savedPath_;
};
