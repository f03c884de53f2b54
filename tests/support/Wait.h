#pragma once
// Waiting for what another thread or process brings about.
#include <chrono>
#include <functional>
#include <thread>

// Polls condition every 10 ms until it holds; false when limit passes first.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}
