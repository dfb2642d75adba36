// The stage-play scene (scene id 4): the running stage's state, its life cycle and
// phases, the two scroll axes, the surfaces it loads (StageResources.cpp), the set-up of
// a stage (StageSetup.cpp), the block map and the object lists.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Scene.h"
#include "base/Screen.h"
#include "base/Vector.h"
#include "gamedata/Stage.h"
#include "gfx/DDSurface.h"
#include "stage/Box.h"
#include "stage/Shot.h"
#include "stage/EffectState.h"
#include "stage/StageState.h"

class cActor;
class cChara;
class cEdChara;
class cEdItem;
class cEdShot;
class cEdBlock;
class cItem;
class cCommandRuntime;
class cEdCondition;
class cFlowRuntime;
class cMapBlock;
class cShot;
class cPlayRecord;
class cPlayer;

// One scroll direction of the view and the block-map geometry along it (map pixels:
// the stage proper begins after a margin of 10 cells).
class cScrollAxis {
 public:
  double m_dPos = 0.0;          // map pixel of the view's left (or top) edge
  std::int32_t m_bAtLimit = 0;  // the last clamp hit a limit
  std::int32_t m_nAxis = 0;     // 0 horizontal, 1 vertical
  std::int32_t m_nView = 0;     // VIEW_WIDTH or VIEW_HEIGHT
  std::int32_t m_nMin = 0;      // scroll limits; the far edge of the view may reach m_nMax
  std::int32_t m_nMax = 0;
  std::int32_t m_nStageStart = 0;
  std::int32_t m_nStageEnd = 0;
  std::int32_t m_nMargin = 0;  // cells
  std::int32_t m_nFar = 0;     // outer extent of the range tests
  std::int32_t m_nCells = 0;   // block-map cells along the axis
  std::int32_t m_nStride = 0;  // horizontal: row stride of the block map
  std::int32_t m_nShift = 0;   // horizontal: log2 of the stride
  double m_dSpeed = 0.0;       // automatic scroll, pixels per sub-step
  std::int32_t m_bAuto = 0;

  // The position inside the limits; a stage narrower than the view stays at the minimum.
  void Clamp();
  // One sub-step of the automatic scroll.
  void Step();
  // Automatic scrolling on at n tenths of a pixel per frame, or off.
  void SetAutoScroll(int bOn, int n);
  // Limits from stage cells: cell nFrom is the first shown, nTo the last; an unused
  // side keeps the stage's own edge.
  void SetLimits(int nFrom, int nTo, int bUseFrom, int bUseTo);

  // The automatic scroll speed that carries objects: 0 at a limit.
  double EffectiveSpeed() const { return m_dSpeed != 0.0 && !m_bAtLimit ? m_dSpeed : 0.0; }
  // Axis, view, margin, cells, far extent, stride and stage bounds for a stage of
  // nStageCells cells (scroll limits and speed are set apart). The far extent never
  // reaches beyond the block map.
  void SetMapGeometry(int nAxis, int nStageCells, int nFarExtent);
};

// Outcome codes of the stage-play operations that can end the stage.
enum : int { OUTCOME_GO_ON = 0, OUTCOME_STAGE_CLEAR = 1, OUTCOME_PLAYER_DIES = 2 };

inline constexpr int SIDE_COUNT = 8;
inline constexpr int STAGE_VARIABLE_COUNT = 255;
inline constexpr int ACTIVATION_GROUP_COUNT = 60;
inline constexpr int RANKED_COUNT = 5;
// The largest stage side in cells that the set-up accepts; it keeps the block map small.
inline constexpr int MAX_STAGE_CELLS = 1000;
// The hit-test levels whose sub-step count the set-up accepts (0 draws without moving).
inline constexpr int MAX_SUB_STEPS = 100;

// The running stage's automatic scroll as flows see it: the switch and the speed (tenths
// of a pixel per frame) of each axis (0 horizontal, 1 vertical). They are the stage's own
// header members, so a restart brings back the values the stage began with.
inline std::int32_t AutoScrollOn(int nAxis) { return nAxis == 0 ? g_Stage.m_nScrollModeX : g_Stage.m_nScrollModeY; }
inline std::int32_t AutoScrollSpeed(int nAxis) { return nAxis == 0 ? g_Stage.m_nAutoScrollX : g_Stage.m_nAutoScrollY; }
// Changes the switch and the speed of an axis and applies them to the running scene's axis.
void SetAutoScroll(int nAxis, std::int32_t bOn, std::int32_t nSpeed);
// The stage is seen through the whole screen.
inline constexpr int VIEW_WIDTH = SCREEN_WIDTH;
inline constexpr int VIEW_HEIGHT = SCREEN_HEIGHT;

