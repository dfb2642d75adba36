// Records the system and database sounds that the code under test asks the main window
// for (the window is a stand-in served on the test's thread; nothing plays).
#pragma once
#include <cstdint>
#include <vector>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "platform/messaging.h"

namespace test_support {

class SoundRequests {
 public:
  SoundRequests() {
    old_ = g_hWnd.load();
    window_ = plat::registerWindow([this](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
      if (m.id == appmsg::PlaySound) sounds_.push_back(static_cast<int>(m.w));
      return 0;
    });
    g_hWnd.store(window_);
  }
  ~SoundRequests() {
    g_hWnd.store(old_);
    plat::unregisterWindow(window_);
  }
  SoundRequests(const SoundRequests&) = delete;
  SoundRequests& operator=(const SoundRequests&) = delete;

  // Table indexes in request order (system sound n is n) and the last one (-1: none).
  const std::vector<int>& All() const { return sounds_; }
  int Last() const { return sounds_.empty() ? -1 : sounds_.back(); }
  void Clear() { sounds_.clear(); }

 private:
  plat::WindowToken old_ = 0;
  plat::WindowToken window_ = 0;
  std::vector<int> sounds_;
};

}  // namespace test_support
