// Runs make-sample into a fresh folder and reads back what it wrote through the
// program's own readers: bitmap reader and fixed bitmap table, WAV reader, SMF loader,
// record classes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "gamedata/DataPaths.h"
#include "gamedata/Option.h"
#include "gamedata/WorldMap.h"
#include "gfx/BmpTable.h"
#include "gfx/GfxTest.h"
#include "platform/bmp.h"
#include "platform/fs.h"
#include "platform/wav.h"
#include "sound/MidiFile.h"
#include "ui/KeyConfig.h"

namespace {

using namespace gfxtest;

// The project, made once per test program run and entered as the current directory.
class MakeSample : public GfxFixture {
 protected:
  static void SetUpTestSuite() {
    project_ = new test_support::TempDir;
    const std::string cmd =
        std::string("\"") + PELLMOOR_BINARY_DIR + "/make-sample\" \"" + project_->path() + "/game\" > /dev/null";
    made_ = std::system(cmd.c_str()) == 0;
  }
  static void TearDownTestSuite() {
    delete project_;
    project_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(made_);
    GfxFixture::SetUp();
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(project_->path() + "/game");
    plat::fs::invalidateCache();
  }
  void TearDown() override {
    for (DDSURFACEDATA& s : g_SurfaceData) DDReleaseSurface(&s);
    std::filesystem::current_path(old_);
    plat::fs::invalidateCache();
    GfxFixture::TearDown();
  }

