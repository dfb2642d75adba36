// The scene protocol, the scene switch and the frame step, driven frame by frame on the
// test thread with scripted scenes.
#include "app/SceneHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "base/Scene.h"
#include "app/SceneFactory.h"
#include "app/SystemIni.h"
#include "base/Timer.h"
#include "gamedata/Database.h"
#include "gfx/DDBlt.h"
#include "gfx/DDPalette.h"
#include "gfx/Font.h"
#include "gfx/PixelOps.h"
#include "platform/bmp.h"
#include "platform/clock.h"
#include "platform/drive.h"
#include "platform/input.h"
#include "platform/presenter.h"
#include "stage/StageScene.h"
#include "test_support/Graphics.h"
#include "test_support/LogCapture.h"
#include "ui/KeyConfig.h"
#include "ui/Pad.h"

namespace {

// What a scripted scene does.
struct Script {
  int throwInInit = 0;                   // 1 an error whose text looks like a format, 2 another error
  int leaveTo = -1;                      // asked for in its first main phase
  int workMs = 0;                        // clock time its main phase takes
  std::vector<DDSURFACEDATA*> surfaces;  // what it owns
};

std::vector<std::string> g_Log;
std::map<int, Script> g_Scripts;
std::vector<plat::Millis> g_RunTimes;  // clock at every Run
bool g_StagePointerClearedFirst = false;

template <class Base>
class TestScene : public Base {
 public:
  explicit TestScene(int id) : id_(id), phases_{&TestScene::FadeIn, &TestScene::Main, &TestScene::FadeOut} {
    Log("new");
  }
  ~TestScene() override {
    Log("delete");
    if (id_ == SCENE_STAGE) g_StagePointerClearedFirst = g_StageScene.load() == nullptr;
  }
  void Run() override {
    g_RunTimes.push_back(plat::clock().nowMs());
    this->RunPhases(*this, phases_);
  }
  void Init() override {
    Log("init");
    if (script().throwInInit == 1) throw std::runtime_error("bad %d data");
    if (script().throwInInit == 2) throw std::runtime_error("io error");
  }
  void FadeIn() override {
    Log("fade-in");
    this->m_nPhase = 1;
  }
  void Main() {
    Log("main");
    if (script().workMs) plat::clock().sleepMs(static_cast<plat::Millis>(script().workMs));
    if (script().leaveTo >= 0) {
      g_SceneManager.m_nNextScene = script().leaveTo;
      this->m_nPhase = 2;
    }
  }
  void FadeOut() override {
    Log("fade-out");
    g_SceneManager.m_nPrevScene = id_;
    g_SceneManager.m_nScene = g_SceneManager.m_nNextScene;
    if (id_ == SCENE_STAGE) {
      g_SceneManager.m_nFrameRate = 60;
      this->m_nPhase = -1;
    }
  }
  void CollectSurfaces(std::vector<DDSURFACEDATA*>& out) override {
    out.insert(out.end(), script().surfaces.begin(), script().surfaces.end());
  }

 private:
  Script& script() { return g_Scripts[id_]; }
  void Log(const char* what) { g_Log.push_back(std::to_string(id_) + " " + what); }
  int id_;
  cVector<void (TestScene::*)()> phases_;
};

std::unique_ptr<cScene> MakeScene(std::int32_t id) {
  if (id == SCENE_STAGE) return std::make_unique<TestScene<cStageScene>>(id);
  return std::make_unique<TestScene<cScene>>(id);
}
std::unique_ptr<cScene> ThrowText(std::int32_t) { throw std::invalid_argument("no scene"); }
std::unique_ptr<cScene> ThrowBadAlloc(std::int32_t) { throw std::bad_alloc(); }

// A clock that moves 10 microseconds at every reading and jumps on sleeps: waiting loops
// end, and a frame that waits starts on the very millisecond it is due.
class SteppingClock final : public plat::ClockSource {
 public:
  explicit SteppingClock(plat::Millis startMs) : ns_(std::uint64_t{startMs} * 1000000u) {}
  plat::Millis nowMs() override {
    std::uint64_t t = ns_;
    ns_ += 10000;
    return static_cast<plat::Millis>(t / 1000000u);
  }
  std::uint64_t nowNs() override { return ns_; }
  void sleepMs(plat::Millis ms) override { ns_ += std::uint64_t{ms} * 1000000u; }

