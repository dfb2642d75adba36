#include "gamedata/Database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "gamedata/DataPaths.h"
#include "RecordTestUtil.h"

namespace {

using rt::Bytes;

std::vector<std::string> g_Boxes;
int CaptureBox(std::string_view text, std::string_view, int) {
  g_Boxes.emplace_back(text);
  return plat::answer::Ok;
}

// Each test starts with the default database and a fresh folder; boxes are captured.
class DatabaseTest : public rt::RecordFixture {
 protected:
  void SetUp() override {
    rt::RecordFixture::SetUp();
    g_Database.Reset();
    g_Boxes.clear();
    SetFullScreenBoxRoute(CaptureBox);
  }
  void TearDown() override {
    SetFullScreenBoxRoute(nullptr);
    g_Database.Reset();
    rt::RecordFixture::TearDown();
  }
};

cEdAnimeFrame Frame(int pattern, int time, int lock) {
  cEdAnimeFrame f;
  f.m_nPattern = pattern;
  f.m_nTime = time;
  f.m_bLock = lock;
  return f;
}

TEST_F(DatabaseTest, RecordsSaveToTheirExactBytes) {
  cEdAnime anime;
  anime.m_strName = "ab";
  anime.m_Frames = {Frame(3, 2, 0)};
  cEdCharaEffect effect;
  effect.m_strName = "ab";
  effect.m_nKind = 4;
  const std::int32_t params[] = {5, 0, 32, 2, 2};
  std::copy(std::begin(params), std::end(params), effect.m_nParams);
  cEdPicture picture;
  picture.m_strName = "ab";
  picture.m_strFile = "cd.bmp";
  picture.m_nTag = 7;

  struct Case {
    const char* name;
    cRecord& record;
    std::string bytes;
  };
  const Case cases[] = {
      {"animation", anime,
       Bytes().u32(3).i16(0).u8(1).i16(0).u32(1).text("ab").u32(1).u32(3).i32(3).i32(2).i32(0).u32(0).s},
      {"character effect", effect, Bytes().u32(2).i32(4).i32(5).i32(0).i32(32).i32(2).i32(2).u32(1).text("ab").s},
      {"picture", picture, Bytes().u32(1).i32(7).u32(2).text("ab").text("cd.bmp").s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(rt::SameBytes(rt::SaveBody(c.record), c.bytes));
  }
}

// A record saved in the layout of an older version and loaded as such a file.
template <class T>
T LoadedAs(T stored, std::uint32_t version) {
  std::string body = rt::SaveBody(stored, version);
  T loaded;
  EXPECT_TRUE(rt::LoadBody(loaded, body, version));
  return loaded;
}

cEdAnimeSet SetOfSlots(int n) {
  cEdAnimeSet set;
  set.m_nFlyingOffset = 5;
  set.m_Slots.resize(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    set.m_Slots[i].m_strName = "s" + std::to_string(i);
    set.m_Slots[i].m_Frames = {Frame(i, 2, 0), Frame(i + 1, 3, 1)};
  }
  return set;
}

template <class T>
T EffectOf(int kind, std::initializer_list<int> params) {
  T e;
  e.m_nKind = kind;
  std::copy(params.begin(), params.end(), e.m_nParams);
  return e;
}

template <class T>
T MediaOf(int tag) {
  T m;
  m.m_nTag = tag;
  m.m_strName = "name";
  m.m_strFile = "file.wav";
  return m;
}

void ExpectParams(const cEdKindEffect& e, std::initializer_list<int> params) {
  EXPECT_TRUE(std::equal(params.begin(), params.end(), e.m_nParams))
      << e.m_nParams[0] << " " << e.m_nParams[1] << " " << e.m_nParams[2] << " " << e.m_nParams[3] << " "
      << e.m_nParams[4];
}

TEST_F(DatabaseTest, OlderVersionsLoadInTheirLayout) {
  struct Case {
    const char* name;
    std::function<void()> check;
  };
  const Case cases[] = {
      {"animation set 118 with two slots gets the flying slots",
       [] {
         cEdAnimeSet set = LoadedAs(SetOfSlots(2), 118);
         ASSERT_EQ(set.m_Slots.size(), 4u);
         EXPECT_EQ(set.m_Slots[1].m_strName, "s1");
         EXPECT_EQ(set.m_Slots[1].m_Frames.size(), 2u);
         EXPECT_EQ(set.m_Slots[2].m_strName, "飛行");
         EXPECT_EQ(set.m_Slots[3].m_strName, "飛行移動");
         ASSERT_EQ(set.m_Slots[3].m_Frames.size(), 1u);
         EXPECT_EQ(set.m_Slots[3].m_Frames[0].m_nTime, 1);
         EXPECT_EQ(set.m_nFlyingOffset, 0);
       }},
      {"animation set 120 with six slots keeps four, the flying ones renamed",
       [] {
         cEdAnimeSet set = LoadedAs(SetOfSlots(6), 120);
         ASSERT_EQ(set.m_Slots.size(), 4u);
         EXPECT_EQ(set.m_Slots[0].m_strName, "s0");
         EXPECT_EQ(set.m_Slots[2].m_strName, "飛行");
         EXPECT_EQ(set.m_Slots[2].m_Frames[1].m_nPattern, 3);
         EXPECT_EQ(set.m_nFlyingOffset, 5);
       }},
      {"animation set 128 keeps every slot and name",
       [] {
         cEdAnimeSet set = LoadedAs(SetOfSlots(6), 128);
         ASSERT_EQ(set.m_Slots.size(), 6u);
         EXPECT_EQ(set.m_Slots[2].m_strName, "s2");
         EXPECT_EQ(set.m_Slots[5].m_strName, "s5");
       }},
      {"animation 54 has no editor values; 55 has them",
       [] {
         cEdAnime a;
         a.m_sParam1 = 7;
         a.m_bParam = 0;
         a.m_sParam2 = -9;
         cEdAnime old = LoadedAs(a, 54), now = LoadedAs(a, 55);
         EXPECT_EQ(std::tuple(old.m_sParam1, old.m_bParam, old.m_sParam2), std::tuple(0, 1, 0));
         EXPECT_EQ(std::tuple(now.m_sParam1, now.m_bParam, now.m_sParam2), std::tuple(7, 0, -9));
       }},
      {"character bitmap 171 has one-block cells, 152 drops the tag, 153 keeps it",
       [] {
         cEdBmpCharaExc b;
         b.m_nTag = 5;
         b.m_bCellSize = 1;
         b.m_nCellSize = 3;
         b.m_strFile = "bmp\\chara_sp\\a.bmp";
         cEdBmpCharaExc v171 = LoadedAs(b, 171), v152 = LoadedAs(b, 152), v151 = LoadedAs(b, 151);
         EXPECT_EQ(std::tuple(v171.m_bCellSize, v171.m_nCellSize, v171.m_nTag), std::tuple(0, 2, 5));
         EXPECT_EQ(v152.m_nTag, 0);
         EXPECT_EQ(v151.m_nTag, 0);
         EXPECT_EQ(v151.m_strFile, "bmp\\chara_sp\\a.bmp");
         EXPECT_EQ(LoadedAs(b, 172).m_nCellSize, 3);
       }},
      {"sword type 137 entries mirror horizontally only",
       [] {
         cEdSwordType t;
         t.m_nTag = 4;
         t.m_Entries.resize(2);
         for (cEdSwordEntry& e : t.m_Entries) {
           e.m_bMirrorX = 0;
           e.m_bMirrorY = 1;
           e.m_nTime = 3;
         }
         cEdSwordType old = LoadedAs(t, 137);
         ASSERT_EQ(old.m_Entries.size(), 2u);
         for (const cEdSwordEntry& e : old.m_Entries) {
           EXPECT_EQ(std::tuple(e.m_bMirrorX, e.m_bMirrorY, e.m_nTime), std::tuple(1, 0, 3));
         }
         cEdSwordType now = LoadedAs(t, 153);
         EXPECT_EQ(std::tuple(now.m_Entries[1].m_bMirrorX, now.m_Entries[1].m_bMirrorY, now.m_nTag),
                   std::tuple(0, 1, 4));
       }},
      {"effect 152 drops the tag and reads the cells",
       [] {
         cEdEffect e;
         e.m_nTag = 5;
         e.m_nCellWidth = 48;
         e.m_nCellHeight = 40;
         e.m_bScaled = 1;
         e.m_Frames.resize(3);
         cEdEffect old = LoadedAs(e, 152);
         EXPECT_EQ(std::tuple(old.m_nTag, old.m_nCellWidth, old.m_nCellHeight, old.m_bScaled),
                   std::tuple(0, 48, 40, 1));
         EXPECT_EQ(old.m_Frames.size(), 3u);
         EXPECT_EQ(LoadedAs(e, 153).m_nTag, 5);
       }},
      {"character effects before 511 take the table's roughness",
       [] {
         ExpectParams(LoadedAs(EffectOf<cEdCharaEffect>(4, {5, 0, 32, 2, 0}), 510), {5, 0, 32, 2, 2});
         ExpectParams(LoadedAs(EffectOf<cEdCharaEffect>(5, {5, 0, 32, 2, 0}), 510), {5, 0, 32, 2, 2});
         ExpectParams(LoadedAs(EffectOf<cEdCharaEffect>(10, {5, 32, 0, 0, 0}), 510), {5, 32, 0, 2, 0});
         ExpectParams(LoadedAs(EffectOf<cEdCharaEffect>(1, {5, 1, 2, 3, 4}), 510), {5, 1, 2, 3, 4});
         ExpectParams(LoadedAs(EffectOf<cEdCharaEffect>(17, {5, 1, 2, 3, 4}), 510), {5, 1, 2, 3, 4});
         ExpectParams(LoadedAs(EffectOf<cEdCharaEffect>(4, {5, 0, 32, 2, 0}), 511), {5, 0, 32, 2, 0});
         ExpectParams(LoadedAs(EffectOf<cEdCharaEffect>(10, {5, 32, 0, 0, 0}), 513), {5, 32, 0, 0, 0});
       }},
      {"screen effects before 511 take the table's roughness",
       [] {
         ExpectParams(LoadedAs(EffectOf<cEdScrEffect>(6, {10, 0, 640, 4, 0}), 400), {10, 0, 640, 4, 8});
         ExpectParams(LoadedAs(EffectOf<cEdScrEffect>(7, {10, 0, 480, 4, 0}), 400), {10, 0, 480, 4, 10});
         ExpectParams(LoadedAs(EffectOf<cEdScrEffect>(10, {10, 640, 0, 0, 0}), 400), {10, 640, 0, 8, 0});
         ExpectParams(LoadedAs(EffectOf<cEdScrEffect>(4, {10, 0, 640, 15, 9}), 400), {10, 0, 640, 15, 9});
         ExpectParams(LoadedAs(EffectOf<cEdScrEffect>(14, {1, 2, 3, 4, 5}), 400), {1, 2, 3, 4, 5});
         ExpectParams(LoadedAs(EffectOf<cEdScrEffect>(6, {10, 0, 640, 4, 0}), 511), {10, 0, 640, 4, 0});
       }},
      {"sound 150 has no tag; music 152 drops it, 153 keeps it",
       [] {
         cEdSound sound = LoadedAs(MediaOf<cEdSound>(6), 150);
         EXPECT_EQ(std::tuple(sound.m_nTag, sound.m_strName, sound.m_strFile), std::tuple(0, "name", "file.wav"));
         EXPECT_EQ(LoadedAs(MediaOf<cEdBgm>(6), 152).m_nTag, 0);
         EXPECT_EQ(LoadedAs(MediaOf<cEdBgm>(6), 153).m_nTag, 6);
         EXPECT_EQ(LoadedAs(MediaOf<cEdPicture>(6), 152).m_nTag, 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.check();
  }
}

TEST_F(DatabaseTest, CharacterBitmapCells) {
  struct Case {
    std::int32_t bCellSize, nCellSize;
    int pattern, x, y;
  };
  const Case cases[] = {
      {0, 2, 17, 32, 32},  // one-block cells whatever the size says
      {1, 3, 7, 192, 96},  // 5 cells of 96 pixels a row
      {1, 16, 1, 0, 512},  // one cell a row
      {1, 1, 15, 480, 0},
  };
  for (const Case& c : cases) {
    cEdBmpCharaExc b;
    b.m_bCellSize = c.bCellSize;
    b.m_nCellSize = c.nCellSize;
    int x = -1, y = -1;
    b.PatternPos(c.pattern, x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(c.x, c.y)) << c.nCellSize << " " << c.pattern;
  }
  // A cell size no sheet can hold is brought into 1 to 16 when loaded.
  for (auto [stored, loaded] : {std::pair{0, 1}, std::pair{-4, 1}, std::pair{17, 16}, std::pair{5, 5}}) {
    cEdBmpCharaExc b;
    b.m_bCellSize = 1;
    b.m_nCellSize = stored;
    EXPECT_EQ(LoadedAs(b, 513).m_nCellSize, loaded) << stored;
  }
}

TEST_F(DatabaseTest, DefaultDatabase) {
  const cEdDatabase db;
  EXPECT_EQ(db.m_AnimeSets.size(), 1u);
  ASSERT_EQ(db.m_Animes.size(), 2u);
  EXPECT_EQ(db.m_Animes[0].m_strName, "なし");
  EXPECT_EQ(db.m_Animes[1].m_strName, "アクションA");
  EXPECT_EQ(db.m_Animes[1].m_Frames.size(), 1u);
  EXPECT_EQ(db.m_Animes[1].m_bParam, 1);
  for (std::size_t n : {db.m_BmpCharaExcs.size(), db.m_Effects.size(), db.m_CharaEffects.size(), db.m_ScrEffects.size(),
                        db.m_Pictures.size(), db.m_Sounds.size(), db.m_Bgms.size()}) {
    EXPECT_EQ(n, 2u);
  }
  ASSERT_EQ(db.m_SwordTypes.size(), 1u);
  ASSERT_EQ(db.m_SwordTypes[0].m_Entries.size(), 1u);
  const cEdSwordEntry& entry = db.m_SwordTypes[0].m_Entries[0];
  EXPECT_EQ(std::tuple(entry.m_bMirrorX, entry.m_bMirrorY, entry.m_nTime, entry.m_nWidth), std::tuple(1, 0, 1, 0));

  const cEdAnimeSet& set = db.m_AnimeSets[0];
  EXPECT_EQ(std::tuple(set.m_nInvincibleOffset, set.m_nBlockCharaOffset, set.m_nFlyingOffset), std::tuple(4, 8, 0));
  ASSERT_EQ(set.m_Slots.size(), 4u);
  EXPECT_EQ(set.m_Slots[0].m_strName, "立ち");
  EXPECT_EQ(set.m_Slots[1].m_strName, "立ち移動");
  EXPECT_EQ(set.m_Slots[3].m_strName, "飛行移動");

  EXPECT_EQ(db.m_BmpCharaExcs[1].m_nCellSize, 2);
  EXPECT_TRUE(db.m_Effects[1].m_Frames.empty());
  EXPECT_EQ(db.m_Effects[1].m_nCellWidth, 32);
  EXPECT_EQ(db.m_CharaEffects[0].m_nKind, 1);
  EXPECT_EQ(db.m_ScrEffects[1].m_nKind, 1);
  EXPECT_TRUE(db.m_CharaEffectsReversed.empty());

  // Reset on a set with six slots keeps the first four slots' frames and renames them.
  cEdAnimeSet six = SetOfSlots(6);
  six.Reset();
  ASSERT_EQ(six.m_Slots.size(), 4u);
  EXPECT_EQ(six.m_Slots[2].m_strName, "飛行");
  EXPECT_EQ(six.m_Slots[2].m_Frames.size(), 2u);
  EXPECT_EQ(six.m_nFlyingOffset, 0);

  const char* const positions[] = {"前", "後", "上", "下", ""};
  for (int i = 0; i < 5; ++i) EXPECT_STREQ(g_SwordPositionNames[i], positions[i]);
}

// Lists of distinct content for each database: n entries each.
struct Project {
  cVector<cEdAnimeSet> animeSets;
  cVector<cEdAnime> animes;
  cVector<cEdBmpCharaExc> bitmaps;
  cVector<cEdSwordType> swords;
  cVector<cEdEffect> effects;
  cVector<cEdCharaEffect> charaEffects;
  cVector<cEdScrEffect> scrEffects;
  cVector<cEdPicture> pictures;
  cVector<cEdSound> sounds;
  cVector<cEdBgm> bgms;

  auto Lists() {
    return std::tie(animeSets, animes, bitmaps, swords, effects, charaEffects, scrEffects, pictures, sounds, bgms);
  }
};

Project SampleProject() {
  Project p;
  p.animeSets.resize(3);
  p.animeSets[1] = SetOfSlots(5);
  p.animes.resize(4);
  p.animes[3].m_Frames = {Frame(3, 2, 0), Frame(4, 1, 1)};
  p.animes[2].m_sParam2 = 11;
  p.bitmaps.resize(5);
  p.bitmaps[4].m_bCellSize = 1;
  p.bitmaps[4].m_nCellSize = 4;
  p.swords.resize(6);
  p.swords[5].m_Entries.resize(3);
  p.swords[5].m_Entries[2].m_nPosition = 3;
  p.effects.resize(7);
  p.effects[6].m_Frames.resize(2);
  p.effects[6].m_nCellHeight = 64;
  p.charaEffects = {EffectOf<cEdCharaEffect>(5, {1, 2, 3, 4, 5}), EffectOf<cEdCharaEffect>(7, {10, 0, 1440, 0, 0}),
                    EffectOf<cEdCharaEffect>(16, {10, 1, 4, 0, 0})};
  p.scrEffects = {EffectOf<cEdScrEffect>(9, {1, 2, 3, 4, 5}), EffectOf<cEdScrEffect>(1, {10, 0, 0, 640, 0})};
  p.pictures.resize(9);
  p.pictures[8].m_strFile = "bmp\\picture\\p.bmp";
  p.sounds = {MediaOf<cEdSound>(1), MediaOf<cEdSound>(2), MediaOf<cEdSound>(3), MediaOf<cEdSound>(4),
              MediaOf<cEdSound>(5)};
  p.bgms.resize(10);
  p.bgms[9].m_strFile = "bgm\\Stage.mid";
  return p;
}

// Writes the ten files into data\database\ (skipping the file numbered skip).
void WriteProject(Project& p, int skip = -1) {
  std::filesystem::create_directories("data/database");
  int n = 0;
  auto write = [&](auto& list) {
    if (n != skip) { EXPECT_TRUE(SaveDatabaseFile(list, g_PathTable[PATH_ANIME_SET + 2 * n])); }
    ++n;
  };
  std::apply([&](auto&... list) { (write(list), ...); }, p.Lists());
}

std::vector<std::size_t> DatabaseSizes() {
  const cEdDatabase& db = g_Database;
  return {db.m_AnimeSets.size(), db.m_Animes.size(),       db.m_BmpCharaExcs.size(), db.m_SwordTypes.size(),
          db.m_Effects.size(),   db.m_CharaEffects.size(), db.m_ScrEffects.size(),   db.m_Pictures.size(),
          db.m_Sounds.size(),    db.m_Bgms.size()};
}

const std::vector<std::size_t> DEFAULT_SIZES = {1, 2, 2, 1, 2, 2, 2, 2, 2, 2};
const std::vector<std::size_t> SAMPLE_SIZES = {3, 4, 5, 6, 7, 3, 2, 9, 5, 10};

TEST_F(DatabaseTest, EachFileRoundTrips) {
  Project p = SampleProject();
  WriteProject(p);
  Project back;
  std::apply([](auto&... list) { (list.clear(), ...); }, back.Lists());
  int n = 0;
  auto check = [&n](auto& stored, auto& loaded) {
    const char* path = g_PathTable[PATH_ANIME_SET + 2 * n++];
    SCOPED_TRACE(path);
    ASSERT_TRUE(LoadDatabaseFile(loaded, path));
    ASSERT_EQ(loaded.size(), stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
      EXPECT_TRUE(rt::SameBytes(rt::SaveBody(loaded[i]), rt::SaveBody(stored[i]))) << i;
    }
  };
  std::apply([&](auto&... stored) { std::apply([&](auto&... loaded) { (check(stored, loaded), ...); }, back.Lists()); },
             p.Lists());
}

TEST_F(DatabaseTest, LoadAll) {
  struct Case {
    const char* name;
    std::function<void(Project&)> damage;  // before the files are written
    int skip;                              // file not written
    std::function<void()> after;           // after the files are written
    bool result;
    std::vector<std::size_t> sizes;
    const char* box;  // null: none
    int closes;
  };
  const Case cases[] = {
      {"all ten files", nullptr, -1, nullptr, true, SAMPLE_SIZES, nullptr, 0},
      // clang-format off
      {"Effect.dat missing: the lists before it are loaded, the rest keep the defaults", nullptr, 4, nullptr, false,
       {3, 4, 5, 6, 2, 2, 2, 2, 2, 2}, "data\\database\\Effect.dat のロードに失敗！", 0},
      {"an empty animation list is no fault", [](Project& p) { p.animes.clear(); }, -1, nullptr, true,
       {3, 0, 5, 6, 7, 3, 2, 9, 5, 10}, nullptr, 0},
      {"an empty screen-effect list has no entry 0", [](Project& p) { p.scrEffects.clear(); }, -1, nullptr, false,
       {3, 4, 5, 6, 7, 3, 0, 9, 5, 10}, nullptr, 1},
      {"a cut Picture.dat is refused and the list kept", nullptr, -1,
       // clang-format on
       [] {
         std::string bytes = *plat::fs::readFile("data\\database\\Picture.dat");
         ASSERT_TRUE(plat::fs::writeFileAtomic("data\\database\\Picture.dat", bytes.substr(0, bytes.size() - 3)));
       },
       false,
       {3, 4, 5, 6, 7, 3, 2, 2, 2, 2},
       "data\\database\\Picture.dat のロードに失敗！",
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all("data");
    plat::fs::invalidateCache();
    g_Database.Reset();
    g_Boxes.clear();
    closes_ = 0;
    Project p = SampleProject();
    if (c.damage) c.damage(p);
    WriteProject(p, c.skip);
    if (c.after) c.after();
    EXPECT_EQ(g_Database.LoadAll(), c.result);
    EXPECT_EQ(DatabaseSizes(), c.sizes);
    if (c.box) {
      EXPECT_EQ(g_Boxes, std::vector<std::string>{c.box});
    } else {
      EXPECT_TRUE(g_Boxes.empty());
    }
    EXPECT_EQ(closes_, c.closes);
    if (c.result) {
      // Entry 0 of both effect lists stands for none whatever the file says.
      EXPECT_EQ(g_Database.m_CharaEffects[0].m_nKind, 0);
      EXPECT_EQ(g_Database.m_ScrEffects[0].m_nKind, 0);
      EXPECT_EQ(g_Database.m_CharaEffects[1].m_nKind, 7);
    }
  }
  EXPECT_NE(Report().find("err V[0] ( 0 ,"), std::string::npos);
}

TEST_F(DatabaseTest, EachFileKeepsItsOwnVersionAndLosesCRs) {
  Project p = SampleProject();
  p.sounds[1].m_strName = "a\r\nb";
  WriteProject(p);
  {
    rt::ScopedDataVersion old(120);  // an older kit wrote the animation sets
    cVector<cEdAnimeSet> sets = {SetOfSlots(6)};
    ASSERT_TRUE(SaveDatabaseFile(sets, "data\\database\\AnimeSet.dat"));
  }
  ASSERT_TRUE(g_Database.LoadAll());
  ASSERT_EQ(g_Database.m_AnimeSets.size(), 1u);
  EXPECT_EQ(g_Database.m_AnimeSets[0].m_Slots.size(), 4u);
  EXPECT_EQ(g_Database.m_AnimeSets[0].m_Slots[3].m_strName, "飛行移動");
  EXPECT_EQ(g_Database.m_Animes[3].m_Frames.size(), 2u);
  EXPECT_EQ(g_Database.m_Animes[2].m_sParam2, 11);
  EXPECT_EQ(g_Database.m_Sounds[1].m_strName, "a\nb");
}

TEST_F(DatabaseTest, EveryCutOfADatabaseFileIsRefused) {
  Project p = SampleProject();
  std::filesystem::create_directories("data/database");
  ASSERT_TRUE(SaveDatabaseFile(p.animeSets, "s.dat"));
  const std::string whole = *plat::fs::readFile("s.dat");
  for (std::size_t n = 0; n < whole.size(); ++n) {
    auto in = OpenLoadData(whole.substr(0, n));
    cVector<cEdAnimeSet> list(2);
    list[1].m_strName = "kept";
    ASSERT_FALSE(LoadDatabaseList(*in, list)) << n;
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].m_strName, "kept");
  }
  // A count no file of this size can hold is refused before anything is made.
  std::string huge = whole;
  rt::WriteU32At(huge, 4, 0x7fffffff);
  auto in = OpenLoadData(huge);
  cVector<cEdAnimeSet> list;
  EXPECT_FALSE(LoadDatabaseList(*in, list));
  EXPECT_TRUE(list.empty());
}

}  // namespace