// What cStageScene::Draw does beside drawing the stage, or-ed together.
enum : unsigned {
  STAGE_DRAW_PLAYING = 1u << 0,       // drawn by play; drawn otherwise, a pause may show the background only
  STAGE_DRAW_FROZEN = 1u << 1,        // animations, effects and popups hold still
  STAGE_DRAW_TIME_WARNING = 1u << 2,  // the time display may sound its warning
  STAGE_DRAW_BOTTOM_TEXT = 1u << 3,   // the test-play or from-editor line at the bottom
  // A frame of play, and the stage held still under a caption, a menu, a fade or a wait.
  STAGE_DRAW_PLAY_FRAME = STAGE_DRAW_PLAYING | STAGE_DRAW_TIME_WARNING | STAGE_DRAW_BOTTOM_TEXT,
  STAGE_DRAW_STILL_FRAME = STAGE_DRAW_FROZEN | STAGE_DRAW_BOTTOM_TEXT,
};

// How cStageScene::SetStage builds the stage, or-ed together.
enum : unsigned {
  SET_STAGE_RESTART = 1u << 0,        // from the stage's start copy again: a retry, a replay or a new try
  SET_STAGE_MUSIC_RESTART = 1u << 1,  // the music is asked for even when the same piece plays, unless kept
};

// Phases of the stage scene.
enum : std::int32_t {
  STAGE_PHASE_FADE_IN = 0,
  STAGE_PHASE_START = 1,
  STAGE_PHASE_PLAY = 2,
  STAGE_PHASE_PAUSE = 3,
  STAGE_PHASE_GAME_END = 4,
  STAGE_PHASE_CONTINUE = 5,
  STAGE_PHASE_GAME_OVER = 6,
  STAGE_PHASE_FADE_OUT = 7,
};

class cStageScene : public cScene {
 public:
  cStageScene();
  ~cStageScene() override;
  void Run() override;
  void Init() override;
  void FadeIn() override;
  void FadeOut() override;
  void CollectSurfaces(std::vector<DDSURFACEDATA*>& out) override;
  void StageStart();
  // One play frame: the close flag first.
  void Play();
  void Pause();
  void GameEnd();
  void ContinueMenu();
  void GameOver();
  // 1 when the pause key is down (phase and step saved for the return).
  int CheckPauseKey();
  // The frame as the phases draw it; nFlags are STAGE_DRAW_* or-ed together.
  void Draw(unsigned nFlags);
  // Drawing (StageDraw.cpp). The automatic scroll of the background layers, once a
  // drawn frame.
  void ScrollBackgrounds();
  // The background layers of one pass (0 behind everything, 1 in front of the objects).
  void DrawBackgrounds(DDSURFACEDATA* target, int nPass);
  // The blocks of one layer (0 back, 1 front) under the view.
  void DrawBlocks(DDSURFACEDATA* target, int nLayer);
  // The darkness mask for the sight radius of player 0 (false after the close request).
  bool MakeSightMask(DDSURFACEDATA* mask, DDSURFACEDATA* hole);
  // The mask of the current sight, rebuilt only when the radius or shape changed.
  DDSURFACEDATA* SightMask();
  // The objects of the frame: by drawing layer when the stage asks for it, else the
  // player, the items, the characters and the shots once each. Dead characters whose
  // ending finished are removed here.
  void DrawObjects(DDSURFACEDATA* target, int bFrozen);
  // One character (ActorDraw.cpp): 1 when it is dead and its death animation has just
  // ended (the caller removes it).
  int DrawChara(DDSURFACEDATA* target, cChara& chara, int bFrozen);
  // The player, or its ending while dead; sets m_bPlayerDeathEnded when that finishes.
  void PlayerDeath(DDSURFACEDATA* target, int bFrozen);
  // The shots of drawing layer nLayer (every shot for -1) that are on screen (Shot.cpp).
  void DrawShots(DDSURFACEDATA* target, int nLayer, int bFrozen);
  // The test-play notice at the bottom of the screen.
  void DrawBottomText(DDSURFACEDATA* target);
  // The status bar and the time limit (StageHud.cpp).
  void DrawHud(DDSURFACEDATA* target);
  void DrawTimeLimit(DDSURFACEDATA* target, int bWarn);
  // The game's counters and this scene's state at the entry from another scene.
  void ResetForEntry();
  // Takes the life being played from the record's spare lives; 0 when none is left.
  int UseLife(cPlayRecord& record);
  // Builds the running stage from g_Stage (and its start snapshot when restarting);
  // nFlags are SET_STAGE_* or-ed together.
  void SetStage(unsigned nFlags);
  // 1 when a failed Init or set-up closes the game: no logic, no drawing of what was
  // not built.
  bool IsClosing() const { return m_bClosing != 0; }
  // Stage music: the loop flag goes into the play record, the number to the window
  // thread (0 stops the music); returns the window's answer.
  std::intptr_t RequestBgm(int nBgm, int bLoop);

