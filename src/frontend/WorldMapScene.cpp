#include "frontend/WorldMapScene.h"

#include <algorithm>
#include <string>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "base/Failure.h"
#include "base/Log.h"
#include "base/PathUtil.h"
#include "base/SceneManager.h"
#include "base/Screen.h"
#include "base/SjisText.h"
#include "flow/Conditions.h"
#include "records/NumberText.h"
#include "records/PlayRecord.h"
#include "records/Ranking.h"
#include "records/SaveNotice.h"
#include "gamedata/Stage.h"
#include "gamedata/StageLoad.h"
#include "gamedata/System.h"
#include "gamedata/WorldMap.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDFade.h"
#include "gfx/DDInit.h"
#include "gfx/Font.h"
#include "platform/messaging.h"
#include "platform/winnum.h"
#include "sound/SoundTable.h"
#include "ui/Pad.h"

POINTI g_MapYesNoPos = {0, 260};
const POINTI g_MapRankPanelPos = {367, 64};
POINTI g_LastMapView = {-1, -1};

namespace {

constexpr std::int32_t kMapSurfaces[] = {BMP_MAP_BACK,  BMP_MAP_CHIPS, BMP_MAP_ICONS,
                                         BMP_ACCESSORY, BMP_WINDOW,    BMP_MAP_IMAGE};
// The map is drawn in cells of a stage block's size, as many as fill the screen.
constexpr int kCell = BLOCK_SIZE;
constexpr int kViewColumns = SCREEN_WIDTH / kCell;
constexpr int kViewRows = SCREEN_HEIGHT / kCell;
// The hero stands in the middle of the screen; the view puts his cell there.
constexpr int kHeroX = 288;
constexpr int kHeroY = 224;
constexpr int kHeroColumn = kHeroX / kCell;
constexpr int kHeroRow = kHeroY / kCell;
constexpr int kNameCentreX = kHeroX + kCell / 2;
constexpr int kPanelW = 272;
constexpr int kPanelH = 352;
constexpr int kWalkFrames = 80;
// System texts of the ask-first box and the best value's label.
constexpr int TEXT_ENTER_STAGE = 10;
constexpr int TEXT_SCORE = 2;

DDSURFACEDATA* Sheet(std::int32_t id) { return &g_SurfaceData[id]; }

const std::string& SystemText(int n) {
  static const std::string empty;
  return n < g_System.m_Texts.Size() ? g_System.m_Texts[n] : empty;
}

bool SwitchOn(std::int32_t n) { return n >= 0 && n < g_PlayRecord.m_Switches.Size() && g_PlayRecord.m_Switches[n]; }

bool VariableHolds(const cEdMapPointEntry& entry) {
  const cVector<std::int32_t>& vars = g_PlayRecord.m_CommonVariables;
  const std::int32_t n = entry.m_nVariable;
  return n >= 0 && n < vars.Size() && CompareByOp(vars[n], entry.m_nValue, entry.m_nOperator);
}

bool IsStageEntry(const cEdMapPointEntry* entry) { return entry && entry->m_nKind == MAP_ENTRY_STAGE; }

bool SameCell(const CURSORSTATE& a, const CURSORSTATE& b) { return a.m_nColumn == b.m_nColumn && a.m_nRow == b.m_nRow; }

// The text centred on x in a window of its own width, 16-pixel font.
void DrawCentredBox(int x, int y, const std::string& text) {
  const int width = 16 * CountChars(text);
  g_Fonts[1].DrawTextBox(&BackBuffer, x - width / 2, y, width, 16, text, 0);
}

}  // namespace

cWorldMapScene::cWorldMapScene()
    : m_Phases{&cWorldMapScene::FadeIn, &cWorldMapScene::MoveOnMap, &cWorldMapScene::ConfirmEnter,
               &cWorldMapScene::FadeOut} {}

cWorldMapScene::~cWorldMapScene() {
  for (std::int32_t id : kMapSurfaces) DDReleaseSurface(Sheet(id));
  DDReleaseSurfaceVector(m_WorkSurfaces);
}

