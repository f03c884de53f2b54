// Media player control: the player's command line for each kind of item,
// starting the player process and ending it on request.
#include "playback/Player.h"

#include <cstdio>
#include <initializer_list>
#include <system_error>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "programs/ExternalPrograms.h"

namespace {

const char* const kCacheBaseName = "tmpfile";
// The running player process, for a later run to end should this one be
// killed before it could.
const char* const kPlayerRecord = "player.pid";
// How often a running player is looked at, and how much of its output is
// read each time (more than it writes meanwhile).
const uint32_t kEndPollStep = 20;
const size_t kOutputReadPerPoll = 64 * 1024;

// Words of the media player's command lines. The placeholders stand for:
// kDriver "-vo" and the video driver, kWindow "-wid" and the video window
// (each left out when there is none), kFile the file played, kAudio the
// karaoke sound file, kEqualizer "-af" and the equalizer bands.
const char* const kDriver = "{driver}";
const char* const kWindow = "{window}";
const char* const kFile = "{file}";
const char* const kAudio = "{audio}";
const char* const kEqualizer = "{equalizer}";

using Pattern = std::initializer_list<const char*>;

const Pattern kTvOutKaraoke = {kDriver, "-nocolorkey", "-really-quiet", "-zoom", "-nokeepaspect",
                               "-nofontconfig", kFile, "-audiofile", kAudio, "-framedrop", kWindow};
const Pattern kTvOut = {kDriver, "-framedrop", "-nocolorkey", "-really-quiet", "-zoom",
                        "-nokeepaspect", "-nofontconfig", kFile, kWindow};
const Pattern kKaraoke = {kDriver, "-nocolorkey", "-zoom", "-nokeepaspect", "-nofontconfig",
                          kFile, "-audiofile", kAudio, "-framedrop", kWindow};
const Pattern kSingleScreen = {kDriver, "-framedrop", "-really-quiet", "-nocolorkey", "-zoom",
                               "-nokeepaspect", "-nofontconfig", kFile, kWindow, kEqualizer};

std::string HostPath(const RString& path) { return platform::ToHostPath(path.Chars()); }

// What the placeholders of a pattern become for one item.
struct MediaValues {
  std::string driver;
  std::string file;
  std::string audio;
  unsigned long window = 0;
  std::string equalizer;
};

void Append(platform::Argv& argv, std::initializer_list<std::string> words) {
  argv.insert(argv.end(), words.begin(), words.end());
}

platform::Argv Expand(const std::string& program, const Pattern& pattern, const MediaValues& values) {
  platform::Argv argv{program};
  for (const std::string word : pattern) {
    if (word == kDriver) {
      if (!values.driver.empty()) Append(argv, {"-vo", values.driver});
    } else if (word == kWindow) {
      if (values.window != 0) Append(argv, {"-wid", std::to_string(values.window)});
    } else if (word == kEqualizer) {
      Append(argv, {"-af", values.equalizer});
    } else if (word == kFile) {
      argv.push_back(values.file);
    } else if (word == kAudio) {
      argv.push_back(values.audio);
    } else {
      argv.push_back(word);
    }
  }
  return argv;
}

std::string EqualizerOf(const Configuration& config) {
  const int32_t bands[] = {config.eqbar1, config.eqbar2, config.eqbar3, config.eqbar4, config.eqbar5,
                           config.eqbar6, config.eqbar7, config.eqbar8, config.eqbar9, config.eqbar10};
  std::string text = "equalizer=";
  for (int32_t band : bands) text += std::to_string(band) + ":";
  text.pop_back();
  return text;
}

void PrintCommand(const platform::Argv& argv) {
  std::string line;
  for (const std::string& word : argv) line += (line.empty() ? "" : " ") + word;
  std::printf("%s\n", line.c_str());
}

// Lines the player printed (host text).
void LogPlayerLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) std::printf("Reproductor: %s\n", platform::FromHostText(line).c_str());
}

