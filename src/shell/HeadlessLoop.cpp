#include "shell/HeadlessLoop.h"

#include <csignal>

#include "platform/Clock.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

}  // namespace

HeadlessLoop::HeadlessLoop() {
  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
}

bool HeadlessLoop::stillactive() const { return stopRequested == 0; }

void HeadlessLoop::pool() { platform::Delay(1); }