 private:
  std::uint64_t ns_;
};

class SceneHostTest : public test_support::LogCapture {
 protected:
  void SetUp() override {
    LogCapture::SetUp();
    Reset();
    g_SceneHost.m_lpFactory = &MakeScene;
  }
  void TearDown() override {
    Reset();
    g_SceneHost.m_lpFactory = nullptr;
    graphics_.Close();
    plat::installClock(nullptr);
    ResetTimers();
    LogCapture::TearDown();
  }
  static void Reset() {
    g_SceneHost.DeleteAllScenes();
    g_SceneManager.m_nScene = g_SceneManager.m_nNextScene = g_SceneManager.m_nPrevScene = 0;
    g_SceneManager.m_nFrameRate = 60;
    g_SceneHost.m_nFrameTimePos = 0;
    g_SceneHost.m_nFrameTimeAverage = 0;
    std::fill(std::begin(g_SceneHost.m_FrameTimes), std::end(g_SceneHost.m_FrameTimes), 0u);
    g_SystemIni = SYSTEMINIDATA{};
    g_bFlipOff = 0;
    g_Log.clear();
    g_Scripts.clear();
    g_RunTimes.clear();
    g_StagePointerClearedFirst = false;
  }
  // Runs one frame and returns the scenes' log of that frame.
  std::vector<std::string> Frame(int expectResult = 1) {
    g_Log.clear();
    EXPECT_EQ(g_SceneHost.StepFrame(), expectResult);
    return g_Log;
  }
  // The ids whose scene exists.
  static std::vector<int> Existing() {
    std::vector<int> ids;
    for (int id = 0; id <= 5; ++id)
      if (g_SceneHost.Scene(id)) ids.push_back(id);
    return ids;
  }
  static void PutAllSix() {
    g_SceneHost.m_lpTitle = MakeScene(0);
    g_SceneHost.m_lpWorldMap = MakeScene(1);
    g_SceneHost.m_lpMapMenu = MakeScene(2);
    g_SceneHost.m_lpStageSelect = MakeScene(3);
    g_SceneHost.m_lpStage = MakeScene(4);
    g_SceneHost.m_lpOption = MakeScene(5);
    g_StageScene = static_cast<cStageScene*>(static_cast<TestScene<cStageScene>*>(g_SceneHost.m_lpStage.get()));
  }

