#include "programs/OnlineSearchRun.h"

#include "platform/Clock.h"
#include "programs/ExternalPrograms.h"

bool OnlineSearchRun::Start(const RString& text) {
  startedAt_ = platform::Ticks();
  return script_.Start(OnlineSearchCommand(text));
}

// The script has nothing to tidy up: killed at once, so no pass waits for
// it to take a gentler signal.
OnlineSearchRun::Outcome OnlineSearchRun::Poll() {
  if (script_.HasEnded()) return Outcome::kEnded;
  if (platform::Ticks() - startedAt_ <= limitMs_) return Outcome::kRunning;
  script_.Kill();
  return Outcome::kStopped;
}
