// The sample's later stages: the windy bridge that scrolls by itself, the boss's hall,
// the two challenge stages and the gallery, with the definitions they bring.
#pragma once
#include "gamedata/Palette.h"
#include "gamedata/Stage.h"

namespace sample {

inline constexpr const char* SKY_STAGE_FILE = "default\\stg4\\Stage03-1.stg4_001";
inline constexpr const char* BOSS_STAGE_FILE = "default\\stg4\\Stage04-1.stg4_001";
inline constexpr const char* CHALLENGE2_STAGE_FILE = "default\\stg4\\c02-1.stg4_001";
inline constexpr const char* GALLERY_STAGE_FILE = "default\\stg4\\Gallery-1.stg4_001";

inline constexpr int SKY_WIDTH = 80;
inline constexpr int BOSS_WIDTH = 20;
inline constexpr int BOSS_HP = 60;
inline constexpr int CHALLENGE1_WIDTH = 48;
inline constexpr int CHALLENGE2_WIDTH = 56;
// Entries of the common palette's lists that summons and item commands name.
inline constexpr int COMMON_WALKER = 1;
inline constexpr int COMMON_COIN = 1;
inline constexpr int COMMON_GOAL = 2;
inline constexpr int COMMON_HEART = 3;

// The hero of the later stages: it also fires upward with up and button 2.
cEdChara HeroDef2();
cEdChara FlyerDef();
cEdChara BossDef();
// Blocks that push whoever stands on them left or right, and a cloud that slows them.
cEdBlock BeltDef(bool bRight);
cEdBlock CloudDef();
// Items: a heart that gives one HP back (taken any number of times) and a clock that
// adds time.
cEdItem HeartDef();
cEdItem ClockDef();

void BuildSkyStage(cEdStage& stage);
void BuildBossStage(cEdStage& stage);
void BuildChallenge1(cEdStage& stage);
void BuildChallenge2(cEdStage& stage);
void BuildGallery(cEdStage& stage);

}  // namespace sample
