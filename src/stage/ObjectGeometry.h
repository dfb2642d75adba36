// Geometry shared by the passes, the movement commands and the shot steering: wave
// offsets, the velocity toward a point, list look-ups of actors and the choice of a
// sheet's variant. The operations on one object are members of cGameObject and cActor.
#pragma once
#include <cstdint>

#include "base/Vector.h"

class cActor;
class cGameObject;

inline constexpr double SQRT2 = 1.4142135623730951;
inline constexpr double HALF_SQRT2 = 0.7071067811865476;  // also 1 / sqrt 2
inline constexpr double DEG_TO_RAD = 0.017453292519943295;

bool IdListContains(const cVector<cActor*>& list, const cActor* pActor);

// Offset (and its second derivative) of a wave of radius r advancing by step per
// sub-step; the phase wraps at 360 x the sub-step count.
double WaveOffset(int r, int nFactor, double& dPhase, double dStep, double dOffset);
double WaveAccel(int r, int nFactor, double& dPhase, double dStep, double dOffset);

// Velocity from (x0, y0) toward (x1, y1) at speed s, compensated for the automatic
// scroll as pActor's carriage needs; turn receives the facing request (0 none, 1 left,
// 2 right). A negative speed flees when bNoFlee is clear. 1 when bArrival is set and
// the point lies within one step on both axes.
int AimVelocity(double& vx, double& vy, std::int32_t& turn, const cGameObject* pActor, double x0, double y0, double x1,
                double y1, double s, int bCarried, int bNoFlee, int bArrival);

// Characters of a per-side list.
cActor* FindChara(const cVectorList<cActor*>& list, int bUseId, int nId, int bExcludeSerial, int bExcludeStatus1,
                  int bExcludeStatus2, int bExcludeBlockCharas, int nSerial);
cActor* FindTargetChara(int x, int y, const cVectorList<cActor*>& list, int nMode, int bUseId, int nId,
                        int bExcludeSerial, int bExcludeStatus1, int bExcludeStatus2, int bExcludeBlockCharas,
                        int nSerial);
cActor* FindNearestChara(int x, int y, const cVectorList<cActor*>& list);

// Entry a of the fixed bitmap table, or its twin a + 18 where DirectDraw needs it.
int ChooseSheetVariant(int a, int bStretched);