  test_support::Graphics graphics_;
};

TEST_F(SceneHostTest, ChangeSceneKeepsOnlyTheSceneOfTheIdAndCreatesItWhenMissing) {
  struct Case {
    const char* what;
    bool allSix;
    std::vector<int> before;  // made by earlier switches
    int id;
    std::vector<std::string> log;
    std::vector<int> after;
  };
  const Case cases[] = {
      // clang-format off
      {"keeps 3, deletes the rest in its order", true, {}, 3,
       {"0 delete", "2 delete", "1 delete", "4 delete", "5 delete"}, {3}},
      // clang-format on
      {"creates a missing scene", false, {}, 1, {"1 new"}, {1}},
      {"an existing scene is left alone", false, {2}, 2, {}, {2}},
      {"stage play replaces a menu", false, {0}, 4, {"0 delete", "4 new"}, {4}},
      // clang-format off
      {"an id past 5 deletes all", true, {}, 6,
       {"0 delete", "2 delete", "1 delete", "3 delete", "4 delete", "5 delete"}, {}},
      // clang-format on
      {"a negative id deletes all", false, {5}, -1, {"5 delete"}, {}},
  };
  for (const Case& c : cases) {
    Reset();
    if (c.allSix) PutAllSix();
    for (int id : c.before) g_SceneHost.ChangeScene(id);
    cScene* kept = g_SceneHost.Scene(c.id);
    g_Log.clear();
    g_SceneHost.ChangeScene(c.id);
    EXPECT_EQ(g_Log, c.log) << c.what;
    EXPECT_EQ(Existing(), c.after) << c.what;
    if (kept) { EXPECT_EQ(g_SceneHost.Scene(c.id), kept) << c.what; }
    EXPECT_EQ(g_StageScene.load(),
              static_cast<cStageScene*>(dynamic_cast<TestScene<cStageScene>*>(g_SceneHost.Scene(SCENE_STAGE))))
        << c.what;
  }
  // Leaving stage play clears the pointer the window thread reads before the object goes.
  Reset();
  g_SceneHost.ChangeScene(SCENE_STAGE);
  ASSERT_NE(g_StageScene.load(), nullptr);
  g_SceneHost.ChangeScene(SCENE_TITLE);
  EXPECT_TRUE(g_StagePointerClearedFirst);
  EXPECT_EQ(g_StageScene.load(), nullptr);

  PutAllSix();
  g_Log.clear();
  g_SceneHost.DeleteAllScenes();
  EXPECT_EQ(g_Log, (std::vector<std::string>{"0 delete", "1 delete", "2 delete", "3 delete", "5 delete", "4 delete"}));
  EXPECT_EQ(closes_, 0);
}

TEST_F(SceneHostTest, FaultsOfSetUpAndSwitchAreLoggedAsTheyStandAndCloseOnce) {
  struct Case {
    const char* what;
    void (*arrange)();
    std::vector<std::string> log;  // of the frame
    std::string debugLine;
  };
  const Case cases[] = {
      {"format-like text thrown by Init",
       [] { g_Scripts[0].throwInInit = 1; },
       {"0 new", "0 init", "0 fade-in"},
       "bad %d data"},
      {"program error in Init", [] { g_Scripts[0].throwInInit = 2; }, {"0 new", "0 init", "0 fade-in"}, "io error"},
      {"error thrown by the switch", [] { g_SceneHost.m_lpFactory = &ThrowText; }, {}, "no scene"},
  };
  for (const Case& c : cases) {
    Reset();
    g_SceneHost.m_lpFactory = &MakeScene;
    SetDebugLog(1, root_ + "\\EC_" + std::to_string(&c - cases) + ".txt");
    closes_ = 0;
    c.arrange();
    EXPECT_EQ(Frame(), c.log) << c.what;
    EXPECT_EQ(closes_, 1) << c.what;
    EXPECT_EQ(DebugLinesOf("\\EC_" + std::to_string(&c - cases) + ".txt"), std::vector<std::string>{c.debugLine})
        << c.what;
  }
  // The scene goes on with its phases after a failed set-up.
  Reset();
  g_SceneHost.m_lpFactory = &MakeScene;
  g_Scripts[0].throwInInit = 1;
  Frame();
  EXPECT_EQ(Frame(), std::vector<std::string>{"0 main"});
}

TEST_F(SceneHostTest, APhaseOutsideTheTableIsReportedAndRunsTheFirstEntry) {
  Frame();
  g_SceneHost.Scene(0)->m_nPhase = 7;
  EXPECT_EQ(Frame(), std::vector<std::string>{"0 fade-in"});
  EXPECT_NE(Report().find("err V[7] ( 3 , 16 )"), std::string::npos) << Report();
  EXPECT_EQ(closes_, 1);
}

TEST_F(SceneHostTest, AScenesAllocationFailureShowsTheMemoryMessageAndCloses) {
  g_SceneHost.m_lpFactory = &ThrowBadAlloc;
  EXPECT_EQ(Frame(), std::vector<std::string>{});
  EXPECT_EQ(Existing(), std::vector<int>{});
  ASSERT_EQ(plat::box_script::shown().size(), 1u);
  EXPECT_EQ(plat::box_script::shown()[0].textCp932, "メモリが不足しています！");
  EXPECT_EQ(closes_, 1);
}

TEST_F(SceneHostTest, ASceneLeavesThroughItsFadeOutAndTheNextFrameSwitches) {
  g_Scripts[0].leaveTo = 1;
  EXPECT_EQ(Frame(), (std::vector<std::string>{"0 new", "0 init", "0 fade-in"}));
  EXPECT_EQ(Frame(), std::vector<std::string>{"0 main"});
  EXPECT_EQ(Frame(), std::vector<std::string>{"0 fade-out"});
  EXPECT_EQ(g_SceneManager.m_nScene, 1);
  EXPECT_EQ(g_SceneManager.m_nPrevScene, 0);
  EXPECT_EQ(Existing(), std::vector<int>{0});
  EXPECT_EQ(Frame(), (std::vector<std::string>{"0 delete", "1 new", "1 init", "1 fade-in"}));
  EXPECT_EQ(Existing(), std::vector<int>{1});
}

TEST_F(SceneHostTest, StagePlayAskingForItselfKeepsItsObjectAndInitialisesAgain) {
  g_SceneManager.m_nScene = SCENE_STAGE;
  g_Scripts[SCENE_STAGE].leaveTo = SCENE_STAGE;
  EXPECT_EQ(Frame(), (std::vector<std::string>{"4 new", "4 init", "4 fade-in"}));
  cScene* stage = g_SceneHost.Scene(SCENE_STAGE);
  cStageScene* pointer = g_StageScene.load();
  ASSERT_NE(pointer, nullptr);
  g_SceneManager.m_nFrameRate = 50;  // as a stage of its own rate sets it
  EXPECT_EQ(Frame(), std::vector<std::string>{"4 main"});
  EXPECT_EQ(Frame(), std::vector<std::string>{"4 fade-out"});
  EXPECT_EQ(g_SceneManager.m_nFrameRate, 60);
  EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_STAGE);
  EXPECT_EQ(Frame(), (std::vector<std::string>{"4 init", "4 fade-in"}));
  EXPECT_EQ(g_SceneHost.Scene(SCENE_STAGE), stage);
  EXPECT_EQ(g_StageScene.load(), pointer);
}

