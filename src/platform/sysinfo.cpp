#include "platform/sysinfo.h"

#include <SDL.h>
#include <sys/utsname.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define PLAT_HAS_X86 1
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace plat::sysinfo {
namespace {

std::string readText(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::string();
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The lines of a text, without their line ends.
template <class F>
void forEachLine(std::string_view text, F f) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    f(line);
    start = end + 1;
  }
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A decimal number at the start of a text, 0 when there is none.
std::uint64_t leadingNumber(std::string_view s) {
  std::uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    v = v * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return v;
}

}  // namespace

MemoryStatus parseMeminfo(std::string_view text) {
  std::uint64_t total = 0, avail = 0, freeMem = 0, commitLimit = 0, committed = 0;
  bool haveAvail = false;
  forEachLine(text, [&](std::string_view line) {
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    std::string_view key = line.substr(0, colon);
    std::uint64_t kb = leadingNumber(trim(line.substr(colon + 1)));
    if (key == "MemTotal") total = kb;
    else if (key == "MemAvailable") avail = kb, haveAvail = true;
    else if (key == "MemFree") freeMem = kb;
    else if (key == "CommitLimit") commitLimit = kb;
    else if (key == "Committed_AS") committed = kb;
  });
  MemoryStatus m;
  m.totalPhys = total * 1024;
  m.availPhys = (haveAvail ? avail : freeMem) * 1024;
  m.totalVirt = commitLimit * 1024;
  m.availVirt = commitLimit > committed ? (commitLimit - committed) * 1024 : 0;
  return m;
}

std::string parseOsReleaseName(std::string_view text) {
  std::string name;
  forEachLine(text, [&](std::string_view line) {
    constexpr std::string_view key = "PRETTY_NAME=";
    if (line.substr(0, key.size()) != key) return;
    std::string_view v = line.substr(key.size());
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
      v = v.substr(1, v.size() - 2);
    }
    name = std::string(v);
  });
  return name;
}

double parseCpuinfoHz(std::string_view text) {
  double hz = 0.0;
  bool found = false;
  forEachLine(text, [&](std::string_view line) {
    if (found) return;
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || trim(line.substr(0, colon)) != "cpu MHz") return;
    std::string value(trim(line.substr(colon + 1)));
    char* end = nullptr;
    double mhz = std::strtod(value.c_str(), &end);
    if (end != value.c_str() && mhz > 0) {
      hz = mhz * 1e6;
      found = true;
    }
  });
  return hz;
}

int parseKernelBuild(std::string_view release) {
  // "6.1.76-1-amd64": the third number.
  int field = 0;
  std::size_t i = 0;
  while (i < release.size() && field < 2) {
    if (release[i] == '.') ++field;
    else if (release[i] < '0' || release[i] > '9') return 0;
    ++i;
  }
  if (field < 2) return 0;
  return static_cast<int>(leadingNumber(release.substr(i)) & 0x7FFFFFFF);
}

KernelVersion parseKernelVersion(std::string_view release) {
  KernelVersion v;
  int field = 0;
  std::size_t i = 0;
  while (field < 4 && i < release.size()) {
    if (release[i] < '0' || release[i] > '9') break;
    long long n = 0;
    while (i < release.size() && release[i] >= '0' && release[i] <= '9') {
      n = std::min<long long>(n * 10 + (release[i] - '0'), 65535);
      ++i;
    }
    v.part[field++] = static_cast<int>(n);
    if (i < release.size() && (release[i] == '.' || release[i] == '-')) ++i;
    else break;
  }
  return v;
}

KernelVersion kernelVersion() {
  struct utsname u;
  return ::uname(&u) == 0 ? parseKernelVersion(u.release) : KernelVersion{};
}

