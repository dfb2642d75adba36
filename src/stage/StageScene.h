// The stage-play scene (scene id 4) as far as the object model, the geometry helpers,
// the image references and the block map need it: the two scroll axes, the per-side
// actor lists, the character bitmaps and the block-map collision. Its play phase so far
// only keeps the close flag and draws nothing; the stage's set-up, play and drawing come
// with the scene code.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "core/Scene.h"
#include "core/Vector.h"
#include "gfx/DDSurface.h"

class cActor;
class cChara;
class cEdItem;
class cEdShot;
class cItem;
class cCommandRuntime;
class cEdCondition;
class cEdStage;
class cFlowRuntime;
class cMapBlock;

// One scroll direction of the view and the block-map geometry along it (map pixels:
// the stage proper begins after a margin of 10 cells).
class cScrollAxis {
 public:
  double m_dPos = 0.0;            // map pixel of the view's left (or top) edge
  std::int32_t m_bAtLimit = 0;    // the last clamp hit a limit
  std::int32_t m_nAxis = 0;       // 0 horizontal, 1 vertical
  std::int32_t m_nView = 0;       // 640 or 480
  std::int32_t m_nMin = 0;        // scroll limits
  std::int32_t m_nMax = 0;
  std::int32_t m_nStageStart = 0;
  std::int32_t m_nStageEnd = 0;
  std::int32_t m_nMargin = 0;     // cells
  std::int32_t m_nFar = 0;        // outer extent of the range tests
  std::int32_t m_nCells = 0;      // block-map cells along the axis
  std::int32_t m_nStride = 0;     // horizontal: row stride of the block map
  std::int32_t m_nShift = 0;      // horizontal: log2 of the stride
  double m_dSpeed = 0.0;          // automatic scroll, pixels per sub-step
  std::int32_t m_bAuto = 0;

  // Automatic scrolling on at n tenths of a pixel per frame, or off.
  void SetAutoScroll(int bOn, int n);

  // The automatic scroll speed that carries objects: 0 at a limit.
  double EffectiveSpeed() const { return m_dSpeed != 0.0 && !m_bAtLimit ? m_dSpeed : 0.0; }
  // Axis, view, margin, cells, far extent, stride and stage bounds for a stage of
  // nStageCells cells (scroll limits and speed are set apart).
  void SetMapGeometry(int nAxis, int nStageCells, int nFarExtent);
};

inline constexpr int SIDE_COUNT = 8;
inline constexpr int STAGE_VARIABLE_COUNT = 255;

// The running stage's automatic scroll: the switch and the speed (tenths of a pixel per
// frame) of each axis, as flows read and change them.
extern std::int32_t g_bAutoScrollX;
extern std::int32_t g_bAutoScrollY;
extern std::int32_t g_nAutoScrollSpeedX;
extern std::int32_t g_nAutoScrollSpeedY;
inline constexpr int VIEW_WIDTH = 640;
inline constexpr int VIEW_HEIGHT = 480;

class cStageScene : public cScene {
 public:
  cStageScene();
  void Run() override;
  void FadeIn() override;
  void FadeOut() override;
  // One play frame: the close flag first.
  void Play();
  // Stage music: the loop flag goes into the play record, the number to the window
  // thread (0 stops the music); returns the window's answer.
  std::intptr_t RequestBgm(int nBgm, int bLoop);

  // Set by the main window on a close request while a message of stage play waits.
  std::atomic<std::int32_t> m_bQuit{0};
  // The name of the current ranking entry (up to three characters).
  std::string m_strRankName;
  cVector<void (cStageScene::*)()> m_Phases;

