#include "GfxTest.h"

namespace {

using namespace gfxtest;
using DDSurfaceTest = GfxFixture;

// A 64 x 32 sheet: index = 1 + x (so columns can be told apart), colour table index i = (i, 2i, 3i).
std::vector<std::uint32_t> Ramp() {
  std::vector<std::uint32_t> c(256);
  for (int i = 0; i < 256; ++i)
    c[i] = std::uint32_t(i) << 16 | std::uint32_t(2 * i & 255) << 8 | std::uint32_t(3 * i & 255);
  return c;
}

TEST_F(DDSurfaceTest, EightBitBitmapIntoEverySurfaceFormat) {
  const std::string file = Write8("sheet.bmp", 64, 32, Ramp(), [](int x, int y) { return (1 + x + y) & 255; });
  struct Case {
    Mode mode;
    std::uint32_t at10_3;  // pixel (10, 3): index 14 = (14, 28, 42)
  };
  const Case cases[] = {
      {Mode::DD8, 14},
      {Mode::DD16, (14u * 31 / 255) << 11 | (28u * 63 / 255) << 5 | (42u * 31 / 255)},
      {Mode::DD24, 0x0E1C2A},
      {Mode::DD32, 0x0E1C2A},
      {Mode::D3D32, 0xFF0E1C2A},
      {Mode::D3D16, 0x8000u | (14u * 31 / 255) << 10 | (28u * 31 / 255) << 5 | (42u * 31 / 255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Name(c.mode));
    ResetAll();
    ASSERT_TRUE(Open(c.mode));
    DDSURFACEDATA s;
    ASSERT_EQ(DDCreateSurfaceFromFile(&s, file, 0, Bpp(c.mode), 0, 0, 0, 0, 0, 0, false), DDLOAD_OK);
    EXPECT_EQ(s.nWidth, 64);
    EXPECT_EQ(s.nHeight, 32);
    EXPECT_EQ(s.szFileName, file);
    EXPECT_EQ(Px(&s, 10, 3), c.at10_3);
    DDReleaseSurface(&s);
  }
}

TEST_F(DDSurfaceTest, MirroredCells) {
  // 100 x 40: cells of 32 are flipped in place; the 4-pixel remainder stays cleared.
  const std::string file = Write8("chara.bmp", 100, 40, Ramp(), [](int x, int y) { return 1 + x + (y % 32) * 0; });
  struct Case {
    Mode mode;
    int cw, ch;
    int x, y;
    std::uint32_t index;  // the source column + 1 expected there (0: cleared)
  };
  const Case cases[] = {
      // clang-format off
      {Mode::DD8, 32, 0, 0, 5, 32},     // column 0 shows source column 31
      {Mode::DD8, 32, 0, 33, 5, 63},    // column 33 shows source column 62
      {Mode::DD8, 32, 0, 97, 5, 0},     // remainder left cleared
      {Mode::DD8, 32, 32, 0, 0, 32},    // flipped both ways: row 0 shows row 31
      {Mode::DD32, 32, 0, 0, 5, 32},    // the converting copy mirrors whole cells too
      {Mode::DD32, 32, 0, 97, 5, 0},
      {Mode::D3D32, 32, 0, 0, 5, 32},
      {Mode::D3D32, 32, 0, 64, 5, 96},
      {Mode::D3D32, 32, 0, 97, 5, 0},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(Name(c.mode)) + " x " + std::to_string(c.x));
    ResetAll();
    ASSERT_TRUE(Open(c.mode));
    g_TransmitPixel = 0;
    DDSURFACEDATA s;
    ASSERT_EQ(DDCreateSurfaceFromFile(&s, file, 0, Bpp(c.mode), 0, 0, 0, 0, c.cw, c.ch, false), DDLOAD_OK);
    const std::uint32_t p = Px(&s, c.x, c.y);
    if (c.mode == Mode::DD8) {
      EXPECT_EQ(p, c.index);
    } else if (c.index == 0) {
      EXPECT_EQ(p & 0xFFFFFF, 0u);
    } else {
      EXPECT_EQ(p & 0xFF0000, c.index << 16);
    }
    DDReleaseSurface(&s);
  }
}

TEST_F(DDSurfaceTest, Direct3DColourKeyBecomesTransparentBlack) {
  // Key (255, 0, 255); (254, 0, 255) is a near miss and stays opaque.
  const std::string file = Write24("keyed.bmp", 3, 1, [](int x, int) {
    return x == 0 ? 0xFF00FFu : x == 1 ? 0xFE00FFu : 0x123456u;
  });
  ASSERT_TRUE(Open(Mode::D3D32));
  DDSetTransmit(255, 0, 255);
  DDSURFACEDATA keyed, plain;
  ASSERT_EQ(DDCreateSurfaceFromFile(&keyed, file, 1, 32, 0, 0, 0, 0, 0, 0, false), DDLOAD_OK);
  ASSERT_EQ(DDCreateSurfaceFromFile(&plain, file, 0, 32, 0, 0, 0, 0, 0, 0, false), DDLOAD_OK);
  EXPECT_EQ(Px(&keyed, 0, 0), 0u);
  EXPECT_EQ(Px(&keyed, 1, 0), 0xFFFE00FFu);
  EXPECT_EQ(Px(&keyed, 2, 0), 0xFF123456u);
  EXPECT_EQ(Px(&plain, 0, 0), 0xFFFF00FFu);
  DDReleaseSurface(&keyed);
  DDReleaseSurface(&plain);
}

TEST_F(DDSurfaceTest, SixteenBitCopyKeepsOpaquePixelsOffTheTransparentValue) {
  ASSERT_TRUE(Open(Mode::DD16));
  // Transparent colour bytes (255, 0, 255) -> 0xF81F; (255, 1, 255) converts to it too.
  g_lpDDData->TransmitColor16[0] = 255;
  g_lpDDData->TransmitColor16[1] = 0;
  g_lpDDData->TransmitColor16[2] = 255;
  g_TransmitPixel = 0xF81F;
  const std::string file = Write24("b.bmp", 3, 1, [](int x, int) {
    return x == 0 ? 0xFF00FFu : x == 1 ? 0xFF01FFu : 0x00FF00u;
  });
  DDSURFACEDATA s;
  ASSERT_EQ(DDCreateSurfaceFromFile(&s, file, 1, 16, 0, 0, 0, 0, 0, 0, false), DDLOAD_OK);
  EXPECT_EQ(Px(&s, 0, 0), 0xF81Fu);
  EXPECT_EQ(Px(&s, 1, 0), 0xF81Eu);  // blue at its maximum: one step down
  EXPECT_EQ(Px(&s, 2, 0), 0x07E0u);
  // Blue below its maximum moves up instead.
  g_TransmitPixel = 0x07E0;
  DDReloadBitmap(&s, 16);
  EXPECT_EQ(Px(&s, 2, 0), 0x07E1u);
  DDReleaseSurface(&s);
}

TEST_F(DDSurfaceTest, SixteenBitIndexMapGivesFirstMatchingNumber) {
  ASSERT_TRUE(Open(Mode::DD16));
  g_Palette[3] = PALETTEENTRY{31, 0, 0, 0};
  g_Palette[9] = PALETTEENTRY{31, 0, 0, 0};
  g_Palette[4] = PALETTEENTRY{0, 63, 0, 0};
  const std::string file = Write24("m.bmp", 2, 1, [](int x, int) { return x == 0 ? 0xFF0000u : 0x00FF00u; });
  DDSURFACEDATA s;
  ASSERT_EQ(DDCreateSurfaceFromFile(&s, file, 0, 16, 0, 0, 0, 1, 0, 0, false), DDLOAD_OK);
  ASSERT_TRUE(s.lpDD->bIndexMap);
  EXPECT_EQ(s.lpDD->IndexMap[0], 3);
  EXPECT_EQ(s.lpDD->IndexMap[1], 4);
  DDReleaseSurface(&s);
}

TEST_F(DDSurfaceTest, TextureSizeRules) {
  plat::display::caps().pow2 = true;
  ASSERT_TRUE(Open(Mode::D3D32));
  const std::string file = Write24("odd.bmp", 100, 60, [](int, int) { return 0x808080u; });
  DDSURFACEDATA s;
  ASSERT_EQ(DDCreateSurfaceFromFile(&s, file, 0, 32, 0, 0, 0, 0, 0, 0, false), DDLOAD_OK);
  EXPECT_EQ(s.nWidth, 100);
  EXPECT_EQ(s.nAllocWidth, 128);
  EXPECT_EQ(s.nAllocHeight, 64);
  EXPECT_EQ(Px(&s, 110, 10), 0u);  // padding is transparent black
  g_lpD3DData->bSquare = 1;
  std::int32_t w = 100, h = 60;
  DDAdjustTextureSize(&w, &h);
  EXPECT_EQ(w, 128);
  EXPECT_EQ(h, 128);
  DDReleaseSurface(&s);
}

TEST_F(DDSurfaceTest, OutOfVideoMemoryMovesTexturesToSystemMemory) {
  ASSERT_TRUE(Open(Mode::D3D32));
  plat::display::setVideoMemoryBudget(plat::display::videoMemoryUsed());
  DDSURFACEDATA s;
  ASSERT_TRUE(DDCreateSurface(&s, 16, 16, 0, 0, 0, 0, false));
  EXPECT_EQ(s.lpDT->bInSystemMemory, 1);
  EXPECT_EQ(s.lpDT->bValid, 0);
  EXPECT_NE(Report().find("VRAM不足のためシステムメモリにテクスチャを作成します。(空)"), std::string::npos);
  g_Palette[7] = PALETTEENTRY{1, 2, 3, 0};
  DDFillRect(&s, 0, 0, 4, 4, 7);  // the software path
  EXPECT_EQ(Px(&s, 3, 3), 0xFF010203u);
  DDReleaseSurface(&s);
}

TEST_F(DDSurfaceTest, DirectDrawBlankSurfaceTakesTheTransparentColourAsKey) {
  ASSERT_TRUE(Open(Mode::DD8));
  g_TransmitPixel = 6;
  DDSURFACEDATA keyed, video;
  ASSERT_TRUE(DDCreateSurface(&keyed, 4, 4, 1, 1, 0, 0, false));
  EXPECT_TRUE(keyed.lpDD->bColorKey);
  EXPECT_EQ(keyed.lpDD->dwColorKey, 6u);
  EXPECT_EQ(keyed.Pixels()->memory(), plat::Memory::System);
  // A video surface that does not fit is made in system memory, kind 1.
  plat::display::setVideoMemoryBudget(plat::display::videoMemoryUsed());
  ASSERT_TRUE(DDCreateSurface(&video, 4, 4, 0, 0, 0, 0, false));
  EXPECT_EQ(video.nMemoryKind, 1);
  DDReleaseSurface(&keyed);
  DDReleaseSurface(&video);
}

TEST_F(DDSurfaceTest, DamagedBitmapsFailTheLoad) {
  const std::string good = plat::bmp::encodeRgb(2, 2, std::vector<std::uint32_t>(4, 0x112233).data());
  auto patched = [&](std::size_t at, std::uint32_t v) {
    std::string s = good;
    for (int i = 0; i < 4; ++i) s[at + i] = char((v >> (8 * i)) & 0xFF);
    return s;
  };
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"bad magic", "XM" + good.substr(2)},
      {"truncated header", good.substr(0, 30)},
      {"data offset beyond the file", patched(10, 100000)},
      {"height larger than the data", patched(22, 5000)},
      {"zero width", patched(18, 0)},
      {"negative width", patched(18, 0xFFFFFFFF)},
      {"colour count over 256", patched(46, 257)},
      {"truncated pixels", good.substr(0, good.size() - 3)},
      {"empty file", ""},
  };
  for (Mode m : {Mode::DD32, Mode::D3D32}) {
    ResetAll();
    ASSERT_TRUE(Open(m));
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(Name(m)) + ": " + c.what);
      const std::string file = Write("bad.bmp", c.bytes);
      DDSURFACEDATA s;
      const std::int32_t code = DDCreateSurfaceFromFile(&s, file, 0, 32, 0, 0, 0, 0, 0, 0, false);
      EXPECT_EQ(code, DDLOAD_LOADIMAGE_ERR);
      EXPECT_FALSE(DDCheckLoadError(code));
      DDReleaseSurface(&s);
    }
  }
  // An 8-bit table counting more colours than the file holds.
  plat::bmp::Bitmap b;
  b.width = 1;
  b.height = 1;
  b.bitsPerPixel = 8;
  b.stride = 4;
  b.bits.assign(4, 0);
  b.colors.resize(2);
  std::string bytes = plat::bmp::encode(b);
  bytes[46] = char(200);
  EXPECT_FALSE(plat::bmp::decode(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())));
}

