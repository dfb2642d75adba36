#include "app/SystemReport.h"

#include <algorithm>

#include "base/Log.h"
#include "gfx/DDInit.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/fs.h"
#include "platform/sys.h"
#include "platform/sysinfo.h"
#include "platform/window.h"

namespace {

constexpr double kMegabyte = 1048576.0;

void Append(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& text, const char* format, ...) {
  va_list args;
  va_start(args, format);
  text += FormatStringV(format, args);
  va_end(args);
}

// The block is written in one piece; the log adds the line end of its last line.
int WriteBlock(const std::string& block) {
  std::string_view text(block);
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  return ReportWrite(text);
}

// Video memory: the budget of a test, else the graphics card's own where its driver
// tells it, else the machine's memory, where every surface lives.
void VideoMemory(double& total, double& available) {
  const long long budget = plat::display::videoMemoryBudget();
  if (budget >= 0) {
    total = static_cast<double>(budget);
    available = static_cast<double>(std::max(0LL, budget - plat::display::videoMemoryUsed()));
    return;
  }
  const plat::sysinfo::GraphicsCard card = plat::sysinfo::graphicsCard();
  if (card.vramTotal > 0) {
    total = static_cast<double>(card.vramTotal);
    available = static_cast<double>(std::max(0LL, card.vramTotal - std::max(0LL, card.vramUsed)));
    return;
  }
  MEMORYSTATUS mem;
  GetMemoryStatus(&mem);
  total = static_cast<double>(mem.dwTotalPhys);
  available = static_cast<double>(mem.dwAvailPhys);
}

}  // namespace

std::string FormatSystemInfo(const std::string& osName, const CPUINFO& cpu, const MEMORYSTATUS& mem,
                             std::int32_t diskFree) {
  std::string text;
  Append(text, "OS : %s\n", osName.c_str());
  Append(text, "CPU : %s %s %d\n", cpu.szVendor.c_str(), cpu.szBrand.c_str(), static_cast<int>(cpu.dClock * 0.000001));
  Append(text, "Mem Total : %.3fMB\n", static_cast<double>(mem.dwTotalPhys) / kMegabyte);
  Append(text, "Mem Free : %3.fMB\n", static_cast<double>(mem.dwAvailPhys) / kMegabyte);
  Append(text, "Vir Total : %.3fMB\n", static_cast<double>(mem.dwTotalVirtual) / kMegabyte);
  Append(text, "Vir Free : %3.fMB\n", static_cast<double>(mem.dwAvailVirtual) / kMegabyte);
  Append(text, "HD Free : %3.fMB\n", static_cast<double>(diskFree) / kMegabyte);
  return text;
}

int ReportSystemInfo() {
  std::string os;
  GetOsName(&os, nullptr, nullptr);
  CPUINFO cpu;
  GetCpuName(&cpu);
  MEMORYSTATUS mem;
  GetMemoryStatus(&mem);
  return WriteBlock(FormatSystemInfo(os, cpu, mem, GetDiskFreeBytes(nullptr)));
}

std::string FormatDisplayInfo() {
  std::string text;
  text += g_DDState.bWindowed ? "Mode : Window\n" : "Mode : Fullscreen\n";
  Append(text, "Bpp : %d\n", g_DDState.nBpp);
  if (g_lpDDData) {
    double total = 0, available = 0;
    VideoMemory(total, available);
    Append(text, "VRAM Total : %.3fMB\n", total / kMegabyte);
    Append(text, "VRAM Free : %.3fMB\n", available / kMegabyte);
    Append(text, "RR : %u\n", static_cast<unsigned>(plat::desktop().refreshHz));
  }
  ReportDxDiag(text);
  return text;
}

int ReportDisplayInfo() { return WriteBlock(FormatDisplayInfo()); }