void cWorldMapScene::Run() {
  cPad& pad = g_Pads[0];
  pad.ApplyRepeat();
  // C and V toggle the ranking panel: they count once per press like confirm and cancel.
  pad.PressOnce(15);
  RunPhases(*this, m_Phases);
}

void cWorldMapScene::Init() {
  plat::send(g_hWnd.load(), plat::Msg{appmsg::PlayMusic, appmsg::MusicWorldMap, 0});
  if (g_DDState.lpInfoTable && BMP_MAP_BACK < g_DDState.nSurfaceCount)
    g_DDState.lpInfoTable[BMP_MAP_BACK].szFileName = g_WorldMap.m_strPicture;
  if (!DDLoadSurfaces(g_SurfaceData, kMapSurfaces, static_cast<std::int32_t>(std::size(kMapSurfaces))))
    PostFailureClose();

  g_MenuCursor.Reset();
  CURSORSTATE& top = *g_MenuCursor.m_pTop;
  top.m_nColumn = g_PlayRecord.m_nMapX;
  top.m_nRow = g_PlayRecord.m_nMapY;
  top.m_nX = kHeroX;
  top.m_nY = kHeroY;
  m_nViewX = top.m_nColumn - kHeroColumn;
  m_nViewY = top.m_nRow - kHeroRow;
  m_nFacing = g_PlayRecord.m_nMapFacing;
  LookUpPoint();
  m_PrevCursor = top;

  if (!DDAddSurface(m_WorkSurfaces, m_WorkInfos, kPanelW, kPanelH, 0, 0, 0, 0)) PostCloseRequest();
  else RedrawPanel();
  if (IsStageEntry(m_pEntry)) UpdatePointInfo();
  if (g_PlayRecord.m_bAutoSave && g_SceneManager.m_nPrevScene == SCENE_STAGE &&
      !g_PlayRecord.SaveSlot(g_PlayRecord.m_nSlot)) {
    std::string path;
    if (MakeSlotPath(path, g_PlayRecord.m_nSlot)) TellFailedSave(AutoSave::StorySlot, path);
  }
  DrawMapImage();
  m_nStep = 0;
}

cEdMapPointEntry* cWorldMapScene::FindActiveEntry(cEdMapPoint* point) {
  if (!point) return nullptr;
  for (cEdMapPointEntry& entry : point->m_Entries) {
    if (entry.m_nSwitch > 0 && !SwitchOn(entry.m_nSwitch)) continue;
    if (entry.m_nVariable != 0 && !VariableHolds(entry)) continue;
    if (g_PlayRecord.m_nBestTotal < entry.m_nMinBestTotal) continue;
    return &entry;
  }
  return nullptr;
}

bool cWorldMapScene::IsCleared(const cEdMapPointEntry* entry) { return entry && SwitchOn(entry->m_nStage); }

bool cWorldMapScene::AsksFirst(const cEdMapPointEntry* entry) {
  return entry && (entry->m_bAskFirst || IsCleared(entry));
}

void cWorldMapScene::LookUpPoint() {
  const CURSORSTATE& top = *g_MenuCursor.m_pTop;
  m_pPoint = g_WorldMap.FindPoint(top.m_nColumn, top.m_nRow);
  m_pEntry = FindActiveEntry(m_pPoint);
}

void cWorldMapScene::ApplyView() {
  const CURSORSTATE& top = *g_MenuCursor.m_pTop;
  m_nViewX = top.m_nColumn - kHeroColumn;
  m_nViewY = top.m_nRow - kHeroRow;
  if (m_nViewX != g_LastMapView.x || m_nViewY != g_LastMapView.y) DrawMapImage();
}

