// A running stage for the stage-play tests: a stage scene with its scroll axes laid out
// for a stage of the given size, the per-stage constants of a hit-test level, one player,
// empty object lists and block map, and every global the tests change put back after.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gamedata/Database.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "stage/Actor.h"
#include "stage/BlockMap.h"
#include "stage/Chara.h"
#include "stage/FlowHooks.h"
#include "stage/Item.h"
#include "stage/Player.h"
#include "stage/StageScene.h"
#include "test_support/LogCapture.h"

namespace stagetest {

// An actor whose syncs keep it inside the block map, as the character classes do.
class cTestActor : public cActor {
 public:
  int SyncX() override { return ClampX(2); }
  int SyncY() override { return ClampY(2); }
  void UpdateHitBoxX() override {
    m_BoxA.UpdateX(m_dX);
    m_BoxB.UpdateX(m_dX);
  }
  void UpdateHitBoxY() override {
    m_BoxA.UpdateY(m_dY);
    m_BoxB.UpdateY(m_dY);
  }
};

struct TriggerCall {
  const cActor* actor;
  int trigger;
  bool operator==(const TriggerCall&) const = default;
};

class StageFixture : public test_support::LogCapture {
 protected:
  void SetUp() override {
    LogCapture::SetUp();
    savedAnimeSets_ = g_Database.m_AnimeSets;
    savedBitmaps_ = g_Database.m_BmpCharaExcs;
    savedKeepFoot_ = g_System.m_bKeepFootOnScale;
    savedScrollRule_ = g_System.m_bScrollMoveRule;
    savedHitLevel_ = g_Stage.m_nHitLevel;
    savedGravity_ = g_Stage.m_dGravity;
    savedOnScreenHits_ = g_Stage.m_bOnScreenHits;
    g_Stage.m_dGravity = 0.4;
    g_Stage.SetHitLevel(1);
    scene_ = std::make_unique<cStageScene>();
    g_StageScene = scene_.get();
    LayOut(40, 15);
    g_Players.clear();
    g_Players.resize(1);
    g_Charas.clear();
    g_Items.clear();
    g_BlockMap.clear();
    triggers_.clear();
    conditionsHold_ = false;
    s_self = this;
    flowhook::g_pfnTriggerProbe = [](cActor& a, int t) { s_self->triggers_.push_back({&a, t}); };
    flowhook::g_pfnConditionProbe = [](const cVector<cEdCondition>&, int, cActor&) { return s_self->conditionsHold_; };
  }
  void TearDown() override {
    flowhook::g_pfnTriggerProbe = nullptr;
    flowhook::g_pfnConditionProbe = nullptr;
    g_StageScene = nullptr;
    g_Players.clear();
    g_Charas.clear();
    g_Items.clear();
    g_BlockMap.clear();
    g_Database.m_AnimeSets = savedAnimeSets_;
    g_Database.m_BmpCharaExcs = savedBitmaps_;
    g_System.m_bKeepFootOnScale = savedKeepFoot_;
    g_System.m_bScrollMoveRule = savedScrollRule_;
    g_Stage.m_dGravity = savedGravity_;
    g_Stage.m_bOnScreenHits = savedOnScreenHits_;
    g_Stage.SetHitLevel(savedHitLevel_);
    LogCapture::TearDown();
  }

  // Axes of a stage of w x h cells; the far extent is the whole map and the scroll
  // limits are the stage proper.
  void LayOut(int w, int h) {
    cScrollAxis& x = scene_->m_ScrollX;
    cScrollAxis& y = scene_->m_ScrollY;
    x.SetMapGeometry(0, w, (w + 20) * 32 - 640);
    y.SetMapGeometry(1, h, (h + 20) * 32 - 640);
    for (cScrollAxis* a : {&x, &y}) {
      a->m_nMin = a->m_nStageStart;
      a->m_nMax = a->m_nStageEnd;
      a->m_dPos = a->m_nStageStart;
    }
  }

  // An empty block map of the laid-out stage, then blocks of hit kind nKind at the listed
  // stage cells.
  void MakeMap(std::initializer_list<std::pair<int, int>> cells = {}, int nKind = 1) {
    cEdStage& stage = mapStage_;
    stage.m_Blocks.clear();
    stage.m_nWidth = scene_->m_ScrollX.m_nCells - 20;
    stage.m_nHeight = scene_->m_ScrollY.m_nCells - 20;
    for (auto [cx, cy] : cells) {
      cEdBlock b;
      b.m_nX = static_cast<std::int16_t>(cx);
      b.m_nY = static_cast<std::int16_t>(cy);
      b.m_nImage = 1;
      b.m_nHit = static_cast<std::uint8_t>(nKind);
      stage.m_Blocks.push_back(b);
    }
    ASSERT_TRUE(scene_->BuildBlockMap(stage));
  }
  // The map cell of stage cell (cx, cy).
  cMapBlock& Cell(int cx, int cy) { return g_BlockMap[scene_->CellIndex(cx + 10, cy + 10)]; }
  // The block of stage cell (cx, cy) to change; an empty cell gets a block of its own,
  // passable and without a picture until the test says otherwise.
  cEdBlock& Block(int cx, int cy) {
    cMapBlock& cell = Cell(cx, cy);
    if (cell.m_nBlock < 0) {
      cEdBlock b;
      b.m_nHit = 0;
      b.m_nX = static_cast<std::int16_t>(cx);
      b.m_nY = static_cast<std::int16_t>(cy);
      mapStage_.m_Blocks.push_back(b);
      cell.m_nBlock = mapStage_.m_Blocks.Size() - 1;
    }
    return mapStage_.m_Blocks[cell.m_nBlock];
  }

  // A walking actor with a body box of w x h at map pixel (x, y) in a 32 x 32 cell.
  static void Place(cActor& a, double x, double y, int w = 32, int h = 32, int nKind = 1, int nFlyMode = 0) {
    a.Init(1, nKind, 0, 0, 0, nullptr, 0, (32 - w) >> 1, 32 - h, w, h, 32, 32, 0, nFlyMode, 0);
    a.m_dX = x;
    a.m_dY = y;
    a.ClampX(2);
    a.ClampY(2);
  }

  std::vector<int> TriggersOf(const cActor& a) const {
    std::vector<int> out;
    for (const TriggerCall& c : triggers_)
      if (c.actor == &a) out.push_back(c.trigger);
    return out;
  }

  cStageScene& Scene() { return *scene_; }

  std::unique_ptr<cStageScene> scene_;
  cEdStage mapStage_;  // the stage the block map was made from: its cells index its blocks
  std::vector<TriggerCall> triggers_;
  bool conditionsHold_ = false;

 private:
  static inline StageFixture* s_self = nullptr;
  cVector<cEdAnimeSet> savedAnimeSets_;
  cVector<cEdBmpCharaExc> savedBitmaps_;
  std::int32_t savedKeepFoot_ = 0;
  std::int32_t savedScrollRule_ = 0;
  std::int32_t savedHitLevel_ = 0;
  double savedGravity_ = 0;
  std::int32_t savedOnScreenHits_ = 0;
};

}  // namespace stagetest
