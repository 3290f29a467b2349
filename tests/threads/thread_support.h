// Helpers of the thread tests: waiting with a deadline, the calling
// thread's name. Tests of trace records use the frame tests' fixture.
#pragma once

#include <gtest/gtest.h>
#include <pthread.h>

#include <chrono>
#include <string>
#include <thread>

// Polls `done` until it holds or `limit` has passed; true when it held.
template <typename Done>
bool Eventually(Done done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

inline std::string CurrentThreadName() {
  char name[32] = {};
  pthread_getname_np(pthread_self(), name, sizeof name);
  return name;
}
