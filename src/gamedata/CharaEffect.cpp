#include "gamedata/CharaEffect.h"

#include "base/Screen.h"

namespace {
constexpr EFFECTPARAM NONE = {"", 0, 0, 0};
constexpr EFFECTPARAM TIME(std::int16_t nDefault) { return {"実行時間(1/10s)", 1, 9999, nDefault}; }
}  // namespace

const EFFECTPARAM g_CharaEffectParams[CHARA_EFFECT_KIND_COUNT][EFFECT_PARAM_COUNT] = {
    {NONE, NONE, NONE, NONE, NONE},
    {TIME(5), {"開始位置(dot)", 0, 999, 0}, {"終了位置(dot)", 0, 999, 32}, NONE, NONE},
    {TIME(5), {"開始位置(dot)", 0, 999, 0}, {"終了位置(dot)", 0, 999, 32}, {"分割数", 2, 16, 4}, NONE},
    {TIME(5), {"開始位置(dot)", 0, 999, 0}, {"終了位置(dot)", 0, 999, 32}, {"分割数", 2, 16, 4}, NONE},
    {TIME(5),
     {"開始幅(dot)", 0, 999, 0},
     {"終了幅(dot)", 0, 999, 32},
     {"波の数", 2, 16, 2},
     {"波の粗さ(dot)", 1, 4, 2}},
    {TIME(5),
     {"開始幅(dot)", 0, 999, 0},
     {"終了幅(dot)", 0, 999, 32},
     {"波の数", 2, 16, 2},
     {"波の粗さ(dot)", 1, 4, 2}},
    {TIME(10), {"点滅間隔(1/60s)", 1, 9999, 2}, NONE, NONE, NONE},
    {TIME(10), {"開始角度", 0, 9999, 0}, {"終了角度", 0, 9999, 1440}, NONE, NONE},
    {TIME(10), {"開始角度", 0, 9999, 0}, {"終了角度", 0, 9999, 1440}, NONE, NONE},
    {TIME(10), {"開始位置(dot)", 0, 9999, 0}, {"終了位置(dot)", 0, 9999, 256}, NONE, NONE},
    {TIME(5), {"開始半径(dot)", 0, 32, 32}, {"終了半径(dot)", 0, 32, 0}, {"円の粗さ(dot)", 1, 4, 2}, NONE},
    {TIME(10), {"開始幅(dot)", 0, 320, 32}, {"終了幅(dot)", 0, 320, 64}, NONE, NONE},
    {TIME(10),
     {"開始距離", 0, 100, 100},
     {"終了距離", 0, 100, 5},
     {"ズレX(dot)", -16, 16, 0},
     {"ズレY(dot)", -16, 16, 0}},
    {TIME(10), {"開始合成度", 1, 4, 1}, {"終了合成度", 1, 4, 1}, {"色", 16, 207, 16}, NONE},
    {TIME(10), {"点滅間隔(1/60s)", 1, 9999, 9999}, NONE, NONE, NONE},
    {TIME(10), {"開始強度", 1, 16, 1}, {"終了強度", 1, 16, 8}, NONE, NONE},
    {TIME(10), {"開始強度", 1, 1, 1}, {"終了強度", 1, 4, 4}, NONE, NONE},
};

