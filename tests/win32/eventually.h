// Waiting in the kit's thread tests for what other threads do: a condition
// looked at every millisecond for two seconds at most.
#pragma once

#include <chrono>
#include <thread>

template <class Done>
bool Eventually(Done done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
