#include "base/Failure.h"

#include "base/AppGlobals.h"

std::atomic<std::int32_t> g_nExitStatus{0};

void PostFailureClose() {
  g_nExitStatus.store(1);
  PostCloseRequest();
}