  static inline test_support::TempDir* project_ = nullptr;
  static inline bool made_ = false;
  std::filesystem::path old_;
};

struct Size {
  int w, h;
};

// The sizes the game's cell layouts are built for.
const std::map<std::string, Size> kBitmapSizes = {
    {"bmp\\plt\\Palette.bmp", {16, 24}},  {"bmp\\Debug.bmp", {32, 32}},      {"bmp\\Block.bmp", {256, 480}},
    {"bmp\\Character1.bmp", {512, 480}},  {"bmp\\Shot.bmp", {128, 480}},     {"bmp\\Item.bmp", {512, 480}},
    {"bmp\\Item_Mini.bmp", {256, 240}},   {"bmp\\Mark.bmp", {256, 480}},     {"bmp\\Window.bmp", {640, 480}},
    {"bmp\\StatusWindow.bmp", {640, 20}}, {"bmp\\Title.bmp", {640, 480}},    {"bmp\\GameMode.bmp", {192, 224}},
    {"bmp\\Accessory.bmp", {128, 208}},   {"bmp\\Symbol.bmp", {416, 16}},    {"bmp\\Word.bmp", {320, 192}},
    {"bmp\\WorldMapChip.bmp", {160, 96}}, {"bmp\\WorldEvent.bmp", {64, 64}}, {"bmp\\back\\Sky.bmp", {640, 480}},
    {"bmp\\effect\\Hit.bmp", {96, 32}},
};

// Drawn without a colour key: a dot of the transparent colour would show as such.
const char* const kOpaque[] = {"bmp\\Window.bmp", "bmp\\StatusWindow.bmp", "bmp\\Title.bmp", "bmp\\back\\Sky.bmp"};

TEST_F(MakeSample, BitmapsShareThePaletteAndHaveTheirSizes) {
  // Every required file of the fixed table is among them.
  for (const DDSURFACEINFO& d : g_BmpTable)
    if (d.szFileName.starts_with("bmp\\") && !d.nOptional) {
      EXPECT_TRUE(kBitmapSizes.count(d.szFileName)) << d.szFileName;
    }

  const auto palette = plat::bmp::load("bmp\\plt\\Palette.bmp");
  ASSERT_TRUE(palette);
  ASSERT_EQ(palette->colors.size(), 256u);
  EXPECT_EQ(palette->indexAt(0, 0), 0);
  for (int n = 0; n < 256; ++n) {
    ASSERT_EQ(palette->indexAt(n % 16, 8 + n / 16), n);
    if (n) { EXPECT_NE(palette->rgbAt(n % 16, 8 + n / 16), palette->rgbAt(0, 0)) << "entry " << n; }
  }
  for (const auto& [path, size] : kBitmapSizes) {
    std::string why;
    const auto b = plat::bmp::load(path, &why);
    ASSERT_TRUE(b) << path << ": " << why;
    EXPECT_EQ(b->bitsPerPixel, 8) << path;
    EXPECT_EQ(b->width, size.w) << path;
    EXPECT_EQ(b->height, size.h) << path;
    ASSERT_EQ(b->colors.size(), 256u) << path;
    for (int n = 0; n < 256; ++n) {
      ASSERT_EQ(std::uint32_t(b->colors[n].red << 16 | b->colors[n].green << 8 | b->colors[n].blue),
                palette->rgbAt(n % 16, 8 + n / 16))
          << path << " entry " << n;
    }
  }
  for (const char* path : kOpaque) {
    const auto b = plat::bmp::load(path);
    ASSERT_TRUE(b);
    for (int y = 0; y < b->height; ++y)
      for (int x = 0; x < b->width; ++x) ASSERT_NE(b->indexAt(x, y), 0) << path << " at " << x << "," << y;
  }
}

TEST_F(MakeSample, TheWindowBackgroundIsAGradientWithoutBands) {
  // Mean brightness of each band of 4 rows (the dither's period): it rises from top to
  // bottom in steps far smaller than one shade of the palette's ramp.
  const auto b = plat::bmp::load("bmp\\Window.bmp");
  ASSERT_TRUE(b);
  std::vector<double> bands;
  for (int y0 = 0; y0 < b->height; y0 += 4) {
    double sum = 0;
    for (int y = y0; y < y0 + 4; ++y)
      for (int x = 0; x < b->width; ++x) {
        const std::uint32_t rgb = b->rgbAt(x, y);
        sum += (rgb >> 16 & 0xFF) + (rgb >> 8 & 0xFF) + (rgb & 0xFF);
      }
    bands.push_back(sum / (4.0 * b->width));
  }
  const double range = bands.back() - bands.front();
  ASSERT_GT(range, 0);
  for (std::size_t i = 1; i < bands.size(); ++i) {
    EXPECT_GE(bands[i], bands[i - 1]) << "band " << i;
    EXPECT_LT(bands[i] - bands[i - 1], range / 16) << "a seam at row " << 4 * i;
  }
}

// The sky layer is tiled side by side as a stage scrolls: its last column runs on into its
// first no more abruptly than any two neighbouring columns inside the picture do.
TEST_F(MakeSample, TheSkyWrapsWithoutASeam) {
  const auto b = plat::bmp::load("bmp\\back\\Sky.bmp");
  ASSERT_TRUE(b);
  auto rowsDiffering = [&](int x0, int x1) {
    int n = 0;
    for (int y = 0; y < b->height; ++y) n += b->rgbAt(x0, y) != b->rgbAt(x1, y);
    return n;
  };
  int inside = 0;
  for (int x = 0; x + 1 < b->width; ++x) inside = std::max(inside, rowsDiffering(x, x + 1));
  EXPECT_LE(rowsDiffering(b->width - 1, 0), inside);
}

// The cells the sample's objects use are drawn; cell 0 of the block sheet is empty.
TEST_F(MakeSample, UsedCellsAreDrawn) {
  auto drawn = [](const plat::bmp::Bitmap& b, int x0, int y0, int w, int h) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x) n += b.indexAt(x, y) != 0;
    return n;
  };
  const auto block = plat::bmp::load("bmp\\Block.bmp");
  const auto chara = plat::bmp::load("bmp\\Character1.bmp");
  const auto item = plat::bmp::load("bmp\\Item.bmp");
  ASSERT_TRUE(block && chara && item);
  EXPECT_EQ(drawn(*block, 0, 0, 32, 32), 0);
  EXPECT_EQ(drawn(*block, 0, 32, 32, 32), 32 * 32);  // ground: a full block
  for (int row : {1, 2})
    for (int col : {0, 1}) EXPECT_GT(drawn(*chara, 32 * col, 32 * row, 32, 32), 200) << row << "," << col;
  for (int n : {1, 2})
    for (int f : {0, 1}) EXPECT_GT(drawn(*item, 32 * f, 32 * n, 32, 32), 60) << n << "," << f;
}

