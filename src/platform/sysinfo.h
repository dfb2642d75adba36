// Facts about the machine for the report log: the operating system, the processor,
// memory, and what the display and the window system's renderers offer. Everything
// here only reads; nothing changes the machine.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat::sysinfo {

// The operating system. The version numbers are the ones the program's version tests
// compare against: this platform counts as version 6.1 (a system of today), platform 2.
struct OsVersion {
  std::string name;    // distribution name ("PRETTY_NAME" of os-release), else the kernel's name
  std::string detail;  // kernel name and release, e.g. "Linux 6.1.0-18-amd64"
  int major = 6;
  int minor = 1;
  int platformId = 2;
  int build = 0;  // the kernel release's third number
};
OsVersion osVersion();

// The processor's own identification: vendor (12 characters) and brand (48 characters
// with the processor's padding), both empty where the processor cannot tell.
struct CpuId {
  std::string vendor;
  std::string brand;
};
CpuId cpuId();
// The time-stamp counter; hasTimeStampCounter() is false where there is none (then 0).
bool hasTimeStampCounter();
std::uint64_t timeStampCounter();
// The clock the kernel reports for the first processor ("cpu MHz"), in hertz; 0 when unknown.
double kernelCpuHz();

// Physical memory and the commit limit (what may be allocated in all), in bytes.
struct MemoryStatus {
  std::uint64_t totalPhys = 0;
  std::uint64_t availPhys = 0;
  std::uint64_t totalVirt = 0;
  std::uint64_t availVirt = 0;
};
MemoryStatus memoryStatus();

// Displays and renderers as the window system sees them. Window thread only (it asks
// the video system); empty before the video system runs.
struct DisplayDevice {
  std::string name;
  int width = 0, height = 0, refreshHz = 0;
};
struct DisplayFacts {
  std::string videoDriver;  // "x11", "wayland", "dummy", ...
  int sdlMajor = 0, sdlMinor = 0, sdlPatch = 0;
  std::vector<DisplayDevice> displays;
  bool accelerated = false;  // an accelerated renderer can present frames
};
DisplayFacts displayFacts();

// The graphics card as the kernel's display driver tells it: the driver's name and its
// video memory in bytes (-1 where the driver does not say).
struct GraphicsCard {
  std::string driver;
  long long vramTotal = -1;
  long long vramUsed = -1;
};
GraphicsCard graphicsCard();
// The kernel release as four numbers ("6.1.76-1-amd64": 6, 1, 76, 1), which versions
// the display drivers built into it; missing numbers are 0.
struct KernelVersion {
  int part[4] = {0, 0, 0, 0};
};
KernelVersion kernelVersion();

// Parsers of the kernel's and the distribution's text files (exposed for tests).
KernelVersion parseKernelVersion(std::string_view release);
MemoryStatus parseMeminfo(std::string_view text);
std::string parseOsReleaseName(std::string_view text);
double parseCpuinfoHz(std::string_view text);
int parseKernelBuild(std::string_view release);

}  // namespace plat::sysinfo