TEST_F(SceneHostTest, TheFrameClockSpacesFramesByItsPeriodWithoutMakingUpLateOnes) {
  enum class Gfx { None, D3DVsync, D3D, DDWindow };
  struct Case {
    const char* what;
    Gfx gfx;
    int rate;
    plat::Millis start;
    bool waits;
  };
  const Case cases[] = {
      {"no graphics yet: no wait", Gfx::None, 60, 1000, false},
      {"Direct3D with vertical sync", Gfx::D3DVsync, 60, 1000, true},
      {"Direct3D without vertical sync", Gfx::D3D, 60, 1000, true},
      {"DirectDraw in a window", Gfx::DDWindow, 60, 1000, true},
      {"30 frames a second", Gfx::D3D, 30, 1000, true},
      {"rate 0 never waits", Gfx::D3D, 0, 1000, false},
      {"across the wrap of the millisecond clock", Gfx::D3D, 60, 0xFFFFFFE0u, true},
  };
  const int work[] = {1, 40, 1, 1, 16, 17, 2};
  for (const Case& c : cases) {
    Reset();
    g_SceneManager.m_nFrameRate = c.rate;
    graphics_.Close();
    if (c.gfx != Gfx::None) { ASSERT_TRUE(graphics_.Open(c.gfx != Gfx::DDWindow, c.gfx == Gfx::D3DVsync)) << c.what; }
    SteppingClock clock(c.start);
    plat::installClock(&clock);
    ResetTimers();
    Frame();  // creates the scene and runs its set-up
    g_RunTimes.clear();
    for (int w : work) {
      g_Scripts[0].workMs = w;
      Frame();
    }
    std::vector<int> gaps, expected;
    for (std::size_t i = 1; i < g_RunTimes.size(); ++i) {
      gaps.push_back(static_cast<int>(g_RunTimes[i] - g_RunTimes[i - 1]));
      // A frame starts one period after the last one started, or at once when the
      // last one's work took longer. Frame k's period (the set-up frame is 0) keeps
      // `rate` frames in a second: 16, 17, 17 ms at 60.
      const int period = c.rate ? static_cast<int>((i + 1) * 1000 / c.rate - i * 1000 / c.rate) : 0;
      expected.push_back(c.waits ? std::max(period, work[i - 1]) : work[i - 1]);
    }
    EXPECT_EQ(gaps, expected) << c.what;
    plat::installClock(nullptr);
  }
}

