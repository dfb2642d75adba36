// A character: the hero or any computer-driven character. The same record serves the
// character definitions of the two palettes and the placed characters of a stage (with
// their cell and the placed item they carry).
#pragma once
#include <cstdint>
#include <string>

#include "base/Vector.h"
#include "gamedata/Condition.h"
#include "gamedata/Flow.h"
#include "gamedata/Inherit.h"
#include "gamedata/Record.h"

class cEdChara : public cRecord {
 public:
  std::int8_t m_nBasePalette = 0;
  std::int16_t m_nBaseIndex = 0;
  std::int8_t m_nConditionRule = 0;
  std::uint8_t m_bLatchConditions = 0;
  std::int8_t m_nFacing = 0;        // when placed: 0 left, 1 right
  std::int8_t m_nExtraCopies = 0;   // copies placed besides the first
  std::int16_t m_nOffsetXBase = 0;  // placement offset of copy n: n x step + base
  std::int16_t m_nOffsetXStep = 0;
  std::int16_t m_nOffsetYBase = 0;
  std::int16_t m_nOffsetYStep = 0;
  std::uint8_t m_bOffsetXMirror = 0;  // offset negated when facing right
  std::uint8_t m_bOffsetYMirror = 0;
  std::int16_t m_nImage = 0;
  std::int8_t m_nImageSheet = 1;  // 0 block, 1 character, 2 item, 3 shot, 4 dedicated bitmap
  std::int16_t m_nImageSub = 0;
  std::int16_t m_nAnimeSet = 0;  // animation-set database
  std::uint8_t m_nZ = 3;         // drawing depth
  std::uint8_t m_bTransparent = 0;
  std::int16_t m_nCharaEffect = 0;  // on entering the stage; character-effect database
  std::uint8_t m_nCharaEffectParamA = 0;
  std::uint8_t m_nCharaEffectParamB = 1;
  std::int16_t m_nDeathEffect = 0;  // on dying; character-effect database
  std::uint8_t m_nDeathEffectParam = 0;
  std::uint8_t m_nMarkShow = 0;
  std::int16_t m_nMark = 0;
  std::uint8_t m_nOperator = 1;  // 0 the player (the hero), 1 the computer
  std::uint8_t m_nPad = 0;
  std::uint8_t m_nPassNumber = 1;  // compared with the blocks' pass group
  std::uint8_t m_nCharaID = 0;
  std::uint8_t m_nFlying = 0;  // eFlying
  std::uint8_t m_bFixedFacing = 1;
  std::uint8_t m_nInvincible = 0;       // 0 off, 1 shots hit, 2 shots pass
  std::uint8_t m_nInvincibleColor = 0;  // 0 none, 1 to 9 pulsing draw modes
  std::uint8_t m_bBlockChara = 0;
  std::uint8_t m_nScale = 1;  // 1 to 10
  std::uint8_t m_bAutoScrollSync = 0;
  std::uint8_t m_nSightShape = 0;
  std::uint8_t m_nSightRange = 0;  // half blocks
  std::int32_t m_nMaxHP = 10;
  std::int32_t m_nMaxSP = 0;
  std::int16_t m_nStopEase = 10;
  std::uint8_t m_nBlockBox = 0;  // box against blocks: eBlockBox
  std::int32_t m_nBodyPower = 0;
  std::uint8_t m_nBodyImpact = 0;
  std::int16_t m_nBodyHitEffect = 0;  // effect database
  std::int32_t m_nDefence = 0;
  std::uint8_t m_nImpactResist = 0;
  std::int32_t m_nScore = 0;
  std::uint8_t m_nGroup35 = 1;  // property byte of group 35; play does not read it
  std::uint8_t m_bActivationGroup = 0;
  std::int16_t m_nActivationGroup = 0;  // 0 to 59
  std::uint8_t m_nActivationRange = 0;  // eActivationRange
  std::uint8_t m_nActivationRule = 0;
  std::string m_strText;

  std::int16_t m_nX = 0;  // cell of a placed character
  std::int16_t m_nY = 0;
  std::int32_t m_nCarriedItem = -1;  // placed item the placement carries; -1 none
  cVector<std::uint8_t> m_Inherit = cVector<std::uint8_t>(CHARA_INHERIT_COUNT, 0);
  cVector<cEdCondition> m_Conditions;
  cVector<cEdFlow> m_Flows;

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;

  // The defaults of a new character; the position and the lists stay.
  void Reset();
  void Inherit();
  // Base reference and database indexes valid; flows normalised, empty ones removed.
  void Normalize();
  // References of the flows into the palettes valid.
  void CheckPaletteRefs();
  void CopyGroup(int nGroup, const cEdChara& base);

  // Pixel offset of copy n of a placement facing nFacing.
  double OffsetX(int n, int nFacing) const;
  double OffsetY(int n, int nFacing) const;
  // How many copies a placement puts into play.
  int PlacementCount() const { return m_nExtraCopies < 0 ? 0 : m_nExtraCopies + 1; }

 private:
  void Upgrade();
};
