#include "gamedata/Stage.h"

#include <algorithm>
#include <limits>

#include "gamedata/DataRefs.h"
#include "gamedata/RecordList.h"
#include "gamedata/System.h"

cEdStage g_Stage;
cEdStage g_StartStage;

void cEdStageParam::BindFields(std::uint32_t nVersion) {
  AddField4(&m_bLimitLeft);
  if (nVersion >= VERSION_STAGE_PARAM_LIMITS) {
    AddField4(&m_bLimitRight);
    AddField4(&m_bLimitTop);
    AddField4(&m_bLimitBottom);
  }
  AddField4(&m_nMarginLeft);
  AddField4(&m_nMarginRight);
  AddField4(&m_nMarginTop);
  AddField4(&m_nMarginBottom);
}

void cEdStageParam::Set(std::int32_t bLeft, std::int32_t bRight, std::int32_t bTop, std::int32_t bBottom,
                        std::int32_t nLeft, std::int32_t nRight, std::int32_t nTop, std::int32_t nBottom) {
  m_bLimitLeft = bLeft;
  m_bLimitRight = bRight;
  m_bLimitTop = bTop;
  m_bLimitBottom = bBottom;
  m_nMarginLeft = nLeft;
  m_nMarginRight = nRight;
  m_nMarginTop = nTop;
  m_nMarginBottom = nBottom;
}

void cEdBackground::BindFields(std::uint32_t nVersion) {
  if (nVersion >= VERSION_BACKGROUND_OFFSETS) AddField4(&m_bVisible);
  AddField4(&m_bFill);
  AddField4(&m_nFillColor);
  AddField4(&m_nPass);
  if (nVersion >= VERSION_BACKGROUND_SCROLL) {
    AddField8(&m_dScrollX);
    AddField8(&m_dScrollY);
    AddField4(&m_bAutoX);
    AddField4(&m_bAutoY);
  }
  if (nVersion >= VERSION_BACKGROUND_OFFSETS) {
    AddField8(&m_dOffsetX);
    AddField8(&m_dOffsetY);
  } else {
    AddField4(&g_nRetiredField);
    AddField4(&g_nRetiredField);
  }
  AddString(&m_strBitmap);
}

void cEdStageEntry::BindFields(std::uint32_t) { AddString(&m_strText); }

cEdStage::cEdStage() { Reset(); }

