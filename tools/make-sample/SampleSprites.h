// The sample's sprites, each drawn by code into a cell of its own: characters facing
// left, blocks, items, shots and emblems. Cells that no sample object uses carry their
// number, so a picture taken from a wrong cell shows at once.
#pragma once
#include <cstdint>
#include <string>

#include "Canvas.h"

namespace sample {

// Character images (rows of the character sheet); image 0 is the fallback cell.
enum CharaImage : int { CHARA_NONE = 0, CHARA_HERO = 1, CHARA_WALKER = 2, CHARA_FLYER = 3, CHARA_BOSS = 4 };
// Block images; 0 is the empty cell.
// clang-format off
enum BlockImage : int { BLOCK_GRASS = 1, BLOCK_DIRT, BLOCK_BRICK, BLOCK_STONE, BLOCK_QUESTION, BLOCK_PLANK,
                        BLOCK_ICE, BLOCK_SPIKES, BLOCK_CLOUD };
// Item images; 0 is the empty cell.
enum ItemImage : int { ITEM_COIN = 1, ITEM_GOAL, ITEM_HEART, ITEM_STAR, ITEM_KEY, ITEM_GEM, ITEM_POTION,
                       ITEM_EXTRA_LIFE, ITEM_CLOCK };
// clang-format on

// One 32 x 32 cell of character image `image` at column `column` of its row.
Canvas CharaCell(int image, int column);
Canvas BlockCell(int n);
// Frame 0 or 1 of item n, 32 x 32.
Canvas ItemCell(int n, int frame);
// A 16 x 16 shot: column pair `pair` (0-3) of row `row` (0-29), frame 0 or 1.
Canvas ShotCell(int row, int pair, int frame);
Canvas MarkCell(int n);

// Half size (every 2 x 2 dots become one, opaque dots win).
Canvas HalfSize(const Canvas& c);
// Darkens the transparent dots that touch the drawing, so a sprite reads on any ground.
void Outline(Canvas& c, std::uint8_t colour);
// A cell that shows its number: a framed tile in the ramp's colours.
Canvas NumberedCell(int w, int h, int n, Ramp ramp);

}  // namespace sample
