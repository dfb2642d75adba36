// One displayed frame of play: the input (live or from the key log), the play time and
// the time limit, then the logic sub-steps (activation, lifetimes, the block characters,
// the player, the other characters, the shots, the erase passes, hits and pick-ups),
// and the drawing. A frame cut short by a death or the stage's end is not drawn.
#include <cstdint>

#include "base/AppGlobals.h"
#include "base/Log.h"
#include "base/Timer.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gamedata/Vocabulary.h"
#include "platform/trace.h"
#include "records/FrontendLinks.h"
#include "records/KeyLog.h"
#include "records/PlayRecord.h"
#include "sound/SoundTable.h"
#include "stage/ActorPhysics.h"
#include "stage/Chara.h"
#include "stage/Item.h"
#include "stage/Player.h"
#include "stage/StageScene.h"
#include "ui/Pad.h"

namespace {

constexpr std::int32_t MAX_PLAY_TIME = 599999;  // 1/100 s
constexpr int PLAYER_DEATH_SOUND = 8;
constexpr int CHARA_DEATH_SOUND = 9;

// The stage is over (cleared, or the last death): the results and the game-end phase.
void EndStage() { TheStage().EnterGameEnd(); }

// The hero's death, with its label (null: none) in the debug log and the trace; 1, the
// frame ends.
int PlayerDies(cPlayer& hero, const char* label) {
  if (label) {
    DebugPrintf("%s", label);
    if (plat::trace::Enabled()) plat::trace::Line("death label %s", label);
  }
  RequestSystemSound(PLAYER_DEATH_SOUND);
  if (hero.Die() == 1) EndStage();
  return 1;
}

// A crush (both contacts of an axis) is logged with the contacts.
bool IsCrushed(const cActor& a) {
  return (a.m_bContactLeft && a.m_bContactRight) || (a.m_bContactUp && a.m_bContactDown);
}

void LogContacts(const cActor& a) {
  DebugPrintf("Player[P1].LRUD = %d,%d,%d,%d", a.m_bContactLeft, a.m_bContactRight, a.m_bContactUp, a.m_bContactDown);
}

// Whether a character takes part in a character pass.
bool TakesPart(const cChara& c, bool bBlockPass) {
  return !c.m_bRemoved && !c.m_bDead && c.m_bExists && c.m_bActive && (c.m_Def.m_bBlockChara != 0) == bBlockPass;
}

// A stage outcome of a pass (0 go on, 1 cleared, 2 the hero dies); 1 when it ends the frame.
int ActOnOutcome(int r, cPlayer& hero) {
  if (r == OUTCOME_STAGE_CLEAR) {
    EndStage();
    return 1;
  }
  if (r == OUTCOME_PLAYER_DIES) return PlayerDies(hero, nullptr);
  return 0;
}

}  // namespace

void cStageScene::TickPlayTime() {
  if (m_nPlayTime >= MAX_PLAY_TIME) return;
  ++m_nPlayFrames;
  const std::int64_t t = static_cast<std::int64_t>(m_nPlayFrames) * 100 / 60;
  m_nPlayTime = static_cast<std::int32_t>(t < MAX_PLAY_TIME ? t : MAX_PLAY_TIME);
}

int cStageScene::TickTimeLimit(int nDelta) {
  if (m_bNoTimeLimit) return 0;
  // Whatever the stage's frame rate, a unit lasts 60 displayed frames.
  if (!CountFrames(1, 60)) return 0;
  const std::int64_t t = static_cast<std::int64_t>(m_nTimeLeft) + nDelta;
  if (t > 999) {
    m_nTimeLeft = 999;
    return 0;
  }
  if (t <= 0) {
    m_nTimeLeft = 0;
    return 1;
  }
  m_nTimeLeft = static_cast<std::int32_t>(t);
  return 0;
}

