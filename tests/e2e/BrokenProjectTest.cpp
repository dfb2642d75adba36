// Broken projects: the player started in a copy of the sample project with one thing
// wrong ends start-up with its message (boxes in order, the report log where the
// failure is reported there) and a clean exit with a failure code, and writes nothing
// into the project.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "platform/cp932.h"
#include "test_support/EditorListener.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

enum class Damage { None, Remove, Truncate, HugeCount, Garbage, NoEndCode };

struct Broken {
  std::string name;
  std::string file;  // relative to the game folder ('/' separators)
  Damage damage = Damage::None;
  std::vector<std::string> boxes;  // Shift-JIS texts of the boxes, in order (caption "エラー")
  std::string reported;            // Shift-JIS text expected in the report log, or empty
  std::string debugLine;           // Shift-JIS line expected in the debug log, or empty
  bool makeData = true;            // the default data copied to "data\" first, as after a first start
  std::vector<std::string> answers;
  std::vector<std::string> args;
  std::string audioDriver = "dummy";
  std::string systemIni;  // replaces "System.ini" when not empty
};

void PrintTo(const Broken& c, std::ostream* os) { *os << c.name; }

std::string U8(const std::string& cp932) { return plat::cp932::toUtf8(cp932); }
// A box as the user reads it: paths with '/'.
std::string Shown(const std::string& cp932) {
  std::string text = U8(cp932);
  for (char& c : text)
    if (c == '\\') c = '/';
  return text;
}

void Apply(const fs::path& file, Damage damage) {
  switch (damage) {
    case Damage::None: return;
    case Damage::Remove: fs::remove_all(file); return;
    case Damage::Truncate: fs::resize_file(file, fs::file_size(file) / 2); return;
    case Damage::HugeCount:
    case Damage::Garbage:
    case Damage::NoEndCode: {
      std::string bytes = e2e::ReadFile(file);
      if (damage == Damage::HugeCount) {
        // The first count after the version: list length or member count.
        for (int i = 4; i < 8; ++i) bytes[i] = '\xFF';
      } else if (damage == Damage::Garbage) {
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 37 + 11);
      } else {
        for (std::size_t i = bytes.size() - 4; i < bytes.size(); ++i) bytes[i] = 0;
      }
      ASSERT_TRUE(e2e::WriteFile(file, bytes));
      return;
    }
  }
}

const char* const kDataFail = "「data」フォルダの作成に失敗…\n「default」フォルダに問題がある可能性があります。";
const char* const kQuestion = "データが存在しません！デフォルトデータを作成しますか？\n";

// One case: the file damaged as said, the boxes shown and the report line written.
Broken Case(std::string name, std::string file, Damage damage, std::vector<std::string> boxes,
            std::string reported = std::string()) {
  Broken c;
  c.name = std::move(name);
  c.file = std::move(file);
  c.damage = damage;
  c.boxes = std::move(boxes);
  c.reported = std::move(reported);
  return c;
}

std::vector<Broken> Cases() {
  std::vector<Broken> cases;
  cases.push_back(Case("NoDefaultAndNoData", "default", Damage::Remove, {kDataFail}, kDataFail));
  cases.back().makeData = false;
  cases.push_back(Case("DefaultDataDeclined", "", Damage::None, {kQuestion, kDataFail}, kDataFail));
  cases.back().makeData = false;
  cases.back().answers = {"no", "ok"};

  const struct {
    const char* name;
    Damage damage;
  } damages[] = {{"Missing", Damage::Remove}, {"Truncated", Damage::Truncate}, {"HugeCount", Damage::HugeCount}};
  const char* const databases[] = {"AnimeSet",    "Anime",     "Bmp_CharaExc", "SwordType", "Effect",
                                   "CharaEffect", "ScrEffect", "Picture",      "Sound",     "Bgm"};
  for (const auto& d : damages) {
    const std::string kind = d.name;
    for (const char* db : databases) {
      cases.push_back(
          Case(kind + db, "data/database/" + std::string(db) + ".dat", d.damage,
               {"data\\database\\" + std::string(db) + ".dat のロードに失敗！", "データベースの読み込みに失敗…"},
               "データベースの読み込みに失敗…"));
    }
    cases.push_back(Case(kind + "System", "data/System.dat", d.damage, {"data\\System.dat の読み込みに失敗…"},
                         "data\\System.dat の読み込みに失敗…"));
    cases.push_back(Case(kind + "WorldMap", "data/WorldMap.dat", d.damage, {"data\\WorldMap.dat のロードに失敗！"},
                         "data\\WorldMap.dat のロードに失敗！"));
    cases.push_back(Case(kind + "CommonPalette", "data/CommonPalette.cplt4", d.damage,
                         {"data\\CommonPalette.cplt4 のロードに失敗！"}, "data\\CommonPalette.cplt4 のロードに失敗！"));
  }

  for (Damage d : {Damage::Remove, Damage::Garbage}) {
    cases.push_back(Case(d == Damage::Remove ? "MissingPaletteBitmap" : "GarbagePaletteBitmap", "bmp/plt/Palette.bmp",
                         d, {"bmp\\plt\\Palette.bmp の読み込みに失敗！"}, "bmp\\plt\\Palette.bmp の読み込みに失敗！"));
    cases.back().debugLine = "DDLoadPaletteFromFile失敗";
  }
  cases.push_back(Case("MissingBitmap", "bmp/Debug.bmp", Damage::Remove, {"bmp\\Debug.bmp の読み込みに失敗！"}));
  // The music player meets the missing device first but leaves the word to the sound
  // table: one box, naming the device and the way to play without one.
  cases.push_back(
      Case("NoSoundDevice", "", Damage::None,
           {"DS_Init失敗！\nサウンドデバイスを開けません。\n"
            "サウンドカードの無い環境では、環境変数 SDL_AUDIODRIVER=dummy を付けて起動して下さい（音は出ません）。\n"
            "No sound device could be opened: start with SDL_AUDIODRIVER=dummy to play without sound."},
           "DS_Init失敗！"));
  cases.back().debugLine = "DS_Init失敗！";
  cases.back().audioDriver = "no-such-sound-driver";

  // 256 colours full screen needs the blend table of the palette option.
  const std::string fullScreen8 = "Direct3D=0\nWindowMode=0\nBpp=0\nVSync=1\nShowFps=0\nExit\n";
  cases.push_back(
      Case("MissingBlendTable", "bmp/hbt/hbt00.dat", Damage::Remove, {"bmp\\hbt\\hbt00.dat の読み込みに失敗！"}));
  cases.back().systemIni = fullScreen8;
  cases.push_back(Case("ScreenModeNotAllowed", "", Damage::None,
                       {"画面モードが不正です！\nSystem.iniと画面の設定を見直して下さい！"}));
  cases.back().systemIni = "Direct3D=0\nWindowMode=1\nBpp=8\nVSync=1\nShowFps=0\nExit\n";

  const std::string stage = "data\\stg4\\Stage01-1.stg4_001";
  cases.push_back(Case("TestPlayOfAStageWithoutItsEndCode", "data/stg4/Stage01-1.stg4_001", Damage::NoEndCode,
                       {"ステージファイル " + stage + " が破損しています！"}));
  cases.back().args = {"data\\stg4\\Stage01-1.stg4"};
  // More members than the stage has: the checked subscript reports it and asks to close,
  // and the loader's wait serves that close at once; the box names the file.
  cases.push_back(Case("TestPlayOfADamagedStage", "data/stg4/Stage01-1.stg4_001", Damage::HugeCount,
                       {"ステージファイル " + stage + " の読み込みに失敗しました！"}, "err V["));
  cases.back().args = {"data\\stg4\\Stage01-1.stg4"};
  return cases;
}

