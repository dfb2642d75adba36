#include "SampleDatabase.h"
#include "SampleMoreStages.h"
#include "SampleMusic.h"
#include "SampleParts.h"
#include "SampleSprites.h"
#include "SampleStage.h"

namespace sample {

namespace {

// Where a shot or summon command puts its elements, how they fly and what they do.
cEdCommand FireCommand(int type, int formation, int count, int direction, int speed, int graphic) {
  cEdCommand c;
  c.m_nSet = 0;
  c.m_nType = static_cast<std::int8_t>(type);
  c.m_nTime = 1;  // one volley
  c.NewShot();
  cEdShot& p = *c.m_pShot;
  p.m_nFormation = static_cast<std::int8_t>(formation);
  p.m_nGroupCount = static_cast<std::int8_t>(count);
  p.m_nDirection = static_cast<std::int8_t>(direction);
  p.m_nSpeed = static_cast<std::int16_t>(speed);
  p.m_nGraphic = static_cast<std::int16_t>(graphic);
  p.m_nPower = 1;
  p.m_nHitEffect = EFFECT_HIT;
  p.m_bTimeLimit = 1;
  p.m_nLife = 40;  // four seconds at most
  c.Normalize();
  return c;
}

// A yellow star of the shot sheet (pair 1, row 2).
constexpr int SPARK_GRAPHIC = 32;

// Aims at the hero: the shots of the boss that fan out toward it need a target.
cEdCommand TargetHero() { return Command(0, CMD_TARGET, {0, SIDE_HERO, 0, 1, 1, 0, 0, 0, 0, 0}); }

}  // namespace

cEdChara HeroDef2() {
  cEdChara hero = HeroDef();
  // Up and button 2 together fire straight up as well, every tenth of a second.
  cEdFlow up = NewFlow();
  cEdKeyCondition keys = KeyHeld(KEY_UP);
  keys.m_KeyStates[KEY_BUTTON2] = 1;
  up.m_KeyConditions.push_back(keys);
  up.m_bKeyContinuous = 1;
  cEdCommand shot = FireCommand(CMD_SHOT, 0, 1, MOVE_UP, 60, 1);
  shot.m_pShot->m_nHitEffect = 0;
  shot.m_pShot->m_bTimeLimit = 0;
  shot.m_pShot->m_nLife = 0;
  up.m_Commands.push_back(shot);
  hero.m_Flows.push_back(up);
  return hero;
}

cEdChara BossDef() {
  cEdChara boss;
  boss.m_strText = "カブトキング";
  boss.m_nOperator = 1;
  boss.m_nImage = CHARA_BOSS;
  boss.m_nImageSheet = 1;
  boss.m_nAnimeSet = ANIME_SET_HERO;
  boss.m_nFacing = 0;
  boss.m_bFixedFacing = 0;
  boss.m_nFlying = 2;  // flies, stopped by walls
  boss.m_nScale = 2;
  boss.m_nMaxHP = BOSS_HP;
  boss.m_nBodyPower = 1;
  boss.m_nBodyHitEffect = EFFECT_HIT;
  boss.m_nScore = 5000;
  boss.m_nCarriedItem = -1;

  // The round: a loop in the air, a fan of five shots at the hero, a spark dropped onto
  // the hero, a walker called down with a quake, a charge at the hero, a ring of eight
  // shots with a flash, a rest.
  cEdFlow round = NewFlow();
  round.m_Commands.push_back(TargetHero());
  cEdCommand loop = MoveCommand(CMD_MOVE_CIRCLE, 25, 1, 0);
  loop.m_pMove->m_nAngle = 90;
  loop.m_pMove->m_nDistance = 450;
  loop.m_pMove->m_nRadius = 5;
  round.m_Commands.push_back(loop);
  cEdCommand fan = FireCommand(CMD_SHOT, 2, 5, MOVE_FORWARD, 35, 5);
  fan.m_pShot->m_bAimAtTarget = 1;
  fan.m_pShot->m_nFormationValues[0] = 20;  // degrees between neighbours
  fan.m_nSound = SOUND_BOSS_SHOT;
  round.m_Commands.push_back(fan);
  round.m_Commands.push_back(Command(0, CMD_WAIT, {}, 8));
  // A big spark drops from the top of the screen through the hero's middle, through
  // blocks too: no ledge or corner shelters a hero that stands still.
  cEdCommand spark = FireCommand(CMD_SHOT, 3, 1, MOVE_DOWN, 60, SPARK_GRAPHIC);
  spark.m_pShot->m_nFormationValues[1] = 1;  // one row
  spark.m_pShot->m_nSize = 2;
  spark.m_pShot->m_nBlockMode = 1;  // through blocks
  spark.m_nSound = SOUND_BOSS_SHOT;
  round.m_Commands.push_back(spark);
  cEdCommand call = FireCommand(CMD_SUMMON_CHARA, 0, 1, MOVE_DOWN, 0, 0);
  call.m_pShot->m_nSummonPalette = 0;  // the common palette's walker
  call.m_pShot->m_nSummon = COMMON_WALKER;
  call.m_pShot->m_nSummonLayer = 1;  // on the boss's side
  call.m_pShot->m_nSetting57 = 1;    // worth no score
  call.m_nSound = SOUND_SUMMON;
  round.m_Commands.push_back(call);
  round.m_Commands.push_back(Command(0, CMD_SCR_EFFECT, {SCR_EFFECT_ENTRY_SHAKE, 0, 0}));
  cEdCommand charge = MoveCommand(CMD_MOVE_CHARGE, 12, MOVE_FORWARD, 45);
  round.m_Commands.push_back(charge);
  cEdCommand back = MoveCommand(CMD_MOVE_STRAIGHT, 10, MOVE_UP, 20);
  round.m_Commands.push_back(back);
  cEdCommand ring = FireCommand(CMD_SHOT, 4, 8, MOVE_LEFT, 25, 21);
  ring.m_nSound = SOUND_BOSS_SHOT;
  round.m_Commands.push_back(ring);
  // A flash twice the hit effect's size on the boss.
  round.m_Commands.push_back(Command(0, CMD_EFFECT, {EFFECT_HIT, 1, 0, 0, 0, 0, 200, 0}));
  round.m_Commands.push_back(Command(0, CMD_WAIT, {}, 10));
  boss.m_Flows.push_back(round);

  // Hurt: it blinks.
  cEdFlow hurt = NewFlow();
  hurt.m_nTrigger = 1;
  hurt.m_Commands.push_back(Command(0, CMD_CHARA_EFFECT, {CHARA_EFFECT_ENTRY_BLINK, 0, 1}));
  boss.m_Flows.push_back(hurt);

  // Beaten: the music stops, a big flash, and it drops to the middle of the floor to
  // leave the goal within the hero's reach.
  cEdFlow beaten = NewFlow();
  beaten.m_nTrigger = 3;
  beaten.m_Commands.push_back(Command(0, CMD_BGM, {0, 0}));
  cEdCommand drop = MoveCommand(CMD_WARP, 0, MOVE_FORWARD, 0);
  drop.m_pMove->m_nMode = 2;       // to coordinates
  drop.m_pMove->m_nCoordMode = 1;  // a cell of the stage
  drop.m_pMove->m_nCellX = BOSS_WIDTH / 2 - 1;
  drop.m_pMove->m_nCellY = 11;
  beaten.m_Commands.push_back(drop);
  beaten.m_Commands.push_back(Command(0, CMD_EFFECT, {EFFECT_HIT, 1, 0, 0, 0, 0, 400, 0}));
  cEdCommand goal = FireCommand(CMD_SUMMON_ITEM, 0, 1, MOVE_DOWN, 0, 0);
  goal.m_pShot->m_nSummonPalette = 0;
  goal.m_pShot->m_nSummon = COMMON_GOAL;
  beaten.m_Commands.push_back(goal);
  // A death flow gets one step: its commands must all start at once.
  for (cEdCommand& c : beaten.m_Commands) c.m_bParallel = 1;
  boss.m_Flows.push_back(beaten);
  return boss;
}

void BuildBossStage(cEdStage& stage) {
  StageBasics(stage, "カブトキングの城", BOSS_WIDTH, STAGE_HEIGHT);
  stage.m_nBgm = BGM_BOSS;
  // A hall of one screen: stone walls, floor and ceiling, two ledges to jump onto.
  for (int x = 0; x < BOSS_WIDTH; ++x) {
    PlaceBlock(stage, BlockDef(BLOCK_STONE), x, 0);
    PlaceBlock(stage, BlockDef(BLOCK_STONE), x, 13);
    PlaceBlock(stage, BlockDef(BLOCK_STONE), x, 14);
  }
  for (int y = 1; y <= 12; ++y) {
    PlaceBlock(stage, BlockDef(BLOCK_STONE), 0, y);
    PlaceBlock(stage, BlockDef(BLOCK_STONE), BOSS_WIDTH - 1, y);
  }
  for (int x = 3; x <= 6; ++x) PlaceBlock(stage, BlockDef(BLOCK_BRICK), x, 9);
  for (int x = 13; x <= 16; ++x) PlaceBlock(stage, BlockDef(BLOCK_BRICK), x, 9);

  PlaceChara(stage, HeroDef2(), SIDE_HERO, 2, 12);
  PlaceChara(stage, BossDef(), SIDE_ENEMY, 14, 6);
  for (int x : {4, 15}) PlaceItem(stage, CoinDef(), x, 8);
}

}  // namespace sample
