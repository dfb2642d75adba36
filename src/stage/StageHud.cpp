// The status bar across the top of the stage (scores, HP and SP gauges, lives) and the
// time limit under it.
#include <algorithm>
#include <cstdint>

#include "base/SceneManager.h"
#include "base/SjisText.h"
#include "base/Timer.h"
#include "records/PlayRecord.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDComposite.h"
#include "gfx/Font.h"
#include "sound/SoundTable.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

namespace {

constexpr int STATUS_BAR_SHEET = 46;
constexpr int HUD_ITEMS = 5;
constexpr int HUD_Y = 3;
constexpr int GAUGE_WIDTH = 50;
constexpr int TIME_WARNING_SOUND = 13;

enum { HUD_TOTAL_SCORE, HUD_STAGE_SCORE, HUD_HP, HUD_SP, HUD_LIVES };

bool IsGauge(int i) { return i == HUD_HP || i == HUD_SP; }

int LabelWidth(const cEdHudItem& item) { return item.m_bIcon ? 16 : 16 * CountChars(item.m_strLabel); }

int ItemWidth(int i, const cEdHudItem& item) {
  return LabelWidth(item) + (IsGauge(i) ? GAUGE_WIDTH : 16 * item.m_nWidth);
}

// The gauge frame and its fill; the row for short fills keeps their ends drawn.
void DrawGauge(DDSURFACEDATA* target, int x, int nValue, int nMax, int nSourceX, bool bNumber) {
  DDSURFACEDATA* accessory = &g_SurfaceData[BMP_ACCESSORY];
  DDBlt(target, x, HUD_Y, GAUGE_WIDTH, 16, accessory, nSourceX, 128, 1);
  const int nFill = nMax > 0 ? static_cast<int>(std::clamp<std::int64_t>(
                                   static_cast<std::int64_t>(nValue) * GAUGE_WIDTH / nMax, 0, GAUGE_WIDTH))
                             : 0;
  if (nFill > 0) DDBlt(target, x, HUD_Y, nFill, 16, accessory, nSourceX, nFill > 16 ? 144 : 160, 1);
  if (bNumber) FontPrintf(&g_Fonts[0], target, x, 6, "%d", nValue);
}

}  // namespace

void cStageScene::DrawHud(DDSURFACEDATA* target) {
  const cVector<cEdHudItem>& items = g_System.m_HudItems;
  const int nItems = std::min(items.Size(), HUD_ITEMS);
  int nShown = 0;
  int nWidths = 0;
  for (int i = 0; i < nItems; ++i) {
    if (!items[i].m_bShow) continue;
    ++nShown;
    nWidths += ItemWidth(i, items[i]);
  }
  if (nShown == 0 || !g_Stage.m_bStatusBar) return;
  const int nGap = (VIEW_WIDTH - 2 - nWidths) / (nShown + 1);
  DDBlt(target, 0, 0, VIEW_WIDTH, 20, &g_SurfaceData[STATUS_BAR_SHEET], 0, 0, 0);
  DDSURFACEDATA* accessory = &g_SurfaceData[BMP_ACCESSORY];
  Font* font = &g_Fonts[1];
  const cPlayRecord& record = g_PlayRecord;
  const cPlayer* player = g_Players.empty() ? nullptr : &g_Players[0];
  int x = nGap;
  for (int i = 0; i < nItems; ++i) {
    const cEdHudItem& item = items[i];
    if (!item.m_bShow) continue;
    const char* label = item.m_strLabel.c_str();
    if (item.m_bIcon) DDBlt(target, x, HUD_Y, 16, 16, accessory, 16 * i, 32, 1);
    switch (i) {
      case HUD_TOTAL_SCORE:
      case HUD_STAGE_SCORE: {
        const int nValue = i == HUD_TOTAL_SCORE ? record.m_nTotalScore : record.m_nStageScore;
        if (item.m_bIcon) FontPrintf(font, target, x + 16, HUD_Y, "%d", nValue);
        else FontPrintf(font, target, x, HUD_Y, "%s%d", label, nValue);
        break;
      }
      case HUD_HP:
      case HUD_SP: {
        if (!item.m_bIcon) FontPrintf(font, target, x, HUD_Y, "%s", label);
        if (!player) break;
        const bool bHp = i == HUD_HP;
        DrawGauge(target, x + LabelWidth(item), bHp ? player->m_nHp : player->m_nSp,
                  bHp ? player->m_Def.m_nMaxHP : player->m_Def.m_nMaxSP, bHp ? 0 : 64, item.m_bShowNumber != 0);
        break;
      }
      default: {
        const bool bUnlimited = record.m_nLives == UNLIMITED_LIVES;
        if (item.m_bIcon) {
          if (bUnlimited) FontPrintf(font, target, x + 16, HUD_Y, "∞");
          else FontPrintf(font, target, x + 16, HUD_Y, "%d", record.m_nLives);
        } else if (bUnlimited) {
          FontPrintf(font, target, x, HUD_Y, "%s∞", label);
        } else {
          FontPrintf(font, target, x, HUD_Y, "%s%d", label, record.m_nLives);
        }
        break;
      }
    }
    x += ItemWidth(i, item) + nGap;
  }
}

void cStageScene::DrawTimeLimit(DDSURFACEDATA* target, int bWarn) {
  if (m_bNoTimeLimit) return;
  DDBltNumber(target, 272, 24, 32, 32, &g_SurfaceData[BMP_WORD], 0, 160, 1, m_nTimeLeft, 3, 1, 0);
  if (bWarn && m_nTimeLeft >= 1 && m_nTimeLeft <= g_Stage.m_nTimeWarning &&
      CountFrames(2, static_cast<std::uint32_t>(g_SceneManager.m_nFrameRate)))
    RequestSystemSound(TIME_WARNING_SOUND);
}
