#include "SampleDatabase.h"
#include "SampleMoreStages.h"
#include "SampleMusic.h"
#include "SampleParts.h"
#include "SampleSprites.h"
#include "SampleStage.h"

namespace sample {

cEdChara FlyerDef() {
  cEdChara flyer;
  flyer.m_strText = "こうもり";
  flyer.m_nOperator = 1;
  flyer.m_nImage = CHARA_FLYER;
  flyer.m_nImageSheet = 1;
  flyer.m_nAnimeSet = ANIME_SET_HERO;
  flyer.m_nFacing = 0;
  flyer.m_bFixedFacing = 1;
  flyer.m_nFlying = 1;  // through blocks
  flyer.m_nMaxHP = 1;
  flyer.m_nBodyPower = 1;
  flyer.m_nBodyHitEffect = EFFECT_HIT;
  flyer.m_nScore = 200;
  flyer.m_nCarriedItem = -1;
  // Drifts forward while it swings round a small circle: a wavy flight.
  cEdFlow flow = NewFlow();
  cEdCommand drift = MoveCommand(CMD_MOVE_STRAIGHT, 20, MOVE_FORWARD, 8);
  drift.m_bParallel = 1;
  flow.m_Commands.push_back(drift);
  cEdCommand circle = MoveCommand(CMD_MOVE_CIRCLE, 20, 0, 0);
  circle.m_pMove->m_nAngle = 0;
  circle.m_pMove->m_nDistance = 360;  // the end angle: one whole turn
  circle.m_pMove->m_nRadius = 3;
  flow.m_Commands.push_back(circle);
  flyer.m_Flows.push_back(flow);
  return flyer;
}

cEdBlock BeltDef(bool bRight) {
  cEdBlock belt = BlockDef(BLOCK_ICE);
  belt.m_strText = bRight ? "右ベルト" : "左ベルト";
  belt.m_nEffect = bRight ? 5 : 4;  // pushes whoever stands on it
  belt.m_nEffectValue = 15;
  return belt;
}

cEdBlock CloudDef() {
  cEdBlock cloud = BlockDef(BLOCK_CLOUD);
  cloud.m_strText = "くも";
  cloud.m_nEffect = 3;        // walking speed changed
  cloud.m_nEffectValue = 50;  // to half
  return cloud;
}

void BuildSkyStage(cEdStage& stage) {
  StageBasics(stage, "かぜの橋", SKY_WIDTH, STAGE_HEIGHT);
  // The view moves on by itself: whoever falls behind its left edge is crushed.
  stage.m_nScrollModeX = 1;
  stage.m_nAutoScrollX = 9;
  // Islands of ground between pits, bridges of cloud and belts, bricks to jump over.
  struct Span {
    int from, to;
  };
  const Span ground[] = {{0, 12}, {16, 24}, {33, 40}, {47, 54}, {62, 68}, {74, SKY_WIDTH - 1}};
  for (const Span& g : ground)
    for (int x = g.from; x <= g.to; ++x) {
      PlaceBlock(stage, BlockDef(BLOCK_GRASS), x, 13);
      PlaceBlock(stage, BlockDef(BLOCK_DIRT), x, 14);
    }
  for (int x = 13; x <= 15; ++x) PlaceBlock(stage, CloudDef(), x, 13);  // a slow bridge
  for (int x = 25; x <= 32; ++x) PlaceBlock(stage, BeltDef(false), x, 12);
  for (int x = 41; x <= 46; ++x) PlaceBlock(stage, BeltDef(true), x, 11);
  for (int x = 55; x <= 61; ++x) PlaceBlock(stage, CloudDef(), x, 11);
  for (int x = 69; x <= 73; ++x) PlaceBlock(stage, BeltDef(true), x, 12);
  for (int y = 11; y <= 12; ++y) PlaceBlock(stage, BlockDef(BLOCK_BRICK), 20, y);
  for (int y = 11; y <= 12; ++y) PlaceBlock(stage, BlockDef(BLOCK_BRICK), 50, y);
  PlaceBlock(stage, SpringDef(), 34, 13);
  for (int x = 38; x <= 39; ++x) PlaceBlock(stage, SpikesDef(), x, 12);  // a jump clears them

  PlaceChara(stage, HeroDef2(), SIDE_HERO, 3, 12);
  for (int x : {18, 30, 44, 58, 70}) PlaceChara(stage, FlyerDef(), SIDE_ENEMY, x, 7);
  for (int x : {22, 52, 65}) PlaceChara(stage, WalkerDef(), SIDE_ENEMY, x, 12);

  for (int x = 13; x <= 15; ++x) PlaceItem(stage, CoinDef(), x, 10);
  for (int x = 26; x <= 31; x += 2) PlaceItem(stage, CoinDef(), x, 10);
  PlaceItem(stage, CoinDef(), 34, 5);  // the spring's reward
  for (int x = 42; x <= 45; ++x) PlaceItem(stage, CoinDef(), x, 9);
  for (int x = 56; x <= 60; x += 2) PlaceItem(stage, CoinDef(), x, 9);
  PlaceItem(stage, GoalDef(), SKY_WIDTH - 3, 12);
}

}  // namespace sample