// The loaders of the fixed table take every picture the scenes load, in a palette mode
// and in a Direct3D mode.
TEST_F(MakeSample, FixedTableLoadsInTheGame) {
  // Every entry after the start-up one: the lists of all scenes together.
  std::vector<std::int32_t> ids;
  for (int i = 2; i < BMP_TABLE_COUNT; ++i) ids.push_back(i);
  for (Mode m : {Mode::DD8, Mode::D3D32}) {
    SCOPED_TRACE(Name(m));
    ResetAll();
    if (!IsD3D(m)) plat::display::setDesktopDepthOverride(Bpp(m));
    ASSERT_TRUE(DDInit(IsD3D(m), 1, 640, 480, Bpp(m), 0, 1, 1, 60, 0, g_SurfaceData, g_BmpTable, BMP_TABLE_COUNT));
    ASSERT_TRUE(DDLoadPaletteFromFile(g_Palette, g_BmpTable[0].szFileName, 1));
    ASSERT_EQ(DDSetTransmitFromFile(g_BmpTable[0].szFileName), 1);
    const std::int32_t start[] = {1};
    ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, start, 1));
    ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, ids.data(), static_cast<std::int32_t>(ids.size())));
    for (int id : {2, 4, 5, 20, 21, 40, 42, 43, 45, 46, 47, 48, 49, 50, 51, 52, 53})
      EXPECT_NE(g_SurfaceData[id].Pixels(), nullptr) << id;
    EXPECT_EQ(g_SurfaceData[2].nWidth, 256);
    EXPECT_EQ(g_SurfaceData[49].nHeight, 208);
    for (DDSURFACEDATA& s : g_SurfaceData) DDReleaseSurface(&s);
  }
}

TEST_F(MakeSample, BlendTablesMixTheVariantPalettes) {
  for (int n = 0; n < 24; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "bmp\\hbt\\hbt%02d.dat", n);
    const auto table = plat::fs::readFile(name);
    ASSERT_TRUE(table) << name;
    ASSERT_EQ(table->size(), 65536u) << name;
    for (int a = 1; a < 256; a += 7)
      for (int b = 0; b < 256; b += 5)
        ASSERT_EQ((*table)[a * 256 + b], (*table)[b * 256 + a]) << name << " " << a << "," << b;
    // The palette and its rotations hold sixteen distinct colours a row: a colour mixed
    // with itself is itself.
    if (n < 12) {
      for (int a = 16; a < 208; ++a) ASSERT_EQ(static_cast<std::uint8_t>((*table)[a * 257]), a) << name;
    }
  }
}

TEST_F(MakeSample, SoundsAreShortPcmAndMusicLoads) {
  std::vector<std::string> waves;
  for (int n = 0; n < 17; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "wave\\sys%02d.wav", n);
    waves.push_back(name);
  }
  for (const char* name : {"wave\\Jump.wav", "wave\\Coin.wav", "wave\\Goal.wav"}) waves.push_back(name);
  for (const std::string& name : waves) {
    const auto bytes = plat::fs::readFile(name);
    ASSERT_TRUE(bytes) << name;
    plat::audio::WavView view;
    ASSERT_EQ(
        plat::audio::parseWav(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()), view),
        plat::audio::WavError::None)
        << name;
    EXPECT_EQ(view.format.formatTag, 1);
    EXPECT_EQ(view.format.samplesPerSec, 22050u);
    EXPECT_EQ(view.format.bitsPerSample, 8);
    EXPECT_EQ(view.format.channels, 1);
    EXPECT_GT(view.data.size(), 500u) << name;
    EXPECT_LT(view.data.size(), 22050u) << name;
  }
  for (const char* name :
       {"bgm\\Title.mid", "bgm\\WorldMap.mid", "bgm\\Challenge.mid", "bgm\\Option.mid", "bgm\\Stage.mid"}) {
    cMidiFile midi(name);
    EXPECT_GT(midi.m_lpImage.size(), 200u) << name;
  }
}