  // The end of a stage (GameEnd.cpp). The tally into the play record (with the extra
  // lives it earns) and the ranked places, once when the stage ends; EnterGameEnd adds
  // the game-end phase, as the play frame needs it.
  void TallyResults();
  void AddStageResults();
  void EnterGameEnd();
  // Part nPart of a numbered stage whose clear asked for a part: 1 and its newest numbered
  // file in out when it exists; 0 and out empty otherwise. IsLastPart is the opposite.
  int MakePartPath(std::string& out, int nPart);
  int IsLastPart(int nPart);
  // The name and the results into the rankings, saved, then the ranking display until
  // confirm (RankingEntry.cpp); once per game end, and only when something ranked.
  void RankingEntry();
  // The scene that follows the game end, with the play record made ready for it
  // (NextScene.cpp); called once as the result is left.
  int ChooseNextScene();
  // Draws the player; once a dead player's death animation has ended, the outcome of the
  // death (replay restart, game over, continue menu or restart).
  void PlayerDeath(int bFrozen);
  void DeathOutcome();

  // Resources (StageResources.cpp).
  // Names the background entries after the stage and loads them, with the scene's other
  // table entries unless the scene follows itself; false after the close request.
  bool LoadStageSurfaces(bool bBackgroundsOnly);
  void BuildShotSheets();
  void LoadCharaBitmaps();
  void LoadSwordBitmaps();
  void LoadEffectBitmaps();
  void ReleaseSurfaces();

  // Effects, the full-screen effect, the screen colour and pictures (EffectRun.cpp,
  // ScreenEffects.cpp, Pictures.cpp). Frozen frames advance only what halts the game.
  void DrawEffects(DDSURFACEDATA* target, int bFrozen);
  void AddHitEffect(int nIndex, const cBox& hitBox, const cBox& attackBox, int nScale);
  void RunScreenEffect(int bFrozen);
  void ApplyScreenColor(int bFrozen);
  void DrawPictures(DDSURFACEDATA* target, int nLayer, int bFrozen);
  // Takes down the picture of that id with its surface; nothing when it has gone already.
  void RemovePicture(int nId);
  void ReleasePictures();
  // Message popups (Popups.cpp): drawn after the effects, the ended ones removed; the
  // text surfaces of all of them released; one extra life's icon over the hero for 30
  // frames while the stage stands frozen (the life itself and its sound are the
  // caller's).
  void DrawPopups(DDSURFACEDATA* target, int bFrozen);
  void ReleaseMessageSurfaces();
  void ShowExtraLifePopup();