void cWorldMapScene::MoveCursor(cMenuCursor& cursor, const cPad& pad) {
  CURSORSTATE& top = *cursor.m_pTop;
  const std::uint16_t dir = pad.m_wDirection;
  if (dir & (cPad::DirLeft | cPad::DirRight | cPad::DirUp | cPad::DirDown)) {
    g_PlayRecord.m_nPrevMapX = top.m_nColumn;
    g_PlayRecord.m_nPrevMapY = top.m_nRow;
    m_PrevCursor = top;
  }
  if (dir & cPad::DirLeft) {
    m_nFacing = 2;
    top.m_nColumn = std::max(top.m_nColumn - 1, 0);
  } else if (dir & cPad::DirRight) {
    m_nFacing = 3;
    top.m_nColumn = std::min(top.m_nColumn + 1, g_WorldMap.m_nWidth - 1);
  } else if (dir & cPad::DirUp) {
    m_nFacing = 1;
    top.m_nRow = std::max(top.m_nRow - 1, 0);
  } else if (dir & cPad::DirDown) {
    m_nFacing = 0;
    top.m_nRow = std::min(top.m_nRow + 1, g_WorldMap.m_nHeight - 1);
  }
  m_pPoint = g_WorldMap.FindPoint(top.m_nColumn, top.m_nRow);
  m_pEntry = FindActiveEntry(m_pPoint);
  bool blocked = false;
  if (m_pEntry) {
    blocked = m_pEntry->m_nKind == MAP_ENTRY_WALL;
  } else {
    const cEdWorld* world = g_WorldMap.WorldAt(top.m_nColumn, top.m_nRow);
    blocked = world && world->m_bBlocked;
  }
  if (blocked) {
    // He turns toward the wall; the turn is not kept in the record.
    top = m_PrevCursor;
  } else {
    g_PlayRecord.m_nMapFacing = m_nFacing;
    m_nViewX = top.m_nColumn - kHeroColumn;
    m_nViewY = top.m_nRow - kHeroRow;
    if (m_nViewX != g_LastMapView.x || m_nViewY != g_LastMapView.y) DrawMapImage();
  }
  top.m_nX = kHeroX;
  top.m_nY = kHeroY;
}

void cWorldMapScene::UpdatePointInfo() {
  if (!m_pEntry) return;
  g_PlayRecord.SetStageName(m_pEntry->m_strStageFile);
  m_nBest = g_PlayRecord.GetStageBest(g_PlayRecord.m_strStageName);
  if (g_SceneManager.m_bModeRanks) {
    const int mode = g_SceneManager.m_nGameMode;
    g_RankingSet.LoadFile(mode, g_PlayRecord.m_strStageName);
    g_PlayRecord.CycleRankingView(mode, 0);
    RedrawPanel();
  }
}

void cWorldMapScene::EnterStage() {
  std::string name = g_Stage.m_strPath;
  MakeRelativePath(name);
  g_PlayRecord.SetStageName(name);
  g_PlayRecord.m_nStage = m_pEntry ? m_pEntry->m_nStage : 0;
  g_PlayRecord.m_nPart = 1;
  // Unlimited story lives stay unlimited whether or not the lives are carried.
  if (g_System.m_UnlimitedLives[GAME_MODE_STORY]) g_PlayRecord.m_nStartLives = UNLIMITED_LIVES;
  else if (g_System.m_bStoryCarryLives) g_PlayRecord.m_nStartLives = g_PlayRecord.m_nLives + 1;
  else g_PlayRecord.m_nStartLives = g_System.m_StartLives[GAME_MODE_STORY];
  g_PlayRecord.m_pMapEntry = m_pEntry;
}

void cWorldMapScene::DrawRanking(DDSURFACEDATA* surface) {
  g_RankingSet.DrawTable(surface, 0, 0, g_PlayRecord.m_nRankView, -1);
}

void cWorldMapScene::RedrawPanel() {
  if (!m_WorkSurfaces.empty()) DrawRanking(&m_WorkSurfaces[0]);
}

