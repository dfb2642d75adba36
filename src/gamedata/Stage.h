// One stage: its size and scroll rules, timing and physics, music, its own palette, the
// blocks, characters and items placed on it, its background layers and its texts.
//
// The stage file, little-endian:
//   u32 version | header body (98 members, the header text) | u32 n + n i32 ranking flags
//   | five range records | palette: block, character, item lists
//   | placed blocks, characters, items: each u32 count, then per element u32 0 + record
//   | background layers | stage texts | u32 123456789 (from version 173)
#pragma once
#include <cstdint>
#include <string>

#include "base/Vector.h"
#include "gamedata/Palette.h"
#include "gamedata/Record.h"

inline constexpr std::uint32_t STAGE_END_CODE = 123456789;
inline constexpr int STAGE_PARAM_COUNT = 5;
inline constexpr int STAGE_RANK_FLAG_COUNT = 5;

// An active range around the visible screen: an object is inside when, on every side
// whose flag is set, it reaches no further out than the screen edge plus margin x 32.
class cEdStageParam : public cRecord {
 public:
  std::int32_t m_bLimitLeft = 0;
  std::int32_t m_bLimitRight = 0;  // stored from version 125, as the next two
  std::int32_t m_bLimitTop = 0;
  std::int32_t m_bLimitBottom = 0;
  std::int32_t m_nMarginLeft = 0;  // blocks
  std::int32_t m_nMarginRight = 0;
  std::int32_t m_nMarginTop = 0;
  std::int32_t m_nMarginBottom = 0;

  void BindFields(std::uint32_t nVersion) override;
  void Set(std::int32_t bLeft, std::int32_t bRight, std::int32_t bTop, std::int32_t bBottom, std::int32_t nLeft,
           std::int32_t nRight, std::int32_t nTop, std::int32_t nBottom);
};

// One background layer: a bitmap or a plain fill, scrolled at its own rate.
class cEdBackground : public cRecord {
 public:
  std::int32_t m_bVisible = 1;
  std::int32_t m_bFill = 0;        // a plain fill instead of the bitmap
  std::int32_t m_nFillColor = 16;  // palette number
  std::int32_t m_nPass = 0;        // drawing layer
  double m_dScrollX = 0.1;         // factor of the scroll position, or pixels a frame when auto
  double m_dScrollY = 0.1;
  std::int32_t m_bAutoX = 0;
  std::int32_t m_bAutoY = 0;
  double m_dOffsetX = 0;  // current auto-scroll offset
  double m_dOffsetY = 0;
  std::string m_strBitmap;

  void BindFields(std::uint32_t nVersion) override;
};

// One stage text.
class cEdStageEntry : public cRecord {
 public:
  std::string m_strText;
  void BindFields(std::uint32_t nVersion) override;
};

class cEdStage : public cRecord {
 public:
  cEdStage();

