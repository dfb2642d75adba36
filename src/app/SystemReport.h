// The description of the machine in the report log, so that a user's log shows what the
// game ran on: the system block (operating system, processor, memory, free disk space)
// right after the log is created, and the display block once the graphics are open.
#pragma once
#include <cstdint>
#include <string>

struct CPUINFO {
  std::string szVendor;  // 12 characters from the processor, or empty
  std::string szBrand;   // 48 characters from the processor, or empty
  double dClock = 0.0;   // hertz
};

struct MEMORYSTATUS {
  std::uint64_t dwTotalPhys = 0;
  std::uint64_t dwAvailPhys = 0;
  std::uint64_t dwTotalVirtual = 0;
  std::uint64_t dwAvailVirtual = 0;
};

// Append the blocks; 0 when the report log cannot be written, else 1.
int ReportSystemInfo();
int ReportDisplayInfo();
// The device lines of the Direct3D mode appended to text; 0 (nothing appended) in any
// other mode.
int ReportDxDiag(std::string& text);

// "<name> <detail> PID <platform> Build <build>" and the version numbers; any pointer may be null.
void GetOsName(std::string* text, int* major, int* minor);
bool IsOsVersionAtLeast(int major, int minor);
void GetMemoryStatus(MEMORYSTATUS* status);
// Vendor and brand, and the clock: measured over one second of busy waiting, except in
// a headless run (and where the processor has no time-stamp counter), which takes the
// clock the kernel reports.
void GetCpuName(CPUINFO* info);
double MeasureCpuClock();
// Free bytes for this user on the drive of root (null: the current directory), at most
// 2147483647; 0 when it cannot be told.
std::int32_t GetDiskFreeBytes(const char* root);

// The two blocks as text (each line ending in "\n"), as the report functions write them.
std::string FormatSystemInfo(const std::string& osName, const CPUINFO& cpu, const MEMORYSTATUS& mem,
                             std::int32_t diskFree);
std::string FormatDisplayInfo();
