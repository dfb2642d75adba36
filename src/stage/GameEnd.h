// The arithmetic of a stage's end that needs no running scene: the extra lives a score
// earns, the lives an extra life gives and where the ranking key's parts are found.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The most lives an extra life brings the count to.
inline constexpr std::int32_t MAX_EXTRA_LIVES = 99;
// Frames the stage stands still for each extra life.
inline constexpr int EXTRA_LIFE_FRAMES = 30;
// The game-end counter from which the result may be left (the clear caption adds 4 a frame).
inline constexpr int GAME_END_FRAMES = 200;

// Score steps of nStep crossed on the way from nOld to nNew (0 when nStep is not above 0
// or the total did not grow past a step).
int ExtraLifeSteps(std::int32_t nOld, std::int32_t nNew, std::int32_t nStep);
// The lives after one extra life: one more, up to 99; a count already at or above 99 stays.
std::int32_t AddExtraLife(std::int32_t nLives);
// The file name of part n of a numbered stage with this ranking key ("data\stg4\c01."
// gives "data\stg4\c01-n.stg4"), before it is completed to its newest numbered file.
std::string PartFileName(std::string_view stageKey, int nPart);
// The ranking registration mode of the options, 0 to 3: 0 and 2 ask for the name, 1 and 3
// take the options' name; 0 and 1 register on F3 during the game end, 2 and 3 on confirm.
int RegistrationMode();
