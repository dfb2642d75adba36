// Message popups: where they stand, what their "#" escapes show, how a text window opens,
// how icons rise and when popups end, drawn on the back buffer and read back.
#include <climits>
#include <string>

#include "gfx/Font.h"
#include "records/PlayRecord.h"
#include "stage/DrawFixture.h"
#include "stage/MessagePopup.h"

namespace {

using namespace stagetest;

constexpr int BMP_ACCESSORY = 49;
constexpr int SHEET_ITEM_MINI = 42;

class PopupTest : public DrawFixture {
 protected:
  void SetUp() override {
    DrawFixture::SetUp();
    savedCommon_ = g_PlayRecord.m_CommonVariables;
    g_PlayRecord.m_CommonVariables.assign(256, 0);
    Scene().m_StageVariables.assign(STAGE_VARIABLE_COUNT, 0);
    ASSERT_TRUE(DDCreateSurface(&frame_, 64, 64, 0, 0, 0, 0, false));
    DDFillRect(&frame_, 0, 0, 64, 64, 9);
    g_Fonts[1].Create("ＭＳ ゴシック", 0, 15, 16, 16, 241, &frame_, 1, 240, nullptr);
    Hero().m_nSerial = 1;
  }
  void TearDown() override {
    Scene().m_Popups.clear();
    Scene().ReleaseMessageSurfaces();
    g_Fonts[1].Release();
    DDReleaseSurface(&frame_);
    g_PlayRecord.m_CommonVariables = savedCommon_;
    DrawFixture::TearDown();
  }

  static cPlayer& Hero() { return g_Players[0]; }
  static cMessagePopup Text(std::string_view text, int nMode, int nFrames, int bContinued, int nPlacement = 0,
                            int bHalting = 0) {
    return cMessagePopup(POPUP_TEXT, text, 0, 0, 0, nPlacement, 0, 0, 0, 0, 0, nMode, nFrames, bHalting, 1, bContinued,
                         0);
  }
  // The first row of the screen's column x that comes from the sheet marked with tag.
  static int TopOfTag(int x, int tag) {
    for (int y = 0; y < 480; ++y)
      if (MarkTag(Screen(x, y)) == tag) return y;
    return -1;
  }

