// The ranking table and the result panel: each is laid out first (texts, window and
// icons at their places), then drawn with the 16-pixel font and the accessory sheet.
#include <algorithm>

#include "base/Log.h"
#include "base/SjisText.h"
#include "records/FrontendLinks.h"
#include "records/NumberText.h"
#include "records/PlayRecord.h"
#include "records/Ranking.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/Font.h"

namespace {

constexpr int CELL = 16;  // the font's cell
constexpr int ICON_SX = 16, ICON_SY = 48;
constexpr int TEXT_RANKING_FOOTER = 24;  // "Vキーでジャンルの切り替え"
constexpr int TEXT_QUANTITY = 5;         // labels of the five quantities: 5 to 9

std::string Number(std::int32_t v) {
  std::string text;
  FormatString(text, "%d", v);
  return text;
}

std::string Time(std::int32_t t) {
  std::string text;
  FormatTime(text, t);
  return text;
}

// The finished game's total of quantity q.
std::int32_t Total(int q) {
  switch (q) {
    case RANK_TOTAL_SCORE: return g_PlayRecord.m_nTotalScore;
    case RANK_TIME_LEFT: return g_PlayRecord.m_nTotalTimeLeft;
    case RANK_CLEAR_TIME: return g_PlayRecord.m_nTotalClearTime;
    case RANK_HP: return g_PlayRecord.m_nTotalHpLeft;
    default: return g_PlayRecord.m_nTotalSpLeft;
  }
}

// A flag of a list that may be shorter than five.
template <class T>
bool FlagAt(const cVector<T>& flags, int i) {
  return i < flags.Size() && flags[i] != 0;
}

// Draws the layout; the result of the last icon blit, or -1 without icons.
int DrawLayout(DDSURFACEDATA* surface, const RANKINGLAYOUT& layout) {
  Font& font = g_Fonts[1];
  if (layout.bWindow) font.DrawWindow(surface, layout.nWindowX, layout.nWindowY, layout.nWindowW, layout.nWindowH);
  for (const RANKINGTEXT& text : layout.Texts) FontPrintf(&font, surface, text.x, text.y, "%s", text.strText.c_str());
  int nResult = -1;
  for (const RANKINGICON& icon : layout.Icons) {
    nResult = DDBlt(surface, icon.x, icon.y, CELL, CELL, &g_SurfaceData[BMP_ACCESSORY], ICON_SX, ICON_SY, 1) ? 1 : 0;
  }
  return nResult;
}

}  // namespace

RANKINGLAYOUT LayoutRankingTable(const cRankingTable& table, int x, int y, int q, int nCursor) {
  RANKINGLAYOUT layout;
  layout.bWindow = true;
  layout.nWindowX = x + 1;
  layout.nWindowY = y + 1;
  layout.nWindowW = 270;
  layout.nWindowH = 350;
  std::string title;
  FormatString(title, "ランキング    %s", g_System.m_Texts[q + TEXT_QUANTITY].c_str());
  layout.Texts.push_back({x, y, title});
  // The numbers end in one column, as wide as the best value (a table loaded without
  // entries has none to measure).
  const int nWidth = q == 2 ? 8 : table.m_Entries.empty() ? 1 : CountDigits(table.m_Entries[0].m_nValue);
  for (int i = 0; i < table.m_Entries.Size(); ++i) {
    const cRankingEntry& entry = table.m_Entries[i];
    if (!entry.m_bUsed) continue;
    const int yRow = y + CELL * (i + 1);
    layout.Texts.push_back({x + 16, yRow, Number(i + 1)});
    layout.Texts.push_back({x + 64, yRow, entry.m_strName});
    if (q == 2) {
      layout.Texts.push_back({x + 144, yRow, Time(entry.m_nValue)});
    } else {
      layout.Texts.push_back({x + CELL * (nWidth + 9 - CountDigits(entry.m_nValue)), yRow, Number(entry.m_nValue)});
    }
  }
  if (g_System.CountRankedQuantities(CurrentGameMode()) >= 2) {
    const std::string& footer = g_System.m_Texts[TEXT_RANKING_FOOTER];
    layout.Texts.push_back({x + 136 - 8 * CountChars(footer), y + CELL * table.m_Entries.Size() + CELL, footer});
  }
  if (nCursor != -1) layout.Icons.push_back({x, y + CELL * nCursor + CELL});
  return layout;
}

int cRankingTable::Draw(DDSURFACEDATA* surface, int x, int y, int q, int nCursor) const {
  const int nResult = DrawLayout(surface, LayoutRankingTable(*this, x, y, q, nCursor));
  return nCursor != -1 ? nResult : -1;
}

RANKINGLAYOUT LayoutResultPanel(int x, int y, const std::int32_t* ranks) {
  RANKINGLAYOUT layout;
  const cVector<std::uint8_t>& modeFlags = g_System.m_GameModes[CurrentGameMode()].m_RankedQuantities;
  const bool bTestPlay = IsTestPlay() != 0;
  bool shown[RANKING_TABLE_COUNT] = {};
  int nShown = 0, nLabel = 1, nValue = 1;
  for (int q = 0; q < RANKING_TABLE_COUNT; ++q) {
    shown[q] = FlagAt(g_Stage.m_RankFlags, q) && (bTestPlay || FlagAt(modeFlags, q));
    if (!shown[q]) continue;
    ++nShown;
    nLabel = std::max(nLabel, CountChars(g_System.m_Texts[TEXT_QUANTITY + q]));
    nValue = std::max(nValue, q == 2 ? 8 : CountDigits(Total(q)));
  }
  if (nShown == 0) return layout;
  layout.bWindow = true;
  layout.nWindowX = x;
  layout.nWindowY = y;
  layout.nWindowW = CELL * (nValue + nLabel + 3);
  layout.nWindowH = CELL * nShown;
  int yRow = y;
  for (int q = 0; q < RANKING_TABLE_COUNT; ++q) {
    if (!shown[q]) continue;
    layout.Texts.push_back({x + 16, yRow, g_System.m_Texts[TEXT_QUANTITY + q]});
    layout.Texts.push_back({x + CELL * nLabel + 32, yRow, q == 2 ? Time(Total(q)) : Number(Total(q))});
    if (ranks[q] != -1) layout.Icons.push_back({x, yRow});
    yRow += CELL;
  }
  return layout;
}

void DrawResultPanel(DDSURFACEDATA* surface, int x, int y, const std::int32_t* ranks) {
  DrawLayout(surface, LayoutResultPanel(x, y, ranks));
}
