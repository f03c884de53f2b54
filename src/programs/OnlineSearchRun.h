#pragma once
// The on-line search script run beside the main loop: started with the
// typed text, asked on each pass whether it is through, and ended with
// every process it started once it runs past its time limit. The script
// writes "results.txt" (ReadSearchResults).
#include <cstdint>

#include "base/RString.h"
#include "platform/Processes.h"

class OnlineSearchRun {
 public:
  enum class Outcome { kRunning, kEnded, kStopped };

  explicit OnlineSearchRun(uint32_t limitMs) : limitMs_(limitMs) {}

  // False when the script could not be started.
  bool Start(const RString& text);
  bool Running() const { return script_.IsRunning(); }
  // Without waiting: kEnded once the script has ended by itself, kStopped
  // once it ran past the limit (its process group is then killed).
  Outcome Poll();

 private:
  platform::ChildProcess script_;
  const uint32_t limitMs_;
  uint32_t startedAt_ = 0;
};
