// Look-up of the stage's actors by serial number: links that must outlive a frame keep
// the serial and find the actor again, so a removed character leaves nothing dangling.
#pragma once
#include <cstdint>

class cActor;

// The player (every element of g_Players in order) first, then the characters in list
// order; the first whose serial matches, or null.
cActor* FindCharaById(std::int32_t nSerial);