TEST_F(SceneHostTest, TheGameSteps60TimesASecondWhateverTheDisplaysRefresh) {
  // Direct3D with vertical sync on a display of each refresh rate: 600 frames are
  // 10 seconds of game.
  for (int hz : {30, 60, 144}) {
    Reset();
    graphics_.Close();
    plat::Presenter::instance().setEmulatedRefresh(hz);
    ASSERT_EQ(plat::Presenter::instance().emulatedRefresh(), hz);
    ASSERT_TRUE(graphics_.Open(true, true));
    SteppingClock clock(5000);
    plat::installClock(&clock);
    ResetTimers();
    for (int i = 0; i <= 600; ++i) Frame();
    ASSERT_EQ(g_RunTimes.size(), 601u);
    EXPECT_EQ(g_RunTimes[600] - g_RunTimes[0], 10000u) << hz << " Hz";
    plat::installClock(nullptr);
  }
  plat::Presenter::instance().setEmulatedRefresh(60);
}

TEST_F(SceneHostTest, AFastTestRunMovesTheClockOnByOnePeriodEachFrameWhateverTheDrawingMode) {
  struct Case {
    bool d3d, vsync;
    int rate;
  };
  const Case cases[] = {{true, true, 60}, {true, false, 30}, {false, false, 60}};
  for (const Case& c : cases) {
    Reset();
    g_SceneManager.m_nFrameRate = c.rate;
    graphics_.Close();
    ASSERT_TRUE(graphics_.Open(c.d3d, c.vsync));
    plat::sys::LaunchParams launch;
    launch.headless = true;
    launch.fast = true;
    ASSERT_TRUE(plat::drive::Start(launch, nullptr));
    ResetTimers();
    for (int i = 0; i < 5; ++i) Frame();
    std::vector<int> gaps, periods;
    for (std::size_t i = 1; i < g_RunTimes.size(); ++i) {
      gaps.push_back(static_cast<int>(g_RunTimes[i] - g_RunTimes[i - 1]));
      // Frame k's period keeps `rate` frames in a second: 16, 17, 17 ms at 60.
      const int k = static_cast<int>(i) - 1;
      periods.push_back((k + 1) * 1000 / c.rate - k * 1000 / c.rate);
    }
    EXPECT_EQ(periods, gaps) << c.rate;
    EXPECT_EQ(5u, plat::drive::Frame());
    plat::drive::Stop();
    EXPECT_TRUE(plat::isSystemClock());
  }
}

TEST_F(SceneHostTest, TheFrameRateTextShowsFramesAndAnAverageThatChangesEvery16Frames) {
  ASSERT_TRUE(graphics_.Open(true, false));
  g_Palette[241] = PALETTEENTRY{255, 255, 255, 0};
  g_Fonts[1].Create("ＭＳ ゴシック", 0, 15, 16, 16, 241, nullptr, 0, 0, nullptr);
  SteppingClock clock(5000);
  plat::installClock(&clock);
  ResetTimers();
  g_SceneManager.m_nFrameRate = 0;
  g_SceneManager.m_nScene = -1;  // no scene: only the text is drawn
  g_SceneHost.m_lpFactory = nullptr;

  // Whether any pixel of the shown frame is lit inside, and outside, the text's corner.
  auto ink = [] {
    std::pair<bool, bool> lit{false, false};
    auto f = plat::Presenter::instance().lastFrame();
    if (!f) return lit;
    for (int y = 0; y < f->height; ++y)
      for (int x = 0; x < f->width; ++x)
        if (f->pixels[static_cast<std::size_t>(y) * f->width + x] != 0)
          (x >= 495 && y >= 463 ? lit.first : lit.second) = true;
    return lit;
  };
  DDFillRectColor(&BackBuffer, 0, 0, 640, 480, 0xFF000000u);
  Frame();
  EXPECT_EQ(ink(), (std::pair<bool, bool>{false, false}));  // ShowFps 0: nothing drawn, nothing measured
  EXPECT_EQ(g_SceneHost.m_nFrameTimePos, 0);

  g_SystemIni.m_nShowFps = 1;
  // Each frame's work: the clock's steps plus 5 ms of sleeping by hand.
  struct Sleeper final : cScene {
    void Run() override { plat::clock().sleepMs(5); }
  };
  g_SceneManager.m_nScene = SCENE_TITLE;
  g_SceneHost.m_lpTitle = std::make_unique<Sleeper>();
  g_SceneHost.m_lpFactory = &MakeScene;
  for (int i = 0; i < 15; ++i) Frame();
  EXPECT_EQ(g_SceneHost.m_nFrameTimeAverage, 0u);
  Frame();
  EXPECT_EQ(g_SceneHost.m_nFrameTimePos, 0);
  EXPECT_EQ(g_SceneHost.m_nFrameTimeAverage, 5u);
  EXPECT_EQ(ink(), (std::pair<bool, bool>{true, false}));
  g_Fonts[1].Release();
}