void cWorldMapScene::DrawMapImage() {
  DDSURFACEDATA* image = Sheet(BMP_MAP_IMAGE);
  DDClear(image, g_WorldMap.m_nBgColor);
  if (g_WorldMap.m_bBgPicture) {
    // The picture scrolls with the view and stops at the map's top-left corner.
    const int dx = m_nViewX < 0 ? -kCell * m_nViewX : 0;
    const int sx = m_nViewX < 0 ? 0 : kCell * m_nViewX;
    const int dy = m_nViewY < 0 ? -kCell * m_nViewY : 0;
    const int sy = m_nViewY < 0 ? 0 : kCell * m_nViewY;
    DDBlt(image, dx, dy, SCREEN_WIDTH, SCREEN_HEIGHT, Sheet(BMP_MAP_BACK), sx, sy, 0);
  }
  for (int i = 0; i < kViewRows; ++i) {
    for (int j = 0; j < kViewColumns; ++j) {
      const int x = m_nViewX + j;
      const int y = m_nViewY + i;
      if (x < 0 || y < 0 || x >= g_WorldMap.m_nWidth || y >= g_WorldMap.m_nHeight) continue;
      const cEdWorld* world = g_WorldMap.WorldAt(x, y);
      const int chip = world ? std::max(world->m_nPicture, 0) : 0;
      DDBlt(image, kCell * j, kCell * i, kCell, kCell, Sheet(BMP_MAP_CHIPS), (chip % 5) * kCell, (chip / 5) * kCell, 1);
    }
  }
  for (cEdMapPoint& point : g_WorldMap.m_Points) {
    const cEdMapPointEntry* entry = FindActiveEntry(&point);
    if (!entry) continue;
    DDBlt(image, (point.m_nX - m_nViewX) * kCell, (point.m_nY - m_nViewY) * kCell, kCell, kCell, Sheet(BMP_MAP_ICONS),
          IsCleared(entry) ? kCell : 0, kCell * entry->m_nPictureRow, 1);
  }
  g_LastMapView = {m_nViewX, m_nViewY};
}

void cWorldMapScene::Draw(bool bWithInfo) {
  DDSURFACEDATA* image = Sheet(BMP_MAP_IMAGE);
  if (image->lpDT && image->lpDT->bRecreated) {
    DrawMapImage();
    image->lpDT->bRecreated = 0;
  }
  DDBlt(&BackBuffer, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, image, 0, 0, 0);

  // The hero: a cell per facing, two walking frames of 40 frames each.
  static constexpr POINTI kHeroCells[4] = {{0, 64}, {64, 64}, {64, 96}, {0, 96}};
  const POINTI cell = kHeroCells[std::clamp(m_nFacing, 0, 3)];
  if (++m_nWalkFrame >= kWalkFrames + 1) m_nWalkFrame = 1;
  const int walk = m_nWalkFrame > kWalkFrames / 2 ? kCell : 0;
  DDBlt(&BackBuffer, kHeroX, kHeroY, kCell, kCell, Sheet(BMP_ACCESSORY), cell.x + walk, cell.y, 1);

  if (g_System.m_bMapShowLives) {
    const std::int32_t lives = g_PlayRecord.m_nLives;
    const int digits = lives == UNLIMITED_LIVES ? 1 : CountDigits(lives);
    const int w = 16 * (digits + 1);
    const int x = 621 - w;
    g_Fonts[1].DrawWindow(&BackBuffer, x, 17, w, 20);
    DDBlt(&BackBuffer, x, 19, 16, 16, Sheet(BMP_ACCESSORY), 0, 48, 1);
    if (lives == UNLIMITED_LIVES) g_Fonts[1].Draw(&BackBuffer, x + 16, 19, "∞", 0);
    else FontPrintf(&g_Fonts[1], &BackBuffer, x + 16, 19, "%d", lives);
  }

  if (!bWithInfo || !IsStageEntry(m_pEntry)) return;
  if (g_System.m_GameModes[GAME_MODE_STORY].m_bRanks && g_PlayRecord.m_bShowRanking && !m_WorkSurfaces.empty()) {
    DDSURFACEDATA* panel = &m_WorkSurfaces[0];
    if (panel->lpDT && panel->lpDT->bRecreated) {
      DrawRanking(panel);
      panel->lpDT->bRecreated = 0;
    }
    DDBlt(&BackBuffer, g_MapRankPanelPos.x, g_MapRankPanelPos.y, panel->nWidth, panel->nHeight, panel, 0, 0, 0);
  }
  const bool showBest = g_System.m_bMapShowScore && m_nBest > 0;
  const int y = showBest ? 184 : 204;
  if (CountChars(m_pEntry->m_strText) > 0) DrawCentredBox(kNameCentreX, y, m_pEntry->m_strText);
  if (showBest) {
    std::string text;
    FormatString(text, "%s%d", SystemText(TEXT_SCORE).c_str(), m_nBest);
    DrawCentredBox(kNameCentreX, y + 20, text);
  }
}

