#include "base/AppGlobals.h"

std::atomic<plat::WindowToken> g_hWnd{0};
std::atomic<std::int32_t> g_bActive{0};
std::atomic<std::int32_t> g_bFromEditor{0};
std::int32_t g_bTestPlay = 0;
std::atomic<std::uint8_t> g_bInitDone{0};

void PostCloseRequest() { plat::post(g_hWnd.load(), plat::Msg{plat::wm::Close, 0, 0}); }
