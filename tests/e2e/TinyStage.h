// Tiny stages for the end-to-end play tests, written with the project's own record
// classes into a fresh copy of the sample project: the sample's definitions (the hero
// with its walking and jumping flows, the walker, a solid block, a coin) are the parts a
// test places on an empty stage.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "gamedata/Block.h"
#include "gamedata/Chara.h"
#include "gamedata/Command.h"
#include "gamedata/Item.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"

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
// Widens the stage to nWidth cells, its view scrolling by itself sideways at nSpeed tenths
// of a pixel a frame (0: standing until the stage's settings change).
void MakeAutoScrolling(cEdStage& stage, int nWidth, int nSpeed);

// A flow command as given (not normalised): type, time, parameters and text.
cEdCommand MakeCommand(int type, int time, std::vector<std::int32_t> params, const char* text = "");
// An item command (type as the flow commands number it), normalised as the editor saves it.
cEdCommand ItemCommand(int type, std::vector<std::int32_t> params);
// The item commands "the stage's score + n" and "stage clear, with the result".
cEdCommand ScorePlus(int n);
cEdCommand ClearStage();
// A stage on which the hero stands on a goal at once: it gives nScore and clears (the
// clear caption and the result shown, all five quantities ranked). stage edits the stage
// further; project changes the project's settings, saved with the stage.
bool WriteGoalStage(const std::filesystem::path& game, const std::string& name, int nScore,
                    const std::function<void(cEdStage&)>& stage = {},
                    const std::function<void(cEdSystem&)>& project = {});
// Gives the hero of the sample's first stage (placed and in the palette) a flow that runs
// at once: the commands, then a long wait, so that it runs once in a test. The stage is
// saved in place; false when a step failed or there is no hero.
bool GiveHeroFlow(const std::filesystem::path& game, std::vector<cEdCommand> commands);

}  // namespace e2e
