#include <unistd.h>

#include <filesystem>

#include "GfxTest.h"
#include "gfx/BmpTable.h"

namespace {

using namespace gfxtest;

// Runs in a project folder of its own, with the fixed table registered.
class BmpTableTest : public GfxFixture {
 protected:
  void SetUp() override {
    GfxFixture::SetUp();
    old_ = std::filesystem::current_path();
    std::filesystem::create_directories(dir_.path() + "/bmp");
    std::filesystem::current_path(dir_.path());
  }
  void TearDown() override {
    for (DDSURFACEDATA& s : g_SurfaceData) DDReleaseSurface(&s);
    for (DDSURFACEDATA& s : g_SurfaceData) s.lpAlias = nullptr;
    std::filesystem::current_path(old_);
    GfxFixture::TearDown();
  }
  bool OpenTable(Mode m) {
    if (!IsD3D(m)) plat::display::setDesktopDepthOverride(Bpp(m));
    return DDInit(IsD3D(m), 1, 640, 480, Bpp(m), 0, 1, 1, 60, 0, g_SurfaceData, g_BmpTable, BMP_TABLE_COUNT);
  }
  void Picture(const std::string& name, std::uint32_t rgb) {
    Write24(name, 64, 32, [&](int x, int) { return x < 32 ? rgb : rgb ^ 0xFFFFFF; });
    std::filesystem::rename(dir_.path() + "/" + name, dir_.path() + "/bmp/" + name);
  }
  std::filesystem::path old_;
};

TEST_F(BmpTableTest, TableEntries) {
  EXPECT_EQ(g_BmpTable[0].szFileName, "bmp\\plt\\Palette.bmp");
  EXPECT_EQ(g_BmpTable[13].szFileName, "bmp\\Character5.bmp");
  EXPECT_EQ(g_BmpTable[13].nMirrorWidth, 32);
  EXPECT_EQ(g_BmpTable[13].nOptional, 1);
  EXPECT_EQ(g_BmpTable[31].nNoTexture, 1);
  EXPECT_EQ(g_BmpTable[39].nMirrorWidth, 16);
  EXPECT_EQ(g_BmpTable[56].szFileName, "背景その2.bmp");
  EXPECT_EQ(g_BmpTable[55].nColorKey, 0);
  EXPECT_EQ(g_BmpTable[63].nBlankHeight, 960);
  EXPECT_EQ(g_BmpTable[66].nColorKey, 0);
  EXPECT_EQ(g_BmpTable[66].nMemoryKind, 1);
  EXPECT_EQ(g_BmpTable[68].nNoTexture, 1);
  for (const DDSURFACEINFO& d : g_DigitInfos) EXPECT_EQ(d.nColorKey, 1);
  LinkSurfaceAliases();
  EXPECT_EQ(g_SurfaceData[3].lpAlias, &g_SurfaceData[2]);
  EXPECT_EQ(g_SurfaceData[22].lpAlias, &g_SurfaceData[4]);
  EXPECT_EQ(g_SurfaceData[39].lpAlias, &g_SurfaceData[21]);
  EXPECT_EQ(g_SurfaceData[68].lpAlias, &g_SurfaceData[67]);
  EXPECT_EQ(g_SurfaceData[45].lpAlias, nullptr);
}

TEST_F(BmpTableTest, MissingOptionalSheetsStayEmpty) {
  for (int k = 1; k <= 8; ++k)
    if (k != 5) Picture("Character" + std::to_string(k) + ".bmp", 0x102030);
  ASSERT_TRUE(OpenTable(Mode::DD32));
  const std::int32_t ids[] = {4, 5, 12, 13, 30, 31, 66};
  ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, ids, 7));
  for (int id : {12, 13, 30, 31}) EXPECT_EQ(g_SurfaceData[id].lpDD, nullptr) << id;
  EXPECT_NE(g_SurfaceData[4].Pixels(), nullptr);
  // Entry 5 holds the sheet mirrored in cells of 32.
  EXPECT_EQ(Px(&g_SurfaceData[4], 0, 0), 0x102030u);
  EXPECT_EQ(Px(&g_SurfaceData[5], 0, 0), 0x102030u);
  EXPECT_EQ(Px(&g_SurfaceData[5], 32, 0), 0x102030u ^ 0xFFFFFF);
  // Blank entry 66: no key, system memory, cleared with number 0.
  EXPECT_FALSE(g_SurfaceData[66].lpDD->bColorKey);
  EXPECT_EQ(g_SurfaceData[66].Pixels()->memory(), plat::Memory::System);
  EXPECT_EQ(g_SurfaceData[66].nWidth, 640);
}

TEST_F(BmpTableTest, MissingRequiredPictureStopsTheList) {
  Picture("Debug.bmp", 0x111111);
  ASSERT_TRUE(OpenTable(Mode::D3D32));
  const std::int32_t ids[] = {1, 2, 47};
  testing::internal::CaptureStderr();
  EXPECT_FALSE(DDLoadSurfaces(g_SurfaceData, ids, 3));
  const std::string out = testing::internal::GetCapturedStderr();
  EXPECT_NE(out.find(reinterpret_cast<const char*>(u8"bmp/Block.bmp の読み込みに失敗！")), std::string::npos) << out;
  EXPECT_NE(g_SurfaceData[1].Pixels(), nullptr);
  EXPECT_EQ(g_SurfaceData[47].lpDT, nullptr);  // the list stopped before it
}

TEST_F(BmpTableTest, NoTextureEntriesDrawFromTheirTwinUnderDirect3D) {
  Picture("Character1.bmp", 0x405060);
  ASSERT_TRUE(OpenTable(Mode::D3D32));
  LinkSurfaceAliases();
  const std::int32_t ids[] = {4, 22};
  ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, ids, 2));
  EXPECT_EQ(g_SurfaceData[22].Pixels(), nullptr);
  EXPECT_EQ(g_SurfaceData[22].nWidth, 64);
  DDBlt(&BackBuffer, 0, 0, 64, 32, &g_SurfaceData[22], 0, 0, 1);
  EXPECT_EQ(Px(&BackBuffer, 1, 1), 0xFF405060u);
  // Under DirectDraw the same entry is a picture of its own in system memory.
  ResetAll();
  ASSERT_TRUE(OpenTable(Mode::DD32));
  ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, ids, 2));
  ASSERT_NE(g_SurfaceData[22].Pixels(), nullptr);
  EXPECT_EQ(g_SurfaceData[22].Pixels()->memory(), plat::Memory::System);
  EXPECT_EQ(Px(&g_SurfaceData[22], 1, 1), 0x405060u);
}

}  // namespace