TEST_F(DDSurfaceTest, CheckLoadErrorAndReleaseEdges) {
  for (int code : {0, 1, -5}) EXPECT_TRUE(DDCheckLoadError(code)) << code;
  for (int code : {4, 8, 9}) EXPECT_FALSE(DDCheckLoadError(code)) << code;
  ASSERT_TRUE(Open(Mode::D3D32));
  DDSURFACEDATA never;
  DDReleaseSurface(&never);
  DDReleaseSurface(nullptr);
  DDSURFACEDATA s;
  ASSERT_TRUE(DDCreateSurface(&s, 4, 4, 0, 0, 0, 0, false));
  DDReleaseSurface(&s);
  DDReleaseSurface(&s);
  EXPECT_EQ(s.lpDT, nullptr);
}

TEST_F(DDSurfaceTest, DirectDrawLostSurfacesComeBackByTheirKind) {
  ASSERT_TRUE(Open(Mode::DD8, false));
  const std::string file = Write8("f.bmp", 8, 8, Ramp(), [](int x, int) { return 10 + x; });
  DDSURFACEDATA& fromFile = table_[1];
  DDSURFACEDATA& system = table_[2];
  DDSURFACEDATA& blank = table_[3];
  ASSERT_EQ(DDCreateSurfaceFromFile(&fromFile, file, 1, 8, 0, 0, 0, 0, 0, 0, false), DDLOAD_OK);
  ASSERT_EQ(DDCreateSurfaceFromFile(&system, file, 1, 8, 1, 0, 0, 0, 0, 0, false), DDLOAD_OK);
  ASSERT_TRUE(DDCreateSurface(&blank, 8, 8, 0, 0, 0, 0, false));
  DDFillRect(&blank, 0, 0, 8, 8, 3);

  plat::display::injectLoss();
  EXPECT_TRUE(DDIsPrimaryLost());
  EXPECT_TRUE(fromFile.Pixels()->isLost());
  EXPECT_FALSE(system.Pixels()->isLost());
  cSurfaceLock lock;
  EXPECT_FALSE(lock.Lock(&fromFile));
  EXPECT_FALSE(DDBlt(&BackBuffer, 0, 0, 8, 8, &fromFile, 0, 0, 0));

  ASSERT_TRUE(DDRestore());
  EXPECT_FALSE(DDIsPrimaryLost());
  EXPECT_EQ(Px(&fromFile, 5, 2), 15u);                      // reloaded from its file
  EXPECT_EQ(Px(&system, 5, 2), 15u);                        // never lost
  EXPECT_EQ(Px(&blank, 5, 2), plat::Surface::kPoisonByte);  // its owner must redraw it
  EXPECT_TRUE(DDRestore());                                 // nothing lost any more
}