void cEdStage::BindFields(std::uint32_t v) {
  AddField4(&m_nWidth);
  AddField4(&m_nReserved2);
  AddField4(&m_nReserved3);
  AddField4(&m_nHeight);
  AddField4(&m_bLimitLeft);
  AddField4(&m_bLimitRight);
  AddField4(&m_bLimitTop);
  AddField4(&m_bLimitBottom);
  AddField4(&m_nScrollLeft);
  AddField4(&m_nScrollRight);
  AddField4(&m_nScrollTop);
  AddField4(&m_nScrollBottom);
  AddField4(&m_nFrameRate);
  AddField4(&m_bTimeLimit);
  AddField4(&m_nTimeLimit);
  AddField4(&m_nTimeWarning);
  AddField4(&m_nScrollModeX);
  AddField4(&m_nScrollModeY);
  AddField4(&m_nAutoScrollX);
  AddField4(&m_nAutoScrollY);
  AddField8(&m_dGravity);
  AddField4(&m_nHitLevel);
  AddField4(&m_nHitPasses);
  AddField4(&m_nBgm);
  if (v >= VERSION_BGM_LOOP) AddField4(&m_nBgmOption);
  if (v >= VERSION_KEEP_BGM) AddField4(&m_bKeepBgm);
  AddField4(&m_bDrawByLayer);
  AddField4(&m_bCarryStatus);
  AddField4(&m_bPassOnStatus);
  if (v >= VERSION_STATUS_BAR) AddField4(&m_bStatusBar);
  if (v >= VERSION_AUTO_END) AddField4(&m_bAutoEnd);
  AddField4(&m_bShowStart1);
  if (v >= VERSION_SHOW_START_2) AddField4(&m_bShowStart2);
  AddField4(&m_bShowClear);
  AddField4(&m_bShowGameOver);
  if (v >= VERSION_FIRST_BOX_SIZE) {
    for (std::int32_t& n : m_PlayerBoxA) AddField4(&n);
  }
  AddField4(&m_PlayerBoxB[0]);
  AddField4(&m_PlayerBoxB[1]);
  if (v >= VERSION_SECOND_BOX_SIZE) {
    AddField4(&m_PlayerBoxB[2]);
    AddField4(&m_PlayerBoxB[3]);
  }
  for (std::int32_t& n : m_PlayerBoxC) AddField4(&n);
  for (std::int32_t& n : m_PlayerBoxD) AddField4(&n);
  if (v >= VERSION_FIRST_BOX_SIZE) {
    for (std::int32_t& n : m_PlayerBoxAAnchor) AddField4(&n);
  }
  if (v >= VERSION_SECOND_BOX_SIZE) {
    for (std::int32_t& n : m_PlayerBoxBAnchor) AddField4(&n);
  }
  if (v >= VERSION_FIRST_BOX_SIZE) AddField4(&m_PlayerBoxShow[0]);
  for (int i = 1; i < 4; ++i) AddField4(&m_PlayerBoxShow[i]);
  if (v >= VERSION_FIRST_BOX_SIZE) AddField4(&m_PlayerBoxColor[0]);
  for (int i = 1; i < 4; ++i) AddField4(&m_PlayerBoxColor[i]);
  if (v >= VERSION_FIRST_BOX_SIZE) {
    for (std::int32_t& n : m_CharaBoxA) AddField4(&n);
  }
  AddField4(&m_CharaBoxB[0]);
  AddField4(&m_CharaBoxB[1]);
  if (v >= VERSION_SECOND_BOX_SIZE) {
    AddField4(&m_CharaBoxB[2]);
    AddField4(&m_CharaBoxB[3]);
  }
  for (std::int32_t& n : m_CharaBoxC) AddField4(&n);
  if (v >= VERSION_FIRST_BOX_SIZE) {
    for (std::int32_t& n : m_CharaBoxAAnchor) AddField4(&n);
  }
  if (v >= VERSION_SECOND_BOX_SIZE) {
    for (std::int32_t& n : m_CharaBoxBAnchor) AddField4(&n);
  }
  for (std::int32_t& n : m_ItemBox) AddField4(&n);
  for (std::int32_t* pair : {m_PlayerShotSize, m_PlayerShotAttack, m_CharaShotSize, m_CharaShotAttack}) {
    AddField4(&pair[0]);
    AddField4(&pair[1]);
  }
  AddField4(&m_nReserved84);
  AddField4(&m_nExtentX);
  AddField4(&m_nExtentY);
  AddField4(&m_nSubSteps);
  AddField8(&m_dSubSteps);
  AddField8(&m_dSubSteps2);
  AddField8(&m_dSpeedCap);
  AddField8(&m_dStepGravity);
  AddField8(&m_dStepSpeedCap);
  AddField4(&m_nSubSteps8);
  AddField4(&m_bOnScreenHits);
  for (std::int32_t& n : m_HitTimes) AddField4(&n);
  AddString(&m_strHeader);
}

namespace {

// The range records of a new stage.
void SetDefaultParams(cEdStageParam (&params)[STAGE_PARAM_COUNT]) {
  for (int i = 0; i < 3; ++i) params[i].Set(0, 0, 0, 0, 0, 0, 0, 0);
  params[3].Set(1, 1, 1, 1, 0, 0, 0, 0);
  params[4].Set(1, 1, 1, 1, 10, 10, 10, 10);
}

// Placed objects: u32 count, then per element an ignored u32 and the record.
template <class T>
void LoadPlacedList(cDataReader& in, cVector<T>& list) {
  if (in.Failed()) return;
  std::uint32_t nCount = 0;
  if (!in.ReadCount(nCount, sizeof(std::uint32_t) + MIN_RECORD_BYTES) || !in.ChargeElements(nCount, sizeof(T)) ||
      !in.EnterList()) {
    return;
  }
  list.ResetRecords(static_cast<int>(nCount));
  for (T& element : list) {
    std::uint32_t nIgnored = 0;
    if (!in.ReadU32(nIgnored)) break;
    element.Load(in);
  }
  in.LeaveList();
}

template <class T>
void SavePlacedList(cDataWriter& out, cVector<T>& list) {
  out.WriteU32(static_cast<std::uint32_t>(list.size()));
  for (T& element : list) {
    out.WriteU32(0);
    element.Save(out);
  }
}

template <class T>
void NormalizePlaced(cVector<T>& list) {
  for (T& element : list) {
    element.Normalize();
    element.CheckPaletteRefs();
  }
}

// min(n, nBound + nOffset) without overflow.
std::int32_t AtMost(std::int32_t n, std::int32_t nBound, std::int32_t nOffset) {
  const std::int64_t nLimit =
      std::max<std::int64_t>(static_cast<std::int64_t>(nBound) + nOffset, std::numeric_limits<std::int32_t>::min());
  return static_cast<std::int32_t>(std::min<std::int64_t>(n, nLimit));
}

}  // namespace

