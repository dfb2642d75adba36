#include "stage/BlockMap.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>
#include <vector>

#include "base/AppGlobals.h"
#include "base/Failure.h"
#include "base/Log.h"
#include "base/Screen.h"
#include "gamedata/EditLabels.h"
#include "gamedata/Stage.h"
#include "gfx/BmpTable.h"
#include "stage/Actor.h"
#include "stage/ActorPhysics.h"
#include "stage/Chara.h"
#include "stage/FlowHooks.h"
#include "stage/ImageRef.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

cVector<cMapBlock> g_BlockMap;

namespace {

// The placed blocks of the stage the map was built from; cells index them.
const cVector<cEdBlock>* g_pPlacedBlocks = nullptr;
// Copies of the blocks put into cells during play, one per record put, so that a summon
// repeated for a whole stage does not grow the list.
cVector<cEdBlock> g_PutBlocks;
std::vector<const cEdBlock*> g_PutSources;

const cEdBlock& NoBlock() {
  static const cEdBlock s_empty = [] {
    cEdBlock b;
    b.m_nHit = 0;
    return b;
  }();
  return s_empty;
}

std::int32_t Trunc(double d) { return static_cast<std::int32_t>(d); }

// Hit kinds compare as signed bytes; every kind beats this.
constexpr int BELOW_EVERY_KIND = std::numeric_limits<std::int8_t>::min() - 1;

int SignedKind(std::uint8_t nKind) { return static_cast<std::int8_t>(nKind); }

bool IsHero(const cActor& a) { return IsPlayerObject(a); }
bool PassesThroughBlocks(const cActor& a) { return a.m_bFlying && a.m_nBlockContact == 0; }
bool DiesOnBlocks(const cActor& a) { return a.m_bFlying && a.m_nBlockContact == 2; }
bool CollidesInFlight(const cActor& a) { return a.m_bFlying && a.m_nBlockContact == 1; }
int Scale(const cActor& a) { return static_cast<std::int8_t>(a.m_Def.m_nScale); }

// A wall stops the actor: kind 1, or kind 2 for a computer-controlled actor.
bool Stops(const cActor& a, int nKind) { return nKind == 1 || (nKind == 2 && !IsHero(a)); }

void FireTriggers(cActor& a, std::initializer_list<int> triggers) {
  for (int nTrigger : triggers) flowhook::FireTrigger(a, nTrigger);
}

}  // namespace

const cEdBlock& cMapBlock::Block() const {
  // An index the lists no longer hold (a stage replaced before its map) reads as no block.
  if (m_nBlock >= 0)
    return g_pPlacedBlocks && m_nBlock < g_pPlacedBlocks->Size() ? (*g_pPlacedBlocks)[m_nBlock] : NoBlock();
  const std::int32_t nPut = -2 - m_nBlock;
  return nPut >= 0 && nPut < g_PutBlocks.Size() ? g_PutBlocks[nPut] : NoBlock();
}

void cMapBlock::Put(const cEdBlock& block) {
  const auto it = std::find(g_PutSources.begin(), g_PutSources.end(), &block);
  std::int32_t nPut = static_cast<std::int32_t>(it - g_PutSources.begin());
  if (it == g_PutSources.end()) {
    g_PutBlocks.push_back(block);
    g_PutSources.push_back(&block);
  }
  m_nBlock = -2 - nPut;
  m_bAppeared = 0;
}

std::uint8_t cMapBlock::GetHitKind(int nSide) {
  const cEdBlock& b = Block();
  if (!b.m_Conditions.empty() && !cStageScene::CheckBlockConditions(*this)) return 0;
  if (b.m_nPassGroup == nSide) return 0;
  return b.m_nHit;
}

void cMapBlock::DrawCell(DDSURFACEDATA* lpSD, int x, int y) const { DrawBlockCell(Block(), lpSD, x, y); }

void DrawBlockCell(const cEdBlock& b, DDSURFACEDATA* lpSD, int x, int y) {
  cImageRef ref;
  ref.Set(IMAGE_CALLER_OTHER, b.m_nImageSheet, b.m_nImage, b.m_nImageSub, nullptr, 0);
  if (ref.m_pSheet) DDBlt(lpSD, x, y, BLOCK_SIZE, BLOCK_SIZE, ref.m_pSheet, ref.m_nSrcX, ref.m_nSrcY, 1);
  if (b.m_nMarkShow == 1)
    DDBlt(lpSD, x, y, BLOCK_SIZE, BLOCK_SIZE, &g_SurfaceData[BMP_MARK], b.m_nMark / 15 * BLOCK_SIZE,
          b.m_nMark % 15 * BLOCK_SIZE, 1);
}