  DDSURFACEDATA frame_;
  cVector<std::int32_t> savedCommon_;
};

TEST_F(PopupTest, PlacementsFollowTheScreenTheActorOrTheStage) {
  ScrollTo(330.0, 325.0);
  cPlayer& a = Hero();
  a.m_dX = 500.7;
  a.m_dY = 410.2;
  a.m_nHitOffX = 6;
  a.m_nHitOffY = 8;
  a.m_nWidth = 32;
  a.m_nHeight = 48;
  // A popup of 50 x 18 with block offsets (2, 1) and pixel offsets (3, -2). The actor's
  // drawn cell lies at screen (170 - 6, 85 - 8) = (164, 77); its centre column is 180.
  struct Case {
    int placement, x, y;
  };
  const Case cases[] = {
      {PLACE_SCREEN_CENTRE, 320 - 25 + 3, 240 - 9 - 2},
      {PLACE_ABOVE_SELF, 180 - 25 + 3, 77 - 18 - 2},
      {PLACE_BELOW_SELF, 158, 77 + 48 + 1 - 2},
      {PLACE_ON_SELF, 158, 77 + 24 - 9 - 2},
      {PLACE_ABOVE_HERO, 158, 57},
      {PLACE_BELOW_HERO, 158, 124},
      {PLACE_ON_HERO, 158, 90},
      {PLACE_SCREEN, 2 * 32 + 3, 1 * 32 - 2},
      {PLACE_STAGE, (2 + 10) * 32 + 3 - 330, (1 + 10) * 32 - 2 - 325},
  };
  for (const Case& c : cases) {
    cMessagePopup p(POPUP_TIMER, "", 0, 0, 0, c.placement, 2, 1, 3, -2, 0, SHOW_FOR_TIME, 10, 0, 1, 0, 0);
    p.m_nWidth = 50;
    p.m_nHeight = 18;
    int x = -1, y = -1;
    ASSERT_TRUE(p.Position(x, y)) << c.placement;
    EXPECT_EQ(x, c.x) << c.placement;
    EXPECT_EQ(y, c.y) << c.placement;
  }
  // A popup that follows an actor that is gone has no place.
  cMessagePopup lost(POPUP_TIMER, "", 0, 0, 0, PLACE_ABOVE_SELF, 0, 0, 0, 0, 0, SHOW_FOR_TIME, 10, 0, 99, 0, 0);
  int x = 0, y = 0;
  EXPECT_FALSE(lost.Position(x, y));
}

TEST_F(PopupTest, KeepInsideHoldsThePopupOnScreenBelowTheStatusBar) {
  // Screen placement: (x, y) straight from the pixel offsets; the popup is 50 x 18.
  struct Case {
    int px, py, x, y;
  };
  const Case cases[] = {
      // clang-format off
      {-5, 100, 0, 100},    // off the left edge
      {589, 100, 590, 100}, // right edge reached at 639
      {588, 100, 588, 100},
      {100, 10, 100, 20},   // under the status bar
      {100, 461, 100, 462}, // bottom edge reached at 479
      // clang-format on
      {100, 460, 100, 460},
  };
  for (const Case& c : cases) {
    cMessagePopup p(POPUP_TIMER, "", 0, 0, 0, PLACE_SCREEN, 0, 0, c.px, c.py, 1, SHOW_FOR_TIME, 10, 0, 0, 0, 0);
    p.m_nWidth = 50;
    p.m_nHeight = 18;
    int x = -1, y = -1;
    ASSERT_TRUE(p.Position(x, y));
    EXPECT_EQ(x, c.x) << c.px << "," << c.py;
    EXPECT_EQ(y, c.y) << c.px << "," << c.py;
  }
  // A tall text in the screen centre would reach into the status bar.
  cMessagePopup tall(POPUP_TIMER, "", 0, 0, 0, PLACE_SCREEN_CENTRE, 0, 0, 0, 0, 1, SHOW_FOR_TIME, 10, 0, 0, 0, 0);
  tall.m_nWidth = 100;
  tall.m_nHeight = 460;
  int x = 0, y = 0;
  ASSERT_TRUE(tall.Position(x, y));
  EXPECT_EQ(y, 20);
}

TEST_F(PopupTest, EscapesShowVariablesInTheirFormat) {
  g_PlayRecord.m_CommonVariables[1] = 5;
  g_PlayRecord.m_CommonVariables[3] = 42;
  g_PlayRecord.m_CommonVariables[4] = INT_MIN;
  g_PlayRecord.m_CommonVariables[255] = 8;
  Scene().m_StageVariables[10] = -7;
  Scene().m_StageVariables[254] = 6;
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"#C3", "42"},
      {"#C3_5.", "   42"},  // the full stop belongs to the escape
      {"#C3_5Z", "00042"},
      {"#c3_3P x", "+ 42 x"},  // the blank ends the escape and stays
      {"#S10_3", "-  7"},
      {"#s10_4Z", "-0007"},
      {"#C1_12", " 5"},  // a later width digit replaces the first
      {"#C4", "-2147483648"},
      {"#C255", "8"},
      {"#3C!", "42!"},           // number and letter in either order
      {"#CS3", "42"},            // both letters: the common variables
      {"a#C3b#C1.c", "a42b5c"},  // a letter right after it would belong to it
      {"#C3_", "42"},
      {"\x82\xa0#C3",
       "\x82\xa0"
       "42"},  // a double-byte character before it
      {"#C0", "#C0"},
      {"#C256", "#C256"},
      {"#S254", "6"},                // the last stage variable
      {"#S255_3. x", "#S255_3. x"},  // past the stage variables: text, and the game goes on
      {"#12", "#12"},                // no variable letter
      {"#C", "#C"},                  // no number
      {"end #", "end #"},
      {"##C3", "#42"},  // the scan goes on after a "#" that stays
  };
  for (const Case& c : cases) {
    std::string text = c.in;
    cMessagePopup::ExpandEscapes(text);
    EXPECT_EQ(text, c.out) << c.in;
  }
}

