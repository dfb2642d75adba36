// The colour key that start-up sets for pictures shown at 16 bits per pixel.
#include <gtest/gtest.h>

#include <array>

#include "core/GameInit.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/GfxTest.h"

namespace {

using namespace gfxtest;

class StartUpColourKeyTest : public GfxFixture {
 protected:
  void SetUp() override {
    GfxFixture::SetUp();
    savedPalette_ = g_BmpTable[0].szFileName;
    savedSystem_ = {g_System.m_nColorMode, g_System.m_nTransparentR, g_System.m_nTransparentG,
                    g_System.m_nTransparentB};
  }
  void TearDown() override {
    g_BmpTable[0].szFileName = savedPalette_;
    g_System.m_nColorMode = savedSystem_[0];
    g_System.m_nTransparentR = std::uint8_t(savedSystem_[1]);
    g_System.m_nTransparentG = std::uint8_t(savedSystem_[2]);
    g_System.m_nTransparentB = std::uint8_t(savedSystem_[3]);
    GfxFixture::TearDown();
  }
  std::string savedPalette_;
  std::array<std::int32_t, 4> savedSystem_{};
};

// A 24-bit sprite of black, the key colour and white, drawn with the key over a filled
// screen: black is drawn, the key colour is left out.
TEST_F(StartUpColourKeyTest, TwentyFourBitPicturesKeepBlackAndDropTheKeyInEachSixteenBitMode) {
  // The palette bitmap's top-left pixel (colour-table entry 0) is magenta; a project
  // without a palette names green as its own transparent colour.
  g_BmpTable[0].szFileName =
      Write8("plt.bmp", 16, 16, {0xFF00FF, 0x2040C0}, [](int x, int y) { return x + y == 0 ? 0 : 1; });
  struct Case {
    Mode mode;
    std::int32_t colorMode;
    std::uint32_t key;
  };
  for (const Case& c : {Case{Mode::D3D16, 0, 0xFF00FF}, Case{Mode::D3D16, 1, 0x00FF00}, Case{Mode::DD16, 0, 0xFF00FF},
                        Case{Mode::DD16, 1, 0x00FF00}}) {
    SCOPED_TRACE(std::string(Name(c.mode)) + (c.colorMode ? " project colour" : " palette bitmap"));
    ResetAll();
    ASSERT_TRUE(Open(c.mode, false));
    g_System.m_nColorMode = c.colorMode;
    g_System.m_nTransparentR = 0;
    g_System.m_nTransparentG = 255;
    g_System.m_nTransparentB = 0;
    ASSERT_TRUE(SetUpPaletteAndTransparency());

    const std::string sprite = Write24("sprite.bmp", 3, 1, [&](int x, int) {
      return x == 0 ? 0x000000u : x == 1 ? c.key : 0xFFFFFFu;
    });
    DDSURFACEDATA keyed, plain;
    ASSERT_EQ(DDCreateSurfaceFromFile(&keyed, sprite, 1, 16, 0, 0, 0, 0, 0, 0, false), DDLOAD_OK);
    ASSERT_EQ(DDCreateSurfaceFromFile(&plain, sprite, 0, 16, 0, 0, 0, 0, 0, 0, false), DDLOAD_OK);
    // What each sprite pixel looks like drawn without a key, and the screen before.
    DDBlt(&BackBuffer, 0, 0, 3, 1, &plain, 0, 0, 0);
    const std::uint32_t black = Px(&BackBuffer, 0, 0), white = Px(&BackBuffer, 2, 0);
    DDFillRect(&BackBuffer, 0, 0, 3, 1, 2);
    const std::uint32_t screen = Px(&BackBuffer, 1, 0);
    ASSERT_NE(screen, black);
    DDBlt(&BackBuffer, 0, 0, 3, 1, &keyed, 0, 0, 1);
    EXPECT_EQ(Px(&BackBuffer, 0, 0), black);
    EXPECT_EQ(Px(&BackBuffer, 1, 0), screen);
    EXPECT_EQ(Px(&BackBuffer, 2, 0), white);
    DDReleaseSurface(&keyed);
    DDReleaseSurface(&plain);
  }
}

}  // namespace