int ReportDxDiag(std::string& text) {
  if (!g_lpD3DData) return 0;
  const plat::sysinfo::DisplayFacts facts = plat::sysinfo::displayFacts();
  if (facts.videoDriver.empty()) {
    Append(text, "SDL %d.%d.%d\n", facts.sdlMajor, facts.sdlMinor, facts.sdlPatch);
  } else {
    Append(text, "SDL %d.%d.%d %s\n", facts.sdlMajor, facts.sdlMinor, facts.sdlPatch, facts.videoDriver.c_str());
  }
  double total = 0, available = 0;
  VideoMemory(total, available);
  Append(text, "TextureMem : %dMB\n", static_cast<int>(std::min(available / kMegabyte, 2147483647.0)));

  const plat::display::DeviceCaps& caps = g_lpD3DData->Caps;
  // The display driver is the kernel's (or, without one, the window system's) and is
  // versioned with the kernel.
  const plat::sysinfo::GraphicsCard card = plat::sysinfo::graphicsCard();
  const std::string& driver = card.driver.empty() ? facts.videoDriver : card.driver;
  const plat::sysinfo::KernelVersion kernel = plat::sysinfo::kernelVersion();
  for (std::size_t i = 0; i < facts.displays.size(); ++i) {
    const plat::sysinfo::DisplayDevice& device = facts.displays[i];
    Append(text, "---デバイス%d\n", static_cast<int>(i));
    if (!device.name.empty()) Append(text, "Destination : %s\n", device.name.c_str());
    Append(text, "VRAM : %.1f MB\n", total / kMegabyte);
    if (!driver.empty())
      Append(text, "Driver : %s %1d.%02d.%04d.%04d\n", driver.c_str(), kernel.part[0], kernel.part[1], kernel.part[2],
             kernel.part[3]);
    Append(text, "DDI : %d\n", caps.ddiVersion);
    Append(text, "TextureMaxSize : (%d,%d)\n", caps.maxTextureWidth, caps.maxTextureHeight);
    // The drawing pipeline blends with one texture stage.
    Append(text, "TextureMaxBlend : (%d,%d)\n", 1, 1);
    if (caps.alphaFullscreenFlipOrDiscard) text += "D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD\n";
    if (caps.pow2) text += "D3DPTEXTURECAPS_POW2\n";
    if (caps.squareOnly) text += "D3DPTEXTURECAPS_SQUAREONLY\n";
    text += facts.accelerated ? "DirectDraw : ○\n" : "DirectDraw : ×\n";
    text += facts.accelerated ? "Direct3D : ○\n" : "Direct3D : ×\n";
  }
  return 1;
}

void GetOsName(std::string* text, int* major, int* minor) {
  const plat::sysinfo::OsVersion v = plat::sysinfo::osVersion();
  if (text) FormatString(*text, "%s %s PID %d Build %d", v.name.c_str(), v.detail.c_str(), v.platformId, v.build);
  if (major) *major = v.major;
  if (minor) *minor = v.minor;
}

bool IsOsVersionAtLeast(int major, int minor) {
  int haveMajor = 0, haveMinor = 0;
  GetOsName(nullptr, &haveMajor, &haveMinor);
  return haveMajor > major || (haveMajor == major && haveMinor >= minor);
}

void GetMemoryStatus(MEMORYSTATUS* status) {
  if (!status) return;
  const plat::sysinfo::MemoryStatus m = plat::sysinfo::memoryStatus();
  status->dwTotalPhys = m.totalPhys;
  status->dwAvailPhys = m.availPhys;
  status->dwTotalVirtual = m.totalVirt;
  status->dwAvailVirtual = m.availVirt;
}

void GetCpuName(CPUINFO* info) {
  if (!info) return;
  const plat::sysinfo::CpuId id = plat::sysinfo::cpuId();
  info->szVendor = id.vendor;
  info->szBrand = id.brand;
  // The kernel knows the clock; a second of busy waiting at every start is measured
  // only where it does not.
  info->dClock = plat::sysinfo::kernelCpuHz();
  if (info->dClock <= 0 && !plat::sys::launch().headless && plat::sysinfo::hasTimeStampCounter()) {
    info->dClock = MeasureCpuClock();
  }
}

double MeasureCpuClock() {
  // Counter ticks over one second of real time, with the cost of one clock read taken off.
  const std::uint64_t q0 = plat::clock().nowNs();
  const std::uint64_t q1 = plat::clock().nowNs();
  const std::uint64_t t0 = plat::sysinfo::timeStampCounter();
  const plat::Millis start = plat::systemNowMs();
  while (plat::systemNowMs() - start < 1000) {}
  const std::uint64_t q2 = plat::clock().nowNs();
  const std::uint64_t t1 = plat::sysinfo::timeStampCounter();
  const double seconds = static_cast<double>((q2 - q1) - (q1 - q0)) / 1e9;
  if (seconds <= 0) return 0.0;
  return static_cast<double>(t1 - t0) / seconds;
}

std::int32_t GetDiskFreeBytes(const char* root) {
  std::string path;
  if (root) {
    path = root;
  } else if (std::optional<std::string> cwd = plat::fs::currentDirectory()) {
    path = *cwd;
  } else {
    return 0;
  }
  const std::int64_t bytes = plat::fs::freeBytes(path);
  if (bytes <= 0) return 0;
  return bytes < 2147483648LL ? static_cast<std::int32_t>(bytes) : 2147483647;
}
