// The action commands: shot, sword and the three summons (the jump is with the moves). The shot and summon
// commands act in their first step and again every tenth of a second while they run; a
// sword swings once per run. Their sound plays with the action, or not at all while the
// actor is off screen when the command asks for that.
#include "flow/CommandTables.h"
#include "gamedata/Database.h"
#include "sound/SoundTable.h"
#include "stage/Actor.h"
#include "stage/ActorPhysics.h"
#include "stage/FlowRuntime.h"
#include "stage/Shot.h"
#include "stage/StageScene.h"

namespace {

void PlaySound(cActor& actor, const cEdCommand& command) {
  if (command.m_bSoundOnScreen && !actor.m_bOnScreen) return;
  RequestSound(command.m_nSound);
}

// Acts at step 0 and every 6 x sub-steps after it.
template <void (*Body)(cActor&, cCommandRuntime&, const cEdShot&)>
int ExecRepeating(cActor& actor, cCommandRuntime& runtime) {
  const cEdCommand* pCommand = runtime.m_pCommand;
  if (!pCommand) return 0;
  if (runtime.m_nCounter == 0) {
    PlaySound(actor, *pCommand);
    if (pCommand->m_pShot) Body(actor, runtime, *pCommand->m_pShot);
  }
  if (++runtime.m_nCounter >= 6 * g_SubSteps) runtime.m_nCounter = 0;
  return 0;
}

}  // namespace

int ExecShot(cActor& actor, cCommandRuntime& runtime) { return ExecRepeating<FireShot>(actor, runtime); }
int ExecSummonBlock(cActor& actor, cCommandRuntime& runtime) { return ExecRepeating<SummonBlock>(actor, runtime); }
int ExecSummonChara(cActor& actor, cCommandRuntime& runtime) { return ExecRepeating<SummonChara>(actor, runtime); }
int ExecSummonItem(cActor& actor, cCommandRuntime& runtime) { return ExecRepeating<SummonItem>(actor, runtime); }

int ExecSword(cActor& actor, cCommandRuntime& runtime) {
  const cEdCommand* pCommand = runtime.m_pCommand;
  if (!pCommand) return 0;
  if (runtime.m_nCounter == 0 && pCommand->m_pShot) {
    PlaySound(actor, *pCommand);
    const cEdShot& payload = *pCommand->m_pShot;
    const cEdSwordType& type = g_Database.m_SwordTypes[static_cast<std::int8_t>(payload.m_nMotion)];
    const cEdSwordEntry& first = type.m_Entries[0];
    SHOTSPAWN rec;
    rec.nWidth = first.m_nWidth;
    rec.nHeight = first.m_nHeight;
    cStageScene& scene = TheStage();
    cShot sword;
    sword.Init(scene.m_nNextShotId, actor, CMD_SWORD, payload, rec);
    scene.AddShot(sword);  // the copy follows no target
    ++scene.m_nNextShotId;
  }
  ++runtime.m_nCounter;
  return 0;
}
