#include "frontend/MenuCursor.h"

#include <fstream>

#include "frontend/MenuHelpers.h"
#include "records/FrontendTestUtil.h"
#include "gamedata/RecordTestUtil.h"
#include "platform/audio.h"
#include "sound/DSound.h"
#include "sound/SoundTable.h"
#include "ui/Pad.h"

namespace {

cPad PadWith(std::uint16_t dir) {
  cPad pad;
  pad.m_wDirection = dir;
  return pad;
}

enum : std::uint16_t { L = cPad::DirLeft, R = cPad::DirRight, U = cPad::DirUp, D = cPad::DirDown };

TEST(MenuCursorTest, GridWrapsAtEveryEdge) {
  const struct {
    std::uint16_t dir;
    int column, row;
    int wantColumn, wantRow;
  } cases[] = {
      // clang-format off
      {D, 0, 2, 0, 0}, {U, 1, 0, 1, 2}, {0, 0, 5, 0, 0},  // a stale row wraps without a key
      {L, 0, 1, 3, 1}, {R, 3, 1, 0, 1}, {L | U, 0, 0, 3, 2},
      {L | R, 2, 1, 1, 1},  // left wins over right
      {U | D, 2, 1, 2, 0},  // up wins over down
      // clang-format on
  };
  for (const auto& c : cases) {
    cMenuCursor cursor;
    *cursor.m_pTop = CURSORSTATE{c.column, c.row, 0, 0};
    cursor.MoveGrid(PadWith(c.dir), 100, 50, 40, 20, 4, 3);
    EXPECT_EQ(*cursor.m_pTop, (CURSORSTATE{c.wantColumn, c.wantRow, 100 + 40 * c.wantColumn, 50 + 20 * c.wantRow}))
        << c.dir << " " << c.column << "," << c.row;
  }
  cMenuCursor cursor;
  *cursor.m_pTop = CURSORSTATE{1, 1, 7, 7};
  cursor.MoveGrid(PadWith(D), 0, 0, 10, 10, 4, -1);
  EXPECT_EQ(*cursor.m_pTop, (CURSORSTATE{1, 1, 7, 7}));
}

TEST(MenuCursorTest, ListsScrollAndPageWithoutWrapping) {
  const struct {
    std::uint16_t dir;
    int pageKeys, total, visible, pos, scroll;
    int wantPos, wantScroll;
  } cases[] = {
      {D, 0, 99, 10, 9, 0, 10, 1},    {D, 0, 99, 10, 5, 0, 6, 0},     {U, 0, 99, 10, 5, 5, 4, 4},
      {U, 0, 99, 10, 0, 0, 0, 0},     {D, 0, 99, 10, 98, 89, 98, 89}, {R, 1, 99, 10, 3, 0, 12, 9},
      {R, 1, 99, 10, 95, 89, 98, 89}, {R, 1, 99, 10, 85, 85, 94, 89}, {L, 1, 99, 10, 5, 0, 0, 0},
      {L, 1, 99, 10, 25, 20, 16, 11}, {R, 0, 99, 10, 3, 0, 3, 0},     {D, 0, 4, 10, 3, 0, 3, 0},
      {R, 1, 4, 10, 1, 0, 3, 0},      {D, 0, 0, 10, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    for (int vertical : {1, 0}) {
      cMenuCursor cursor;
      (vertical ? cursor.m_pTop->m_nRow : cursor.m_pTop->m_nColumn) = c.pos;
      std::int32_t scroll = c.scroll;
      cursor.MoveList(PadWith(c.dir), vertical, scroll, 40, 16, 300, c.visible, c.total, c.pageKeys);
      const int along = 40 + 16 * (c.wantPos - c.wantScroll);
      const CURSORSTATE want = vertical ? CURSORSTATE{0, c.wantPos, 300, along} : CURSORSTATE{c.wantPos, 0, along, 300};
      EXPECT_EQ(*cursor.m_pTop, want) << c.dir << " total " << c.total << " from " << c.pos << "/" << c.scroll;
      EXPECT_EQ(scroll, c.wantScroll);
    }
  }
}

TEST(MenuCursorTest, SubMenusKeepTheLevelBelow) {
  cMenuCursor cursor;
  EXPECT_EQ(cursor.m_States.Size(), 1);
  EXPECT_EQ(cursor.m_pBelow, nullptr);
  cursor.Pop(0);  // the only state stays
  EXPECT_EQ(cursor.m_States.Size(), 1);

  *cursor.m_pTop = CURSORSTATE{1, 2, 3, 4};
  cursor.Push(0);
  EXPECT_EQ(*cursor.m_pTop, CURSORSTATE());
  EXPECT_EQ(*cursor.m_pBelow, (CURSORSTATE{1, 2, 3, 4}));
  cursor.m_pTop->m_nRow = 5;
  cursor.Push(1);
  EXPECT_EQ(cursor.m_pTop->m_nRow, 5);
  // Deep stacks move the states; the pointers follow.
  for (int i = 0; i < 40; ++i) cursor.Push(0);
  EXPECT_EQ(cursor.m_pTop, &cursor.m_States.back());
  EXPECT_EQ(cursor.m_pBelow, &cursor.m_States[cursor.m_States.Size() - 2]);
  for (int i = 0; i < 40; ++i) cursor.Pop(1);

  cursor.m_pTop->m_nColumn = 9;
  cursor.Pop(1);  // the level below as it was
  EXPECT_EQ(*cursor.m_pTop, (CURSORSTATE{0, 5, 0, 0}));
  cursor.Push(0);
  cursor.m_pTop->m_nColumn = 7;
  cursor.Pop(2);  // takes the closed level's values
  EXPECT_EQ(*cursor.m_pTop, (CURSORSTATE{7, 0, 0, 0}));
  cursor.Push(0);
  cursor.Pop(0);
  EXPECT_EQ(*cursor.m_pTop, CURSORSTATE());
  EXPECT_EQ(cursor.m_pBelow, &cursor.m_States[0]);
  cursor.Pop(1);
  EXPECT_EQ(*cursor.m_pTop, (CURSORSTATE{1, 2, 3, 4}));
  EXPECT_EQ(cursor.m_pBelow, nullptr);
  cursor.Push(1);
  cursor.Reset();
  EXPECT_EQ(cursor.m_States.Size(), 1);
  EXPECT_EQ(*cursor.m_pTop, CURSORSTATE());
}

using fe::SilentWav;

class CursorSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::audio::DeviceConfig c;
    c.backend = plat::audio::Backend::Manual;
    plat::audio::setDefaultDeviceConfig(c);
    ASSERT_TRUE(DS_Init(0, 22050, 8, 1));
    path_ = dir_.path() + "/cursor.wav";
    std::ofstream(path_, std::ios::binary) << SilentWav();
    g_SoundTable.resize(1);
    ASSERT_TRUE(DS_CreateSoundSet(&g_SoundTable[0], plat::fs::fromNative(path_).c_str(), 4, 0));
  }
  void TearDown() override {
    for (DS_SOUNDSET& set : g_SoundTable) DS_ReleaseSoundSet(&set);
    g_SoundTable.clear();
    DS_UnInit();
    plat::audio::setDefaultDeviceConfig({});
  }
  // Plays for the pad and axes; how many times the sound started.
  int Plays(std::uint16_t dir, int axes) {
    DS_SOUNDSET& set = g_SoundTable[0];
    set.nNext = 0;
    PlayCursorSound(PadWith(dir), axes, 0);
    return set.nNext;
  }

  test_support::TempDir dir_;
  std::string path_;
};

TEST_F(CursorSoundTest, OnceForEachAxisMoved) {
  const struct {
    std::uint16_t dir;
    int axes, plays;
  } cases[] = {{L | U, 3, 2}, {L, 3, 1}, {D, 3, 1}, {0, 3, 0}, {L | R, 2, 0}, {U, 2, 1}, {U, 1, 0}, {R | D, 1, 1}};
  for (const auto& c : cases) EXPECT_EQ(Plays(c.dir, c.axes), c.plays) << c.dir << " axes " << c.axes;
}

}  // namespace
