// The sample's ten databases: the hero's animation set, an action animation, a sword, a
// hit effect, a blinking character effect, a screen shake, a picture, six sounds and six
// pieces of music.
#pragma once
#include "gamedata/Database.h"

namespace sample {

class ProjectWriter;

// Database entries the sample's records use.
enum : int { ANIME_SET_HERO = 1, EFFECT_HIT = 1, CHARA_EFFECT_ENTRY_BLINK = 1, SCR_EFFECT_ENTRY_SHAKE = 1 };
enum : int { ANIME_ACTION = 1, SWORD_TYPE_SLASH = 0, PICTURE_SIGN = 1 };
enum : int { SOUND_JUMP = 1, SOUND_COIN = 2, SOUND_GOAL = 3, SOUND_BOSS_SHOT = 4, SOUND_SUMMON = 5, SOUND_HEAL = 6 };

void BuildDatabase(cEdDatabase& db);
// Writes the ten files under "default\database\"; false at the first that fails.
void SaveDatabase(cEdDatabase& db, ProjectWriter& w);

}  // namespace sample
