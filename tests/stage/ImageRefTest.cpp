#include <gtest/gtest.h>

#include <array>

#include "gfx/BmpTable.h"
#include "gfx/GfxTest.h"
#include "stage/ImageRef.h"
#include "stage/ObjectGeometry.h"
#include "stage/StageFixture.h"

namespace {

using stagetest::cTestActor;
using stagetest::StageFixture;

constexpr int NONE = -1;

class ImageRefTest : public StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    for (int i = 0; i < BMP_TABLE_COUNT; ++i) {
      saved_[i] = {g_SurfaceData[i].nWidth, g_SurfaceData[i].nHeight};
      g_SurfaceData[i].nWidth = 320;
      g_SurfaceData[i].nHeight = 480;
    }
  }
  void TearDown() override {
    for (int i = 0; i < BMP_TABLE_COUNT; ++i) {
      g_SurfaceData[i].nWidth = saved_[i][0];
      g_SurfaceData[i].nHeight = saved_[i][1];
    }
    StageFixture::TearDown();
  }
  static int Entry(const DDSURFACEDATA* p) { return p ? static_cast<int>(p - g_SurfaceData) : NONE; }

  std::array<std::array<int, 2>, BMP_TABLE_COUNT> saved_{};
};

TEST_F(ImageRefTest, GraphicsOfTheFixedSheets) {
  struct Case {
    const char* name;
    int caller, kind, index, param, facing, pattern;  // facing -1: no actor
    int sheet, stretch, other, otherStretch, sx, sy;
  };
  const Case cases[] = {
      {"block", 0, 0, 17, 0, NONE, 0, 2, 3, 2, 3, 32, 64},
      {"character, actor facing right", 1, 1, 16, 2, 1, 1, 7, 25, 6, 24, 96, 32},
      {"character, actor facing left", 1, 1, 3, 0, 0, 2, 4, 22, 5, 23, 64, 96},
      {"character, parameter 20: right sheet", 0, 1, 31, 20, NONE, 0, 9, 27, NONE, NONE, 0, 32},
      {"character, parameter 19: left sheet", 0, 1, 31, 9, NONE, 0, 8, 26, NONE, NONE, 288, 32},
      {"character beyond its sheet: first cell", 0, 1, 31, 19, NONE, 0, 4, 22, NONE, NONE, 0, 0},
      {"character beyond the eight sheets", 1, 1, 120, 0, 0, 0, 4, 22, NONE, NONE, 0, 0},
      {"item on the stage", 2, 2, 16, 0, NONE, 1, 40, 41, NONE, NONE, 96, 32},
      {"item drawn by another caller", 0, 2, 16, 0, NONE, 1, 40, 41, NONE, NONE, 64, 32},
      {"shot cells, actor facing left", 1, 3, 31, 0, 0, 0, 63, 63, 64, 64, 64, 32},
      {"shot cells, no actor", 0, 3, 61, 0, NONE, 0, 63, 63, NONE, NONE, 128, 32},
      {"unknown kind", 1, 5, 3, 0, 0, 0, NONE, NONE, NONE, NONE, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cTestActor actor;
    actor.m_nFacing = c.facing == NONE ? 0 : c.facing;
    cImageRef ref;
    ref.Set(c.caller, c.kind, c.index, c.param, c.facing == NONE ? nullptr : &actor, c.pattern);
    EXPECT_EQ(Entry(ref.m_pSheet), c.sheet);
    EXPECT_EQ(Entry(ref.m_pStretchSheet), c.stretch);
    EXPECT_EQ(Entry(ref.m_pOtherSheet), c.other);
    EXPECT_EQ(Entry(ref.m_pOtherStretchSheet), c.otherStretch);
    EXPECT_EQ(ref.m_nSrcX, c.sx);
    EXPECT_EQ(ref.m_nSrcY, c.sy);
    EXPECT_EQ(ref.m_bOwnScale, 0);
    EXPECT_EQ(ref.m_nCellScale, 1);
  }
}

TEST_F(ImageRefTest, CharacterBitmapsOfTheDatabase) {
  Scene().m_CharaSurfaces.resize(8);
  g_Database.m_BmpCharaExcs.resize(3);
  g_Database.m_BmpCharaExcs[2].m_bCellSize = 1;
  g_Database.m_BmpCharaExcs[2].m_nCellSize = 2;
  auto At = [&](int n) { return &Scene().m_CharaSurfaces[n]; };

  cTestActor actor;
  actor.m_nFacing = 1;
  cImageRef ref;
  ref.Set(IMAGE_CALLER_ACTOR, 4, 2, 5, &actor, 4);  // cell 9 of 64-pixel cells, 8 a row
  EXPECT_EQ(ref.m_pSheet, At(5));
  EXPECT_EQ(ref.m_pStretchSheet, At(7));
  EXPECT_EQ(ref.m_pOtherSheet, At(4));
  EXPECT_EQ(ref.m_pOtherStretchSheet, At(6));
  EXPECT_EQ(ref.m_nSrcX, 64);
  EXPECT_EQ(ref.m_nSrcY, 64);
  EXPECT_EQ(ref.m_bOwnScale, 1);
  EXPECT_EQ(ref.m_nCellScale, 2);

  ref.Set(IMAGE_CALLER_OTHER, 4, 1, 17, nullptr, 4);  // the pattern counts for actors only
  EXPECT_EQ(ref.m_pSheet, At(0));
  EXPECT_EQ(ref.m_pStretchSheet, At(2));
  EXPECT_EQ(ref.m_nSrcX, 32);
  EXPECT_EQ(ref.m_nSrcY, 32);
  EXPECT_EQ(ref.m_bOwnScale, 0);
  EXPECT_EQ(ref.m_nCellScale, 1);
  EXPECT_EQ(closes_, 0);
}

class SheetDrawingTest : public gfxtest::GfxFixture {
 protected:
  void SetUp() override {
    GfxFixture::SetUp();
    ASSERT_TRUE(Open(gfxtest::Mode::DD32));
    g_TransmitPixel = 0;
    for (int i : kSheets) ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[i], 64, 480, 1, 0, 0, 0, false));
    ASSERT_TRUE(DDCreateSurface(&dst_, 200, 200, 0, 0, 0, 0, false));
    DDFillRectColor(&dst_, 0, 0, 200, 200, kBackground);
  }
  void TearDown() override {
    for (int i : kSheets) DDReleaseSurface(&g_SurfaceData[i]);
    DDReleaseSurface(&dst_);
    GfxFixture::TearDown();
  }

  static constexpr int kSheets[] = {2, 3, 42, 43};
  static constexpr std::uint32_t kBackground = 0x00070707;
  DDSURFACEDATA dst_;
};