void cWorldMapScene::RankingKeys(const cPad& pad) {
  const bool ranks = g_System.m_GameModes[GAME_MODE_STORY].m_bRanks;
  if (pad.m_wButtons & 4) {
    if (ranks) {
      RequestSystemSound(6);
      g_PlayRecord.m_bShowRanking = !g_PlayRecord.m_bShowRanking;
    } else {
      g_PlayRecord.m_bShowRanking = 0;
    }
    RedrawPanel();
  }
  if (pad.m_wButtons & 8) {
    const int mode = g_SceneManager.m_nGameMode;
    if (ranks && CountRankedQuantities(mode) >= 2) {
      RequestSystemSound(6);
      g_PlayRecord.CycleRankingView(mode, 1);
    }
    RedrawPanel();
  }
}

void cWorldMapScene::Enter() {
  const CURSORSTATE& top = *g_MenuCursor.m_pTop;
  g_PlayRecord.m_nMapX = top.m_nColumn;
  g_PlayRecord.m_nMapY = top.m_nRow;
  g_MenuCursor.Push(0);
  m_nPhase = 2;
  m_nStep = 0;
}

bool cWorldMapScene::LoadEntryStage() {
  if (m_pEntry && LoadStage(m_pEntry->m_strStageFile, 1, &g_StartStage)) return true;
  ErrorBoxPrintf("ステージファイル %s が読み込めません！", m_pEntry ? m_pEntry->m_strStageFile.c_str() : "");
  return false;
}

void cWorldMapScene::MoveOnMap() {
  const cPad& pad = g_Pads[0];
  MoveCursor(g_MenuCursor, pad);
  PlayCursorSound(pad, 3, 0);
  LookUpPoint();
  if (IsStageEntry(m_pEntry)) {
    if (!SameCell(*g_MenuCursor.m_pTop, m_InfoCell)) {
      UpdatePointInfo();
      m_InfoCell = *g_MenuCursor.m_pTop;
    }
    if (!AsksFirst(m_pEntry)) {
      Enter();
      return;
    }
    if (pad.m_wButtons & 1) {
      // A cleared stage that cannot be played again: the press does nothing.
      if (IsCleared(m_pEntry) && !m_pEntry->m_bReplayAfterClear) return;
      Enter();
      return;
    }
    RankingKeys(pad);
  }
  if (pad.m_wButtons & 2) {
    RequestSystemSound(4);
    g_PlayRecord.m_nMapX = g_MenuCursor.m_pTop->m_nColumn;
    g_PlayRecord.m_nMapY = g_MenuCursor.m_pTop->m_nRow;
    g_SceneManager.m_nNextScene = SCENE_MAPMENU;
    m_nPhase = 3;
    m_nStep = 0;
    return;
  }
  Draw(true);
}