TEST_F(SceneHostTest, LostDirectDrawSurfacesOfTheScenesComeBackOrEndTheGame) {
  ASSERT_TRUE(graphics_.Open(false, false));
  const std::string file = plat::fs::fromNative(dir_.path() + "/pic.bmp");
  const std::uint32_t colours[4] = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
  ASSERT_TRUE(plat::fs::writeFileAtomic(file, plat::bmp::encodeRgb(2, 2, colours)));
  DDSURFACEDATA picture, blank;
  ASSERT_EQ(DDCreateSurfaceFromFile(&picture, file, 0, 32, 0, 0, 0, 0, 0, 0, false), DDLOAD_OK);
  ASSERT_TRUE(DDCreateSurface(&blank, 8, 8, 0, 0, 0, 0, false));
  g_Scripts[0].surfaces = {&blank, &picture};
  auto pixel = [&] {
    cSurfaceLock lock(&picture);
    return lock.IsLocked() ? pix::getRaw(*lock.m_lpSurface, 1, 0) : 0xDEADBEEFu;
  };
  Frame();
  const std::uint32_t drawn = pixel();

  plat::display::injectLoss();
  ASSERT_TRUE(picture.Pixels()->isLost());
  EXPECT_EQ(Frame(), std::vector<std::string>{"0 main"});
  EXPECT_FALSE(picture.Pixels()->isLost());
  EXPECT_FALSE(blank.Pixels()->isLost());
  EXPECT_EQ(pixel(), drawn);

  // A picture that cannot be read again: the frame stops before the scene runs.
  ASSERT_EQ(std::remove((dir_.path() + "/pic.bmp").c_str()), 0);
  plat::display::injectLoss();
  EXPECT_EQ(Frame(0), std::vector<std::string>{});
  g_SceneHost.DeleteAllScenes();
  DDReleaseSurface(&picture);
  DDReleaseSurface(&blank);
}

