// The drawing of an actor's running character effect: the routine of the effect's kind
// turns its current value into the arguments of a software effect, draws the actor's
// cell with it (when bDraw is 1) and, unless frozen, advances the effect by a frame.
#pragma once

class cActor;
class cImageRef;
struct DDSURFACEDATA;

// The kind of the actor's running effect; 0 when none runs.
int CharaEffectKind(const cActor& actor);
// Draws the actor's cell through its running effect; 1 when the effect has ended.
// Kind 0 is the plain cell and never ends. target may be null when bDraw is 0.
int DrawCharaEffect(cActor& actor, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw);
