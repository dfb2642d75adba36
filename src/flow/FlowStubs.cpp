#include "flow/FlowStubs.h"

#include <algorithm>
#include <cstdint>

#include "platform/sys.h"
#include "stage/Actor.h"

namespace flowstub {

int g_nSightMaskBuilds = 0;

bool IsInvincible(const cActor& actor) { return actor.m_Def.m_nInvincible != 0 || actor.m_nInvincibleSteps > 0; }

void MakeSightMask(cStageScene&) { ++g_nSightMaskBuilds; }

}  // namespace flowstub