// The digit strips of the fonts lie in video memory too: a lost strip gets its digits
// again, and one whose digits cannot be put back ends the game like any other surface.
TEST_F(SceneHostTest, LostDigitStripsAreRedrawnOrEndTheGame) {
  ASSERT_TRUE(graphics_.Open(false, false));
  const PALETTEENTRY savedInk = g_Palette[241];
  g_Palette[241] = PALETTEENTRY{255, 255, 255, 0};
  Font& font = g_Fonts[1];
  font.Create("ＭＳ ゴシック", 0, 15, 16, 16, 241, nullptr, 0, 0, nullptr);
  DDSURFACEDATA& strip = g_DigitSurfaces[1];
  DDSURFACEINFO info;
  info.Set("", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  FONTINFO fi;
  fi.nCellWidth = 16;
  fi.nCellHeight = 16;
  ASSERT_EQ(CreateDigitSurfaces(&strip, &info, 1, &font, &fi), 1);
  auto ink = [&strip] {
    int n = 0;
    cSurfaceLock l(&strip);
    if (!l.IsLocked()) return -1;
    for (int y = 0; y < strip.nHeight; ++y)
      for (int x = 0; x < strip.nWidth; ++x) n += (pix::getRaw(*l.m_lpSurface, x, y) & 0xFFFFFF) != 0;
    return n;
  };
  const int drawn = ink();
  ASSERT_GT(drawn, 0);

  plat::display::injectLoss();
  ASSERT_TRUE(strip.Pixels()->isLost());
  Frame();
  EXPECT_FALSE(strip.Pixels()->isLost());
  EXPECT_EQ(ink(), drawn);

  // A font that can no longer draw leaves the strip without digits: the frame stops.
  font.Release();
  plat::display::injectLoss();
  Frame(0);
  DDReleaseSurface(&strip);
  g_Palette[241] = savedInk;
}

// The stage's bitmaps of the databases (characters, swords, effects) lie in video memory:
// after a display loss each comes back with its picture, the right-facing character
// sheet mirrored cell by cell as when it was loaded.
TEST_F(SceneHostTest, TheStagesDatabaseBitmapsComeBackAfterADisplayLoss) {
  ASSERT_TRUE(graphics_.Open(false, false));
  const cVector<cEdBmpCharaExc> savedCharas = g_Database.m_BmpCharaExcs;
  const cVector<cEdSwordType> savedSwords = g_Database.m_SwordTypes;
  const cVector<cEdEffect> savedEffects = g_Database.m_Effects;
  // 64 x 32 pictures, two cells of 32, every pixel a colour of its own.
  auto write = [&](const char* name, std::uint32_t blue) {
    std::vector<std::uint32_t> px;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 64; ++x) px.push_back(std::uint32_t(4 * x + 2) << 16 | std::uint32_t(8 * y + 1) << 8 | blue);
    const std::string file = plat::fs::fromNative(dir_.path() + "/" + name);
    EXPECT_TRUE(plat::fs::writeFileAtomic(file, plat::bmp::encodeRgb(64, 32, px.data())));
    return file;
  };
  g_Database.m_BmpCharaExcs.assign(2, cEdBmpCharaExc());
  g_Database.m_BmpCharaExcs[1].m_strFile = write("chara.bmp", 0x11);
  g_Database.m_SwordTypes.assign(1, cEdSwordType());
  g_Database.m_SwordTypes[0].m_strFileLeft = write("swordL.bmp", 0x22);
  g_Database.m_SwordTypes[0].m_strFileRight = write("swordR.bmp", 0x33);
  g_Database.m_Effects.assign(2, cEdEffect());
  g_Database.m_Effects[1].m_strFile = write("effect.bmp", 0x44);

  auto stage = std::make_unique<cStageScene>();
  stage->LoadCharaBitmaps();
  stage->LoadSwordBitmaps();
  stage->LoadEffectBitmaps();
  std::vector<DDSURFACEDATA*> all;
  for (cVector<DDSURFACEDATA>* v : {&stage->m_CharaSurfaces, &stage->m_SwordSurfaces, &stage->m_EffectSurfaces})
    for (DDSURFACEDATA& sd : *v) all.push_back(&sd);
  ASSERT_EQ(all.size(), 4u + 4u + 2u);
  auto grab = [](DDSURFACEDATA* sd) {
    std::vector<std::uint32_t> v;
    cSurfaceLock lock(sd);
    if (!lock.IsLocked()) return v;
    for (int y = 0; y < sd->nHeight; ++y)
      for (int x = 0; x < sd->nWidth; ++x) v.push_back(pix::getRaw(*lock.m_lpSurface, x, y));
    return v;
  };
  std::vector<std::vector<std::uint32_t>> before;
  for (DDSURFACEDATA* sd : all) before.push_back(grab(sd));
  // Right-facing: column 0 of a cell shows the cell's column 31.
  DDSURFACEDATA& left = stage->m_CharaSurfaces[0];
  DDSURFACEDATA& right = stage->m_CharaSurfaces[1];
  ASSERT_EQ(before[1][0], before[0][31]);
  ASSERT_EQ(before[1][32 + 5 * 64], before[0][63 + 5 * 64]);
  g_StageScene = stage.get();
  g_SceneHost.m_lpStage = std::move(stage);

  plat::display::injectLoss();
  ASSERT_TRUE(left.Pixels()->isLost());
  ASSERT_TRUE(right.Pixels()->isLost());
  EXPECT_EQ(g_SceneHost.RestoreLostSurfaces(), 1);
  for (std::size_t i = 0; i < all.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(all[i]->Pixels()->isLost());
    EXPECT_TRUE(grab(all[i]) == before[i]);
  }

  g_SceneHost.DeleteAllScenes();
  g_Database.m_BmpCharaExcs = savedCharas;
  g_Database.m_SwordTypes = savedSwords;
  g_Database.m_Effects = savedEffects;
}

