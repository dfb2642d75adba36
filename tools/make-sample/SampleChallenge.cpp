#include "SampleDatabase.h"
#include "SampleMoreStages.h"
#include "SampleMusic.h"
#include "SampleParts.h"
#include "SampleSprites.h"
#include "SampleStage.h"

namespace sample {

namespace {

// A block that forbids jumping while the hero stands on it.
cEdBlock MudDef() {
  cEdBlock mud = BlockDef(BLOCK_DIRT);
  mud.m_strText = "どろ";
  mud.m_nEffect = 2;
  return mud;
}

// A question block that hands the hero a heart when it lands on top.
cEdBlock HeartBlockDef() {
  cEdBlock block = BlockDef(BLOCK_QUESTION);
  block.m_strText = "ハートのブロック";
  block.m_nItemPalette = 1;  // the common palette
  block.m_nItemIndex = COMMON_HEART;
  return block;
}

}  // namespace

cEdItem HeartDef() {
  cEdItem heart;
  heart.m_strText = "ハート";
  heart.m_nImage = ITEM_HEART;
  heart.m_nImageSheet = 2;
  heart.m_nTakeMode = 1;  // stays, and gives again
  heart.m_nTakeSound = SOUND_HEAL;
  heart.m_Commands.push_back(StatusCommand(1, 0, 1, 1, 1));  // HP + 1
  return heart;
}

cEdItem ClockDef() {
  cEdItem clock;
  clock.m_strText = "とけい";
  clock.m_nImage = ITEM_CLOCK;
  clock.m_nImageSheet = 2;
  clock.m_nTakeMode = 0;
  clock.m_nTakeSound = SOUND_COIN;
  clock.m_Commands.push_back(StatusCommand(1, 2, 0, 1, 20));  // twenty more seconds
  return clock;
}

// A hill of coins to run up and over: steps of bricks, a pit, a spring to a high shelf
// above the second pit, a belt that speeds the hero to the goal; walkers and a bat on
// the way.
void BuildChallenge1(cEdStage& stage) {
  StageBasics(stage, "コインの丘をかけあがれ", CHALLENGE1_WIDTH, STAGE_HEIGHT);
  stage.m_nTimeLimit = 90;
  stage.m_nTimeWarning = 15;
  stage.m_nBgm = BGM_CHALLENGE;
  for (int x = 0; x < CHALLENGE1_WIDTH; ++x) {
    if (x == 17 || x == 18 || (x >= 31 && x <= 33)) continue;  // the pits
    const bool bBelt = x >= 38 && x <= 41;
    PlaceBlock(stage, bBelt ? BeltDef(true) : x == 27 ? SpringDef() : BlockDef(BLOCK_GRASS), x, 13);
    PlaceBlock(stage, BlockDef(BLOCK_DIRT), x, 14);
  }
  // Steps two rows apart, each in reach of a jump from the one below.
  const struct { int from, to, row; } steps[] = {{6, 8, 11}, {10, 12, 9}, {14, 16, 7}};
  for (const auto& st : steps)
    for (int x = st.from; x <= st.to; ++x) {
      PlaceBlock(stage, BlockDef(BLOCK_BRICK), x, st.row);
      PlaceItem(stage, CoinDef(), x, st.row - 1);
    }
  // The shelf that the spring reaches, over the second pit.
  for (int x = 29; x <= 35; ++x) PlaceBlock(stage, BlockDef(BLOCK_BRICK), x, 8);
  for (int x = 30; x <= 34; ++x) PlaceItem(stage, CoinDef(), x, 7);
  for (int y = 8; y <= 11; ++y) PlaceItem(stage, CoinDef(), 27, y);  // up with the spring
  PlaceItem(stage, HeartDef(), 22, 12);
  for (int x = 38; x <= 41; ++x) PlaceItem(stage, CoinDef(), x, 11);

  PlaceChara(stage, HeroDef2(), SIDE_HERO, 2, 12);
  for (int x : {21, 36, 44}) PlaceChara(stage, WalkerDef(), SIDE_ENEMY, x, 12);
  PlaceChara(stage, FlyerDef(), SIDE_ENEMY, 24, 7);
  PlaceItem(stage, GoalDef(), CHALLENGE1_WIDTH - 3, 12);
}

// A race against a short clock over spikes: mud where no jump is possible, springs, a
// heart block and clocks that buy time.
void BuildChallenge2(cEdStage& stage) {
  StageBasics(stage, "とげの谷をかけぬけろ", CHALLENGE2_WIDTH, STAGE_HEIGHT);
  stage.m_nTimeLimit = 45;
  stage.m_nTimeWarning = 10;
  stage.m_nBgm = BGM_CHALLENGE;
  for (int x = 0; x < CHALLENGE2_WIDTH; ++x) {
    const bool bSpikes = (x >= 8 && x <= 11) || (x >= 23 && x <= 26) || (x >= 38 && x <= 43);
    if (bSpikes) {
      PlaceBlock(stage, SpikesDef(), x, 14);
      continue;
    }
    const bool bMud = x >= 15 && x <= 20;
    PlaceBlock(stage, bMud ? MudDef() : BlockDef(BLOCK_GRASS), x, 13);
    PlaceBlock(stage, BlockDef(BLOCK_DIRT), x, 14);
  }
  // A stepping stone over the first spikes, a spring before the long ones, a bridge over
  // the last.
  for (int x : {9, 10}) PlaceBlock(stage, BlockDef(BLOCK_STONE), x, 11);
  PlaceBlock(stage, SpringDef(), 21, 13);
  PlaceBlock(stage, HeartBlockDef(), 30, 10);
  for (int x = 38; x <= 43; ++x) PlaceBlock(stage, BlockDef(BLOCK_BRICK), x, 10);
  PlaceBlock(stage, SpringDef(), 37, 13);

  PlaceChara(stage, HeroDef2(), SIDE_HERO, 2, 12);
  for (int x : {14, 33, 47}) PlaceChara(stage, WalkerDef(), SIDE_ENEMY, x, 12);
  PlaceChara(stage, FlyerDef(), SIDE_ENEMY, 40, 7);

  for (int x = 8; x <= 12; ++x) PlaceItem(stage, CoinDef(), x, 9);
  for (int x = 22; x <= 27; ++x) PlaceItem(stage, CoinDef(), x, 6);
  PlaceItem(stage, ClockDef(), 18, 10);
  PlaceItem(stage, ClockDef(), 41, 8);
  for (int x = 49; x <= 51; ++x) PlaceItem(stage, CoinDef(), x, 11);
  PlaceItem(stage, GoalDef(), CHALLENGE2_WIDTH - 3, 12);
}

}  // namespace sample
