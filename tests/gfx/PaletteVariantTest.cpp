#include <filesystem>

#include "gfx/PaletteVariant.h"
#include "gfx/BmpTable.h"
#include "gfx/DDTranslucent.h"
#include "gfx/GfxTest.h"

namespace {

using namespace gfxtest;

class PaletteVariantTest : public GfxFixture {
 protected:
  void SetUp() override {
    GfxFixture::SetUp();
    ResetMenuColors();
    old_ = std::filesystem::current_path();
    oldPaletteFile_ = g_BmpTable[0].szFileName;
    std::filesystem::create_directories(dir_.path() + "/bmp/hbt");
    std::filesystem::current_path(dir_.path());
    // The palette bitmap: entry i is (i, 255 - i, 7).
    std::vector<std::uint32_t> colours;
    for (std::uint32_t i = 0; i < 256; ++i) colours.push_back(i << 16 | (255 - i) << 8 | 7);
    g_BmpTable[0].szFileName = Write8("Palette.bmp", 16, 24, colours, [](int, int) { return 0; });
  }
  void TearDown() override {
    g_BmpTable[0].szFileName = oldPaletteFile_;
    std::filesystem::current_path(old_);
    plat::fs::invalidateCache();
    GfxFixture::TearDown();
  }
  void BlendTableFile(const char* name, std::uint8_t fill) {
    Write(name, std::string(65536, char(fill)));
    std::filesystem::rename(dir_.path() + "/" + name, dir_.path() + "/bmp/hbt/" + name);
    plat::fs::invalidateCache();
  }
  std::filesystem::path old_;
  std::string oldPaletteFile_;
};

TEST(PingPongStepTest, HoldsTheTurningValuesForOneCall) {
  std::int32_t value = 0, direction = 0;
  std::vector<std::int32_t> seen;
  std::vector<int> turnsAtMin;
  for (int call = 1; call <= 34; ++call) {
    seen.push_back(value);
    if (PingPongStep(value, direction, 16, 0, 255)) turnsAtMin.push_back(call);
  }
  const std::vector<std::int32_t> head = {0, 16, 32};
  EXPECT_EQ(std::vector<std::int32_t>(seen.begin(), seen.begin() + 3), head);
  EXPECT_EQ(seen[14], 224);
  EXPECT_EQ(seen[15], 240);
  EXPECT_EQ(seen[16], 240);  // held at the top
  EXPECT_EQ(seen[17], 224);
  EXPECT_EQ(seen[30], 16);
  EXPECT_EQ(seen[31], 16);  // held at the bottom, never back to 0
  EXPECT_EQ(seen[32], 32);
  EXPECT_EQ(turnsAtMin, std::vector<int>{31});
}

TEST_F(PaletteVariantTest, Direct3DDrawModesPulse) {
  ASSERT_TRUE(Open(Mode::D3D32));
  for (int call = 1; call <= 15; ++call) CycleMenuColors(0);
  EXPECT_EQ(g_ColorDrawModes[1].dwColor, 0xFFE0E0E0u);
  EXPECT_EQ(g_ColorDrawModes[1].nColorOp, D3DTOP_ADD);
  EXPECT_EQ(g_ColorDrawModes[2].nColorOp, D3DTOP_SUBTRACT);
  EXPECT_EQ(g_ColorDrawModes[3].dwColor, 0xFFE00000u);
  EXPECT_EQ(g_ColorDrawModes[7].dwColor, 0xFFE00038u);  // (v, 0, v / 4)
  EXPECT_EQ(g_ColorDrawModes[8].dwColor, 0xFF3800E0u);  // (v / 4, 0, v)
  CycleMenuColors(0);
  EXPECT_EQ(g_ColorDrawModes[1].dwColor, 0xFFF0F0F0u);
  CycleMenuColors(0);
  EXPECT_EQ(g_ColorDrawModes[1].dwColor, 0xFFF0F0F0u);
  CycleMenuColors(0);
  EXPECT_EQ(g_ColorDrawModes[1].dwColor, 0xFFE0E0E0u);
  // Ramp 9 changes hue after its first turn at the bottom (call 31).
  for (int call = 19; call <= 31; ++call) CycleMenuColors(0);
  EXPECT_EQ(g_ColorDrawModes[9].dwColor, 0xFF100000u);
  CycleMenuColors(0);
  EXPECT_EQ(g_ColorDrawModes[9].dwColor, 0xFF001000u);
}

TEST_F(PaletteVariantTest, EightBitMenuEntriesCycleEverySixthCall) {
  ASSERT_TRUE(Open(Mode::DD8));
  for (int i = 0; i < 32; ++i) g_WorkPalette[208 + i] = {std::uint8_t(i + 1), 0, 0, 0};
  g_WorkPalette[207] = g_WorkPalette[240] = {99, 0, 0, 0};
  auto shown = [](int entry) { return plat::display::palette()[entry] >> 16; };
  for (int call = 1; call <= 5; ++call) CycleMenuColors(1);
  EXPECT_EQ(g_WorkPalette[208].peRed, 1);
  CycleMenuColors(1);
  // Each group of four turns by one: (1, 2, 3, 4) -> (4, 1, 2, 3).
  EXPECT_EQ(g_WorkPalette[208].peRed, 4);
  EXPECT_EQ(g_WorkPalette[209].peRed, 1);
  EXPECT_EQ(g_WorkPalette[236].peRed, 32);
  EXPECT_EQ(g_WorkPalette[207].peRed, 99);
  EXPECT_EQ(g_WorkPalette[240].peRed, 99);
  EXPECT_EQ(shown(208), 4u);
  EXPECT_EQ(shown(239), 31u);
  // Without the project's cycling setting nothing moves.
  for (int call = 1; call <= 12; ++call) CycleMenuColors(0);
  EXPECT_EQ(g_WorkPalette[208].peRed, 4);
}

TEST_F(PaletteVariantTest, VariantsRotateOrRepeatTheBand) {
  struct Case {
    int number;
    int entry;
    int fromBitmapEntry;
  };
  const Case cases[] = {
      {0, 16, 16},  {5, 96, 16},   {5, 16, 128},  {5, 208, 208},  // 5: up by 80 within 16..207
      {12, 16, 16}, {12, 200, 24}, {23, 16, 192}, {23, 207, 207}, {23, 5, 5},
  };
  ASSERT_TRUE(Open(Mode::DD8));
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.number) + " entry " + std::to_string(c.entry));
    char name[32];
    std::snprintf(name, sizeof name, "hbt%02d.dat", c.number);
    BlendTableFile(name, std::uint8_t(c.number + 1));
    ASSERT_EQ(LoadHbtPalette(c.number), 1);
    EXPECT_EQ(g_BlendTable[12345], c.number + 1);
    EXPECT_EQ(g_Palette[c.entry].peRed, c.fromBitmapEntry);
    EXPECT_EQ(g_WorkPalette[c.entry].peRed, c.fromBitmapEntry);
    EXPECT_EQ(plat::display::palette()[c.entry] >> 16, std::uint32_t(c.fromBitmapEntry));
  }
}

TEST_F(PaletteVariantTest, FailuresAndOtherModes) {
  ASSERT_TRUE(Open(Mode::D3D32));
  EXPECT_EQ(LoadHbtPalette(7), 1);  // no file is needed outside 8-bit DirectDraw
  ResetAll();
  ASSERT_TRUE(Open(Mode::DD8));
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadHbtPalette(7), 0);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("hbt07.dat"), std::string::npos);
  BlendTableFile("hbt07.dat", 1);
  g_BmpTable[0].szFileName = "missing.bmp";
  EXPECT_EQ(LoadHbtPalette(7), 0);
}

}  // namespace