void cWorldMapScene::ConfirmEnter() {
  const cPad& pad = g_Pads[0];
  if (m_nStep == 0) {
    RequestSystemSound(1);
    m_bStageLoaded = LoadEntryStage();
    g_MenuCursor.m_pTop->m_nRow = 1;  // the answer that stays on the map
    m_nStep = 1;
  }
  g_MapYesNoPos.x = CenteredBoxX(kNameCentreX, TEXT_ENTER_STAGE, 2, 1);
  g_MenuCursor.MoveGrid(pad, g_MapYesNoPos.x, g_MapYesNoPos.y, 0, 16, 1, 2);
  PlayCursorSound(pad, 2, 0);
  const bool confirm = pad.m_wButtons & 1;
  if (confirm || (pad.m_wButtons & 2)) {
    RequestSystemSound(confirm ? 1 : 2);
    if (confirm && g_MenuCursor.m_pTop->m_nRow == 0 && m_bStageLoaded) {
      g_PlayRecord.m_nMapFacing = m_nFacing;
      EnterStage();
      g_SceneManager.m_nNextScene = SCENE_STAGE;
      m_nPhase = 3;
      m_nStep = 0;
      return;
    }
    g_MenuCursor.Pop(1);
    if (!AsksFirst(m_pEntry)) {
      // He walked onto the stage: "no" takes him back to the cell he came from.
      *g_MenuCursor.m_pTop = m_PrevCursor;
      ApplyView();
    }
    m_nPhase = 1;
    m_nStep = 0;
    return;
  }
  RankingKeys(pad);
  Draw(true);
  DrawMenuList(g_MapYesNoPos.x, g_MapYesNoPos.y, TEXT_ENTER_STAGE, 2, 1);
  DDBlt(&BackBuffer, g_MenuCursor.m_pTop->m_nX, g_MenuCursor.m_pTop->m_nY, 16, 16, Sheet(BMP_ACCESSORY), 64, 0, 1);
}

void cWorldMapScene::FadeIn() {
  if (g_DDState.nBpp == 8) RedrawPanel();
  Draw(!g_PlayRecord.m_bBackOnMap);
  if (m_bEntryFailed) return;  // the failed automatic entry waits for the close
  if (!DDFadeIn(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeSpeed, g_Palette, false)) return;
  CURSORSTATE& top = *g_MenuCursor.m_pTop;
  if (IsStageEntry(m_pEntry) && g_PlayRecord.m_bBackOnMap) {
    // Back from the continue menu: he steps off the stage he gave up.
    if (!IsCleared(m_pEntry)) {
      top.m_nColumn = std::clamp(g_PlayRecord.m_nPrevMapX, 0, std::max(g_WorldMap.m_nWidth - 1, 0));
      top.m_nRow = std::clamp(g_PlayRecord.m_nPrevMapY, 0, std::max(g_WorldMap.m_nHeight - 1, 0));
      g_PlayRecord.m_nMapX = top.m_nColumn;
      g_PlayRecord.m_nMapY = top.m_nRow;
      m_nViewX = top.m_nColumn - kHeroColumn;
      m_nViewY = top.m_nRow - kHeroRow;
      DrawMapImage();
      LookUpPoint();
      m_PrevCursor = top;
    }
  } else if (IsStageEntry(m_pEntry) && !AsksFirst(m_pEntry)) {
    if (!LoadStage(m_pEntry->m_strStageFile, 1, &g_StartStage)) {
      ErrorBoxPrintf("ステージファイル %s が読み込めません！", m_pEntry->m_strStageFile.c_str());
      PostFailureClose();
      m_bEntryFailed = 1;
      return;
    }
    EnterStage();
    g_PlayRecord.m_nPrevMapX = top.m_nColumn;
    g_PlayRecord.m_nPrevMapY = top.m_nRow;
    g_SceneManager.m_nNextScene = SCENE_STAGE;
    m_nPhase = 3;
    m_nStep = 0;
    return;
  }
  // The flag counts for one return to the map only.
  g_PlayRecord.m_bBackOnMap = 0;
  m_nPhase = 1;
}

void cWorldMapScene::FadeOut() {
  Draw(true);
  if (!DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeSpeed, g_Palette, false)) return;
  DDClear(&BackBuffer, 16);
  g_MenuCursor.Reset();
  g_SceneManager.m_nPrevScene = SCENE_WORLDMAP;
  g_SceneManager.m_nScene = g_SceneManager.m_nNextScene;
}

void cWorldMapScene::CollectSurfaces(std::vector<DDSURFACEDATA*>& out) {
  for (DDSURFACEDATA& s : m_WorkSurfaces) out.push_back(&s);
}
