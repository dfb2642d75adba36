// The gallery: a calm stage for free play where every kind of block, item and command
// of the sample shows itself. Its exhibits are on the hero's side, so nothing there hurts.
#include "SampleBitmaps.h"
#include "SampleDatabase.h"
#include "SampleMoreStages.h"
#include "SampleMusic.h"
#include "SampleParts.h"
#include "SampleSprites.h"
#include "SampleStage.h"

namespace sample {

namespace {

constexpr int GALLERY_WIDTH = 64;

cEdCommand Wait(int tenths) { return Command(0, CMD_WAIT, {}, tenths); }

// A figure that shows its image number, standing still on the hero's side.
cEdChara Exhibit(const char* name, int image) {
  cEdChara c;
  c.m_strText = name;
  c.m_nOperator = 1;
  c.m_nImage = static_cast<std::int16_t>(image);
  c.m_nImageSheet = 1;
  c.m_nAnimeSet = ANIME_SET_HERO;
  c.m_nFacing = 0;
  c.m_bFixedFacing = 0;
  c.m_nMaxHP = 5;
  c.m_nCarriedItem = -1;
  return c;
}

cEdCommand Payload(int type, int time) {
  cEdCommand c;
  c.m_nSet = 0;
  c.m_nType = static_cast<std::int8_t>(type);
  c.m_nTime = static_cast<std::int16_t>(time);
  c.NewShot();
  return c;
}

// Follows the hero for three seconds, stops dead, turns round and keeps on screen.
cEdChara HomingExhibit() {
  cEdChara c = FlyerDef();
  c.m_strText = "おいかけこうもり";
  c.m_Flows.clear();
  cEdFlow f = NewFlow();
  f.m_Commands.push_back(Command(0, CMD_TARGET, {0, SIDE_HERO, 1, 1, 1, 0, 0, 0, 0, 0}));
  cEdCommand home = MoveCommand(CMD_MOVE_HOMING, 30, MOVE_FORWARD, 20);
  home.m_pMove->m_nRadius = 2;  // steers for two seconds at a time
  f.m_Commands.push_back(home);
  f.m_Commands.push_back(MoveCommand(CMD_MOVE_CANCEL, 5, MOVE_FORWARD, 0));
  f.m_Commands.push_back(Command(0, CMD_TURN, {0}));
  f.m_Commands.push_back(MoveCommand(CMD_MOVE_AVOID_OFFSCREEN, 10, MOVE_FORWARD, 20));
  c.m_Flows.push_back(f);
  return c;
}

// Swings its sword, plays an action over itself and rings a sound.
cEdChara SwordExhibit() {
  cEdChara c = Exhibit("けんし", 5);
  cEdFlow f = NewFlow();
  cEdCommand sword = Payload(CMD_SWORD, 3);
  sword.m_pShot->m_nMotion = SWORD_TYPE_SLASH;
  sword.m_pShot->m_nPower = 1;
  sword.m_pShot->m_nHitEffect = EFFECT_HIT;
  sword.Normalize();
  f.m_Commands.push_back(sword);
  f.m_Commands.push_back(Command(0, CMD_ANIME, {ANIME_ACTION}));
  f.m_Commands.push_back(Command(0, CMD_SOUND, {SOUND_JUMP}));
  f.m_Commands.push_back(Wait(10));
  c.m_Flows.push_back(f);
  return c;
}

// Puts a brick over its head and takes it away again.
cEdChara BlockExhibit() {
  cEdChara c = Exhibit("ブロックつかい", 6);
  cEdFlow f = NewFlow();
  cEdCommand summon = Payload(CMD_SUMMON_BLOCK, 1);
  cEdShot& p = *summon.m_pShot;
  p.m_nDirection = MOVE_UP;
  p.m_nGroupCount = 1;
  p.m_nSetting14 = -64;      // two blocks up
  p.m_nBlockSummonMode = 2;  // place where empty, clear where a block stands
  p.m_nSummonPalette = 0;
  p.m_nSummon = 3;  // the common palette's brick
  summon.m_nSound = SOUND_SUMMON;
  summon.Normalize();
  f.m_Commands.push_back(summon);
  f.m_Commands.push_back(Wait(15));
  c.m_Flows.push_back(f);
  return c;
}

// Flow A waits and then starts flow B, which hops up and back by warps.
cEdChara WarpExhibit() {
  cEdChara c = Exhibit("ワープつかい", 7);
  cEdFlow a = NewFlow();
  a.m_nID = 1;
  a.m_Commands.push_back(Wait(20));
  a.m_Commands.push_back(Command(0, CMD_FLOW, {0, 2, 2}));
  c.m_Flows.push_back(a);
  cEdFlow b = NewFlow();
  b.m_nID = 2;
  b.m_nTrigger = 19;  // started by the flow command only
  for (int direction : {MOVE_UP, MOVE_DOWN}) {
    cEdCommand warp = MoveCommand(CMD_WARP, 1, direction, 0);
    warp.m_pMove->m_nMode = 0;  // by direction and distance
    warp.m_pMove->m_nDistance = 4;
    b.m_Commands.push_back(warp);
    b.m_Commands.push_back(Wait(6));
  }
  c.m_Flows.push_back(b);
  return c;
}

// Fades out and back, becomes a walker for a while, takes its set of animations again.
cEdChara ChangeExhibit() {
  cEdChara c = Exhibit("へんしん", 8);
  cEdFlow f = NewFlow();
  f.m_Commands.push_back(Command(0, CMD_STATUS2, {0, 1, 1}));  // transparent
  f.m_Commands.push_back(Wait(5));
  f.m_Commands.push_back(Command(0, CMD_STATUS2, {0, 1, 0}));
  f.m_Commands.push_back(Command(0, CMD_GRAPHIC, {1, CHARA_WALKER, 0}));
  f.m_Commands.push_back(Wait(10));
  f.m_Commands.push_back(Command(0, CMD_GRAPHIC, {1, 8, 0}));
  f.m_Commands.push_back(Command(0, CMD_ANIME_SET, {ANIME_SET_HERO}));
  f.m_Commands.push_back(Wait(10));
  c.m_Flows.push_back(f);
  return c;
}

// The stage around it: the sky off and on, a tint, the sign, a greeting, a short halt, a
// coin for the hero and a count in common variable 1. The music starts with the stage.
cEdChara ShowExhibit() {
  cEdChara c = Exhibit("しかけにん", 9);
  cEdFlow start = NewFlow();
  start.m_nTrigger = 18;
  cEdCommand music = Command(0, CMD_BGM, {BGM_OPTION, 1});
  music.m_bParallel = 1;  // a stage-start flow runs its parallel commands only
  start.m_Commands.push_back(music);
  c.m_Flows.push_back(start);
  cEdFlow f = NewFlow();
  f.m_Commands.push_back(Command(0, CMD_BACKGROUND, {2, 2}));
  f.m_Commands.push_back(Wait(5));
  f.m_Commands.push_back(Command(0, CMD_BACKGROUND, {2, 2}));
  f.m_Commands.push_back(Command(0, CMD_SCREEN_COLOR, {255, 220, 120, 60, 0, 5, 1, 2}));
  // The sign over the exhibit for two seconds, the game going on.
  f.m_Commands.push_back(Command(0, CMD_PICTURE, {PICTURE_SIGN, 1, 0, 0, 0, -96, 0, 100, 2, 20, 0}));
  cEdCommand hello = Command(0, CMD_MESSAGE, {1, 0, 0, 0, 0, 1, 2, 20, 0, 0});
  hello.m_strText = "ようこそ　ギャラリーへ！";
  f.m_Commands.push_back(hello);
  f.m_Commands.push_back(Wait(25));
  f.m_Commands.push_back(Command(0, CMD_GAME_WAIT, {3}));
  f.m_Commands.push_back(Command(0, CMD_GET_ITEM, {0, COMMON_COIN}));
  cEdCommand code = Command(0, CMD_CODE, {});
  code.m_strText = "C1 = C1 + 1";
  f.m_Commands.push_back(code);
  f.m_Commands.push_back(Wait(30));
  c.m_Flows.push_back(f);
  return c;
}

// A plank that rides left and right: the hero can stand on it.
cEdChara LiftDef() {
  cEdChara lift;
  lift.m_strText = "リフト";
  lift.m_nOperator = 1;
  lift.m_nImage = BLOCK_PLANK;
  lift.m_nImageSheet = 0;  // drawn from the block sheet
  lift.m_nFlying = 1;
  lift.m_bBlockChara = 1;
  lift.m_nMaxHP = 1;
  lift.m_nInvincible = 2;  // shots pass
  lift.m_nCarriedItem = -1;
  cEdFlow f = NewFlow();
  for (int direction : {MOVE_RIGHT, MOVE_LEFT})
    f.m_Commands.push_back(MoveCommand(CMD_MOVE_STRAIGHT, 25, direction, 15));
  lift.m_Flows.push_back(f);
  return lift;
}

// A wing that teaches the hero to rise while up is held.
cEdItem WingDef() {
  cEdItem wing;
  wing.m_strText = "つばさ";
  wing.m_nImage = ITEM_GEM;
  wing.m_nImageSheet = 2;
  wing.m_nTakeSound = SOUND_HEAL;
  cEdFlow rise = NewFlow();
  rise.m_KeyConditions.push_back(KeyHeld(KEY_UP));
  rise.m_bKeyContinuous = 1;
  rise.m_Commands.push_back(MoveCommand(CMD_MOVE_STRAIGHT, 1, MOVE_UP, 40));
  cEdCommand add = Command(1, ITEM_CMD_FLOW_CHANGE, {0, 0});
  add.m_Flows.push_back(rise);
  wing.m_Commands.push_back(add);
  return wing;
}

// A potion that counts in common variable 2 and rings; an extra life; a star that is only
// looked at.
cEdItem PotionDef() {
  cEdItem potion;
  potion.m_strText = "くすり";
  potion.m_nImage = ITEM_POTION;
  potion.m_nImageSheet = 2;
  cEdCommand code = Command(1, CMD_CODE - ITEM_TYPE_OFFSET, {});
  code.m_strText = "C2 = C2 + 1";
  potion.m_Commands.push_back(code);
  potion.m_Commands.push_back(Command(1, CMD_SOUND - ITEM_TYPE_OFFSET, {SOUND_HEAL}));
  return potion;
}

cEdItem ExtraLifeDef() {
  cEdItem life;
  life.m_strText = "1UP";
  life.m_nImage = ITEM_EXTRA_LIFE;
  life.m_nImageSheet = 2;
  life.m_nTakeSound = SOUND_GOAL;
  life.m_Commands.push_back(
      Command(1, CMD_STATUS - ITEM_TYPE_OFFSET, {0, 0, 0, 2, 4, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  return life;
}

cEdItem StarDef() {
  cEdItem star;
  star.m_strText = "かざりの星";
  star.m_nImage = ITEM_STAR;
  star.m_nImageSheet = 2;
  star.m_nTakeMode = 2;  // cannot be taken
  return star;
}

cEdBlock Special(cEdBlock block, const char* text) {
  block.m_strText = text;
  return block;
}

}  // namespace

void BuildGallery(cEdStage& stage) {
  StageBasics(stage, "ギャラリー", GALLERY_WIDTH, STAGE_HEIGHT);
  stage.m_bTimeLimit = 0;
  stage.m_nBgm = 0;  // the show exhibit starts it
  for (int x = 0; x < GALLERY_WIDTH; ++x) {
    PlaceBlock(stage, BlockDef(BLOCK_GRASS), x, 13);
    PlaceBlock(stage, BlockDef(BLOCK_DIRT), x, 14);
  }
  // Blocks: scenery to walk through, a hidden step, a gate only the hero passes, a block
  // drawn in front, one with its mark, one that summons leave alone, and the six floors.
  cEdBlock scenery = Special(BlockDef(BLOCK_BRICK), "かべがみ");
  scenery.m_nHit = 0;
  for (int x = 2; x <= 4; ++x) PlaceBlock(stage, scenery, x, 9);
  cEdBlock hidden = Special(BlockDef(BLOCK_STONE), "かくれブロック");
  hidden.m_bTransparent = 1;
  PlaceBlock(stage, hidden, 6, 11);
  cEdBlock gate = Special(BlockDef(BLOCK_ICE), "主人公だけ通れる門");
  gate.m_nPassGroup = SIDE_HERO;
  for (int y = 9; y <= 12; ++y) PlaceBlock(stage, gate, 9, y);
  cEdBlock front = Special(BlockDef(BLOCK_CLOUD), "手前のくも");
  front.m_nHit = 0;
  front.m_nLayer = 1;
  for (int x = 11; x <= 12; ++x) PlaceBlock(stage, front, x, 12);
  cEdBlock marked = Special(BlockDef(BLOCK_QUESTION), "マーク");
  marked.m_nMarkShow = 1;
  marked.m_nMark = 1;
  PlaceBlock(stage, marked, 14, 10);
  cEdBlock fixed = Special(BlockDef(BLOCK_STONE), "動かないブロック");
  fixed.m_bFixed = 1;
  PlaceBlock(stage, fixed, 33, 10);
  PlaceBlock(stage, SpringDef(), 17, 13);
  cEdBlock mud = Special(BlockDef(BLOCK_DIRT), "どろ");
  mud.m_nEffect = 2;
  PlaceBlock(stage, mud, 19, 13);
  PlaceBlock(stage, CloudDef(), 20, 13);
  PlaceBlock(stage, BeltDef(false), 21, 13);
  PlaceBlock(stage, BeltDef(true), 22, 13);
  PlaceBlock(stage, SpikesDef(), 24, 14);
  cEdBlock treasure = Special(BlockDef(BLOCK_QUESTION), "ハートのブロック");
  treasure.m_nItemPalette = 1;
  treasure.m_nItemIndex = COMMON_HEART;
  PlaceBlock(stage, treasure, 26, 10);

  PlaceChara(stage, HeroDef2(), SIDE_HERO, 2, 12);
  PlaceChara(stage, LiftDef(), SIDE_HERO, 28, 10);
  PlaceChara(stage, SwordExhibit(), SIDE_HERO, 37, 12);
  PlaceChara(stage, BlockExhibit(), SIDE_HERO, 33, 12);
  PlaceChara(stage, WarpExhibit(), SIDE_HERO, 41, 12);
  PlaceChara(stage, ChangeExhibit(), SIDE_HERO, 45, 12);
  PlaceChara(stage, ShowExhibit(), SIDE_HERO, 50, 12);
  PlaceChara(stage, HomingExhibit(), SIDE_HERO, 55, 6);

  PlaceItem(stage, CoinDef(), 3, 8);
  PlaceItem(stage, HeartDef(), 15, 12);
  PlaceItem(stage, ClockDef(), 16, 12);
  PlaceItem(stage, StarDef(), 30, 6);
  PlaceItem(stage, WingDef(), 47, 12);
  PlaceItem(stage, PotionDef(), 52, 12);
  PlaceItem(stage, ExtraLifeDef(), 58, 12);
  PlaceItem(stage, GoalDef(), GALLERY_WIDTH - 3, 12);
}

}  // namespace sample
