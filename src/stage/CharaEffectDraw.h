// How an actor's running character effect turns its cell into pixels: one routine per
// effect kind (kind 0 is the plain blit), each drawing the cell through one of the
// software effects and then advancing the effect by a frame.
#pragma once
#include "gamedata/CharaEffect.h"

class cActor;
class cImageRef;
struct DDSURFACEDATA;

// (actor, target, image reference of the cell, frozen, draw): draws only when draw is 1;
// 1 when the effect has ended.
using CharaEffectDrawer = int (*)(cActor& actor, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw);
extern const CharaEffectDrawer g_CharaEffectDrawers[CHARA_EFFECT_KIND_COUNT];

// The actor's cell at its drawn place through the routine of its running effect (the
// plain blit when none runs); an effect that ends here is cleared, and the next frame
// draws plainly. 1 when it ended.
int DrawWithCharaEffect(cActor& actor, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen);
// The running effect advanced without drawing (a hidden actor); cleared when it ends.
int TickCharaEffect(cActor& actor, int bFrozen);