bool cGameObject::TouchesSolidBlock() const {
  const cStageScene& scene = TheStage();
  const int corners[4][2] = {{m_nCellLeft, m_nCellTop},
                             {m_nCellLeft, m_nCellBottom},
                             {m_nCellRight, m_nCellTop},
                             {m_nCellRight, m_nCellBottom}};
  for (const auto& c : corners) {
    if (g_BlockMap[scene.CellIndex(c[0], c[1])].GetHitKind(m_nSide) != 0) return true;
  }
  return false;
}

bool cStageScene::BuildBlockMap(const cEdStage& stage) {
  const std::int64_t nRows = static_cast<std::int64_t>(stage.m_nHeight) + 20;
  const std::int64_t nCells = static_cast<std::int64_t>(m_ScrollX.m_nStride) * nRows;
  g_PutBlocks.clear();
  g_PutSources.clear();
  g_pPlacedBlocks = &stage.m_Blocks;
  if (nRows <= 0 || m_ScrollX.m_nStride <= 0 || nCells > MAX_BLOCK_MAP_CELLS) {
    g_BlockMap.clear();
    ErrorBoxPrintf("ステージファイル %s のブロックマップ (%lld マス) が上限の %d マスを超えています！",
                   stage.m_strPath.c_str(), static_cast<long long>(nCells), MAX_BLOCK_MAP_CELLS);
    PostFailureClose();
    return false;
  }
  try {
    g_BlockMap.assign(static_cast<std::size_t>(nCells), cMapBlock());  // no block: it stops nothing
  } catch (const std::bad_alloc&) {
    g_BlockMap.clear();
    ErrorBox("メモリ不足により、ステージの初期設定に失敗しました！");
    PostFailureClose();
    return false;
  }
  for (std::int32_t i = 0; i < stage.m_Blocks.Size(); ++i) {
    const cEdBlock& block = stage.m_Blocks[i];
    // A placement outside the stage (a damaged or hostile file) is left out.
    if (block.m_nX < 0 || block.m_nX >= stage.m_nWidth || block.m_nY < 0 || block.m_nY >= stage.m_nHeight) continue;
    cMapBlock& cell = g_BlockMap[CellIndex(block.m_nX + 10, block.m_nY + 10)];
    cell.m_nBlock = i;
    cell.m_bAppeared = 0;
  }
  return true;
}

bool cStageScene::CheckBlockConditions(cMapBlock& cell) {
  const cEdBlock& b = cell.Block();
  if (b.m_Conditions.empty()) return true;
  if (b.m_bLatchConditions && cell.m_bAppeared) return true;
  if (!flowhook::ConditionsHold(b.m_Conditions, b.m_nConditionRule, g_Players[0])) return false;
  cell.m_bAppeared = 1;
  return true;
}

int cStageScene::StrongestBlockAt(int nLeft, int nTop, int nRight, int nBottom, int nSide) {
  const int corners[4][2] = {{nLeft, nTop}, {nRight, nTop}, {nLeft, nBottom}, {nRight, nBottom}};
  int nBest = BELOW_EVERY_KIND;
  int nBestCell = 0;
  for (const auto& c : corners) {
    const int nCell = CellIndex(c[0], c[1]);
    const int nKind = SignedKind(g_BlockMap[nCell].GetHitKind(nSide));
    if (nKind > nBest) {
      nBest = nKind;
      nBestCell = nCell;
    }
  }
  return nBestCell;
}

int cStageScene::StrongestBlockOnEdge(cActor& actor, int x1, int y1, int x2, int y2) {
  const int n = Scale(actor) + 1;
  if (n <= 0) return 0;
  int nBest = BELOW_EVERY_KIND;
  int nBestCell = 0;
  if (x1 == x2) {
    // The topmost of equal cells is kept.
    for (int k = 0; k < n; ++k) {
      const int nCell = CellIndex(x1 >> BLOCK_SHIFT, (y1 + k * (actor.m_nBaseHitH - 1)) >> BLOCK_SHIFT);
      const int nKind = SignedKind(g_BlockMap[nCell].GetHitKind(actor.m_nSide));
      if (nKind > nBest) {
        nBest = nKind;
        nBestCell = nCell;
      }
    }
    return nBestCell;
  }
  if (y1 == y2) {
    // Equal cells go to the probe nearest the middle of the edge.
    const int nMiddle = (x1 + x2) >> 1;
    int nBestDistance = 0;
    for (int k = 0; k < n; ++k) {
      const int x = x1 + k * (actor.m_nBaseHitW - 1);
      const int nCell = CellIndex(x >> BLOCK_SHIFT, y1 >> BLOCK_SHIFT);
      const int nKind = SignedKind(g_BlockMap[nCell].GetHitKind(actor.m_nSide));
      const int nDistance = std::abs(x - nMiddle);
      if (nKind > nBest || (nKind == nBest && nDistance < nBestDistance)) {
        nBest = nKind;
        nBestCell = nCell;
        nBestDistance = nDistance;
      }
    }
    return nBestCell;
  }
  return 0;
}