// The extension of the file name (after the last folder separator), from
// its last "." on; empty when the name has no ".".
RString ExtensionWithDot(const RString& file) {
  const std::string path = file.Chars();
  const size_t separator = path.find_last_of("\\/");
  const size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
  const size_t dot = path.rfind('.');
  return dot == std::string::npos || dot < nameStart ? RString("") : RString(path.substr(dot).c_str());
}

}  // namespace

Player::Player(PlayerListener* playerGui, MainLibrary* mainLibrary, Queue* playQueue, const RString& driver)
    : gui(playerGui), library(mainLibrary), queue(playQueue), videodriver(driver) {}

Player::~Player() {
  if (gui != nullptr) gui->ForgetPlayer(this);
  ReleaseGui();
}

void Player::InitPlayer(const RString& mode) {
  playmode = mode;
  if (thread.joinable()) return;
  EndLeftoverPlayer();
  try {
    thread = std::thread(&Player::PlayerLoop, this);
  } catch (const std::system_error& error) {
    std::printf("No se pudo crear el hilo de reproduccion: %s\n", error.what());
  }
}

void Player::EndLeftoverPlayer() {
  const std::optional<platform::ProcessRecord> left = platform::ReadProcessRecord(kPlayerRecord);
  if (left && platform::EndProcessAndWait(left->pid, left->mark))
    std::printf("Se cerro el reproductor que dejo la ejecucion anterior: %d\n", static_cast<int>(left->pid));
  platform::DeleteFile(kPlayerRecord);
}

void Player::BeginItem() {
  // A stop asked for before this item began does not concern it.
  std::lock_guard<std::mutex> lock(processMutex_);
  playing = 1;
  stopRequested = 0;
  itemCut_ = false;
}

Player::Outcome Player::PlayerPlay(const RString& file) {
  Outcome outcome = Outcome::kFileMissing;
  if (platform::FileExists(file.Chars())) {
    const PlayerCommand command = CommandFor(file, CachedFile(file));
    outcome = command.argv.empty() ? Outcome::kPlayerMissing : RunToEnd(command);
  } else {
    std::printf("No se encontro el archivo a reproducir: %s\n", file.Chars());
  }
  playing = 0;
  return outcome;
}

RString Player::CachedFile(const RString& file) const {
  if (!Settings().antivibracion || MainLibrary::IsKaraoke(file)) return file;
  const RString cache = RString(kCacheBaseName) + ExtensionWithDot(file);
  if (Copy(file, cache)) return cache;
  std::printf("No se pudo copiar cache, reproduciendo archivo original\n");
  return file;
}

Player::PlayerCommand Player::CommandFor(const RString& file, const RString& played) const {
  PlayerCommand command;
  command.file = HostPath(played);
  command.mediaPlayer = !MainLibrary::IsTv(file) || Settings().tvout;
  command.argv = command.mediaPlayer ? MediaPlayerCommand(played, MainLibrary::IsKaraoke(file))
                                     : StreamPlayerCommand(played);
  return command;
}

platform::Argv Player::MediaPlayerCommand(const RString& played, bool karaokeItem) const {
  const RString program = MediaPlayerProgram();
  if (program.GetLength() == 0) {
    std::printf("No esta instalado el reproductor multimedia (mplayer): %s\n", played.Chars());
    return {};
  }
  const Configuration& config = Settings();
  MediaValues values;
  values.driver = videodriver.Chars();
  values.file = HostPath(played);
  values.audio = HostPath(MainLibrary::GetKaraokeAudioName(played));
  values.window = gui->GetWindowPlayerHandle();
  values.equalizer = EqualizerOf(config);
  if (config.tvout) return Expand(program.Chars(), karaokeItem ? kTvOutKaraoke : kTvOut, values);
  if (karaokeItem) return Expand(program.Chars(), kKaraoke, values);
  const platform::Argv argv = Expand(program.Chars(), kSingleScreen, values);
  PrintCommand(argv);
  return argv;
}

