// The story mode's world map (scene 1): the hero walks from cell to cell over the map
// grid while the map scrolls under him. A map point's first entry whose conditions hold
// is its active entry; a stage entry leads into stage play, a wall entry stops the hero.
// Cancel opens the map menu; coming back from a stage with auto-save on saves the game.
#pragma once
#include <cstdint>
#include <vector>

#include "base/Scene.h"
#include "base/Vector.h"
#include "frontend/MenuCursor.h"
#include "frontend/MenuHelpers.h"
#include "gfx/DDSurface.h"

class cEdMapPoint;
class cEdMapPointEntry;
class cPad;

// Entry kinds of a map point.
enum : std::int32_t { MAP_ENTRY_STAGE = 0, MAP_ENTRY_ROAD = 1, MAP_ENTRY_WALL = 2 };

// Entries of the bitmap table the map draws from; the map image is the blank one of the screen's size.
enum : std::int32_t {
  BMP_MAP_CHIPS = 52,
  BMP_MAP_ICONS = 53,
  BMP_MAP_BACK = 54,
  BMP_MAP_IMAGE = 67,
};

extern POINTI g_MapYesNoPos;  // the ask-first box; x follows its texts
extern const POINTI g_MapRankPanelPos;
extern POINTI g_LastMapView;  // the view of the map image last drawn; -1, -1 before any

class cWorldMapScene : public cScene {
 public:
  cWorldMapScene();
  ~cWorldMapScene() override;

  void Run() override;
  void Init() override;
  void FadeIn() override;
  void FadeOut() override;
  void CollectSurfaces(std::vector<DDSURFACEDATA*>& out) override;

  void MoveOnMap();
  void ConfirmEnter();

  // The first entry whose switch, variable and best-total conditions hold; null for none.
  static cEdMapPointEntry* FindActiveEntry(cEdMapPoint* point);
  static bool IsCleared(const cEdMapPointEntry* entry);
  // The stage is entered only by the confirm button: the entry asks first or is cleared.
  static bool AsksFirst(const cEdMapPointEntry* entry);

  // One step of the hero by the pad's directions (left, right, up, down: the first held
  // one only); a wall leaves him where he stood, turned.
  void MoveCursor(cMenuCursor& cursor, const cPad& pad);
  // The stage key, best value and rankings of the active entry.
  void UpdatePointInfo();
  // The play record set for the stage just loaded into the start snapshot.
  void EnterStage();
  void DrawRanking(DDSURFACEDATA* surface);
  // The cells and point icons of the view into the map image.
  void DrawMapImage();
  void Draw(bool bWithInfo);

  std::int32_t m_nViewX = 0;
  std::int32_t m_nViewY = 0;
  cEdMapPoint* m_pPoint = nullptr;
  cEdMapPointEntry* m_pEntry = nullptr;
  std::int32_t m_nFacing = 0;  // 0 down, 1 up, 2 left, 3 right
  CURSORSTATE m_PrevCursor;    // the cell before the last move
  CURSORSTATE m_InfoCell;      // the cell whose point information was loaded last
  std::int32_t m_nBest = 0;
  std::int32_t m_nWalkFrame = 0;  // the hero's two-frame walk, 1 to 80
  std::int32_t m_bStageLoaded = 0;
  std::int32_t m_bEntryFailed = 0;  // the automatic entry failed: the game closes
  cVector<void (cWorldMapScene::*)()> m_Phases;
  cVector<DDSURFACEDATA> m_WorkSurfaces;  // the ranking panel
  cVector<DDSURFACEINFO> m_WorkInfos;

 private:
  void LookUpPoint();
  void ApplyView();
  void RedrawPanel();
  // The C and V keys: show or hide the ranking panel, change its quantity.
  void RankingKeys(const cPad& pad);
  void Enter();
  // Loads the active entry's stage; the box when it does not load.
  bool LoadEntryStage();
};