int cStageScene::StrongestBlockUnderCentre(cActor& actor) {
  const int s = Scale(actor);
  // An odd number of probes, so that one stands at the middle.
  const int nCount = std::max((s & 1) ? s + 2 : s + 1, 2);
  const int nStep = actor.m_nHitW / (nCount - 1);
  const int nLeft = Trunc(actor.m_dX);
  const int nRight = Trunc(actor.m_dRight);
  const int nRow = Trunc(actor.m_dBottom) >> BLOCK_SHIFT;
  const int nMiddle = (nLeft + nRight) >> 1;
  int nBest = BELOW_EVERY_KIND;
  int nBestCell = 0;
  int nBestDistance = 0;
  for (int k = 0; k < nCount; ++k) {
    const int x = k == nCount - 1 ? nRight : nLeft + k * nStep;
    const int nCell = CellIndex(x >> BLOCK_SHIFT, nRow);
    const int nKind = SignedKind(g_BlockMap[nCell].GetHitKind(actor.m_nSide));
    const int nDistance = std::abs(x - nMiddle);
    if (nKind > nBest || (nKind == nBest && nDistance < nBestDistance)) {
      nBest = nKind;
      nBestCell = nCell;
      nBestDistance = nDistance;
    }
  }
  return nBestCell;
}

namespace {

// A wall on the left or right edge: pushed out to the cell boundary, the inertial
// horizontal motion stopped, and the wall triggers fired.
int ProbeSide(cStageScene& scene, cActor& a, bool bLeft) {
  if (PassesThroughBlocks(a)) return 0;
  const int nEdge = Trunc(bLeft ? a.m_dX : a.m_dRight);
  const int nCell = scene.StrongestBlockOnEdge(a, nEdge, Trunc(a.m_dY), nEdge, Trunc(a.m_dBottom));
  const int nKind = g_BlockMap[nCell].GetHitKind(a.m_nSide);
  if (Stops(a, nKind)) {
    if (DiesOnBlocks(a)) return 2;
    if (bLeft) {
      a.m_bContactLeft = 1;
      a.m_dX += BLOCK_SIZE - (Trunc(a.m_dX) & (BLOCK_SIZE - 1));
    } else {
      a.m_bContactRight = 1;
      a.m_dX -= (Trunc(a.m_dRight) & (BLOCK_SIZE - 1)) + 1;
    }
    a.m_dPushX = 0.0;
    a.SyncX();
    a.m_nLastBlockSide = bLeft ? 0 : 1;
    FireTriggers(a, {TRIGGER_BLOCK, TRIGGER_BLOCK_SIDES, bLeft ? TRIGGER_BLOCK_LEFT : TRIGGER_BLOCK_RIGHT});
    return 0;
  }
  return nKind == 2 ? 2 : 0;  // deadly to the hero
}

// The bottom edge. The recheck after the block characters leaves the air counter alone
// and keeps the stood-on block when there is no floor.
int ProbeBottom(cStageScene& scene, cActor& a, bool bRecheck) {
  if (PassesThroughBlocks(a)) return 0;
  const int y = Trunc(a.m_dBottom);
  const int nCell = scene.StrongestBlockOnEdge(a, Trunc(a.m_dX), y, Trunc(a.m_dRight), y);
  const int nKind = g_BlockMap[nCell].GetHitKind(a.m_nSide);
  if (bRecheck && nKind == BLOCK_HIT_NONE) return 0;
  a.m_pFootBlock = &g_BlockMap[nCell];
  switch (nKind) {
    case BLOCK_HIT_NONE:
      a.m_pFootBlock = nullptr;
      ++a.m_nAirSteps;
      if (a.m_nAirSteps >= g_AirSteps) {
        // The player riding a block character keeps its footing.
        if (!IsHero(a)) {
          a.m_bAirborne = 1;
        } else if (!a.m_bOnBlockChara) {
          a.m_bJumpRising = 1;
          a.m_bAirborne = 1;
        }
      }
      return 0;
    case BLOCK_HIT_SOLID:
      if (DiesOnBlocks(a)) return 2;
      if (IsHero(a)) a.m_pFootBlock = &g_BlockMap[scene.StrongestBlockUnderCentre(a)];
      a.m_pLastFootBlock = a.m_pFootBlock;
      a.Land();
      return 0;
    case BLOCK_HIT_DEADLY_TO_HERO:
      if (bRecheck && IsHero(a)) a.m_pFootBlock = &g_BlockMap[scene.StrongestBlockUnderCentre(a)];
      a.m_pLastFootBlock = a.m_pFootBlock;
      if (IsHero(a) || DiesOnBlocks(a)) return 2;
      a.Land();
      return 0;
    default: return 0;
  }
}

}  // namespace