// The live stream plays full screen until it ends.
platform::Argv Player::StreamPlayerCommand(const RString& played) const {
  const RString program = StreamPlayerProgram();
  if (program.GetLength() == 0) {
    std::printf("No esta instalado el reproductor de canales en vivo (cvlc): %s\n", played.Chars());
    return {};
  }
  const platform::Argv argv{program.Chars(), "--fullscreen", "--play-and-exit", HostPath(played)};
  PrintCommand(argv);
  return argv;
}

Player::Outcome Player::RunToEnd(const PlayerCommand& command) {
  const uint32_t start = platform::Ticks();
  if (!StartProcess(command)) return stopRequested || stopThread ? Outcome::kStopped : Outcome::kPlayerFailed;
  platform::RecordProcess(kPlayerRecord, {process_.Pid(), command.file});
  WaitForProcessEnd();
  platform::DeleteFile(kPlayerRecord);
  if (stopRequested || stopThread) return Outcome::kStopped;
  if (platform::Ticks() - start >= kFailedAtOnce) return Outcome::kPlayed;
  std::printf("El reproductor termino al instante sin reproducir: %s\n", command.file.c_str());
  return Outcome::kPlayerFailed;
}

bool Player::StartProcess(const PlayerCommand& command) {
  std::lock_guard<std::mutex> lock(processMutex_);
  if (stopThread || itemCut_) return false;
  if (!process_.Start(command.argv, platform::ChildOutput::kCaptured)) {
    std::printf("No se pudo iniciar el reproductor: %s\n", command.argv[0].c_str());
    return false;
  }
  runningPid_ = process_.Pid();
  runningMediaPlayer_ = command.mediaPlayer;
  runningMark_ = command.file;
  endRequestedAt_.reset();
  return true;
}

void Player::WaitForProcessEnd() {
  while (!process_.HasEnded()) {
    if (StopOverdue()) {
      std::printf("El reproductor no se detuvo a tiempo, se cierra a la fuerza\n");
      process_.Kill();
      break;
    }
    LogPlayerOutput();
    platform::Delay(kEndPollStep);
  }
  LogPlayerOutput();
  LogPlayerLines(output_.Finish());
  std::lock_guard<std::mutex> lock(processMutex_);
  runningPid_ = -1;
  endRequestedAt_.reset();
}

void Player::LogPlayerOutput() {
  LogPlayerLines(output_.Take(process_.ReadOutput(kOutputReadPerPoll)));
}

bool Player::StopOverdue() {
  std::lock_guard<std::mutex> lock(processMutex_);
  return endRequestedAt_ && platform::Ticks() - *endRequestedAt_ >= kStopGrace;
}

void Player::EndRunningProcess() {
  if (runningPid_ <= 0 || endRequestedAt_) return;
  if (platform::EndProcess(runningPid_, runningMark_)) endRequestedAt_ = platform::Ticks();
}

void Player::PlayerStop() {
  std::lock_guard<std::mutex> lock(processMutex_);
  // Noted before the process ends, so the playback thread that wakes up
  // from its end sees an item that was stopped.
  stopRequested = 1;
  if (playing && runningPid_ <= 0) itemCut_ = true;
  if (runningMediaPlayer_) EndRunningProcess();
}

void Player::ReleaseGui() {
  {
    std::lock_guard<std::mutex> lock(processMutex_);
    stopThread = 1;
    EndRunningProcess();
  }
  if (thread.joinable()) thread.join();
  gui = nullptr;
}

bool Player::InCatalogue(const QueueElement& entry) const {
  return library->HasTrack(entry.genre, entry.disc, entry.track);
}

std::optional<QueueElement> Player::CatalogueHead() const {
  const std::optional<QueueElement> head = queue->GetElementFromQueue(0);
  if (head && InCatalogue(*head)) return head;
  return std::nullopt;
}

bool Player::IsVideoOnQueue() const {
  const std::optional<QueueElement> head = CatalogueHead();
  return head && library->IsVideo(head->genre, head->disc, head->track);
}

bool Player::IsVideoPlaying() const { return playing && IsVideoOnQueue(); }

bool Player::Copy(const RString& from, const RString& to) { return platform::CopyFile(from.Chars(), to.Chars()); }