TEST_F(DDSurfaceTest, Direct3DDeviceResetRebuildsTextures) {
  ASSERT_TRUE(Open(Mode::D3D32));
  const std::string file = Write24("f.bmp", 8, 8, [](int x, int) { return 0x010000u * std::uint32_t(x); });
  cVector<DDSURFACEDATA> scene;
  cVector<DDSURFACEINFO> infos;
  // Growing the vector moves the records; the restore list must follow them.
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(DDAddSurface(scene, infos, 8, 8, 1, 0, 0, 0));
  DDSURFACEDATA& fromFile = table_[1];
  DDSURFACEDATA& system = table_[2];
  ASSERT_EQ(DDCreateSurfaceFromFile(&fromFile, file, 0, 32, 0, 0, 0, 0, 0, 0, false), DDLOAD_OK);
  ASSERT_EQ(DDCreateSurfaceFromFile(&system, file, 0, 32, 0, 1, 0, 0, 0, 0, false), DDLOAD_OK);
  g_Palette[4] = PALETTEENTRY{9, 9, 9, 0};
  DDFillRect(&scene[4], 0, 0, 8, 8, 4);

  plat::display::injectLoss(1);
  EXPECT_FALSE(DDPresent());
  EXPECT_FALSE(DDRestoreSurface());  // the device answers "lost" once: not yet
  EXPECT_TRUE(DDRestoreSurface());
  EXPECT_TRUE(DDPresent());
  EXPECT_EQ(Px(&fromFile, 3, 3), 0xFF030000u);
  EXPECT_EQ(Px(&system, 3, 3), 0xFF030000u);
  EXPECT_EQ(system.lpDT->bRecreated, 0);
  EXPECT_EQ(scene[4].lpDT->bRecreated, 1);
  EXPECT_EQ(Px(&scene[4], 3, 3), g_lpD3DData->dwBackTransmit);  // cleared again
  EXPECT_EQ(VirBackBuffer.lpDT->bRecreated, 1);
  // A failed reset leaves everything released; the retry rebuilds it.
  plat::display::injectLoss();
  plat::display::failNextResets(1);
  EXPECT_FALSE(DDRestoreSurface());
  EXPECT_TRUE(DDRestoreSurface());
  EXPECT_EQ(Px(&fromFile, 7, 0), 0xFF070000u);
  DDReleaseSurfaceVector(scene);
}