TEST_F(PopupTest, TextPopupsAreSizedByTheFontsCellsAndExpandOnRequest) {
  g_PlayRecord.m_CommonVariables[3] = 42;
  // 2 cells wide, 2 lines of 16 pixels, and a pixel of border on every side.
  cMessagePopup& a = Scene().m_Popups.emplace_back(Text("AB\nC", SHOW_UNTIL_STAGE_END, 0, 0));
  EXPECT_EQ(a.m_nWidth, 2 * 16 + 2);
  EXPECT_EQ(a.m_nHeight, 2 * 16 + 2);
  ASSERT_NE(a.m_pSurface, nullptr);
  EXPECT_EQ(a.m_pSurface->nWidth, 34);
  cMessagePopup& b =
      Scene().m_Popups.emplace_back(POPUP_TEXT, "#C3", 0, 0, 0, 0, 0, 0, 0, 0, 0, SHOW_UNTIL_STAGE_END, 0, 0, 1, 0, 1);
  EXPECT_EQ(b.m_strText, "42");
  EXPECT_EQ(b.m_nWidth, 34);
  EXPECT_EQ(b.m_nHeight, 18);
  EXPECT_EQ(g_MessageSurfaces.size(), 2u);
  // Icons are 16 x 16 and have no surface.
  cMessagePopup icon(POPUP_ITEM_ICON, "", 0, 0, 0, PLACE_ABOVE_HERO, 0, 0, 0, 0, 0, SHOW_FOR_TIME, 30, 0, 1, 0, 0);
  EXPECT_EQ(icon.m_nWidth, 16);
  EXPECT_EQ(icon.m_pSurface, nullptr);
  EXPECT_EQ(g_MessageSurfaces.size(), 2u);
}

TEST_F(PopupTest, AKeyMessageOpensWithAGrowingFrameAndAContinuedOneAtOnce) {
  const auto Fill = [] {
    DDFillRectColor(&BackBuffer, 0, 0, 640, 480, 0x123456);
    return Screen(0, 0);
  };
  const std::uint32_t fill = Fill();
  // "ABCD": 66 x 18 in the screen centre: top-left (287, 231).
  for (int bContinued : {0, 1}) {
    SCOPED_TRACE(bContinued);
    Scene().m_Popups.clear();
    Scene().ReleaseMessageSurfaces();
    cMessagePopup& p = Scene().m_Popups.emplace_back(Text("ABCD", SHOW_UNTIL_KEY, 0, bContinued, 0, 1));
    int x = 0, y = 0;
    ASSERT_TRUE(p.Position(x, y));
    ASSERT_EQ(x, 287);
    ASSERT_EQ(y, 231);
    std::uint32_t corner = 0;
    {
      cSurfaceLock lock(p.m_pSurface);
      ASSERT_TRUE(lock.IsLocked());
      corner = pix::getRaw(*lock.m_lpSurface, 0, 0);
    }
    ASSERT_NE(corner, fill);
    const int nFrameDrawings = bContinued ? 0 : 9;
    for (int n = 1; n <= 12; ++n) {
      Fill();
      EXPECT_EQ(p.Draw(&BackBuffer, 1), 0);
      // The growing frame never reaches the corner; the text surface covers it.
      EXPECT_EQ(Screen(x, y), n <= nFrameDrawings ? fill : corner) << n;
    }
  }
}

