#include "state/SavedState.h"

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <limits>

#include "base/Numbers.h"
#include "base/RTextFile.h"
#include "catalogue/MainLibrary.h"
#include "config/SettingsFile.h"
#include "platform/Files.h"

namespace {

const char* const kStateFile = "tempdata";
const char* const kPaidKey = "queueitempaid";
constexpr int64_t kMostCredits = std::numeric_limits<int32_t>::max();
constexpr int64_t kMostPosition = std::numeric_limits<uint32_t>::max();

bool Is(const RString& key, const char* name) { return std::strcmp(key.Chars(), name) == 0; }

// Splits at the first two separators; the third part keeps any further ones.
void SplitInThree(char separator, const RString& value, RString parts[3]) {
  const RString rest = value.AfterFirst(separator);
  parts[0] = value.BeforeFirst(separator);
  parts[1] = rest.BeforeFirst(separator);
  parts[2] = rest.AfterFirst(separator);
}

// A saved number between 0 and most; anything else is logged and read as 0.
int64_t SavedNumber(const RString& key, const RString& value, int64_t most) {
  if (const std::optional<int64_t> number = ParseInteger(value.Chars(), 0, most)) return *number;
  std::printf("Valor no valido en %s, se toma 0: %s=%s\n", kStateFile, key.Chars(), value.Chars());
  return 0;
}

// A position part of "genre,disc,track"; a missing part is position 0.
std::optional<uint32_t> Position(const RString& part) {
  if (part.GetLength() == 0) return 0u;
  const std::optional<int64_t> number = ParseInteger(part.Chars(), 0, kMostPosition);
  if (!number) return std::nullopt;
  return static_cast<uint32_t>(*number);
}

}  // namespace

SavedState::SavedState(const MainLibrary* library)
    : library_(library), writer_([](const std::string& file, const std::string& text) {
        return platform::WriteFileAtomically(file, text);
      }) {}

std::string SavedState::UnreadableFile() {
  const std::string fault = platform::ReadFault(kStateFile);
  return fault.empty() ? fault : std::string(kStateFile) + ": " + fault;
}

SavedState::Loaded SavedState::Load(StateSnapshot& state, bool dropFirstEntry) {
  const std::string fault = platform::ReadFault(kStateFile);
  if (!fault.empty()) {
    std::printf("No se pudo leer %s: %s\n", kStateFile, fault.c_str());
    unreadable_ = true;
    return Loaded::kUnreadable;
  }
  dropNextPositionEntry_ = dropFirstEntry;
  lastEntry_ = LastEntry::kNone;
  givenBack_ = 0;
  const bool read = SettingsFile::Read(kStateFile, [&](const RString& key, const RString& value) {
    ApplyLine(key, value, state);
  });
  if (givenBack_ > 0) {
    AddSaturating(state.credits, givenBack_);
    std::printf(givenBack_ == 1 ? "Elementos pagados fuera del catalogo: se devuelve %lld credito\n"
                                : "Elementos pagados fuera del catalogo: se devuelven %lld creditos\n",
                static_cast<long long>(givenBack_));
  }
  return read ? Loaded::kRead : Loaded::kMissing;
}

void SavedState::ApplyLine(const RString& key, const RString& value, StateSnapshot& state) {
  std::optional<QueueElement> entry;
  if (Is(key, "savedcredits")) {
    if (value.GetLength() > 0 && value.GetChar(0) == '-')
      std::printf("Saldo negativo en %s, se toma 0: %s\n", kStateFile, value.Chars());
    else
      state.credits = static_cast<int32_t>(SavedNumber(key, value, kMostCredits));
  } else if (Is(key, "queueitem")) {
    const bool leftOut = dropNextPositionEntry_;
    if (!leftOut) entry = PositionEntry(value);
    dropNextPositionEntry_ = false;
    lastEntry_ = entry ? LastEntry::kQueued : leftOut ? LastEntry::kLeftOut : LastEntry::kNotInCatalogue;
  } else if (Is(key, "queueitemstring")) {
    entry = NamedEntry(value);
    lastEntry_ = entry ? LastEntry::kQueued : LastEntry::kNotInCatalogue;
  } else if (Is(key, kPaidKey)) {
    ApplyPaid(SavedNumber(key, value, kMostCredits), state);
  } else if (Is(key, "tmpvolumen")) {
    if (state.volume) state.volume = static_cast<int32_t>(SavedNumber(key, value, 100));
  } else if (key.GetLength() == 8 && std::strncmp(key.Chars(), "counter", 7) == 0 && key.GetChar(7) >= '1' &&
             key.GetChar(7) <= '0' + kCoinInputs) {
    state.coins[key.GetChar(7) - '1'] = static_cast<int32_t>(SavedNumber(key, value, kMostCredits));
  }
  if (entry) state.queue.push_back(*entry);
  else if (!Is(key, "queueitem") && !Is(key, "queueitemstring")) lastEntry_ = LastEntry::kNone;
}