  std::int32_t m_nSavedPhase = 0;  // where the pause menu returns to
  std::int32_t m_nSavedStep = 0;
  std::int32_t m_nEndRequest = 0;  // 0 none, 1 stage clear, 2 the player dies
  cScrollAxis m_ScrollX;
  cScrollAxis m_ScrollY;
  cVectorList<cShot> m_Shots;
  cVector<cVectorList<cActor*>> m_SideActors;  // by side; not owned
  cVector<cVectorList<cShot*>> m_SideShots;    // by side; not owned
  cVectorList<cMessagePopup> m_Popups;
  cVectorList<cEffect> m_Effects;
  cVectorList<cPicture> m_Pictures;
  cScreenEffectState m_ScreenEffect;
  cScreenColor m_ScreenColor;
  cMessageWait m_Wait;
  // Set by the main window on a close request while a message of stage play waits.
  std::atomic<std::int32_t> m_bQuit{0};
  cActor* m_pCurActor = nullptr;             // the actor whose flows run now
  cFlowRuntime* m_pCurFlow = nullptr;        // the flow being started or stepped
  cCommandRuntime* m_pCurCommand = nullptr;  // the command being executed
  std::int32_t m_bItemMessageOpen = 0;
  std::int32_t m_nSubStep = 0;          // from 1 within a play frame
  std::int32_t m_nStepCount = 0;        // sub-steps since the set-up
  cVector<std::int32_t> m_HitSchedule;  // per sub-step: 1 where shot hits are tested
  std::int32_t m_nTimeLeft = 0;         // time-limit units; 999 without a limit
  std::int32_t m_bNoTimeLimit = 0;
  std::int32_t m_nPlayFrames = 0;
  std::int32_t m_nPlayTime = 0;      // 1/100 s
  std::int32_t m_nPhaseFrames = 0;   // stage-start captions
  std::int32_t m_nPhaseFrames2 = 0;  // game-end display
  std::uint32_t m_nSeed = 0;         // of the random generator
  std::int32_t m_bHoldButtons = 0;
  std::int32_t m_bStatusChanged = 0;       // an HP fell during the sub-step: check deaths
  cVector<std::int32_t> m_StageVariables;  // S0 to S254
  cVector<std::uint8_t> m_GroupAwake;      // activation groups woken in this sub-step
  std::int32_t m_nNextActorId = 0;
  std::int32_t m_nNextItemId = 0;
  std::int32_t m_nNextShotId = 0;
  std::int32_t m_bEraseCharas = 0;
  std::int32_t m_bEraseBlockCharas = 0;
  std::int32_t m_bEraseItems = 0;
  cVector<std::int32_t> m_SummonCells;
  std::int32_t m_nNextPart = 0;
  std::int32_t m_bRanked = 0;
  cVector<std::int32_t> m_Ranks;
  cVector<std::int32_t> m_Results;
  std::string m_strPlayerName;  // the ranking entry's name (up to three characters)
  std::int32_t m_bRankingDone = 0;
  std::int32_t m_nPlayers = 0;  // always 1
  std::int32_t m_bClosing = 0;
  // Set by the drawing of the objects when the dead player's death animation has ended;
  // the end of the frame's drawing clears it and runs the death outcome.
  std::int32_t m_bPlayerDeathEnded = 0;

  // Surfaces from the databases: four per character bitmap and per sword type, two per
  // effect (entry 0 has none).
  cVector<DDSURFACEDATA> m_CharaSurfaces;
  cVector<DDSURFACEINFO> m_CharaInfos;
  cVector<DDSURFACEDATA> m_SwordSurfaces;
  cVector<DDSURFACEINFO> m_SwordInfos;
  cVector<DDSURFACEDATA> m_EffectSurfaces;
  cVector<DDSURFACEINFO> m_EffectInfos;
  std::int32_t m_bTableLoaded = 0;
  DDSURFACEDATA m_SightMask;
  DDSURFACEDATA m_SightHole;
  std::int32_t m_nSightMaskRadius = -1;  // radius and shape the mask was built for; -1 none
  std::int32_t m_nSightMaskShape = -1;   // the fixed-table entries are the scene's to release

  cVector<void (cStageScene::*)()> m_Phases;

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
  // The player held inside the view while an axis scrolls by itself (or it flies); its
  // screen rectangle is taken afresh, the scroll having moved since it was drawn.
  void ClampToScreenX(cPlayer& player);
  int ClampToScreenY(cPlayer& player);

  // The condition gate of a flow, with its latch.
  bool CheckFlowConditions(cFlowRuntime& runtime, cActor& actor);
  // A list combined by rule (0 all, 1 any; others never hold), and one condition.
  bool CheckConditionList(const cVector<cEdCondition>& conditions, int nRule, cActor& actor);
  bool CheckCondition(const cEdCondition& condition, cActor& actor);
  // The play frame (PlayFrame.cpp). Play time counts displayed frames as 1/100 s at 60
  // frames a second; the time limit runs down one unit every 60 calls, 1 when it ran out.
  void TickPlayTime();
  int TickTimeLimit(int nDelta);
  // The logic sub-steps of a frame; 1 when one ended the frame (a death, the stage's end).
  int PlayLogic();
  // One logic sub-step; 1 when it ended the frame.
  int PlaySubStep();
  // The shot pass of a sub-step (Shot.cpp): every shot's step, moves, erase range and
  // block test.
  void ShotPass();
  // Removals made inside a sub-step leave their characters listed (unlinked and marked
  // removed) until the sub-step ends, so that every loop over the list survives them.
  void SweepRemovedCharas();
  std::int32_t m_bDeferRemovals = 0;

  // Deaths: 0 go on, 1 the stage ends (cleared), 2 the hero is dead.
  int KillActor(cActor& x);
  int KillAndCheckEnd(cActor& x);
  // Deaths and removals after a sub-step that changed a status; 1 when it ends the step.
  int HpCheckPass();