void cStageScene::Play() {
  if (m_bQuit.load()) {
    PostCloseRequest();
    return;
  }
  if (IsClosing() || g_Players.empty()) return;
  if (CheckPauseKey()) {
    m_nStep = 0;
    m_nPhase = STAGE_PHASE_PAUSE;
    return;
  }
  if (CheckReplaySaveKeys()) return;

  cPlayer& hero = g_Players[0];
  cPad& pad = g_Pads[0];
  if (CurrentGameMode() == GAME_MODE_REPLAY) {
    // The recorded words already carry the input locks and the button hold.
    pad.ClearDirection();
    pad.ClearButtons();
    std::uint16_t wDirection = 0, wButtons = 0;
    if (g_KeyLog.PlayFrame(&wDirection, &wButtons)) {
      g_PlayRecord.RestoreStageStart(1);
      SetStage(SET_STAGE_RESTART | SET_STAGE_MUSIC_RESTART);
      m_nPhase = STAGE_PHASE_START;
      return;
    }
    pad.m_wDirection = wDirection;
    pad.m_wButtons = wButtons;
    pad.m_nDirNumber = DirectionToNumber(pad);
    pad.PushHistory();
    pad.RecordCommandHistory();
  } else {
    // A press that was held into play (from a menu or a message) counts only once let go.
    if (pad.m_wButtons == 0) {
      m_bHoldButtons = 0;
    } else if (m_bHoldButtons) {
      pad.ClearButtons();
    }
    pad.PushHistory();
    pad.RecordCommandHistory();
    if (g_System.m_bRecordReplay) g_KeyLog.RecordFrame(pad.m_wDirection, pad.m_wButtons);
  }

  TickPlayTime();
  if (plat::trace::FramesEnabled())
    plat::trace::Line("play %d x %.17g y %.17g hp %d sp %d chars %d items %d shots %d view %.17g %.17g", m_nPlayFrames,
                      hero.m_dX, hero.m_dY, hero.m_nHp, hero.m_nSp, static_cast<int>(g_Charas.size()),
                      static_cast<int>(g_Items.size()), static_cast<int>(m_Shots.size()), m_ScrollX.m_dPos,
                      m_ScrollY.m_dPos);

  if (TickTimeLimit(-1) == 1 && !hero.m_bDead) {
    RequestSystemSound(PLAYER_DEATH_SOUND);
    if (hero.Die() == 1) EndStage();
    return;
  }

  hero.ResetFlowTriggerFlags();
  for (cChara& c : g_Charas)
    if (!c.m_bDead) c.ResetFlowTriggerFlags();

  if (g_SubSteps <= 0) {
    Draw(STAGE_DRAW_PLAY_FRAME);
    return;
  }
  if (PlayLogic()) return;
  Draw(STAGE_DRAW_PLAY_FRAME);
}

int cStageScene::PlayLogic() {
  for (int i = 1; i <= g_SubSteps; ++i) {
    m_nSubStep = i;
    ++m_nStepCount;
    m_bDeferRemovals = 1;
    const int bEnded = PlaySubStep();
    m_bDeferRemovals = 0;
    SweepRemovedCharas();
    if (bEnded) return 1;
  }
  return 0;
}

