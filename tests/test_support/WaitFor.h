// Polls a condition until it holds or a generous limit passes (tests must not hang).
#pragma once
#include <thread>

namespace test_support {

template <class Pred>
bool WaitFor(Pred pred, int limitMs = 5000) {
  for (int i = 0; i < limitMs; ++i) {
    if (pred()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return pred();
}

}  // namespace test_support
