// The fixed relative paths of a project's files and of the user's files, the extensions
// of the kit's own file kinds, and the rebuilding of "data\" from "default\".
#pragma once

inline constexpr int PATH_TABLE_SIZE = 47;
inline constexpr int EXT_TABLE_SIZE = 4;
inline constexpr int COLOR_NAME_TABLE_SIZE = 11;
inline constexpr int DATA_FOLDER_COUNT = 22;

// Entries of g_PathTable that the player reads.
enum : int {
  PATH_DATA = 0,
  PATH_DEFAULT = 1,
  PATH_COMMON_PALETTE = 7,
  PATH_WORLD_MAP = 13,
  PATH_ANIME_SET = 15,  // the ten databases: 15, 17, ..., 33
  PATH_BGM_DATABASE = 33,
  PATH_SYSTEM = 35,
  PATH_CHALLENGE_STAGE = 37,
  PATH_RANKING_STORY = 38,  // ranking folder of game mode m: 38 + m
  PATH_STORY_SLOT = 41,
  PATH_CHALLENGE = 42,
  PATH_OPTION = 43,
  PATH_USER_DATA = 44,
  PATH_KEY_CONFIG = 45,
  PATH_BOOT = 46,
};

enum : int { EXT_COMMON_PALETTE = 0, EXT_STAGE = 1, EXT_PALETTE = 2, EXT_RANKING = 3 };

extern const char* const g_PathTable[PATH_TABLE_SIZE];
extern const char* const g_ExtTable[EXT_TABLE_SIZE];
// Colour names of the editor; ends with an empty name.
extern const char* const g_ColorNameTable[COLOR_NAME_TABLE_SIZE];
// The folders start-up makes where they are missing, in this order.
extern const char* const g_DataFolders[DATA_FOLDER_COUNT];

// 1 when "data\" exists afterwards. When it is missing and "default\" exists, asks the
// user and copies "default\" as "data\"; a copy that fails leaves no "data\".
int CreateDefaultData();
