// The system and display blocks of the report log: their layout, number formats and the
// lines each drawing mode writes.
#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <string>

#include "app/SystemReport.h"
#include "gfx/GfxTest.h"
#include "platform/fs.h"
#include "platform/window.h"

namespace {

TEST(SystemReport, SystemBlockLayout) {
  CPUINFO cpu;
  cpu.szVendor = "GenuineIntel";
  cpu.szBrand = "Some CPU @ 2.50GHz";
  cpu.dClock = 2499999999.0;  // cut, not rounded
  MEMORYSTATUS mem;
  mem.dwTotalPhys = 3ull * 1048576 + 524288;  // 3.5 MB
  mem.dwAvailPhys = 1572864;                  // 1.5 MB: "%3.f" rounds and pads
  mem.dwTotalVirtual = 0;
  mem.dwAvailVirtual = 2000ull * 1048576;
  EXPECT_EQ(
      "OS : Linux x PID 2 Build 0\n"
      "CPU : GenuineIntel Some CPU @ 2.50GHz 2499\n"
      "Mem Total : 3.500MB\n"
      "Mem Free :   2MB\n"
      "Vir Total : 0.000MB\n"
      "Vir Free : 2000MB\n"
      "HD Free : 2048MB\n",
      FormatSystemInfo("Linux x PID 2 Build 0", cpu, mem, 2147483647));
}

TEST(SystemReport, OsNameAndVersionTests) {
  std::string name;
  int major = 0, minor = 0;
  GetOsName(&name, &major, &minor);
  EXPECT_NE(std::string::npos, name.find(" PID 2 Build ")) << name;
  EXPECT_EQ(6, major);
  EXPECT_EQ(1, minor);
  EXPECT_TRUE(IsOsVersionAtLeast(6, 0));
  EXPECT_TRUE(IsOsVersionAtLeast(6, 1));
  EXPECT_TRUE(IsOsVersionAtLeast(5, 9));
  EXPECT_FALSE(IsOsVersionAtLeast(6, 2));
  EXPECT_FALSE(IsOsVersionAtLeast(7, 0));
}

TEST(SystemReport, DiskFreeIsTheFolderFreeSpaceCappedAtTwoGigabytes) {
  const std::optional<std::string> cwd = plat::fs::currentDirectory();
  ASSERT_TRUE(cwd);
  const std::int64_t actual = plat::fs::freeBytes(*cwd);
  ASSERT_GT(actual, 0);
  const std::int32_t reported = GetDiskFreeBytes(nullptr);
  if (actual >= 2147483648LL) {
    EXPECT_EQ(reported, 2147483647);  // 2 GB - 1 and more read as 2 GB - 1
  } else {
    // Other programs may write meanwhile: the same free space within a few megabytes.
    EXPECT_NEAR(static_cast<double>(reported), static_cast<double>(actual), 64.0 * 1048576);
  }
  EXPECT_EQ(GetDiskFreeBytes("/no/such/folder/at/all"), 0);
}

class DisplayReport : public gfxtest::GfxFixture {};

TEST_F(DisplayReport, DirectDrawHasVideoMemoryAndRefreshButNoDevices) {
  plat::display::setVideoMemoryBudget(64ll * 1048576);
  ASSERT_TRUE(Open(gfxtest::Mode::DD16, false));
  const std::string block = FormatDisplayInfo();
  EXPECT_EQ(0u, block.find("Mode : Fullscreen\nBpp : 16\nVRAM Total : 64.000MB\nVRAM Free : ")) << block;
  EXPECT_NE(std::string::npos, block.find("\nRR : ")) << block;
  EXPECT_EQ(std::string::npos, block.find("---")) << block;
  EXPECT_EQ(std::string::npos, block.find("TextureMem")) << block;
}

TEST_F(DisplayReport, Direct3DDeviceLinesFollowTheDiagnosticsLayout) {
  // The device lines come from the window system's displays.
  ASSERT_TRUE(plat::videoInit());
  struct VideoOff {
    ~VideoOff() { plat::videoQuit(); }
  } videoOff;
  plat::display::caps().pow2 = true;
  ASSERT_TRUE(Open(gfxtest::Mode::D3D32));
  const std::string block = FormatDisplayInfo();
  EXPECT_EQ(0u, block.find("Mode : Window\nBpp : 32\nSDL ")) << block;
  EXPECT_EQ(std::string::npos, block.find("VRAM Total")) << block;
  EXPECT_EQ(std::string::npos, block.find("RR : ")) << block;
  EXPECT_NE(std::string::npos, block.find("\nTextureMem : ")) << block;
  EXPECT_NE(std::string::npos, block.find("\n---デバイス0\n")) << block;
  // Each device: its name, its video memory, then its driver with four version numbers.
  const std::size_t vram = block.find("\nVRAM : ");
  ASSERT_NE(std::string::npos, vram) << block;
  EXPECT_TRUE(std::regex_search(block.substr(vram),
                                std::regex(R"(^\nVRAM : \d+\.\d MB\nDriver : \S+ \d\.\d\d\.\d{4}\.\d{4}\nDDI : )")))
      << block;
  EXPECT_NE(std::string::npos, block.find("\nDDI : 9\n")) << block;
  EXPECT_NE(std::string::npos, block.find("\nTextureMaxSize : (8192,8192)\nTextureMaxBlend : (1,1)\n"
                                          "D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD\nD3DPTEXTURECAPS_POW2\n"))
      << block;
  EXPECT_EQ(std::string::npos, block.find("SQUAREONLY")) << block;
}

}  // namespace
