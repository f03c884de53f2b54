#pragma once
// "tempdata": the running state that survives a restart and a power cut.
// This is its only reader and writer. It holds the credit balance, the
// volume, the queue (with what was paid for each entry) and the coin
// counters, one "key=value" per line:
//   savedcredits=N, tmpvolumen=N (unless the configuration fixes the
//   volume), per entry queueitem=G,D,T or, for the downloads album whose
//   positions change, queueitemstring=genre/album/title, each optionally
//   followed by queueitempaid=N, then counter1=N ... counter6=N.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "playback/Queue.h"

class MainLibrary;
class RString;

constexpr int kCoinInputs = 6;

struct StateSnapshot {
  int32_t credits = 0;
  // None when the configuration fixes the volume: it is then not saved.
  std::optional<int32_t> volume;
  std::vector<QueueElement> queue;
  // Coins received on inputs 1 to 6.
  std::array<int32_t, kCoinInputs> coins{};
};

class SavedState {
 public:
  explicit SavedState(const MainLibrary* library);

  enum class Loaded { kMissing, kRead, kUnreadable };
  // Reads "tempdata" into state. Only entries of the catalogue are queued,
  // and with dropFirstEntry the first entry saved by position is left out.
  // What was paid for an entry no longer in the catalogue (its media gone,
  // or not mounted) is given back to the credits, since it cannot play.
  // The saved volume is read only when state.volume holds one, that is when
  // the configuration does not fix it.
  // Numbers out of range are logged and read as 0. A file that exists but
  // cannot be read is never replaced while this object lasts.
  Loaded Load(StateSnapshot& state, bool dropFirstEntry);
  // Replaces "tempdata" whole; false, with Fault() telling why, when it
  // could not be written.
  bool Save(const StateSnapshot& state);
  const std::string& Fault() const { return fault_; }
  // Replaces a file whole or leaves it as it was; the disk's by default,
  // a stand-in (a slow disk) in tests.
  using Writer = std::function<bool(const std::string& file, const std::string& text)>;
  void SetWriter(Writer writer) { writer_ = std::move(writer); }
  // "tempdata: reason" when the file exists but cannot be read; empty
  // otherwise.
  static std::string UnreadableFile();
  // Whether the entry's saved line stays within what our readers take.
  bool CanSave(const QueueElement& entry) const;

 private:
  void ApplyLine(const RString& key, const RString& value, StateSnapshot& state);
  void ApplyPaid(int64_t paid, StateSnapshot& state);
  std::optional<QueueElement> PositionEntry(const RString& value) const;
  std::optional<QueueElement> NamedEntry(const RString& value) const;
  bool IsInCatalogue(const QueueElement& entry) const;
  std::string Text(const StateSnapshot& state) const;
  std::string EntryLine(const QueueElement& entry) const;

  const MainLibrary* library_;
  Writer writer_;
  bool unreadable_ = false;
  std::string fault_;
  // Reading state: whether the first position entry is still to be left
  // out, what became of the last entry (a paid line that follows is its
  // own), and what is given back for entries no longer in the catalogue.
  enum class LastEntry { kNone, kQueued, kLeftOut, kNotInCatalogue };
  bool dropNextPositionEntry_ = false;
  LastEntry lastEntry_ = LastEntry::kNone;
  int64_t givenBack_ = 0;
};
