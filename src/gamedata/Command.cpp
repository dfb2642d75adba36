#include "gamedata/Command.h"

#include <algorithm>
#include <boost/checked_delete.hpp>

#include "gamedata/ClampedMath.h"
#include "gamedata/CommandParams.h"
#include "gamedata/DataRefs.h"
#include "gamedata/EditLabels.h"
#include "gamedata/Flow.h"
#include "gamedata/RecordList.h"
#include "gamedata/Vocabulary.h"

cEdCommand::cEdCommand() = default;
cEdCommand::~cEdCommand() = default;
cEdCommand::cEdCommand(cEdCommand&& other) noexcept = default;
cEdCommand& cEdCommand::operator=(cEdCommand&& other) noexcept = default;

cEdCommand::cEdCommand(const cEdCommand& other)
    : cRecord(other),
      m_nSet(other.m_nSet),
      m_nType(other.m_nType),
      m_Params(other.m_Params),
      m_strText(other.m_strText),
      m_nTime(other.m_nTime),
      m_nTimePerLevel(other.m_nTimePerLevel),
      m_bParallel(other.m_bParallel),
      m_nSound(other.m_nSound),
      m_bSoundOnScreen(other.m_bSoundOnScreen),
      m_nAnime(other.m_nAnime),
      m_Flows(other.m_Flows) {
  CopyPayloads(other);
}

cEdCommand& cEdCommand::operator=(const cEdCommand& other) {
  if (this != &other) *this = cEdCommand(other);
  return *this;
}

void cEdCommand::CopyPayloads(const cEdCommand& other) {
  CopyMove(other.m_pMove.get());
  CopyShot(other.m_pShot.get());
}

void cEdCommand::BindFields(std::uint32_t) {
  AddField1(&m_nSet);
  AddField1(&m_nType);
  AddField2(&m_nTime);
  AddField2(&m_nTimePerLevel);
  AddField1(&m_bParallel);
  AddField2(&m_nSound);
  AddField1(&m_bSoundOnScreen);
  AddField2(&m_nAnime);
  AddString(&m_strText);
}

void cEdCommand::Reset() {
  Clear();
  m_pMove.reset();
  m_pShot.reset();
  m_bSoundOnScreen = 1;
}

void cEdCommand::NewMove() { m_pMove = boost::shared_ptr<cEdMove>(new cEdMove, boost::checked_deleter<cEdMove>()); }
void cEdCommand::NewShot() { m_pShot = boost::shared_ptr<cEdShot>(new cEdShot, boost::checked_deleter<cEdShot>()); }

void cEdCommand::CopyMove(const cEdMove* pSource) {
  if (!pSource) {
    m_pMove.reset();
    return;
  }
  boost::shared_ptr<cEdMove> copy(new cEdMove(*pSource), boost::checked_deleter<cEdMove>());
  m_pMove = copy;  // made before the old one goes, so a source inside it stays valid
}

void cEdCommand::CopyShot(const cEdShot* pSource) {
  if (!pSource) {
    m_pShot.reset();
    return;
  }
  boost::shared_ptr<cEdShot> copy(new cEdShot(*pSource), boost::checked_deleter<cEdShot>());
  m_pShot = copy;
}

int cEdCommand::CharaType() const {
  if (m_nSet == 0) return m_nType >= 0 && m_nType < COMMAND_TYPE_COUNT ? m_nType : -1;
  if (m_nType == CMD_NONE) return CMD_NONE;
  if (m_nType > ITEM_CMD_FLOW_CHANGE && m_nType < ITEM_COMMAND_TYPE_COUNT) return m_nType + ITEM_TYPE_OFFSET;
  return -1;
}

void cEdCommand::Load(cDataReader& in) {
  cRecord::Load(in);
  std::uint32_t bMove = 0;
  in.ReadU32(bMove);
  m_pMove.reset();
  if (bMove) {
    NewMove();
    m_pMove->Load(in);
  }
  std::uint32_t bShot = 0;
  in.ReadU32(bShot);
  m_pShot.reset();
  if (bShot) {
    NewShot();
    m_pShot->Load(in);
  }
  LoadFlowList(in, m_Flows);
  LoadValueList(in, m_Params);
  if (g_nLoadVersion < CURRENT_DATA_VERSION) Upgrade();
  if (ShouldDropTestOnlyFlows()) DropTestOnlyFlows(m_Flows);
  Normalize();
}

void cEdCommand::Save(cDataWriter& out) {
  Normalize();
  cRecord::Save(out);
  out.WriteU32(m_pMove ? 1 : 0);
  if (m_pMove) m_pMove->Save(out);
  out.WriteU32(m_pShot ? 1 : 0);
  if (m_pShot) m_pShot->Save(out);
  SaveRecordList(out, m_Flows);
  SaveValueList(out, m_Params);
}

