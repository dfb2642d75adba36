// Tiny stages for the end-to-end play tests, written with the project's own record
// classes into a fresh copy of the sample project: the sample's definitions (the hero
// with its walking and jumping flows, the walker, a solid block, a coin) are the parts a
// test places on an empty stage.
#pragma once
#include <filesystem>
#include <functional>
#include <string>

#include "gamedata/Block.h"
#include "gamedata/Chara.h"
#include "gamedata/Item.h"
#include "gamedata/Stage.h"

namespace e2e {

struct StageParts {
  cEdChara hero;
  cEdChara walker;
  cEdBlock block;  // solid, drawn
  cEdItem coin;
};

// Loads the databases, the settings and the common palette of game (with "data\"
// present), then the sample stage; hands edit the stage emptied of blocks, characters
// and items (20 x 15 cells, no captions, no time limit, no music) with the sample's
// parts, and saves the result as "data\stg4\<name>.stg4_001". False when a step failed.
bool WriteTinyStage(const std::filesystem::path& game, const std::string& name,
                    const std::function<void(cEdStage&, const StageParts&)>& edit);

// Placing helpers: a copy of a definition at stage cell (x, y).
cEdBlock BlockAt(const cEdBlock& def, int x, int y);
cEdChara CharaAt(const cEdChara& def, int x, int y);
cEdItem ItemAt(const cEdItem& def, int x, int y);

}  // namespace e2e