namespace {

// The removal of a character by the one removal routine; the node after it.
cVectorList<cChara>::iterator Remove(cStageScene& scene, cVectorList<cChara>::iterator it) {
  return scene.EraseChara(g_Charas, it);
}

// One character's turn in a character pass; 1 when the frame ends.
int CharaTurn(cStageScene& scene, cVectorList<cChara>::iterator it, bool bBlockPass) {
  cChara& c = *it;
  c.FireFlowTrigger(TRIGGER_ALWAYS);
  if (c.Update(0)) {
    // A character that vanished leaves without dying, a block character as well.
    if (c.m_bVanished) {
      Remove(scene, it);
      return 0;
    }
    const int r = scene.KillAndCheckEnd(c);
    if (g_System.m_bEndCheckRule && r != 1) {
      // It lies dead until its death animation has been drawn.
      RequestSystemSound(CHARA_DEATH_SOUND);
    } else {
      Remove(scene, it);
    }
    return r != 0 ? 1 : 0;
  }
  if (scene.m_bStatusChanged && scene.HpCheckPass()) return 1;
  if (c.m_bRemoved || c.m_bDead) return 0;
  if (!bBlockPass && c.m_bOnBlockChara) scene.CarryRider(c);

  bool bKilled = false, bLeaves = false;
  if (c.MoveX() == 4) bLeaves = true;
  if (scene.ResolveBlocksX(c) == 2) bKilled = true;
  c.ApplyGravity();
  const int nY = c.MoveY();
  if (nY == 7) bKilled = true;
  if (nY == 8) bLeaves = true;
  if (scene.ResolveBlocksY(c) == 2) bKilled = true;
  if (!bBlockPass) {
    if (scene.BlockCharaPass(c) == 2) bKilled = true;
    scene.RecheckBlocksX(c);
    scene.RecheckBlocksY(c);
    if (IsCrushed(c)) bKilled = true;
  }
  if (bKilled) {
    RequestSystemSound(CHARA_DEATH_SOUND);
    const int r = scene.KillAndCheckEnd(c);
    if (r == 1) Remove(scene, it);
    return r != 0 ? 1 : 0;
  }
  if (bLeaves) {
    Remove(scene, it);
    return 0;
  }
  c.DecayVelocityX();
  c.DecayVelocityY();
  return 0;
}

int CharaPass(cStageScene& scene, bool bBlockPass) {
  for (auto it = g_Charas.begin(); it != g_Charas.end(); ++it) {
    if (!TakesPart(*it, bBlockPass)) continue;
    if (CharaTurn(scene, it, bBlockPass)) return 1;
  }
  return 0;
}

// The player's turn; 1 when the frame ends.
int PlayerTurn(cStageScene& scene, cPlayer& hero) {
  hero.FireFlowTrigger(TRIGGER_ALWAYS);
  if (hero.Update(0)) return PlayerDies(hero, nullptr);
  if (scene.m_nEndRequest == 1) {
    EndStage();
    return 1;
  }
  if (scene.m_nEndRequest == 2) return PlayerDies(hero, nullptr);
  if (scene.m_bStatusChanged && scene.HpCheckPass()) return 1;
  if (ActOnOutcome(scene.ApplyFootBlock(hero), hero)) return 1;
  if (hero.m_bOnBlockChara) scene.CarryRider(hero);

  hero.MoveX();
  scene.ClampToScreenX(hero);
  if (scene.ResolveBlocksX(hero) == 2) return PlayerDies(hero, "Dead 1");
  scene.ClampToScreenX(hero);
  hero.ApplyGravity();
  if (hero.MoveY() == 7) return PlayerDies(hero, "Dead 2");
  if (scene.ClampToScreenY(hero) == 2) return PlayerDies(hero, "Dead 3");
  if (scene.ResolveBlocksY(hero) == 2) return PlayerDies(hero, "Dead 4");
  if (scene.ClampToScreenY(hero) == 2) return PlayerDies(hero, "Dead 5");

  // While the collision grace runs (a changed body, a block summoned onto it) no crush kills.
  const bool bGrace = hero.m_nBlockGraceSteps != 0;
  if (IsCrushed(hero) && !bGrace) {
    LogContacts(hero);
    hero.RestorePos();
    return PlayerDies(hero, "Dead SP");
  }
  if (scene.BlockCharaPass(hero) == 2 && !hero.m_bDead && !bGrace) return PlayerDies(hero, "Dead 6");
  if ((hero.m_bContactLeft || hero.m_bContactRight) && scene.RecheckBlocksX(hero) == 2 && !hero.m_bDead && !bGrace)
    return PlayerDies(hero, "Dead 7");
  if ((hero.m_bContactUp || hero.m_bContactDown) && scene.RecheckBlocksY(hero) == 2 && !hero.m_bDead && !bGrace)
    return PlayerDies(hero, "Dead 8");
  if (IsCrushed(hero) && !bGrace) {
    LogContacts(hero);
    hero.RestorePos();
    return PlayerDies(hero, "Dead 9");
  }
  hero.DecayVelocityX();
  hero.DecayVelocityY();
  return 0;
}

// Objects outside the stage's erase ranges leave (first sub-step of a frame only).
void ErasePasses(cStageScene& scene) {
  for (auto it = g_Charas.begin(); it != g_Charas.end();) {
    cChara& c = *it;
    const bool bBlock = c.m_Def.m_bBlockChara != 0;
    const bool bOn = bBlock ? scene.m_bEraseBlockCharas : scene.m_bEraseCharas;
    if (bOn && !c.m_bRemoved && !c.m_bDead && c.m_bExists && c.IsOutsideEraseRange(g_Stage.m_Params[bBlock ? 1 : 0])) {
      it = Remove(scene, it);
    } else {
      ++it;
    }
  }
  if (scene.m_bEraseItems)
    g_Items.remove_if([](const cItem& item) { return item.IsOutsideEraseRange(g_Stage.m_Params[2]); });
}

}  // namespace

int cStageScene::PlaySubStep() {
  cPlayer& hero = g_Players[0];
  hero.TickInvincibility();
  for (cChara& c : g_Charas)
    if (!c.m_bRemoved) c.TickInvincibility();
  ActivateObjects();

  if (!hero.m_bDead) {
    for (auto it = g_Charas.begin(); it != g_Charas.end();) {
      cChara& c = *it;
      if (!c.m_bRemoved && !c.m_bDead && c.m_nLifeSteps != UNLIMITED_LIFE && --c.m_nLifeSteps < 0) {
        it = EraseChara(g_Charas, it);
      } else {
        ++it;
      }
    }
    for (auto it = g_Items.begin(); it != g_Items.end();) {
      if (it->m_nLifeSteps != UNLIMITED_LIFE && --it->m_nLifeSteps < 0) {
        it = g_Items.erase(it);
      } else {
        ++it;
      }
    }
  }

  hero.ClearContacts();
  for (cChara& c : g_Charas) c.ClearContacts();
  hero.SavePos();
  hero.KeepPrevFacing();
  hero.KeepPrevFootBlock();
  for (cChara& c : g_Charas) c.SavePos();
  m_ScrollX.Step();
  m_ScrollY.Step();

  if (!hero.m_bDead && CharaPass(*this, true)) return 1;
  if (!hero.m_bDead && PlayerTurn(*this, hero)) return 1;
  if (!hero.m_bDead && CharaPass(*this, false)) return 1;
  // F: the shots.
  ShotPass();
  if (m_nSubStep == 1 && !hero.m_bDead) ErasePasses(*this);
  if (hero.m_bDead) return 0;
  if (ActOnOutcome(ApplyItemBlock(hero), hero)) return 1;
  if (ActOnOutcome(HitPass(), hero)) return 1;
  if (ActOnOutcome(ItemPickUpPass(hero), hero)) return 1;
  return 0;
}