TEST_F(SceneHostTest, PresentingFollowsTheDrawingMode) {
  struct Case {
    const char* what;
    bool direct3D, windowed;
    int flipOff;
    bool lost;
    bool flipped;    // the back buffer became the front page
    int resetAsked;  // device resets asked of the main window
  };
  const Case cases[] = {
      {"Direct3D presents", true, true, 0, false, false, 0},
      {"Direct3D with a lost device asks for a reset", true, true, 0, true, false, 1},
      {"DirectDraw in a window copies", false, true, 0, false, false, 0},
      {"DirectDraw full screen flips", false, false, 0, false, true, 0},
      {"DirectDraw full screen with flipping off copies", false, false, 1, false, false, 0},
  };
  int resets = 0;
  const plat::WindowToken window = plat::registerWindow([&](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
    if (m.id == appmsg::RestoreSurfaces) ++resets;
    return 0;
  });
  g_hWnd = window;
  for (const Case& c : cases) {
    Reset();
    resets = 0;
    g_bFlipOff = c.flipOff;
    ASSERT_TRUE(graphics_.Open(c.direct3D, false, c.windowed)) << c.what;
    DDFillRectColor(&BackBuffer, 0, 0, 640, 480, c.direct3D ? 0xFF0000FFu : 0x0000FFu);
    if (!c.direct3D) DDFillRectColor(&Primary, 0, 0, 640, 480, 0x00FF00u);
    if (c.lost) plat::display::injectLoss();
    g_SceneHost.PresentFrame();
    EXPECT_EQ(resets, c.resetAsked) << c.what;
    auto shown = plat::Presenter::instance().lastFrame();
    ASSERT_EQ(shown.has_value(), !c.lost) << c.what;
    if (shown) { EXPECT_EQ(shown->pixels[0], 0x0000FFu) << c.what; }
    if (!c.direct3D) {
      cSurfaceLock back(&BackBuffer);
      EXPECT_EQ(pix::getRaw(*back.m_lpSurface, 0, 0) & 0xFFFFFF, c.flipped ? 0x00FF00u : 0x0000FFu) << c.what;
    }
    graphics_.Close();
  }
  g_hWnd = 0;
  plat::unregisterWindow(window);
}

TEST_F(SceneHostTest, UpdateInputPollsEntryZeroOfTheGivenPadsByTheKeyConfiguration) {
  struct Case {
    const char* what;
    int mode;
    std::uint16_t key;
    std::uint16_t direction;
  };
  const Case cases[] = {
      {"fixed mapping: the arrows", 0, plat::vk::Left, cPad::DirLeft},
      {"fixed mapping ignores the bindings", 0, 'Q', 0},
      {"configured: Q bound to left", 1, 'Q', cPad::DirLeft},
      {"configured: the arrow is not bound", 1, plat::vk::Left, 0},
  };
  const KEYCONFIG saved = g_KeyConfig;
  for (const Case& c : cases) {
    plat::input::InputProbe::reset();
    SetDefaultKeyConfig(g_KeyConfig);
    g_KeyConfig.m_Bindings[0].m_wCode = 'Q';
    g_KeyConfig.m_nMode = c.mode;
    cVector<cPad> pads(2);
    const cPad before = g_Pads[0];
    plat::input::InputProbe::setKey(c.key, true);
    g_SceneHost.UpdateInput(pads);
    EXPECT_EQ(pads[0].m_wDirection, c.direction) << c.what;
    EXPECT_EQ(pads[1].m_wDirection, 0) << c.what;
    EXPECT_EQ(g_Pads[0].m_wDirection, before.m_wDirection) << c.what;
  }
  plat::input::InputProbe::reset();
  g_KeyConfig = saved;
}

}  // namespace