  cScrollAxis m_ScrollX;
  cScrollAxis m_ScrollY;
  cVector<cVectorList<cActor*>> m_SideActors;  // by side; not owned
  cVector<DDSURFACEDATA> m_CharaSurfaces;       // four per character bitmap of the database
  cActor* m_pCurActor = nullptr;                // the actor whose flows run now
  cFlowRuntime* m_pCurFlow = nullptr;           // the flow being started or stepped
  cCommandRuntime* m_pCurCommand = nullptr;     // the command being executed
  std::int32_t m_nTimeLeft = 0;                 // time-limit units; 999 without a limit
  std::int32_t m_bNoTimeLimit = 0;
  std::int32_t m_bStatusChanged = 0;            // an HP fell during the sub-step: check deaths
  cVector<std::int32_t> m_StageVariables;       // S0 to S254
  std::int32_t m_nEndRequest = 0;  // 0 none, 1 stage clear, 2 the player dies
  std::int32_t m_nNextPart = 0;    // after a clear: the part to play, 0 the world is cleared
  std::int32_t m_bItemMessageOpen = 0;  // an item's list has opened the message window

  // Block map and block collision. Cell indexes are column + (row << m_ScrollX.m_nShift).
  // Builds g_BlockMap for a stage whose axes are set up; false (after the error box and
  // the close request) when the map cannot be made.
  bool BuildBlockMap(const cEdStage& stage);
  int CellIndex(int nColumn, int nRow) const { return nColumn + (nRow << m_ScrollX.m_nShift); }
  // Whether a cell with appearance conditions is present now.
  static bool CheckBlockConditions(cMapBlock& cell);
  int StrongestBlockAt(int nLeft, int nTop, int nRight, int nBottom, int nSide);
  int StrongestBlockOnEdge(cActor& actor, int x1, int y1, int x2, int y2);
  int StrongestBlockUnderCentre(cActor& actor);
  // 0, or 2 when the block kills the actor.
  int ProbeLeft(cActor& actor);
  int ProbeRight(cActor& actor);
  int ProbeCeiling(cActor& actor);
  int ProbeFloor(cActor& actor);
  int ResolveBlocksX(cActor& actor);
  int RecheckBlocksX(cActor& actor);
  int ResolveBlocksY(cActor& actor);
  int RecheckBlocksY(cActor& actor);
  bool IsBlocked(cActor& actor);
  bool OverlapsSolidChara(cActor& actor);
  void ClampToScreenX(cActor& player);
  int ClampToScreenY(cActor& player);

  // The condition gate of a flow, with its latch.
  bool CheckFlowConditions(cFlowRuntime& runtime, cActor& actor);
  // A list combined by rule (0 all, 1 any; others never hold), and one condition.
  bool CheckConditionList(const cVector<cEdCondition>& conditions, int nRule, cActor& actor);
  bool CheckCondition(const cEdCondition& condition, cActor& actor);
  // Deaths: 0 go on, 1 the stage ends (cleared), 2 the hero is dead.
  int KillActor(cActor& x);
  int KillAndCheckEnd(cActor& x);
  // Deaths and removals after a sub-step that changed a status; 1 when it ends the step.
  int HpCheckPass();

  // Clears every link to an actor that leaves: targeters' targets, aiming shots, its
  // entry among its target's targeters, and its side list.
  void UnlinkActor(cActor& actor);
  // Unlinks a character, takes it out of its list and returns the node after it.
  cVectorList<cChara>::iterator EraseChara(cVectorList<cChara>& list, cVectorList<cChara>::iterator node);
  // One item of a stage placement at stage cell (column, row), moved by the placement's
  // offsets; appended with serial nCounter (then counted) only when inside the stage.
  void SpawnItemAt(cVectorList<cItem>& list, int nColumn, int nRow, std::int32_t& nCounter, const cEdItem& placement);
  // An item summoned with its body's top-left at map pixel (x, y) less its body offset;
  // the payload may limit its life. Counted only when it lies inside the stage.
  void SummonItem(cVectorList<cItem>& list, double x, double y, const cEdShot& payload, const cEdItem& def,
                  std::int32_t& nCounter);
};

// The running stage scene; the window thread reads the pointer too. The scene manager
// sets it when it makes scene 4 and clears it before deleting that scene.
extern std::atomic<cStageScene*> g_StageScene;
inline cStageScene& TheStage() { return *g_StageScene.load(std::memory_order_relaxed); }