const EFFECTPARAM g_ScrEffectParams[SCR_EFFECT_KIND_COUNT][EFFECT_PARAM_COUNT] = {
    {NONE, NONE, NONE, NONE, NONE},
    {TIME(10),
     {"開始座標X(dot)", -SCREEN_WIDTH, SCREEN_WIDTH, 0},
     {"開始座標Y(dot)", -SCREEN_HEIGHT, SCREEN_HEIGHT, 0},
     {"終了座標X(dot)", -SCREEN_WIDTH, SCREEN_WIDTH, SCREEN_WIDTH},
     {"終了座標Y(dot)", -SCREEN_HEIGHT, SCREEN_HEIGHT, 0}},
    {TIME(10), {"振動幅(dot)", 1, SCREEN_WIDTH, 4}, {"振動回数", 1, 9999, 4}, NONE, NONE},
    {TIME(10), {"振動幅(dot)", 1, SCREEN_HEIGHT, 4}, {"振動回数", 1, 9999, 4}, NONE, NONE},
    {TIME(10),
     {"開始位置(dot)", 0, SCREEN_WIDTH, 0},
     {"終了位置(dot)", 0, SCREEN_WIDTH, SCREEN_WIDTH},
     {"分割数", 2, 240, 15},
     NONE},
    {TIME(10),
     {"開始位置(dot)", 0, SCREEN_HEIGHT, 0},
     {"終了位置(dot)", 0, SCREEN_HEIGHT, SCREEN_HEIGHT},
     {"分割数", 2, 320, 20},
     NONE},
    {TIME(10),
     {"開始幅(dot)", 0, SCREEN_WIDTH, 0},
     {"終了幅(dot)", 0, SCREEN_WIDTH, SCREEN_WIDTH},
     {"波の数", 2, 240, 4},
     {"波の粗さ(dot)", 1, 48, 8}},
    {TIME(10),
     {"開始幅(dot)", 0, SCREEN_HEIGHT, 0},
     {"終了幅(dot)", 0, SCREEN_HEIGHT, SCREEN_HEIGHT},
     {"波の数", 2, 320, 4},
     {"波の粗さ(dot)", 1, 64, 10}},
    {TIME(10), {"点滅間隔(1/60s)", 1, 9999, 10}, NONE, NONE, NONE},
    {TIME(10), {"開始角度", 0, 9999, 0}, {"終了角度", 0, 9999, 1440}, NONE, NONE},
    {TIME(10),
     {"開始半径(dot)", 0, SCREEN_WIDTH, SCREEN_WIDTH},
     {"終了半径(dot)", 0, SCREEN_WIDTH, 0},
     {"円の粗さ(dot)", 1, 48, 8},
     NONE},
    {TIME(10),
     {"開始幅(dot)", 0, 10 * SCREEN_WIDTH, SCREEN_WIDTH},
     {"終了幅(dot)", 0, 10 * SCREEN_WIDTH, 2 * SCREEN_WIDTH},
     NONE,
     NONE},
    {TIME(10),
     {"開始距離", 0, 1500, 1500},
     {"終了距離", 0, 1500, 5},
     {"ズレX(dot)", -SCREEN_WIDTH / 2, SCREEN_WIDTH / 2, 0},
     {"ズレY(dot)", -SCREEN_HEIGHT / 2, SCREEN_HEIGHT / 2, 0}},
    {TIME(10), {"開始強度", 1, 240, 1}, {"終了強度", 1, 240, 60}, NONE, NONE},
};

const char* const g_CharaEffectKindNames[CHARA_EFFECT_KIND_COUNT] = {
    "破裂", "分割（横）", "分割（縦）", "波（横）", "波（縦）", "点滅",     "回転A",  "回転B", "回転（奥）",
    "円",   "拡大",       "レンズ",     "色変化",   "半透明",   "モザイク", "ぼかし", "",
};

const char* const g_ScrEffectKindNames[SCR_EFFECT_KIND_COUNT] = {
    "移動", "振動（横）", "振動（縦）", "分割（横）", "分割（縦）", "波（横）", "波（縦）",
    "点滅", "回転",       "円",         "拡大",       "レンズ",     "モザイク", "",
};

void cEdKindEffect::BindFields(std::uint32_t) {
  AddString(&m_strName);
  AddField4(&m_nKind);
  AddField4(m_nParams, EFFECT_PARAM_COUNT);
}

void cEdKindEffect::UpgradeParams(const EFFECTPARAM (*pParams)[EFFECT_PARAM_COUNT], int nWaveX, int nWaveY,
                                  int nCircle) {
  if (g_nLoadVersion >= VERSION_EFFECT_ROUGHNESS) return;
  if (m_nKind == nWaveX || m_nKind == nWaveY) m_nParams[4] = pParams[m_nKind][4].nDefault;
  if (m_nKind == nCircle) m_nParams[3] = pParams[m_nKind][3].nDefault;
}

void cEdCharaEffect::Load(cDataReader& in) {
  cRecord::Load(in);
  UpgradeParams(g_CharaEffectParams, CHARA_EFFECT_WAVE_X, CHARA_EFFECT_WAVE_Y, CHARA_EFFECT_CIRCLE);
}

void cEdScrEffect::Load(cDataReader& in) {
  cRecord::Load(in);
  UpgradeParams(g_ScrEffectParams, SCR_EFFECT_WAVE_X, SCR_EFFECT_WAVE_Y, SCR_EFFECT_CIRCLE);
}