namespace {

void ResizeParams(cVector<std::int32_t>& p, int n) { p.resize(static_cast<std::size_t>(n), 0); }

// After a resize to n: entries nAt.. move up one place (the last falls out), p[nAt] = v.
void InsertParam(cVector<std::int32_t>& p, int nAt, std::int32_t v) {
  std::copy_backward(p.begin() + nAt, p.end() - 1, p.end());
  p[nAt] = v;
}

// Character status numbers of the changed status and of a status operand from nFrom on
// move up by one; system values keep theirs.
void ShiftStatusParams(cVector<std::int32_t>& p, int nFrom) {
  if (p.Size() <= P_STATUS_OPERAND_STATUS) return;  // a list too short to hold them has nothing to renumber
  if (p[P_STATUS_SUBJECT] == SUBJECT_STATUS && p[P_STATUS_WHOSE] != OWNER_SYSTEM && p[P_STATUS_STATUS] >= nFrom)
    p[P_STATUS_STATUS] = AddClamped(p[P_STATUS_STATUS], 1);
  if (p[P_STATUS_OPERAND] == OPERAND_STATUS && p[P_STATUS_OPERAND_WHOSE] != OWNER_SYSTEM &&
      p[P_STATUS_OPERAND_STATUS] >= nFrom)
    p[P_STATUS_OPERAND_STATUS] = AddClamped(p[P_STATUS_OPERAND_STATUS], 1);
}

}  // namespace

// Files older than the current version numbered some lists differently or gave some
// commands other parameters; each step applies to every file older than its version.
void cEdCommand::Upgrade() {
  const std::uint32_t v = g_nLoadVersion;
  cVector<std::int32_t>& p = m_Params;
  switch (CharaType()) {
    case CMD_STAGE_CLEAR:
      if (v < VERSION_STAGE_CLEAR_PARAMS) ResizeParams(p, 5);
      break;
    case CMD_BGM:
      if (v < VERSION_BGM_LOOP) {
        ResizeParams(p, 2);
        p[P_BGM_LOOP] = 1;
      }
      break;
    case CMD_STATUS:
      // The defence came in while the character ID, which now stands before it, did not exist yet.
      if (v < VERSION_DEFENCE) ShiftStatusParams(p, STATUS_DEFENCE - 1);
      if (v < VERSION_CHARA_ID_STATUS) ShiftStatusParams(p, STATUS_CHARA_ID);
      break;
    case CMD_TARGET:
      if (v < VERSION_TARGET_PARAMS) {
        ResizeParams(p, 10);
        InsertParam(p, P_TARGET_ALL_SIDES, 0);
      }
      break;
    case CMD_PICTURE:
      if (v < VERSION_PICTURE_PARAMS) {
        ResizeParams(p, 11);
        InsertParam(p, P_PICTURE_LAYER, 1);
      }
      break;
    case CMD_CHARA_EFFECT:
    case CMD_SCR_EFFECT:
      if (v < VERSION_EFFECT_COMMAND_PARAMS) {
        ResizeParams(p, 3);
        InsertParam(p, P_RUN_EFFECT_MODE, 0);
      }
      break;
    case CMD_SUMMON_CHARA:
    case CMD_SUMMON_ITEM:
      if (v < VERSION_SUMMON_PARAMS) p.clear();
      break;
    case CMD_FLOW:
      if (v < VERSION_FLOW_COMMAND_PARAMS) ResizeParams(p, 3);
      break;
    case CMD_STATUS2:
      if (v < VERSION_AUTO_SCROLL_SYNC && p.Size() > P_STATUS2_STATE && p[P_STATUS2_WHOSE] != OWNER_SYSTEM &&
          p[P_STATUS2_STATE] >= STATE_SCROLL_SYNC)
        p[P_STATUS2_STATE] = AddClamped(p[P_STATUS2_STATE], 1);
      break;
    case CMD_GRAPHIC:
      if (v < VERSION_SHOT_SHEET_IMAGE && p.Size() > P_GRAPHIC_IMAGE && p[P_GRAPHIC_SHEET] == IMAGE_SHEET_SHOT)
        p[P_GRAPHIC_IMAGE] = std::min(AddClamped(p[P_GRAPHIC_IMAGE], 1), 119);
      break;
    case CMD_SHOT:
      if (v < VERSION_SHOT_GRAPHIC_IMAGE && m_pShot)
        m_pShot->m_nGraphic = static_cast<std::int16_t>(std::min(m_pShot->m_nGraphic + 1, 119));
      break;
    default: break;
  }
}