void cEdStage::Reset() {
  Clear();
  m_Blocks.clear();
  m_Charas.clear();
  m_Items.clear();
  m_Palette.ResetLists();
  m_Backgrounds.ResetRecords(1);
  m_Backgrounds[0].m_bFill = 1;
  m_nTimeLimit = 200;
  m_nTimeWarning = 20;
  m_dGravity = 0.4;
  m_nFrameRate = 60;
  m_nHitLevel = 10;
  m_nHitPasses = 0;
  m_bDrawByLayer = 1;
  m_bStatusBar = 1;
  m_bOnScreenHits = 1;
  m_bAutoEnd = 0;
  m_bShowStart1 = 0;
  m_bShowStart2 = 1;
  m_bShowClear = 1;
  m_bShowGameOver = 1;
  m_HitTimes[0] = 30;
  m_HitTimes[1] = 0;
  m_HitTimes[2] = 30;
  m_HitTimes[3] = 0;
  m_RankFlags.assign(STAGE_RANK_FLAG_COUNT, 1);
  SetDefaultParams(m_Params);
  SetDefaultSizes();
  m_nReserved84 = 1;
}

void cEdStage::SetDefaultSizes() {
  const auto set = [](std::int32_t* p, std::initializer_list<std::int32_t> values) {
    for (std::int32_t v : values) *p++ = v;
  };
  set(m_PlayerBoxA, {16, 24, 16, 16});
  set(m_PlayerBoxB, {16, 24, 16, 16});
  set(m_PlayerBoxC, {12, 8});
  set(m_PlayerBoxD, {16, 16});
  set(m_PlayerBoxAAnchor, {1, 0});
  set(m_PlayerBoxBAnchor, {1, 0});
  set(m_CharaBoxA, {16, 24, 16, 16});
  set(m_CharaBoxB, {12, 24, 12, 16});
  set(m_CharaBoxC, {30, 30});
  set(m_CharaBoxAAnchor, {1, 0});
  set(m_CharaBoxBAnchor, {1, 0});
  set(m_ItemBox, {28, 28});
  for (std::int32_t* pair : {m_PlayerShotSize, m_PlayerShotAttack, m_CharaShotSize, m_CharaShotAttack}) {
    set(pair, {16, 16});
  }
}

void cEdStage::SetHitLevel(std::int32_t nLevel) {
  std::int32_t b = nLevel <= 10 || nLevel >= 20 ? nLevel : nLevel - 10;
  // The kit offers levels 1 to 19; a stored level outside 0 to 100 must not ask for an
  // endless number of sub-steps (stage play refuses such a stage). Level 0 runs no
  // sub-step at all: the per-step scales stay those of one sub-step, so nothing divides
  // by zero.
  b = std::clamp(b, 0, 100);
  const double d = b > 0 ? b : 1;
  m_nHitLevel = nLevel;
  m_nSubSteps = b;
  m_dSubSteps = d;
  m_nTurnSteps = 6 * b;
  m_dSubSteps2 = d * d;
  m_dSpeedCap = nLevel >= 11 && nLevel <= 19 ? 60.0 : 6.0 * d;
  m_dStepSpeedCap = m_dSpeedCap / d;
  m_nSubSteps8 = 8 * b;
  m_dStepGravity = m_dGravity / (d * d);
}

void cEdStage::Load(cDataReader& in) {
  cRecord::Load(in);
  LoadValueList(in, m_RankFlags);
  // Flags that a file of an old version lacks start as a new stage's, not as the last
  // stage loaded left them.
  SetDefaultParams(m_Params);
  for (cEdStageParam& param : m_Params) param.Load(in);
  m_Palette.LoadLists(in);
  m_Palette.ResetFirstElements();
  LoadPlacedList(in, m_Blocks);
  LoadPlacedList(in, m_Charas);
  LoadPlacedList(in, m_Items);
  LoadRecordList(in, m_Backgrounds);
  LoadRecordList(in, m_Entries);
  if (g_nLoadVersion >= VERSION_STAGE_END_CODE) {
    std::uint32_t nEndCode = 0;  // tested before the load, by the stage loader
    in.ReadU32(nEndCode);
  }
  if (g_nLoadVersion < CURRENT_DATA_VERSION) Upgrade();
  Normalize();
}

