#include "gamedata/DataPaths.h"

#include "base/Log.h"
#include "platform/fs.h"
#include "platform/fs.h"
#include "platform/winnum.h"

const char* const g_PathTable[PATH_TABLE_SIZE] = {
    "data\\",
    "default\\",
    "data\\stg4\\old_ver\\",
    "data\\work\\",
    "e_data\\EditConfig.dat",
    "data\\PrjOption.dat",
    "default\\PrjOption.dat",
    "data\\CommonPalette.cplt4",
    "default\\CommonPalette.cplt4",
    "data\\GValInfo.dat",
    "default\\GValInfo.dat",
    "data\\stg4\\Default.stg4_***",
    "default\\stg4\\Default.stg4_***",
    "data\\WorldMap.dat",
    "default\\WorldMap.dat",
    "data\\database\\AnimeSet.dat",
    "default\\database\\AnimeSet.dat",
    "data\\database\\Anime.dat",
    "default\\database\\Anime.dat",
    "data\\database\\Bmp_CharaExc.dat",
    "default\\database\\Bmp_CharaExc.dat",
    "data\\database\\SwordType.dat",
    "default\\database\\SwordType.dat",
    "data\\database\\Effect.dat",
    "default\\database\\Effect.dat",
    "data\\database\\CharaEffect.dat",
    "default\\database\\CharaEffect.dat",
    "data\\database\\ScrEffect.dat",
    "default\\database\\ScrEffect.dat",
    "data\\database\\Picture.dat",
    "default\\database\\Picture.dat",
    "data\\database\\Sound.dat",
    "default\\database\\Sound.dat",
    "data\\database\\Bgm.dat",
    "default\\database\\Bgm.dat",
    "data\\System.dat",
    "default\\System.dat",
    "data\\stg4\\c",
    "user_data\\story\\",
    "user_data\\challenge\\",
    "user_data\\free\\",
    "user_data\\story\\Story",
    "user_data\\challenge\\Challenge.dat",
    "user_data\\Option.dat",
    "user_data\\",
    "user_data\\KeyConfig.dat",
    "user_data\\Boot.dat",
};

const char* const g_ExtTable[EXT_TABLE_SIZE] = {"cplt4", "stg4", "plt4", "rkg"};

const char* const g_ColorNameTable[COLOR_NAME_TABLE_SIZE] = {
    "なし", "白", "黒", "赤", "緑", "青", "黄", "赤紫", "青紫", "4色", "",
};

const char* const g_DataFolders[DATA_FOLDER_COUNT] = {
    // clang-format off
    "user_data",         "user_data\\story", "user_data\\challenge", "user_data\\free",
    "user_data\\rpl4",   "data",             "data\\database",       "data\\stg4",
    "data\\stg4\\old_ver", "data\\work",     "data\\plt4",           "bmp",
    "bmp\\back",         "bmp\\chara_sp",    "bmp\\effect",          "bmp\\picture",
    "bmp\\sword",        "bmp\\convert",     "bmp\\plt",             "bmp\\hbt",
    "wave",              "bgm",
    // clang-format on
};

int CreateDefaultData() {
  if (plat::fs::isDirectory(g_PathTable[PATH_DATA])) return 1;
  if (!plat::fs::isDirectory(g_PathTable[PATH_DEFAULT])) return 0;
  int answer = ShowMessageBox("データが存在しません！デフォルトデータを作成しますか？\n", "デフォルトデータ作成の確認",
                              plat::mb::YesNo);
  if (answer != plat::answer::Yes) return 0;
  return plat::fs::copyTree(g_PathTable[PATH_DEFAULT], g_PathTable[PATH_DATA]) ? 1 : 0;
}