void cEdCommand::Normalize() {
  const cDataRefs& refs = DataRefs();
  if (!IsValidRef(m_nAnime, refs.DatabaseSize(DB_ANIME))) m_nAnime = 0;
  if (!IsValidRef(m_nSound, refs.DatabaseSize(DB_SOUND))) m_nSound = 0;
  // A type outside its table has no count to go by: its parameters stay as stored.
  if (int nCount = CommandParamCount(m_nSet, m_nType); nCount >= 0) ResizeParams(m_Params, nCount);

  // Database numbers in the first parameter (P_ANIME_INDEX, P_EFFECT_INDEX, ...), and
  // what a bad one becomes.
  struct Ref {
    int nType;
    eDatabase nDatabase;
    std::int32_t nRepair;
  };
  static constexpr Ref REFS[] = {
      {CMD_ANIME_SET, DB_ANIME_SET, 0},   {CMD_ANIME, DB_ANIME, 1},
      {CMD_EFFECT, DB_EFFECT, 1},         {CMD_CHARA_EFFECT, DB_CHARA_EFFECT, 1},
      {CMD_SCR_EFFECT, DB_SCR_EFFECT, 1}, {CMD_PICTURE, DB_PICTURE, 1},
      {CMD_SOUND, DB_SOUND, 1},           {CMD_BGM, DB_BGM, 1},
  };
  const int nType = CharaType();
  for (const Ref& ref : REFS) {
    if (ref.nType == nType && !m_Params.empty() && !IsValidRef(m_Params[0], refs.DatabaseSize(ref.nDatabase))) {
      m_Params[0] = RepairRef(ref.nRepair, refs.DatabaseSize(ref.nDatabase));
    }
  }
  if (nType == CMD_SWORD && m_pShot) {
    std::uint8_t& nSwordType = m_pShot->m_nMotion;
    if (!IsValidRef(nSwordType, refs.DatabaseSize(DB_SWORD_TYPE))) nSwordType = 0;
    // A sword runs exactly as long as its type's entries together, up to 9999 tenths.
    std::int64_t nTime = 0;  // wide: stored entry times may be as large as an i32 holds
    const int nEntries = refs.SwordEntryCount(nSwordType);
    for (int i = 0; i < nEntries; ++i) {
      nTime = std::min<std::int64_t>(nTime + refs.SwordEntryTime(nSwordType, i), 9999);
    }
    m_nTime = static_cast<std::int16_t>(std::max<std::int64_t>(nTime, INT16_MIN));
  }
  for (cEdFlow& flow : m_Flows) flow.Normalize();
}

void cEdCommand::CheckPaletteRefs() {
  const cDataRefs& refs = DataRefs();
  const int nType = CharaType();
  if ((nType == CMD_SHOT || nType == CMD_SWORD) && m_pShot) {
    cEdShot& shot = *m_pShot;
    if (shot.m_nItemSource == ITEM_SOURCE_COMMON || shot.m_nItemSource == ITEM_SOURCE_STAGE) {
      ePalette nPalette = shot.m_nItemSource == ITEM_SOURCE_COMMON ? PALETTE_COMMON : PALETTE_STAGE;
      if (!IsValidRef(shot.m_nItem, refs.PaletteSize(nPalette, DEF_ITEM))) {
        shot.m_nItemSource = ITEM_SOURCE_NONE;
        shot.m_nItem = 0;
      }
    }
  }
  if (nType >= CMD_SUMMON_BLOCK && nType <= CMD_SUMMON_ITEM && m_pShot) {
    cEdShot& shot = *m_pShot;
    eDefinition nKind = static_cast<eDefinition>(nType - CMD_SUMMON_BLOCK);
    if (shot.m_nSummonPalette <= PALETTE_STAGE &&
        !IsValidRef(shot.m_nSummon, refs.PaletteSize(static_cast<ePalette>(shot.m_nSummonPalette), nKind))) {
      shot.m_nSummon = 1;
    }
  }
  if (nType == CMD_GET_ITEM && m_Params.Size() > P_GET_ITEM_ITEM) {
    const std::int32_t nPalette = m_Params[P_GET_ITEM_PALETTE];
    std::int32_t& nItem = m_Params[P_GET_ITEM_ITEM];
    if ((nPalette == PALETTE_COMMON || nPalette == PALETTE_STAGE) &&
        !IsValidRef(nItem, refs.PaletteSize(static_cast<ePalette>(nPalette), DEF_ITEM)))
      nItem = 1;
  }
  for (cEdFlow& flow : m_Flows) flow.CheckPaletteRefs();
}
