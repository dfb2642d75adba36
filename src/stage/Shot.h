// cShot: a flying shot or a sword. A shot that steers toward an actor keeps it in
// m_pTarget and is listed in that actor's m_AimingShots exactly while the pointer is
// set. Its other members and operations come with the shot code.
#pragma once
#include <cstdint>

#include "stage/GameObject.h"

class cActor;

class cShot : public cGameObject {
 public:
  std::int32_t m_bIsShot = 0;    // 1 a shot, 0 a sword
  cActor* m_pTarget = nullptr;   // not owned
};
