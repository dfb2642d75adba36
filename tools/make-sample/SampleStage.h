// The sample's definitions and its first stage: a ground of blocks, a platform and steps,
// the hero with walking and jumping flows, a walking enemy, coins and a goal that clears
// the stage. The same definitions fill the common palette.
#pragma once
#include "gamedata/Palette.h"
#include "gamedata/Stage.h"

namespace sample {

// Stage files as the player finds them: the two story stages (their first parts) and
// challenge stage 1, all written into "default\stg4\".
inline constexpr const char* STORY_STAGE_FILE = "default\\stg4\\Stage01-1.stg4_001";
inline constexpr const char* STORY_STAGE2_FILE = "default\\stg4\\Stage02-1.stg4_001";
inline constexpr const char* CHALLENGE_STAGE_FILE = "default\\stg4\\c01-1.stg4_001";

inline constexpr int STAGE_WIDTH = 40;
inline constexpr int STAGE_HEIGHT = 15;
// Sides of the placed characters: the hero's and the enemies'.
inline constexpr int SIDE_HERO = 0;
inline constexpr int SIDE_ENEMY = 1;

cEdBlock BlockDef(int image);
cEdChara HeroDef();
cEdChara WalkerDef();
cEdItem CoinDef();
cEdItem GoalDef();

// Element 0 of each list stays the empty definition.
void BuildCommonPalette(cEdPalette& palette);
// Build into g_Stage: saving checks the placed objects against the stage being played.
void BuildStage(cEdStage& stage);

}  // namespace sample