TEST_F(SheetDrawingTest, BlockCellsWithTheirEmblem) {
  // Block 17 lies at (32, 64) of the block sheet; emblem 16 at (32, 32) of its sheet.
  SetPx(&g_SurfaceData[2], 32 + 5, 64 + 7, 0x00112233);
  SetPx(&g_SurfaceData[2], 32 + 31, 64 + 31, 0x00445566);
  SetPx(&g_SurfaceData[43], 32 + 3, 32 + 4, 0x00AABBCC);
  cEdBlock block;
  block.m_nImageSheet = 0;
  block.m_nImage = 17;
  block.m_nMark = 16;
  block.m_nMarkShow = 2;  // shown in the editor only
  DrawBlockCell(block, &dst_, 100, 50);
  EXPECT_EQ(Px(&dst_, 105, 57), 0x00112233u);
  EXPECT_EQ(Px(&dst_, 131, 81), 0x00445566u);
  EXPECT_EQ(Px(&dst_, 103, 54), kBackground);  // transparent pixels stay
  block.m_nMarkShow = 1;
  DrawBlockCell(block, &dst_, 100, 50);
  EXPECT_EQ(Px(&dst_, 103, 54), 0x00AABBCCu);
  EXPECT_EQ(Px(&dst_, 105, 57), 0x00112233u);
}

TEST_F(SheetDrawingTest, HalfSizeIcons) {
  // Item icon 16: a plain 16 x 16 cell at (32, 16) of the half-size sheet.
  SetPx(&g_SurfaceData[42], 32 + 2, 16 + 3, 0x00010203);
  DrawHalfIcon(&dst_, 10, 20, 2, 16, 0);
  EXPECT_EQ(Px(&dst_, 12, 23), 0x00010203u);
  // Block 17 from the stretching sheet, halved.
  DDFillRectColor(&g_SurfaceData[3], 32, 64, 32, 32, 0x00550055);
  DrawHalfIcon(&dst_, 40, 20, 0, 17, 0);
  EXPECT_EQ(Px(&dst_, 40, 20), 0x00550055u);
  EXPECT_EQ(Px(&dst_, 55, 35), 0x00550055u);
  EXPECT_EQ(Px(&dst_, 56, 36), kBackground);
  DrawHalfIcon(&dst_, 80, 20, 9, 17, 0);  // no such kind: nothing
  EXPECT_EQ(Px(&dst_, 80, 20), kBackground);
}

TEST_F(SheetDrawingTest, DirectDrawChoosesTheVariantThatHasASurface) {
  EXPECT_EQ(ChooseSheetVariant(2, 0), 2);   // entry 2 has one
  EXPECT_EQ(ChooseSheetVariant(2, 1), 2);   // entry 20 has none
  EXPECT_EQ(ChooseSheetVariant(4, 0), 22);  // entry 4 has none
  EXPECT_EQ(ChooseSheetVariant(25, 1), 43);
  EXPECT_EQ(ChooseSheetVariant(60, 1), 60);  // no twin in the table
}

}  // namespace
