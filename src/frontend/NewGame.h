// The start of a new story game.
#pragma once

// Makes g_PlayRecord a new story game: the common reset, the hero on the world map's
// start cell in round 0, and the story mode's lives (one of them taken at once).
void NewGame();
