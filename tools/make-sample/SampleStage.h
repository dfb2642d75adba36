// The sample's definitions and its story stages. The first: a ground of blocks, a platform
// and steps, the hero with walking and jumping flows, a walking enemy, coins and a goal
// that clears the stage. The same definitions fill the common palette.
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
// The second story stage: its width, the column of its open pit (two wide), of its spring
// and of the walker that comes for the hero first.
inline constexpr int STAGE2_WIDTH = 60;
inline constexpr int STAGE2_PIT = 14;
inline constexpr int STAGE2_SPRING = 24;
inline constexpr int STAGE2_FIRST_WALKER = 9;
// What a coin adds to the stage score.
inline constexpr int COIN_POINTS = 10;
// Sides of the placed characters: the hero's and the enemies'.
inline constexpr int SIDE_HERO = 0;
inline constexpr int SIDE_ENEMY = 1;

cEdBlock BlockDef(int image);
// A block that throws the hero high, and spikes that kill it.
cEdBlock SpringDef();
cEdBlock SpikesDef();
cEdChara HeroDef();
cEdChara WalkerDef();
cEdItem CoinDef();
cEdItem GoalDef();

// Element 0 of each list stays the empty definition.
void BuildCommonPalette(cEdPalette& palette);
// Build into g_Stage: saving checks the placed objects against the stage being played.
void BuildStage(cEdStage& stage);
// The second story stage: a walker at once, an open pit, a spring before a high wall, a
// pit of spikes, more walkers and the goal.
void BuildStage2(cEdStage& stage);

}  // namespace sample