TEST_F(DDSurfaceTest, ListSurfacesAddAndRemove) {
  ASSERT_TRUE(Open(Mode::DD32));
  cVectorList<DDSURFACEDATA> list;
  cVectorList<DDSURFACEINFO> infos;
  ASSERT_TRUE(DDAddListSurface(list, infos, 4, 4, 1, 0, 0, 0));
  ASSERT_TRUE(DDAddListSurface(list, infos, 8, 2, 0, 1, 0, 0));
  DDSURFACEDATA* second = &list[1];
  EXPECT_EQ(infos[1].nMemoryKind, 1);
  EXPECT_TRUE(DDRemoveListSurface(list, infos, second));
  EXPECT_EQ(list.Size(), 1);
  EXPECT_EQ(infos.Size(), 1);
  EXPECT_EQ(infos[0].nColorKey, 1);
  DDSURFACEDATA stranger;
  EXPECT_FALSE(DDRemoveListSurface(list, infos, &stranger));
  DDReleaseSurfaceList(list);
}

TEST_F(DDSurfaceTest, CheckBitmapSize) {
  const std::string file = Write24("big.bmp", 700, 10, [](int, int) { return 0u; });
  ASSERT_TRUE(Open(Mode::DD32));
  std::int32_t larger = 5;
  EXPECT_TRUE(DDCheckBitmapSize(&larger, file, 640, 480));
  EXPECT_EQ(larger, 1);
  EXPECT_FALSE(DDCheckBitmapSize(&larger, Path("none.bmp"), 640, 480));
  EXPECT_EQ(larger, 0);
}

}  // namespace