// Members a version added get the values that an older file means.
void cEdStage::Upgrade() {
  const std::uint32_t v = g_nLoadVersion;
  if (v < VERSION_SECOND_BOX_SIZE) {
    m_PlayerBoxB[2] = m_PlayerBoxB[0];
    m_PlayerBoxB[3] = m_PlayerBoxB[1];
    m_CharaBoxB[2] = m_CharaBoxB[0];
    m_CharaBoxB[3] = m_CharaBoxB[1];
    m_PlayerBoxBAnchor[0] = m_PlayerBoxBAnchor[1] = 0;
    m_CharaBoxBAnchor[0] = m_CharaBoxBAnchor[1] = 0;
  }
  if (v < VERSION_BGM_LOOP) m_nBgmOption = 1;
  if (v < VERSION_HP_SP_RANKING) {
    m_RankFlags.resize(STAGE_RANK_FLAG_COUNT, 0);
    m_RankFlags[RANK_HP] = m_RankFlags[RANK_SP] = 0;
  }
  if (v < VERSION_STATUS_BAR) m_bStatusBar = 1;
  if (v < VERSION_AUTO_END) m_bAutoEnd = 0;
  if (v < VERSION_KEEP_BGM) m_bKeepBgm = 0;
  if (v < VERSION_FIRST_BOX_SIZE) {
    m_PlayerBoxA[0] = 16;
    m_PlayerBoxA[1] = 24;
    m_PlayerBoxA[2] = 16;
    m_PlayerBoxA[3] = 16;
    m_PlayerBoxAAnchor[0] = 1;
    m_PlayerBoxAAnchor[1] = 0;
    m_PlayerBoxShow[0] = 0;
    m_PlayerBoxColor[0] = 5;
    m_CharaBoxA[0] = 16;
    m_CharaBoxA[1] = 30;
    m_CharaBoxA[2] = 16;
    m_CharaBoxA[3] = 30;
    m_CharaBoxAAnchor[0] = m_CharaBoxAAnchor[1] = 1;
  }
  if (v < VERSION_SHOW_START_2) m_bShowStart2 = 0;
}

void cEdStage::Save(cDataWriter& out) { SaveForReplay(out, *this); }

void cEdStage::SaveForReplay(cDataWriter& out, cEdStage& start) {
  Normalize();
  start.cRecord::Save(out);
  SaveValueList(out, start.m_RankFlags);
  for (cEdStageParam& param : start.m_Params) param.Save(out);
  m_Palette.SaveLists(out);
  SavePlacedList(out, m_Blocks);
  SavePlacedList(out, m_Charas);
  SavePlacedList(out, m_Items);
  SaveRecordList(out, start.m_Backgrounds);
  SaveRecordList(out, start.m_Entries);
  out.WriteU32(STAGE_END_CODE);
}

void cEdStage::Normalize() {
  m_nScrollLeft = AtMost(m_nScrollLeft, m_nWidth, -20);
  m_nScrollRight = AtMost(m_nScrollRight, m_nWidth, -1);
  m_nScrollTop = AtMost(m_nScrollTop, m_nHeight, -15);
  m_nScrollBottom = AtMost(m_nScrollBottom, m_nHeight, -1);
  // The derived values of the stage itself (every stage that is loaded or saved is the
  // stage being played, but a second stage record must not take its values from it).
  SetHitLevel(m_nHitLevel);
  if (static_cast<std::uint32_t>(m_nBgm) >= static_cast<std::uint32_t>(DataRefs().DatabaseSize(DB_BGM))) m_nBgm = 0;
  m_Palette.Validate();
  NormalizePlaced(m_Blocks);
  NormalizePlaced(m_Charas);
  NormalizePlaced(m_Items);
  // A placement that carries a placed item that does not exist carries none.
  for (cEdChara& chara : m_Charas) {
    if (chara.m_nCarriedItem != -1 && !IsValidRef(chara.m_nCarriedItem, m_Items.Size())) chara.m_nCarriedItem = -1;
  }
}

int cEdStage::FindHero() const {
  for (int i = 0; i < m_Charas.Size(); ++i) {
    if (m_Charas[i].m_nImage != 0 && m_Charas[i].m_nOperator == 0) return i;
  }
  return -1;
}

void cEdStage::MakeStartSnapshot(cEdStage& stage) {
  if (&stage == this) return;
  CopyFrom(stage);
  m_Backgrounds = stage.m_Backgrounds;
  m_Entries = stage.m_Entries;
  std::copy(std::begin(stage.m_Params), std::end(stage.m_Params), std::begin(m_Params));
  m_RankFlags = stage.m_RankFlags;
  m_Blocks.clear();
  m_Charas.clear();
  m_Items.clear();
  m_Palette.m_Blocks.clear();
  m_Palette.m_Charas.clear();
  m_Palette.m_Items.clear();
}
