// Character effects ("CharaEffect.dat") and screen effects ("ScrEffect.dat"): timed
// distortions of one character's image or of the whole screen. Both are a kind and five
// parameters whose meaning the kind gives; p0 is always the running time in tenths of a
// second. The tables of kinds and parameters are the vocabulary of those values.
#pragma once
#include <cstdint>
#include <string>

#include "gamedata/Record.h"

// One parameter of one kind: its caption, range and default (an unused one is all empty).
struct EFFECTPARAM {
  const char* strLabel;
  std::int16_t nMin;
  std::int16_t nMax;
  std::int16_t nDefault;
};

inline constexpr int EFFECT_PARAM_COUNT = 5;
inline constexpr int CHARA_EFFECT_KIND_COUNT = 17;  // kinds 0 (none) to 16
inline constexpr int SCR_EFFECT_KIND_COUNT = 14;    // kinds 0 (none) to 13

extern const EFFECTPARAM g_CharaEffectParams[CHARA_EFFECT_KIND_COUNT][EFFECT_PARAM_COUNT];
extern const EFFECTPARAM g_ScrEffectParams[SCR_EFFECT_KIND_COUNT][EFFECT_PARAM_COUNT];
// Names of kinds 1 to n, then "".
extern const char* const g_CharaEffectKindNames[CHARA_EFFECT_KIND_COUNT];
extern const char* const g_ScrEffectKindNames[SCR_EFFECT_KIND_COUNT];

// Kinds of a character effect (g_CharaEffectKindNames from kind 1 on).
enum eCharaEffectKind : int {
  CHARA_EFFECT_NONE = 0,
  CHARA_EFFECT_BURST = 1,
  CHARA_EFFECT_SPLIT_X = 2,
  CHARA_EFFECT_SPLIT_Y = 3,
  CHARA_EFFECT_WAVE_X = 4,
  CHARA_EFFECT_WAVE_Y = 5,
  CHARA_EFFECT_BLINK = 6,
  CHARA_EFFECT_TURN_A = 7,
  CHARA_EFFECT_TURN_B = 8,
  CHARA_EFFECT_TURN_DEPTH = 9,
  CHARA_EFFECT_CIRCLE = 10,
  CHARA_EFFECT_ZOOM = 11,
  CHARA_EFFECT_LENS = 12,
  CHARA_EFFECT_COLOUR = 13,
  CHARA_EFFECT_TRANSLUCENT = 14,
  CHARA_EFFECT_MOSAIC = 15,
  CHARA_EFFECT_BLUR = 16,
};
// Kinds of a screen effect (g_ScrEffectKindNames from kind 1 on).
enum eScrEffectKind : int {
  SCR_EFFECT_NONE = 0,
  SCR_EFFECT_MOVE = 1,
  SCR_EFFECT_SHAKE_X = 2,
  SCR_EFFECT_SHAKE_Y = 3,
  SCR_EFFECT_SPLIT_X = 4,
  SCR_EFFECT_SPLIT_Y = 5,
  SCR_EFFECT_WAVE_X = 6,
  SCR_EFFECT_WAVE_Y = 7,
  SCR_EFFECT_BLINK = 8,
  SCR_EFFECT_TURN = 9,
  SCR_EFFECT_CIRCLE = 10,
  SCR_EFFECT_ZOOM = 11,
  SCR_EFFECT_LENS = 12,
  SCR_EFFECT_MOSAIC = 13,
};

// The layout both effect records share.
class cEdKindEffect : public cRecord {
 public:
  std::int32_t m_nKind = 1;  // 0 is no effect
  std::int32_t m_nParams[EFFECT_PARAM_COUNT] = {};
  std::string m_strName;

  void BindFields(std::uint32_t nVersion) override;

 protected:
  // Files before version 511 stored another value for the roughness of the wave kinds
  // (p4) and of the circle (p3); it becomes the table's default.
  void UpgradeParams(const EFFECTPARAM (*pParams)[EFFECT_PARAM_COUNT], int nWaveX, int nWaveY, int nCircle);
};

class cEdCharaEffect : public cEdKindEffect {
 public:
  void Load(cDataReader& in) override;
};

class cEdScrEffect : public cEdKindEffect {
 public:
  void Load(cDataReader& in) override;
};
