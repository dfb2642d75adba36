// The sample's music: short generated tunes as standard MIDI files (format 0, one track).
#pragma once
#include <string>
#include <vector>

namespace sample {

struct MusicFile {
  std::string path;   // program form, relative to the project folder
  std::string bytes;  // the whole SMF file
};

// The default music of the player's scenes ("bgm\Title.mid" ... "bgm\Stage.mid").
std::vector<MusicFile> SampleMusic();

// The music database's files, entry 1 on.
const std::vector<std::string>& DatabaseMusicPaths();
// Music database entries of the scenes and of the sample stage.
enum : int { BGM_TITLE = 1, BGM_WORLD_MAP = 2, BGM_STAGE = 3, BGM_CHALLENGE = 4, BGM_OPTION = 5, BGM_BOSS = 6 };

}  // namespace sample
