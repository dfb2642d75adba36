#include "app/SystemIni.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "gamedata/RecordTestUtil.h"
#include "gamedata/System.h"

namespace {

class SystemIniTest : public rt::RecordFixture {};

using Values = std::tuple<int, int, int, int, int, std::string>;

Values ValuesOf(const SYSTEMINIDATA& ini) {
  return {ini.m_nDirect3D, ini.m_nWindowMode, ini.m_nBpp, ini.m_nVSync, ini.m_nShowFps, ini.m_szFreeStage};
}

// The defaults of a new project's descriptors: 2, 0, 0, 2, 0 and no stage.
const Values DEFAULTS = {2, 0, 0, 2, 0, ""};

TEST_F(SystemIniTest, Files) {
  struct Case {
    const char* name;
    std::optional<std::string> file;  // none: no file
    int result;
    Values values;
  };
  const Case cases[] = {
      {"no file", std::nullopt, 0, DEFAULTS},
      {"CR LF lines with Exit", "Direct3D=0\r\nWindowMode=1\r\nExit\r\n", 1, {0, 1, 0, 2, 0, ""}},
      {"without Exit the read fails", "Direct3D=0\r\nWindowMode=1\r\n", 0, {0, 1, 0, 2, 0, ""}},
      {"LF lines", "Bpp=16\nVSync=0\nShowFps=1\nExit\n", 1, {2, 0, 16, 0, 1, ""}},
      {"Exit needs its line end", "Bpp=16\nExit", 0, {2, 0, 16, 2, 0, ""}},
      {"spaces and tabs in the key are dropped, the value ends at the space",
       "Direct3D = 1\nExit\n",
       1,
       {0, 0, 0, 2, 0, ""}},
      {"keys are compared with their case", "vsync=1\nEXIT\nExit\n", 1, DEFAULTS},
      {"a comment after a slash", "Bpp=16/32\nWindowMode=1 // in a window\nExit\n", 1, {2, 1, 16, 2, 0, ""}},
      {"Exit after a value on the same line", "Bpp=16 Exit\nWindowMode=1\n", 1, {2, 0, 16, 2, 0, ""}},
      {"Exit with spaces and CR", " \tEx it\r\nBpp=8\n", 1, DEFAULTS},
      {"a NUL byte ends the file", std::string("\0Bpp=8\n", 7), 1, DEFAULTS},
      {"a NUL byte in a key part", std::string("Bpp=8\nWin\0dowMode=1\n", 21), 1, {2, 0, 8, 2, 0, ""}},
      {"a stage name", "FreeStage=data\\stg4\\a.stg4\nExit\n", 1, {2, 0, 0, 2, 0, "data\\stg4\\a.stg4"}},
      {"a stage name on a CR LF line keeps the CR", "FreeStage=ab\r\nExit\r\n", 1, {2, 0, 0, 2, 0, "ab\r"}},
      {"one character is too short; with its CR it is taken", "FreeStage=x\nExit\n", 1, DEFAULTS},
      {"one character and a CR", "FreeStage=x\r\nExit\r\n", 1, {2, 0, 0, 2, 0, "x\r"}},
      {"an empty value leaves the stage as it was", "FreeStage=ab\nFreeStage=\r\nExit\n", 1, {2, 0, 0, 2, 0, "ab"}},
      {"a stage name of 260 bytes is not taken", "FreeStage=" + std::string(260, 'a') + "\nExit\n", 1, DEFAULTS},
      {"numbers as atoi reads them",
       "Direct3D=1x\nWindowMode=-3\nBpp=abc\nVSync=+7\r\nShowFps=99999999999\nExit\n",
       1,
       {1, -3, 0, 7, 2147483647, ""}},
      {"the first matching key decides; later lines overwrite", "Bpp=8\nBpp=32\nExit\n", 1, {2, 0, 32, 2, 0, ""}},
      {"a value at the end of the file", "Bpp=16", 0, {2, 0, 16, 2, 0, ""}},
      {"a very long key is no key", std::string(5000, 'k') + "=1\nExit\n", 1, DEFAULTS},
      {"saved as UTF-8 with a mark",
       "\xEF\xBB\xBF"
       "Direct3D=0\nFreeStage=\xE3\x82\xB9\xE3\x83\x86.stg4\nExit\n",
       1,
       {0, 0, 0, 2, 0, "\xE3\x82\xB9\xE3\x83\x86.stg4"}},
      {"Shift-JIS stage name", "FreeStage=ステージ.stg4\r\nExit\r\n", 1, {2, 0, 0, 2, 0, "ステージ.stg4\r"}},
  };
  const cEdSystem system;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    plat::fs::removeFile("System.ini");
    if (c.file) { ASSERT_TRUE(plat::fs::writeFileAtomic("System.ini", *c.file)); }
    SYSTEMINIDATA ini;
    SetSystemIniDefaults(ini, system.m_Settings);
    EXPECT_EQ(LoadSystemIni("System.ini", ini, system.m_Settings), c.result);
    EXPECT_EQ(ValuesOf(ini), c.values);
  }
  EXPECT_EQ(closes_, 0);
}

TEST_F(SystemIniTest, KeysAreTheProjectsDescriptorsByPosition) {
  cEdSystem system;
  system.m_Settings[2].m_strName = "色数";
  system.m_Settings[2].m_nDefault = 32;
  system.m_Settings[5].m_strDefault = "data\\stg4\\Test.stg4";
  system.m_Settings.resize(8);
  system.m_Settings[7].m_strName = "Extra";
  SYSTEMINIDATA ini;
  SetSystemIniDefaults(ini, system.m_Settings);
  EXPECT_EQ(ValuesOf(ini), (Values{2, 0, 32, 2, 0, "data\\stg4\\Test.stg4"}));
  EXPECT_EQ(ParseSystemIni("Bpp=8\n色数=16\nExtra=5\nExit\n", ini, system.m_Settings), 1);
  EXPECT_EQ(ValuesOf(ini), (Values{2, 0, 16, 2, 0, "data\\stg4\\Test.stg4"}));

  // Stops after 10000 key parts, with success.
  std::string many;
  for (int i = 0; i < 10000; ++i) many += "x\n";
  EXPECT_EQ(ParseSystemIni(many + "色数=8\n", ini, system.m_Settings), 1);
  EXPECT_EQ(ini.m_nBpp, 16);
}

TEST_F(SystemIniTest, TooFewDescriptorsAreReportedAndKeepTheValues) {
  cVector<cEdSetting> settings(2);
  settings[0].m_nDefault = 1;
  settings[1].m_strName = "WindowMode";
  SYSTEMINIDATA ini;
  ini.m_nBpp = 16;
  ini.m_szFreeStage = "kept";
  SetSystemIniDefaults(ini, settings);
  EXPECT_EQ(ValuesOf(ini), (Values{1, 0, 16, 0, 0, "kept"}));
  EXPECT_EQ(closes_, 4);
  EXPECT_NE(Report().find("err V[5] ( 2 ,"), std::string::npos);
  EXPECT_EQ(ParseSystemIni("WindowMode=1\nExit\n", ini, settings), 1);
  EXPECT_EQ(ini.m_nWindowMode, 1);

  cVector<cEdSetting> none;
  SetSystemIniDefaults(ini, none);
  EXPECT_EQ(ParseSystemIni("Bpp=8\nExit\n", ini, none), 1);
  EXPECT_EQ(ini.m_nBpp, 16);
}

}  // namespace
