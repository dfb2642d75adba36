// The sample's system settings: a palette project with two challenge stages, text menus,
// the sample's system sounds and scene music, and Direct3D in a window by default.
#pragma once
#include "gamedata/System.h"

namespace sample {

inline constexpr const char* GAME_TITLE = "サンプルクエスト";

void BuildSystem(cEdSystem& system);

}  // namespace sample
