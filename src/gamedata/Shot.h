// The payload of the shot, sword and summon commands: the firing pattern, the look, the
// motion, the limits of distance and time, the power and what a hit does, and for
// summons the palette and number of what is summoned and how it is placed.
#pragma once
#include <cstdint>

#include "gamedata/Record.h"

// m_nFormation: how one firing places its shots or summoned objects.
enum eShotFormation : int {
  FORM_STRAIGHT_A = 0,  // a row across the travel, beside the user
  FORM_STRAIGHT_B = 1,  // a column up from the user's foot
  FORM_SPREAD = 2,      // a fan
  FORM_LIGHTNING = 3,   // rows falling on the target
  FORM_BURST = 4,       // a ring around the user
  FORM_SURROUND = 5,    // a ring around the target
};

// m_nMotion of a shot: how it steers in flight.
enum eShotMotion : int {
  STEER_NONE = 0,
  STEER_AIM_HERO = 1,
  STEER_AIM_NEAREST = 2,
  STEER_AIM_TARGET = 3,
  STEER_HOME_HERO = 4,
  STEER_HOME_NEAREST = 5,  // gives up when its character dies
  STEER_HOME_TARGET = 6,
  STEER_HOME_NEAREST_ANY = 7,  // picks the next character when its character dies
  STEER_WAVE = 8,
  STEER_FALL = 9,
};

// m_nItemSource: the item a hit applies.
enum eShotItemSource : int { ITEM_SOURCE_NONE = 0, ITEM_SOURCE_COMMON = 1, ITEM_SOURCE_STAGE = 2 };
// m_nBlockSummonMode.
enum eBlockSummonMode : int { BLOCK_SUMMON_PLACE = 0, BLOCK_SUMMON_CLEAR = 1, BLOCK_SUMMON_TOGGLE = 2 };
// m_nSummonLayer: the side of a summoned character.
enum eSummonSide : int { SUMMON_SIDE_OF_DEFINITION = 0, SUMMON_SIDE_OF_USER = 1, SUMMON_SIDE_BY_NUMBER = 2 };
// m_nBlockMode: only this value lets a shot through blocks.
inline constexpr int SHOT_PASSES_BLOCKS = 1;

class cEdShot : public cRecord {
 public:
  std::int8_t m_nGroupCount = 0;            // elements placed by one firing of the formation
  std::int8_t m_nFormation = 0;             // eShotFormation
  std::int16_t m_nFormationValues[3] = {};  // the formation's own values: spacing, fan angle, rows... by formation
  std::int8_t m_nDirection = 0;             // eDirection
  std::int8_t m_bAimAtTarget = 0;           // aimed at the user's target
  std::int16_t m_nAngle = 0;
  std::int16_t m_nAngleStep = 0;    // added per further volley
  std::uint8_t m_bMirrorAngle = 1;  // from version 158
  std::int16_t m_nSpread = 0;
  std::uint8_t m_nSetting10 = 0;   // the row is turned to the shot angle around the user
  std::uint8_t m_nExtraShots = 0;  // repeats fired at once besides the first
  std::int16_t m_nSetting12 = 0;   // placement offset x in pixels
  std::int16_t m_nSetting13 = 0;   // its step per repeat
  std::int16_t m_nSetting14 = 0;   // placement offset y in pixels
  std::int16_t m_nSetting15 = 0;   // its step per repeat
  std::uint8_t m_nSetting16 = 1;   // offset x negated while the user faces right
  std::uint8_t m_nSetting17 = 0;   // offset y negated while the user faces right
  std::int16_t m_nGraphic = 0;     // 0 to 119: cell of the shot sheet
  std::uint8_t m_nSetting19 = 0;   // drawing layer 0 to 7
  std::uint8_t m_bInvisible = 0;
  std::uint8_t m_bShooterLayer = 1;  // the side is the user's (not a layer)
  std::uint8_t m_nLayer = 0;         // the side 0 to 7 (not a layer); a summon's side by number
  std::uint8_t m_nSetting23 = 0;
  std::uint8_t m_nSize = 1;  // size factor, at least 1
  std::uint8_t m_nSetting25 = 0;
  std::uint8_t m_nMotion = 0;  // shots: eShotMotion; swords: the sword type
  std::int16_t m_nMotionValues[3] = {};
  std::uint8_t m_bScrollSync = 0;  // from version 211
  std::int16_t m_nSpeed = 0;       // tenths of a pixel per frame
  std::int16_t m_nSpeedStep = 0;   // per repeat index
  std::uint8_t m_bAccelerate = 0;  // from version 213, with the next two
  std::int16_t m_nAccel = 0;
  std::int16_t m_nAccelPerLevel = 0;  // per repeat index, not per level
  std::int16_t m_nRange = 0;          // half blocks; summons: life time in tenths
  std::uint8_t m_bRangeLimit = 0;
  std::int16_t m_nRangeStep = 0;
  std::uint8_t m_bStopAtLimit = 0;
  std::uint8_t m_bTimeLimit = 0;
  std::int16_t m_nLife = 0;  // tenths of a second
  std::int16_t m_nLifeStep = 0;
  std::uint8_t m_nBlockMode = 0;  // exactly 1 passes through blocks; any other value meets them
  std::uint8_t m_nSetting42 = 0;  // 1: the shot flies on through what it hits
  std::uint8_t m_bHitsShots = 0;
  std::uint8_t m_nShotStrength = 0;
  std::int32_t m_nPower = 0;
  std::int16_t m_nSetting46 = 0;
  std::uint8_t m_nImpact = 0;
  std::int16_t m_nHitEffect = 0;   // effect database number, 0 none
  std::uint8_t m_nItemSource = 0;  // eShotItemSource
  std::int16_t m_nItem = 0;
  std::uint8_t m_nBlockSummonMode = 0;  // eBlockSummonMode
  std::uint8_t m_nSetting52 = 0;        // a summoned block must not cover the player
  std::uint8_t m_nSetting53 = 0;        // ... nor a character; from version 197
  std::uint8_t m_nSummonPalette = 0;    // ePalette
  std::int16_t m_nSummon = 0;
  std::uint8_t m_nSummonLayer = 0;  // eSummonSide; by number: m_nLayer
  std::uint8_t m_nSetting57 = 0;    // a summoned character gives no score
  std::uint8_t m_bSummonOpposite = 0;

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;
  // Size at least 1, and a hit effect that names an effect of the database.
  void FixIndices();
  // The placement offset of repeat nIndex for a user facing nFacing (1 right).
  double OffsetX(int nIndex, int nFacing) const;
  double OffsetY(int nIndex, int nFacing) const;
};