TEST_F(MakeSample, WorldMapAndUserSettingsLoadBack) {
  cEdWorldMap map;
  ASSERT_EQ(map.LoadFromFile(g_PathTable[PATH_WORLD_MAP + 1]), 1);
  const int start = (map.m_nStartY << map.m_nPitchShift) + map.m_nStartX;
  ASSERT_LT(start, map.m_Grid.Size());
  const int kind = map.m_Grid[start];
  ASSERT_LT(kind, map.m_Worlds.Size());
  EXPECT_EQ(map.m_Worlds[kind].m_bBlocked, 0);
  // The start point asks first; each later stage waits behind a gate until switch n - 1
  // (stage n - 1 cleared) is on; a rock blocks the road.
  struct Entry {
    int kind, stage, askFirst, sw;
    const char* file;
  };
  struct Point {
    int x, y;
    std::vector<Entry> entries;
  };
  const Point points[] = {
      {map.m_nStartX, map.m_nStartY, {{0, 1, 1, 0, "data\\stg4\\Stage01-1.stg4"}}},
      {20, 12, {{0, 2, 1, 1, "data\\stg4\\Stage02-1.stg4"}, {2, 0, 0, 0, ""}}},
      {13, 12, {{2, 0, 0, 0, ""}}},
      {23, 12, {{0, 3, 1, 2, "data\\stg4\\Stage03-1.stg4"}, {2, 0, 0, 0, ""}}},
      {23, 16, {{0, 4, 1, 3, "data\\stg4\\Stage04-1.stg4"}, {2, 0, 0, 0, ""}}},
  };
  EXPECT_EQ(map.m_Points.size(), std::size(points));
  for (const Point& p : points) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    const cEdMapPoint* point = map.FindPoint(p.x, p.y);
    ASSERT_NE(point, nullptr);
    ASSERT_EQ(point->m_Entries.size(), p.entries.size());
    for (std::size_t i = 0; i < p.entries.size(); ++i) {
      const cEdMapPointEntry& e = point->m_Entries[static_cast<int>(i)];
      EXPECT_EQ(e.m_nKind, p.entries[i].kind);
      EXPECT_EQ(e.m_nStage, p.entries[i].stage);
      EXPECT_EQ(e.m_bAskFirst, p.entries[i].askFirst);
      EXPECT_EQ(e.m_nSwitch, p.entries[i].sw);
      EXPECT_EQ(e.m_strStageFile, p.entries[i].file);
      if (e.m_nKind == 0) { EXPECT_FALSE(e.m_strText.empty()); }
    }
  }

  // Wherever the hero can walk (the gates open in time; the rock never does), the view
  // around it, 9 cells to its left and 10 to its right, 7 above and below, stays on the
  // map; the walls keep it on the road, a single file of cells.
  std::vector<int> reached(map.m_Grid.Size(), 0);
  std::vector<std::pair<int, int>> todo = {{map.m_nStartX, map.m_nStartY}};
  int walkable = 0;
  while (!todo.empty()) {
    const auto [x, y] = todo.back();
    todo.pop_back();
    if (x < 0 || y < 0 || x >= map.m_nWidth || y >= map.m_nHeight) continue;
    int& seen = reached[(y << map.m_nPitchShift) + x];
    if (seen) continue;
    seen = 1;
    const cEdMapPoint* point = map.FindPoint(x, y);
    bool blocked = map.m_Worlds[map.m_Grid[(y << map.m_nPitchShift) + x]].m_bBlocked != 0;
    if (point) blocked = point->m_Entries.size() == 1 && point->m_Entries[0].m_nKind == 2;
    if (blocked) continue;
    ++walkable;
    EXPECT_GE(x - 9, 0) << x << "," << y;
    EXPECT_LT(x + 10, map.m_nWidth) << x << "," << y;
    EXPECT_GE(y - 7, 0) << x << "," << y;
    EXPECT_LT(y + 7, map.m_nHeight) << x << "," << y;
    for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) todo.push_back({x + dx, y + dy});
  }
  // The road: ten cells from the rock east to the third point, four south to the fourth.
  EXPECT_EQ(walkable, 14);

  cOption option;
  option.m_nSoundVolume = 0;
  ASSERT_EQ(option.LoadFromFile(g_PathTable[PATH_OPTION]), 1);
  EXPECT_EQ(option.m_nSoundVolume, 7);
  KEYCONFIG keys{};
  ASSERT_EQ(ReadKeyConfig(g_PathTable[PATH_KEY_CONFIG], keys), 1);
  EXPECT_EQ(keys.m_nBindingCount, 12);

  const auto ini = plat::fs::readFile("System.ini");
  ASSERT_TRUE(ini);
  EXPECT_TRUE(ini->ends_with("Exit\n"));
  EXPECT_NE(ini->find("Direct3D=1\n"), std::string::npos);
}

}  // namespace
