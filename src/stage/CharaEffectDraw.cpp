#include "stage/CharaEffectDraw.h"

#include "gamedata/CharaEffect.h"
#include "stage/Actor.h"

int CharaEffectKind(const cActor& actor) {
  const cCharaEffectState& effect = actor.m_CharaEffect;
  if (effect.m_nIndex == 0 || !effect.m_pEffect) return 0;
  return effect.m_pEffect->m_nKind;
}

int DrawCharaEffect(cActor& actor, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw) {
  if (bDraw && target) actor.DrawCell(target, ref);
  // The distortions of kinds 1 to 16 are not drawn yet: such an effect shows the plain
  // cell and ends at its first unfrozen frame, so a dying character still leaves.
  return CharaEffectKind(actor) != 0 && !bFrozen ? 1 : 0;
}