class BrokenProject : public ::testing::TestWithParam<Broken> {};

TEST_P(BrokenProject, EndsWithItsMessageAndWritesNothing) {
  const Broken& c = GetParam();
  test_support::TempDir tmp;
  const fs::path game = e2e::FreshSampleCopy(tmp.path());
  ASSERT_FALSE(game.empty());
  if (c.makeData) e2e::CopyDefaultToData(game);
  if (!c.file.empty()) Apply(game / c.file, c.damage);
  if (!c.systemIni.empty()) ASSERT_TRUE(e2e::WriteFile(game / "System.ini", c.systemIni));
  const auto before = e2e::Snapshot(game);

  std::vector<std::string> answers = c.answers;
  if (answers.empty()) answers.assign(c.boxes.size(), "ok");
  // Started as the kit's editor starts it: the editor hears of the start, then once of
  // the end of a start that failed.
  const fs::path socket = fs::path(tmp.path()) / "editor.sock";
  test_support::EditorListener editor(socket.string());
  ASSERT_TRUE(editor.bound());
  e2e::PlayerProcess player(game, fs::path(tmp.path()) / "work",
                            {.args = c.args,
                             .uiAnswers = answers,
                             .env = {{"SDL_AUDIODRIVER", c.audioDriver},
                                     {"PELLMOOR_SHOW_COMMAND", "5"},
                                     {"PELLMOOR_EDITOR_LINK", socket.string()}}});
  ASSERT_TRUE(player.Started());
  const std::optional<int> code = player.Wait(60000);
  ASSERT_TRUE(code.has_value()) << "the player did not end by itself\n" << player.Stderr();
  EXPECT_EQ(1, *code) << "a start that failed ends as a failure";

  const std::string err = player.Stderr();
  std::size_t at = 0;
  int shown = 0;
  for (std::size_t p = err.find("[message box]"); p != std::string::npos; p = err.find("[message box]", p + 1)) ++shown;
  EXPECT_EQ(static_cast<int>(c.boxes.size()), shown) << err;
  for (const std::string& box : c.boxes) {
    const std::string caption = box == kQuestion ? "デフォルトデータ作成の確認" : "エラー";
    const std::string line = "[message box] " + U8(caption) + ": " + Shown(box) + "\n";
    const std::size_t found = err.find(line, at);
    EXPECT_NE(std::string::npos, found) << "box " << U8(box) << " missing or out of order in\n" << err;
    if (found != std::string::npos) at = found + line.size();
  }

  const std::string report = e2e::ReadLogUtf8(game / "Report_Game.txt");
  EXPECT_EQ(0u, report.find("App : ver 513\n")) << report;
  if (!c.reported.empty()) { EXPECT_NE(std::string::npos, report.find("\n" + U8(c.reported))) << report; }
  // Start-up ended before the game thread.
  const std::string debug = e2e::ReadLogUtf8(game / "EC_Game.txt");
  if (!c.debugLine.empty()) { EXPECT_NE(std::string::npos, debug.find("\n" + U8(c.debugLine) + "\n")) << debug; }
  EXPECT_EQ(std::string::npos, debug.find("\nJ\n")) << debug;

  EXPECT_TRUE(before == e2e::Snapshot(game)) << "files of the project changed";

  const auto notices = editor.Notices();
  ASSERT_EQ(2u, notices.size());
  EXPECT_EQ(1u, notices[0][0]);  // started
  EXPECT_EQ(1u, notices[0][2]);
  EXPECT_NE(0u, notices[0][3]);  // with the player's window
  EXPECT_EQ(0u, notices[1][0]);  // ended
  EXPECT_EQ(0u, notices[1][2]);  // start-up failed
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokenProject, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Broken>& info) { return info.param.name; });

}  // namespace
