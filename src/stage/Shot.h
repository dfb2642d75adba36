// cShot: a flying shot or a sword. A shot that steers toward an actor keeps it in
// m_pTarget and is listed in that actor's m_AimingShots exactly while the pointer is
// set. Its other members and operations come with the shot code.
#pragma once
#include <cstdint>

#include "gamedata/Shot.h"
#include "stage/GameObject.h"

class cActor;

class cShot : public cGameObject {
 public:
  std::int32_t m_bIsShot = 0;    // 1 a shot, 0 a sword
  cActor* m_pTarget = nullptr;   // not owned
  cEdShot m_Shot;                // own copy of the payload
  double m_dAtkLeft = 0.0;       // the attack box in stage pixels
  double m_dAtkTop = 0.0;
  double m_dAtkRight = 0.0;
  double m_dAtkBottom = 0.0;
};