TEST_F(PopupTest, TimedPopupsEndAndGiveBackTheirSurfaces) {
  cMessagePopup& p = Scene().m_Popups.emplace_back(Text("A", SHOW_FOR_TIME, 2, 0));
  ASSERT_EQ(g_MessageSurfaces.size(), 1u);
  // Frozen frames do not count a popup that does not halt the game.
  for (int i = 0; i < 5; ++i) Scene().DrawPopups(&BackBuffer, 1);
  ASSERT_EQ(Scene().m_Popups.size(), 1u);
  EXPECT_EQ(p.m_nFrames, 2);
  Scene().DrawPopups(&BackBuffer, 0);
  Scene().DrawPopups(&BackBuffer, 0);
  EXPECT_EQ(Scene().m_Popups.size(), 1u);
  Scene().DrawPopups(&BackBuffer, 0);
  EXPECT_TRUE(Scene().m_Popups.empty());
  EXPECT_TRUE(g_MessageSurfaces.empty());
  EXPECT_TRUE(g_MessageSurfaceInfos.empty());

  // A text that follows an actor that has gone ends with it; an icon only waits.
  Scene().m_Popups.emplace_back(Text("A", SHOW_UNTIL_STAGE_END, 0, 0, PLACE_ABOVE_SELF));
  Scene().m_Popups.back().m_nAnchor = 99;
  Scene().m_Popups.emplace_back(POPUP_ITEM_ICON, "", 0, 0, 0, PLACE_ABOVE_SELF, 0, 0, 0, 0, 0, SHOW_UNTIL_STAGE_END, 0,
                                0, 99, 0, 0);
  Scene().DrawPopups(&BackBuffer, 0);
  ASSERT_EQ(Scene().m_Popups.size(), 1u);
  EXPECT_EQ(Scene().m_Popups.back().m_nKind, POPUP_ITEM_ICON);
  EXPECT_TRUE(g_MessageSurfaces.empty());

  // Taking one popup down by its id leaves the others and their surfaces.
  Scene().m_Popups.clear();
  const int nFirst = Scene().m_Popups.emplace_back(Text("A", SHOW_UNTIL_KEY, 0, 0)).m_nId;
  DDSURFACEDATA* pSecond = Scene().m_Popups.emplace_back(Text("B", SHOW_UNTIL_KEY, 0, 0)).m_pSurface;
  RemovePopup(Scene().m_Popups, nFirst);
  ASSERT_EQ(Scene().m_Popups.size(), 1u);
  ASSERT_EQ(g_MessageSurfaces.size(), 1u);
  EXPECT_EQ(&g_MessageSurfaces.back(), pSecond);
  RemovePopup(Scene().m_Popups, nFirst);  // already gone: nothing happens
  EXPECT_EQ(Scene().m_Popups.size(), 1u);
}

TEST_F(PopupTest, IconsRiseOverTheHeroAndOnlyTheExtraLifeMovesWhileFrozen) {
  MakeMarked(BMP_ACCESSORY, 64, 64, 3);
  MakeMarked(SHEET_ITEM_MINI, 64, 256, 4);
  ScrollTo(320.0, 320.0);
  Place(Hero(), 500.0, 400.0);  // drawn cell at screen (180, 80)
  Hero().ShowItemIcon(2, 0, 0);
  cMessagePopup& item = Scene().m_Popups.back();
  Scene().m_Popups.emplace_back(POPUP_EXTRA_LIFE, "", 0, 0, 0, PLACE_ABOVE_HERO, 0, 0, 0, 0, 0, SHOW_FOR_TIME,
                                ICON_POPUP_FRAMES, 1, Hero().m_nSerial, 0, 0);
  cMessagePopup& life = Scene().m_Popups.back();
  int x = 0, y0 = 0;
  ASSERT_TRUE(item.Position(x, y0));
  EXPECT_EQ(x, 180 + 16 - 8);
  EXPECT_EQ(y0, 80 - 16);
  // Side by side: move the item icon 20 pixels to the left.
  item.m_nPixelX = -20;

  // Frozen: the extra life rises one pixel every four frames, the item icon stands.
  for (int n = 1; n <= ICON_POPUP_FRAMES; ++n) {
    FillValue(0);
    Scene().DrawPopups(&BackBuffer, 1);
    EXPECT_EQ(TopOfTag(x, 3), y0 - (n >> 2)) << n;
    EXPECT_EQ(TopOfTag(x - 20, 4), y0) << n;
  }
  EXPECT_EQ(life.m_nFrames, 0);  // risen by 7 pixels
  Scene().DrawPopups(&BackBuffer, 1);
  ASSERT_EQ(Scene().m_Popups.size(), 1u);  // the extra life has ended

  // In play the item icon rises too and ends after its 30 frames.
  for (int n = 1; n <= ICON_POPUP_FRAMES; ++n) {
    FillValue(0);
    Scene().DrawPopups(&BackBuffer, 0);
    EXPECT_EQ(TopOfTag(x - 20, 4), y0 - (n >> 2)) << n;
  }
  Scene().DrawPopups(&BackBuffer, 0);
  EXPECT_TRUE(Scene().m_Popups.empty());
}

}  // namespace