// A paid line belongs to the entry just before it, once.
void SavedState::ApplyPaid(int64_t paid, StateSnapshot& state) {
  if (lastEntry_ == LastEntry::kQueued) state.queue.back().paid = static_cast<int32_t>(paid);
  if (lastEntry_ == LastEntry::kNotInCatalogue) givenBack_ = std::min(givenBack_ + paid, kMostCredits);
  lastEntry_ = LastEntry::kNone;
}

// "genre,disc,track"
std::optional<QueueElement> SavedState::PositionEntry(const RString& value) const {
  RString parts[3];
  SplitInThree(',', value, parts);
  const std::optional<uint32_t> genre = Position(parts[0]), disc = Position(parts[1]), track = Position(parts[2]);
  if (genre && disc && track) {
    const QueueElement entry{*genre, *disc, *track};
    if (IsInCatalogue(entry)) return entry;
  }
  std::printf("Elemento de la cola fuera del catalogo, no se agrega: %s\n", value.Chars());
  return std::nullopt;
}

// "genre name/disc title/track title"; the title may hold further "/". A
// genre or disc name that is not found stands for position 0.
std::optional<QueueElement> SavedState::NamedEntry(const RString& value) const {
  RString names[3];
  SplitInThree('/', value, names);
  QueueElement entry;
  int track = -1;
  if (library_ && library_->GetTotalGenres() > 0) {
    entry.genre = library_->GetGenreIndex(names[0]);
    if (library_->GetTotalDiscs(entry.genre) > 0) {
      entry.disc = library_->GetDiscIndex(entry.genre, names[1]);
      track = library_->GetTrackIndex(entry.genre, entry.disc, names[2]);
    }
  }
  if (track < 0) {
    std::printf("Cancion descargada no encontrada, no se agrega a la cola: %s\n", value.Chars());
    return std::nullopt;
  }
  entry.track = static_cast<uint32_t>(track);
  return entry;
}

bool SavedState::IsInCatalogue(const QueueElement& entry) const {
  return library_ && library_->HasTrack(entry.genre, entry.disc, entry.track);
}

// The saved credits of an unreadable "tempdata" are not overwritten blind.
bool SavedState::Save(const StateSnapshot& state) {
  if (unreadable_) {
    fault_ = "no se pudo leer al arrancar";
    return false;
  }
  if (!writer_(kStateFile, Text(state))) {
    fault_ = std::strerror(errno);
    return false;
  }
  fault_.clear();
  return true;
}

bool SavedState::CanSave(const QueueElement& entry) const {
  return EntryLine(entry).size() <= static_cast<size_t>(RTextFile::kLongestLine);
}

std::string SavedState::Text(const StateSnapshot& state) const {
  std::string text = Format("savedcredits=%d\n", state.credits);
  if (state.volume) text += Format("tmpvolumen=%d\n", *state.volume);
  for (const QueueElement& entry : state.queue) {
    text += EntryLine(entry);
    if (entry.paid > 0) text += Format("%s=%d\n", kPaidKey, entry.paid);
  }
  for (int input = 0; input < kCoinInputs; ++input)
    text += Format("counter%d=%d\n", input + 1, state.coins[input]);
  return text;
}

// Downloaded tracks are saved by name, since the downloads disc grows;
// everything else by position.
std::string SavedState::EntryLine(const QueueElement& entry) const {
  if (IsInCatalogue(entry) &&
      Is(library_->GetDiscTitle(entry.genre, entry.disc), MainLibrary::kDownloadsDiscName)) {
    return Format("queueitemstring=%s/%s/%s\n", library_->GetGenreName(entry.genre).Chars(),
                  MainLibrary::kDownloadsDiscName,
                  library_->GetTrackTitle(entry.genre, entry.disc, entry.track).Chars());
  }
  return Format("queueitem=%u,%u,%u\n", entry.genre, entry.disc, entry.track);
}
