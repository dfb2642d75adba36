#include "SampleStage.h"

#include "SampleBitmaps.h"
#include "SampleDatabase.h"
#include "SampleMusic.h"
#include "SampleMoreStages.h"
#include "SampleParts.h"
#include "SampleSprites.h"
#include "gamedata/KeyCondition.h"
#include "gamedata/Vocabulary.h"

namespace sample {

cEdFlow NewFlow() {
  cEdFlow flow;
  flow.m_nTrigger = 0;  // always
  flow.m_nKeyTolerance = 3;
  return flow;
}

cEdKeyCondition KeyHeld(int channel) {
  cEdKeyCondition key;
  key.m_KeyStates[channel] = 1;
  key.m_bAnyLength = 1;
  key.m_nRule = 0;
  return key;
}

cEdCommand MoveCommand(int type, int time, int direction, int speed) {
  cEdCommand command;
  command.m_nSet = 0;
  command.m_nType = static_cast<std::int8_t>(type);
  command.m_nTime = static_cast<std::int16_t>(time);
  command.NewMove();
  command.m_pMove->m_nMode = 0;  // by direction
  command.m_pMove->m_nDirection = static_cast<std::int8_t>(direction);
  command.m_pMove->m_nTimingMode = 0;  // time and speed
  command.m_pMove->m_nSpeed = static_cast<std::int16_t>(speed);
  command.Normalize();
  return command;
}

cEdCommand StatusCommand(int set, int whose, int status, int op, int value) {
  return Command(set, CMD_STATUS - (set ? ITEM_TYPE_OFFSET : 0),
                 {0, 0, 0, whose, status, op, 0, value, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
}

cEdCommand Command(int set, int type, std::initializer_list<int> params, int time) {
  cEdCommand command;
  command.m_nSet = static_cast<std::int8_t>(set);
  command.m_nType = static_cast<std::int8_t>(type);
  command.m_nTime = static_cast<std::int16_t>(time);
  command.m_Params.assign(params.begin(), params.end());
  command.Normalize();
  return command;
}

// Walks while the key is held: one tenth of a second of movement, repeated.
cEdFlow WalkFlow(int channel, int direction) {
  cEdFlow flow = NewFlow();
  flow.m_KeyConditions.push_back(KeyHeld(channel));
  flow.m_bKeyContinuous = 1;  // starts again in every step the key is still held
  flow.m_Commands.push_back(MoveCommand(CMD_MOVE_STRAIGHT, 1, direction, 30));
  return flow;
}

namespace {

// Jumps on button 1, higher while it is held: up to six half blocks.
cEdFlow JumpFlow() {
  cEdFlow flow = NewFlow();
  flow.m_KeyConditions.push_back(KeyHeld(KEY_BUTTON1));
  cEdCommand jump;
  jump.m_nSet = 0;
  jump.m_nType = CMD_JUMP;
  jump.m_Params = {1, 0, 6, 0, 0};
  jump.m_nSound = SOUND_JUMP;
  jump.Normalize();
  flow.m_Commands.push_back(jump);
  return flow;
}

// Fires a shot ahead on button 2, again every tenth of a second while it is held.
cEdFlow ShotFlow() {
  cEdFlow flow = NewFlow();
  flow.m_KeyConditions.push_back(KeyHeld(KEY_BUTTON2));
  cEdCommand shot;
  shot.m_nSet = 0;
  shot.m_nType = CMD_SHOT;
  shot.m_nTime = 1;
  shot.NewShot();
  cEdShot& p = *shot.m_pShot;
  p.m_nGroupCount = 1;
  p.m_nSpeed = 60;
  p.m_nPower = 1;
  p.m_nGraphic = 1;
  shot.Normalize();
  flow.m_Commands.push_back(shot);
  return flow;
}

// The hit boxes of the sample's stages, in pixels: {walking w, h, flying w, h} and the
// vertical anchors {walking, flying} (1 stands on the cell's bottom, 0 is centred).
void SetBoxSizes(cEdStage& s) {
  const auto set = [](std::int32_t* p, std::initializer_list<std::int32_t> values) {
    for (std::int32_t v : values) *p++ = v;
  };
  set(s.m_PlayerBoxA, {16, 24, 16, 16});  // the player's body
  set(s.m_PlayerBoxAAnchor, {1, 0});
  set(s.m_PlayerBoxB, {16, 24, 16, 16});  // the player against characters
  set(s.m_PlayerBoxBAnchor, {1, 0});
  set(s.m_PlayerBoxC, {12, 8});          // the player against shots
  set(s.m_PlayerBoxD, {16, 16});         // the player's item box
  set(s.m_CharaBoxA, {16, 24, 16, 16});  // a character's body
  set(s.m_CharaBoxAAnchor, {1, 0});
  set(s.m_CharaBoxB, {12, 24, 12, 16});  // characters against characters
  set(s.m_CharaBoxBAnchor, {1, 0});
  set(s.m_CharaBoxC, {30, 30});  // characters against shots
  set(s.m_ItemBox, {28, 28});
  for (std::int32_t* pair : {s.m_PlayerShotSize, s.m_PlayerShotAttack, s.m_CharaShotSize, s.m_CharaShotAttack})
    set(pair, {16, 16});
}

}  // namespace

cEdBlock BlockDef(int image) {
  cEdBlock block;
  block.m_nImage = static_cast<std::int16_t>(image);
  block.m_nImageSheet = 0;
  block.m_nHit = 1;
  block.m_nPassGroup = -1;
  return block;
}

cEdChara HeroDef() {
  cEdChara hero;
  hero.m_strText = "主人公";
  hero.m_nOperator = 0;
  hero.m_nImage = CHARA_HERO;
  hero.m_nImageSheet = 1;
  hero.m_nImageSub = 0;
  hero.m_nAnimeSet = ANIME_SET_HERO;
  hero.m_nFacing = 1;
  hero.m_bFixedFacing = 0;
  hero.m_nMaxHP = 3;
  hero.m_nPad = 0;
  hero.m_nCarriedItem = -1;
  hero.m_Flows.push_back(WalkFlow(KEY_LEFT, MOVE_LEFT));
  hero.m_Flows.push_back(WalkFlow(KEY_RIGHT, MOVE_RIGHT));
  hero.m_Flows.push_back(JumpFlow());
  hero.m_Flows.push_back(ShotFlow());
  return hero;
}

cEdChara WalkerDef() {
  cEdChara walker;
  walker.m_strText = "歩く敵";
  walker.m_nOperator = 1;
  walker.m_nImage = CHARA_WALKER;
  walker.m_nImageSheet = 1;
  walker.m_nAnimeSet = ANIME_SET_HERO;
  walker.m_nFacing = 0;
  walker.m_bFixedFacing = 0;
  walker.m_nMaxHP = 1;
  walker.m_nBodyPower = 1;
  walker.m_nBodyHitEffect = EFFECT_HIT;
  walker.m_nScore = 100;
  walker.m_nCarriedItem = -1;
  cEdFlow flow = NewFlow();
  flow.m_Commands.push_back(MoveCommand(CMD_MOVE_GROUND_TURN, 50, MOVE_FORWARD, 10));
  walker.m_Flows.push_back(flow);
  return walker;
}

cEdItem CoinDef() {
  cEdItem coin;
  coin.m_strText = "コイン";
  coin.m_nImage = ITEM_COIN;
  coin.m_nImageSheet = 2;
  coin.m_nTakeMode = 0;
  coin.m_nTakeSound = SOUND_COIN;
  // Worth points at once: the stage score on the status bar goes up as it is taken.
  coin.m_Commands.push_back(StatusCommand(1, 2, 3, 1, COIN_POINTS));
  return coin;
}

cEdItem GoalDef() {
  cEdItem goal;
  goal.m_strText = "ゴール";
  goal.m_nImage = ITEM_GOAL;
  goal.m_nImageSheet = 2;
  goal.m_nTakeMode = 0;
  goal.m_nTakeSound = SOUND_GOAL;
  cEdCommand clear;
  clear.m_nSet = 1;  // an item command
  clear.m_nType = CMD_STAGE_CLEAR - ITEM_TYPE_OFFSET;
  clear.m_Params = {0, 0, 0, 0, 0};  // on to the next stage (none: back to the map)
  clear.Normalize();
  goal.m_Commands.push_back(clear);
  return goal;
}

void BuildCommonPalette(cEdPalette& palette) {
  palette.ResetLists();
  for (int image : {BLOCK_GRASS, BLOCK_DIRT, BLOCK_BRICK, BLOCK_STONE}) palette.m_Blocks.push_back(BlockDef(image));
  palette.m_Blocks.push_back(SpringDef());
  palette.m_Blocks.push_back(SpikesDef());
  palette.m_Charas.push_back(WalkerDef());
  palette.m_Charas.push_back(HeroDef());
  palette.m_Items.push_back(CoinDef());
  palette.m_Items.push_back(GoalDef());
  palette.m_Items.push_back(HeartDef());
  palette.m_Items.push_back(ClockDef());
  palette.m_Charas.push_back(FlyerDef());
  for (bool bRight : {false, true}) palette.m_Blocks.push_back(BeltDef(bRight));
  palette.m_Blocks.push_back(CloudDef());
}

// What the sample's stages share: the frame rate, the time limit, the music, the captions,
// the extents, the boxes and the sky.
void StageBasics(cEdStage& stage, const char* header, int width, int height) {
  stage.Reset();
  stage.m_strHeader = header;
  stage.m_nWidth = width;
  stage.m_nHeight = height;
  stage.m_nFrameRate = 60;
  stage.m_bTimeLimit = 1;
  stage.m_nTimeLimit = 200;
  stage.m_nHitLevel = 10;
  stage.m_nBgm = BGM_STAGE;
  stage.m_nBgmOption = 1;
  stage.m_bStatusBar = 1;
  // The stage caption with the part number; the start caption would take the time
  // digits that share its place in the word bitmap.
  stage.m_bShowStart1 = 1;
  stage.m_bShowStart2 = 0;
  stage.m_bShowClear = 1;
  stage.m_bShowGameOver = 1;
  // Objects live anywhere on the block map, the stage and its margins.
  stage.m_nExtentX = (width + 20) * 32 - 640;
  stage.m_nExtentY = (height + 20) * 32 - 640;
  SetBoxSizes(stage);
  // A dark fill behind the sky picture.
  stage.m_Backgrounds.ResetRecords(2);
  stage.m_Backgrounds[0].m_bFill = 1;
  stage.m_Backgrounds[0].m_nFillColor = 16;
  stage.m_Backgrounds[1].m_bFill = 0;
  stage.m_Backgrounds[1].m_strBitmap = SKY_BITMAP;
}

void PlaceBlock(cEdStage& stage, cEdBlock block, int x, int y) {
  block.m_nX = static_cast<std::int16_t>(x);
  block.m_nY = static_cast<std::int16_t>(y);
  stage.m_Blocks.push_back(block);
}

void PlaceChara(cEdStage& stage, cEdChara chara, int side, int x, int y) {
  chara.m_nPassNumber = static_cast<std::int8_t>(side);
  chara.m_nX = static_cast<std::int16_t>(x);
  chara.m_nY = static_cast<std::int16_t>(y);
  stage.m_Charas.push_back(chara);
}

void PlaceItem(cEdStage& stage, cEdItem item, int x, int y) {
  item.m_nX = static_cast<std::int16_t>(x);
  item.m_nY = static_cast<std::int16_t>(y);
  stage.m_Items.push_back(item);
}

cEdBlock SpringDef() {
  cEdBlock spring = BlockDef(BLOCK_PLANK);
  spring.m_strText = "ばね";
  spring.m_nEffect = 1;        // a spring: throws whoever lands on it up
  spring.m_nEffectValue = 14;  // seven blocks high, over any wall a jump cannot clear
  return spring;
}

cEdBlock SpikesDef() {
  cEdBlock spikes = BlockDef(BLOCK_SPIKES);
  spikes.m_strText = "とげ";
  spikes.m_nHit = 2;  // solid and deadly to the hero
  return spikes;
}

void BuildStage(cEdStage& stage) {
  StageBasics(stage, "はじまりの草原", STAGE_WIDTH, STAGE_HEIGHT);
  auto place = [&](cEdBlock block, int x, int y) {
    block.m_nX = static_cast<std::int16_t>(x);
    block.m_nY = static_cast<std::int16_t>(y);
    stage.m_Blocks.push_back(block);
  };
  for (int x = 0; x < STAGE_WIDTH; ++x) {
    place(BlockDef(BLOCK_GRASS), x, 13);
    place(BlockDef(BLOCK_DIRT), x, 14);
  }
  for (int x = 10; x <= 14; ++x) place(BlockDef(BLOCK_BRICK), x, 9);
  for (int step = 0; step < 3; ++step)
    for (int y = 12 - step; y <= 12; ++y) place(BlockDef(BLOCK_STONE), 28 + step, y);

  // The hero and the walker are on different sides, so that they can hit each other.
  cEdChara hero = HeroDef();
  hero.m_nPassNumber = SIDE_HERO;
  hero.m_nX = 2;
  hero.m_nY = 12;
  stage.m_Charas.push_back(hero);
  cEdChara walker = WalkerDef();
  walker.m_nPassNumber = SIDE_ENEMY;
  walker.m_nX = 20;
  walker.m_nY = 12;
  stage.m_Charas.push_back(walker);

  auto item = [&](cEdItem def, int x, int y) {
    def.m_nX = static_cast<std::int16_t>(x);
    def.m_nY = static_cast<std::int16_t>(y);
    stage.m_Items.push_back(def);
  };
  item(CoinDef(), 6, 11);
  item(GoalDef(), 37, 12);
  for (int x = 11; x <= 13; ++x) item(CoinDef(), x, 8);
  item(CoinDef(), 30, 9);
}

void BuildStage2(cEdStage& stage) {
  StageBasics(stage, "となりの丘", STAGE2_WIDTH, STAGE_HEIGHT);
  // The ground, broken by an open pit (a fall out of the stage) and a pit of spikes.
  for (int x = 0; x < STAGE2_WIDTH; ++x) {
    if (x == STAGE2_PIT || x == STAGE2_PIT + 1) continue;
    const bool bSpikePit = x >= 38 && x <= 40;
    if (!bSpikePit && x != STAGE2_SPRING) PlaceBlock(stage, BlockDef(BLOCK_GRASS), x, 13);
    PlaceBlock(stage, bSpikePit ? SpikesDef() : BlockDef(BLOCK_DIRT), x, 14);
  }
  // The spring in place of a grass block before a wall too high to jump.
  PlaceBlock(stage, SpringDef(), STAGE2_SPRING, 13);
  for (int y = 7; y <= 12; ++y) PlaceBlock(stage, BlockDef(BLOCK_STONE), 27, y);
  for (int x = 44; x <= 47; ++x) PlaceBlock(stage, BlockDef(BLOCK_BRICK), x, 9);

  // A walker comes for the hero at once; two more wait beyond the wall and the spikes.
  PlaceChara(stage, HeroDef(), SIDE_HERO, 2, 12);
  for (int x : {STAGE2_FIRST_WALKER, 33, 51}) PlaceChara(stage, WalkerDef(), SIDE_ENEMY, x, 12);

  for (int x = 19; x <= 21; ++x) PlaceItem(stage, CoinDef(), x, 10);
  PlaceItem(stage, CoinDef(), 27, 5);
  for (int x = 44; x <= 47; ++x) PlaceItem(stage, CoinDef(), x, 8);
  PlaceItem(stage, GoalDef(), STAGE2_WIDTH - 3, 12);
}

}  // namespace sample