  // Activation, special blocks, block characters, hits and item pick-up
  // (Activation.cpp, BlockCharas.cpp, HitPass.cpp). Results are outcome codes.
  void ActivateObjects();
  bool CheckCharaCondition(cChara& chara);
  bool CheckItemCondition(cItem& item);
  // A block put into a cell gives every actor it covers a short grace from crushing; 1
  // when it covers an actor of a kind the summon keeps off (then the summon stops).
  int GraceCoveredActors(int nCell, int nColumn, int nRow, int bKeepOffPlayer, int bKeepOffCharas);
  int ApplyFootBlock(cPlayer& player);
  int ApplyItemBlock(cPlayer& player);
  int CarryRider(cActor& actor);
  int BlockCharaPass(cActor& actor);
  void PushOutOfBlockCharas(cActor& actor, int bVertical);
  bool IsOnRiddenBlockChara(cActor& actor);
  bool IsOnAnyBlockChara(cActor& actor);
  bool IsCrushedByBlockCharas(cActor& actor, const cBox& entry);
  int HitPass();
  // Actors against actors by sides; the shot stages sit beside it.
  int HitActorsPass();
  int ItemPickUpPass(cPlayer& player);
  int GiveItem(cItem* pItem, cPlayer& player);

  // Clears every link to an actor that leaves: targeters' targets, aiming shots, its
  // entry among its target's targeters, and its side list.
  void UnlinkActor(cActor& actor);
  // The one removal of a character: unlinks it, takes it out of its list (inside a
  // sub-step: marks it for the sweep at the sub-step's end) and returns the node after it.
  cVectorList<cChara>::iterator EraseChara(cVectorList<cChara>& list, cVectorList<cChara>::iterator node);
  // The characters of one stage placement at stage cell (column, row): the placement and
  // its copies, each appended with serial nCounter (then counted) only when inside the
  // stage; pItem (or null) is the item they hold.
  void SpawnCharaAt(cVectorList<cChara>& list, int nColumn, int nRow, std::int32_t& nCounter, const cEdChara& placement,
                    const cItem* pItem);
  // One item of a stage placement at stage cell (column, row), moved by the placement's
  // offsets; appended with serial nCounter (then counted) only when inside the stage.
  void SpawnItemAt(cVectorList<cItem>& list, int nColumn, int nRow, std::int32_t& nCounter, const cEdItem& placement);
  // An item summoned with its body's top-left at map pixel (x, y) less its body offset;
  // the payload may limit its life. Counted only when it lies inside the stage.
  void SummonItem(cVectorList<cItem>& list, double x, double y, const cEdShot& payload, const cEdItem& def,
                  std::int32_t& nCounter);

  // Shots and swords (Shot.cpp, ShotHits.cpp). A copy of the shot joins the shot list
  // and the list of its side; the copy is returned.
  cShot& AddShot(const cShot& shot);
  // Erases the shots that the hit stages took out of their side lists.
  void SweepShots();
  // Attacks against actors and attacks against attacks; 0 go on, else the outcome.
  int HitShotsOnActors();
  void ClashShots();
  // Summons (Summon.cpp): a character placed with its body's top-left at (x, y) less its
  // body offset; a block put, removed or toggled at the cell under (x, y).
  void SummonChara(cVectorList<cChara>& list, double x, double y, int nSide, int nFacing, const cEdShot& payload,
                   const cEdChara& def, std::int32_t& nCounter);
  int SummonBlock(double x, double y, const cEdShot& payload, const cEdBlock& block);

 private:
  // Set-up steps (StageSetup.cpp); each false after the close request it posted.
  bool CheckStageGeometry();
  void SeedRandom();
  void RequestStageMusic(int bMusicRestart);
  void SetUpScrollAxes();
  void SetUpPlayer();
  void SpawnPlacedObjects();
  void BuildHitSchedule();
  void FireStartTriggers();
  // The set-up failed: a box, the close request, and from now on a closing scene.
  void FailSetUp(const char* text);
};

// The shot-hit schedule of a frame of nSubSteps sub-steps with nChecks hit tests (0:
// every sub-step).
cVector<std::int32_t> MakeHitSchedule(int nSubSteps, int nChecks);
// Frames of the stage-start captions: 80 each, drawn while the counter is below 80.
inline constexpr int CAPTION_FRAMES = 80;

// Where the pause and continue menus stand: y is fixed, x is centred on their texts
// every frame.
struct cMenuPos {
  std::int32_t x;
  std::int32_t y;
};
extern cMenuPos g_MenuPosPause;
extern cMenuPos g_MenuPosContinue;

// The running stage scene; the window thread reads the pointer too. The scene manager
// sets it when it makes scene 4 and clears it before deleting that scene.
extern std::atomic<cStageScene*> g_StageScene;
inline cStageScene& TheStage() { return *g_StageScene.load(std::memory_order_relaxed); }