  // Header members, in file order.
  std::int32_t m_nWidth = 0;      // blocks
  std::int32_t m_nReserved2 = 0;  // no reader in the player; kept as loaded
  std::int32_t m_nReserved3 = 0;
  std::int32_t m_nHeight = 0;
  std::int32_t m_bLimitLeft = 0;  // scroll range used on each side
  std::int32_t m_bLimitRight = 0;
  std::int32_t m_bLimitTop = 0;
  std::int32_t m_bLimitBottom = 0;
  std::int32_t m_nScrollLeft = 0;  // scroll range in cells
  std::int32_t m_nScrollRight = 0;
  std::int32_t m_nScrollTop = 0;
  std::int32_t m_nScrollBottom = 0;
  std::int32_t m_nFrameRate = 0;
  std::int32_t m_bTimeLimit = 0;
  std::int32_t m_nTimeLimit = 0;  // counted down once per 60 frames
  std::int32_t m_nTimeWarning = 0;
  std::int32_t m_nScrollModeX = 0;  // 0 follow the hero, 1 auto-scroll
  std::int32_t m_nScrollModeY = 0;
  std::int32_t m_nAutoScrollX = 0;  // tenths of a pixel per frame
  std::int32_t m_nAutoScrollY = 0;
  double m_dGravity = 0;          // per frame
  std::int32_t m_nHitLevel = 0;   // 1 to 19
  std::int32_t m_nHitPasses = 0;  // 0 every sub-step, 1 to 5 per frame
  std::int32_t m_nBgm = 0;        // music database
  std::int32_t m_nBgmOption = 0;  // from 166
  std::int32_t m_bKeepBgm = 0;    // from 199
  std::int32_t m_bDrawByLayer = 0;
  std::int32_t m_bCarryStatus = 0;   // the players start with the statuses passed on
  std::int32_t m_bPassOnStatus = 0;  // the players' statuses pass on to the next stage
  std::int32_t m_bStatusBar = 0;     // from 183
  std::int32_t m_bAutoEnd = 0;       // from 184; the end screens pass without a key, no pause
  std::int32_t m_bShowStart1 = 0;
  std::int32_t m_bShowStart2 = 0;  // from 225
  std::int32_t m_bShowClear = 0;
  std::int32_t m_bShowGameOver = 0;
  // Hit boxes in pixels; box sets are {set 1 width, height, set 2 width, height}.
  std::int32_t m_PlayerBoxA[4] = {};  // from 200
  std::int32_t m_PlayerBoxB[4] = {};  // set 2 from 155
  std::int32_t m_PlayerBoxC[2] = {};
  std::int32_t m_PlayerBoxD[2] = {};
  std::int32_t m_PlayerBoxAAnchor[2] = {};  // from 200; 0 centred, else bottom
  std::int32_t m_PlayerBoxBAnchor[2] = {};  // from 155
  std::int32_t m_PlayerBoxShow[4] = {};     // first from 200; 0 hidden, 1 filled, 2 frame
  std::int32_t m_PlayerBoxColor[4] = {};    // first from 200; palette 208 + 4 x value
  std::int32_t m_CharaBoxA[4] = {};         // from 200
  std::int32_t m_CharaBoxB[4] = {};         // set 2 from 155
  std::int32_t m_CharaBoxC[2] = {};
  std::int32_t m_CharaBoxAAnchor[2] = {};  // from 200
  std::int32_t m_CharaBoxBAnchor[2] = {};  // from 155
  std::int32_t m_ItemBox[2] = {};
  std::int32_t m_PlayerShotSize[2] = {};
  std::int32_t m_PlayerShotAttack[2] = {};
  std::int32_t m_CharaShotSize[2] = {};
  std::int32_t m_CharaShotAttack[2] = {};
  std::int32_t m_nReserved84 = 0;
  std::int32_t m_nExtentX = 0;  // far edge of range tests, in pixels, without the map's margins
  std::int32_t m_nExtentY = 0;
  // Derived from the hit-test level on every load and save (SetHitLevel).
  std::int32_t m_nSubSteps = 0;
  double m_dSubSteps = 0;
  double m_dSubSteps2 = 0;
  double m_dSpeedCap = 0;
  double m_dStepGravity = 0;
  double m_dStepSpeedCap = 0;
  std::int32_t m_nSubSteps8 = 0;
  std::int32_t m_bOnScreenHits = 0;
  std::int32_t m_HitTimes[4] = {};  // pair A: memory of the hitter, invincibility; pair B the same
  std::string m_strHeader;          // no reader in the player

  cVector<std::int32_t> m_RankFlags;  // total score, remaining time, clear time, HP, SP
  cEdStageParam m_Params[STAGE_PARAM_COUNT];
  cEdPalette m_Palette;        // the stage's own definitions
  cVector<cEdBlock> m_Blocks;  // placed
  cVector<cEdChara> m_Charas;
  cVector<cEdItem> m_Items;
  cVector<cEdBackground> m_Backgrounds;
  cVector<cEdStageEntry> m_Entries;

  // Run-time members, not stored.
  std::string m_strPath;              // the stage file
  std::int32_t m_bLoadSucceeded = 0;  // written by the loader thread
  std::int32_t m_nTurnSteps = 0;      // 6 x sub-steps

  void BindFields(std::uint32_t nVersion) override;
  // A stage body (the header already read); normalised afterwards.
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;
  // The image a replay embeds: header, ranking flags, ranges, backgrounds and texts of
  // the start stage; palette and placed objects of this stage.
  void SaveForReplay(cDataWriter& out, cEdStage& start);

  // A new stage.
  void Reset();
  // The hit boxes and their anchors of a new stage (the box displays stay).
  void SetDefaultSizes();
  // The hit-test level and the values derived from it.
  void SetHitLevel(std::int32_t nLevel);
  // Scroll range inside the stage, derived values, music and every definition valid.
  void Normalize();
  // Index of the first placed character that is the hero, -1 when none.
  int FindHero() const;
  bool HasHero() const { return FindHero() != -1; }
  // This stage becomes the start snapshot of stage: its header, ranking flags, ranges,
  // backgrounds and texts, with no palette and no placed objects.
  void MakeStartSnapshot(cEdStage& stage);

 private:
  void Upgrade();
};

// The stage being played, and its state at the stage's start.
extern cEdStage g_Stage;
extern cEdStage g_StartStage;