int cStageScene::ProbeLeft(cActor& actor) { return ProbeSide(*this, actor, true); }
int cStageScene::ProbeRight(cActor& actor) { return ProbeSide(*this, actor, false); }
int cStageScene::ProbeFloor(cActor& actor) { return ProbeBottom(*this, actor, false); }

int cStageScene::ProbeCeiling(cActor& actor) {
  if (PassesThroughBlocks(actor)) return 0;
  const int y = Trunc(actor.m_dY);
  const int nCell = StrongestBlockOnEdge(actor, Trunc(actor.m_dX), y, Trunc(actor.m_dRight), y);
  const int nKind = g_BlockMap[nCell].GetHitKind(actor.m_nSide);
  if (Stops(actor, nKind)) {
    if (DiesOnBlocks(actor)) return 2;
    actor.HitCeiling();
    return 0;
  }
  return nKind == 2 ? 2 : 0;
}

int cStageScene::ResolveBlocksX(cActor& actor) {
  if (PassesThroughBlocks(actor)) return 0;
  // The side the actor moves toward first; a standing actor counts as moving left.
  const bool bRightFirst = CollidesInFlight(actor) || actor.m_dStepX > 0;
  const int r = bRightFirst ? ProbeRight(actor) : ProbeLeft(actor);
  if (r == 2) return 2;
  return bRightFirst ? ProbeLeft(actor) : ProbeRight(actor);
}

int cStageScene::RecheckBlocksX(cActor& actor) {
  if (PassesThroughBlocks(actor)) return 0;
  const int r1 = ProbeRight(actor);
  const int r2 = ProbeLeft(actor);
  return r1 == 2 || r2 == 2 ? 2 : 0;
}

int cStageScene::ResolveBlocksY(cActor& actor) {
  if (PassesThroughBlocks(actor)) return 0;
  actor.m_pFootBlock = nullptr;
  // A falling actor meets the floor first; a rising or resting one the ceiling.
  const bool bFloorFirst = CollidesInFlight(actor) || actor.m_dVelY > 0;
  const int r = bFloorFirst ? ProbeFloor(actor) : ProbeCeiling(actor);
  if (r == 2) return 2;
  return bFloorFirst ? ProbeCeiling(actor) : ProbeFloor(actor);
}

int cStageScene::RecheckBlocksY(cActor& actor) {
  if (PassesThroughBlocks(actor)) return 0;
  const int r1 = ProbeBottom(*this, actor, true);
  const int r2 = ProbeCeiling(actor);
  return r1 == 2 || r2 == 2 ? 2 : 0;
}

bool cStageScene::IsBlocked(cActor& actor) {
  if (PassesThroughBlocks(actor)) return false;
  const int nCell =
      StrongestBlockAt(actor.m_nCellLeft, actor.m_nCellTop, actor.m_nCellRight, actor.m_nCellBottom, actor.m_nSide);
  if (g_BlockMap[nCell].GetHitKind(actor.m_nSide) != 0) return true;
  return OverlapsSolidChara(actor);
}

void cStageScene::ClampToScreenX(cPlayer& player) {
  if (!m_ScrollX.m_bAuto && !player.m_bFlying) return;
  player.CalcScreenRect();
  const SCREENRECT& r = player.m_ScreenRect;
  if (r.left + player.m_nHitOffX < 0) {
    player.m_bContactLeft = 1;
    player.m_dX = m_ScrollX.m_dPos;
    player.SyncX();
  } else if (r.right - player.m_nHitOffX + 1 >= VIEW_WIDTH) {
    player.m_bContactRight = 1;
    player.m_dX = m_ScrollX.m_dPos + VIEW_WIDTH - player.m_nHitW - 1;
    player.SyncX();
  }
}

int cStageScene::ClampToScreenY(cPlayer& player) {
  if (!m_ScrollY.m_bAuto && !player.m_bFlying) return 0;
  player.CalcScreenRect();
  const SCREENRECT& r = player.m_ScreenRect;
  if (r.top + player.m_nHitOffY < 0) {
    player.m_bContactUp = 1;
    player.m_dY = m_ScrollY.m_dPos;
    player.SyncY();
    return 0;
  }
  if (r.bottom - player.m_nHitOffY + 1 >= VIEW_HEIGHT) {
    player.m_bContactDown = 1;
    player.m_dY = m_ScrollY.m_dPos + VIEW_HEIGHT - player.m_nHitH - 1;
    player.SyncY();
    return player.m_bFlying ? 0 : 2;  // a walking player pushed out of the bottom of the view
  }
  return 0;
}
