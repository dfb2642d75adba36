// The readers of the kernel's and the distribution's text files behind the system report.
#include <gtest/gtest.h>

#include <array>

#include "platform/sysinfo.h"

namespace {

using namespace plat::sysinfo;

TEST(SysInfo, MeminfoGivesPhysicalAndCommitFigures) {
  const MemoryStatus m = parseMeminfo(
      "MemTotal:        2048 kB\nMemFree:          100 kB\nMemAvailable:     1024 kB\n"
      "CommitLimit:      4096 kB\nCommitted_AS:     5000 kB\n");
  EXPECT_EQ(2048u * 1024, m.totalPhys);
  EXPECT_EQ(1024u * 1024, m.availPhys);
  EXPECT_EQ(4096u * 1024, m.totalVirt);
  EXPECT_EQ(0u, m.availVirt);  // overcommitted: nothing left, not a wrapped number
  // An old kernel without MemAvailable: the free memory stands in.
  EXPECT_EQ(100u * 1024, parseMeminfo("MemTotal: 2048 kB\r\nMemFree: 100 kB\r\n").availPhys);
  EXPECT_EQ(0u, parseMeminfo("").totalPhys);
}

TEST(SysInfo, TextFileReaders) {
  EXPECT_EQ("Debian GNU/Linux 12 (bookworm)",
            parseOsReleaseName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"));
  EXPECT_EQ("Plain", parseOsReleaseName("PRETTY_NAME=Plain\n"));
  EXPECT_EQ("", parseOsReleaseName("NAME=x\n"));

  EXPECT_DOUBLE_EQ(2500.5e6, parseCpuinfoHz("processor\t: 0\ncpu MHz\t\t: 2500.500\ncpu MHz\t\t: 800.0\n"));
  EXPECT_DOUBLE_EQ(0.0, parseCpuinfoHz("processor\t: 0\nBogoMIPS\t: 100\n"));

  EXPECT_EQ(76, parseKernelBuild("6.1.76-1-amd64"));
  EXPECT_EQ(0, parseKernelBuild("6.1"));
  EXPECT_EQ(0, parseKernelBuild("weird"));

  struct Case {
    const char* release;
    std::array<int, 4> parts;
  };
  for (const Case& c :
       {Case{"6.1.76-1-amd64", {6, 1, 76, 1}}, Case{"5.15.0", {5, 15, 0, 0}}, Case{"6.8.0-rc3", {6, 8, 0, 0}},
        Case{"weird", {0, 0, 0, 0}}, Case{"4.99999999.2", {4, 65535, 2, 0}}}) {
    const KernelVersion v = parseKernelVersion(c.release);
    const std::array<int, 4> parts = {v.part[0], v.part[1], v.part[2], v.part[3]};
    EXPECT_EQ(parts, c.parts) << c.release;
  }
}

}  // namespace