GraphicsCard graphicsCard() {
  GraphicsCard card;
  const std::string device = "/sys/class/drm/card0/device";
  char target[4096];
  const ssize_t n = ::readlink((device + "/driver").c_str(), target, sizeof target - 1);
  if (n > 0) {
    const std::string link(target, static_cast<std::size_t>(n));
    card.driver = link.substr(link.rfind('/') + 1);
  }
  auto bytes = [&](const char* name) {
    const std::string text = readText((device + "/" + name).c_str());
    return text.empty() ? -1LL : static_cast<long long>(std::strtoull(text.c_str(), nullptr, 10));
  };
  card.vramTotal = bytes("mem_info_vram_total");
  card.vramUsed = bytes("mem_info_vram_used");
  return card;
}

OsVersion osVersion() {
  OsVersion v;
  struct utsname u;
  std::string kernel, release;
  if (::uname(&u) == 0) {
    kernel = u.sysname;
    release = u.release;
  }
  v.name = parseOsReleaseName(readText("/etc/os-release"));
  if (v.name.empty()) v.name = kernel;
  v.detail = release.empty() ? kernel : kernel + " " + release;
  v.build = parseKernelBuild(release);
  return v;
}

CpuId cpuId() {
  CpuId id;
#ifdef PLAT_HAS_X86
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid(0, &a, &b, &c, &d) && a >= 1) {
    char vendor[12];
    std::memcpy(vendor, &b, 4);
    std::memcpy(vendor + 4, &d, 4);
    std::memcpy(vendor + 8, &c, 4);
    id.vendor.assign(vendor, 12);
  }
  if (__get_cpuid(0x80000000u, &a, &b, &c, &d) && a >= 0x80000004u) {
    char brand[48];
    for (unsigned leaf = 0; leaf < 3; ++leaf) {
      __get_cpuid(0x80000002u + leaf, &a, &b, &c, &d);
      std::memcpy(brand + 16 * leaf, &a, 4);
      std::memcpy(brand + 16 * leaf + 4, &b, 4);
      std::memcpy(brand + 16 * leaf + 8, &c, 4);
      std::memcpy(brand + 16 * leaf + 12, &d, 4);
    }
    id.brand.assign(brand, strnlen(brand, sizeof brand));
  }
#endif
  return id;
}

bool hasTimeStampCounter() {
#ifdef PLAT_HAS_X86
  return true;
#else
  return false;
#endif
}

std::uint64_t timeStampCounter() {
#ifdef PLAT_HAS_X86
  return __rdtsc();
#else
  return 0;
#endif
}

double kernelCpuHz() { return parseCpuinfoHz(readText("/proc/cpuinfo")); }

MemoryStatus memoryStatus() { return parseMeminfo(readText("/proc/meminfo")); }

DisplayFacts displayFacts() {
  DisplayFacts f;
  SDL_version v;
  SDL_GetVersion(&v);
  f.sdlMajor = v.major;
  f.sdlMinor = v.minor;
  f.sdlPatch = v.patch;
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return f;
  if (const char* driver = SDL_GetCurrentVideoDriver()) f.videoDriver = driver;
  const int count = SDL_GetNumVideoDisplays();
  for (int i = 0; i < count; ++i) {
    DisplayDevice d;
    if (const char* name = SDL_GetDisplayName(i)) d.name = name;
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(i, &mode) == 0) {
      d.width = mode.w;
      d.height = mode.h;
      d.refreshHz = mode.refresh_rate;
    }
    f.displays.push_back(std::move(d));
  }
  // The dummy and off-screen drivers present through the software renderer only.
  if (f.videoDriver != "dummy" && f.videoDriver != "offscreen") {
    const int drivers = SDL_GetNumRenderDrivers();
    for (int i = 0; i < drivers; ++i) {
      SDL_RendererInfo info;
      if (SDL_GetRenderDriverInfo(i, &info) == 0 && (info.flags & SDL_RENDERER_ACCELERATED)) {
        f.accelerated = true;
        break;
      }
    }
  }
  return f;
}

}  // namespace plat::sysinfo
