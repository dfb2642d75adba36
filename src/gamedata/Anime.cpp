#include "gamedata/Anime.h"

#include <algorithm>

#include "gamedata/RecordList.h"

void cEdAnimeFrame::BindFields(std::uint32_t) {
  AddField4(&m_nPattern);
  AddField4(&m_nTime);
  AddField4(&m_bLock);
}

void cEdAnime::BindFields(std::uint32_t nVersion) {
  AddString(&m_strName);
  if (nVersion >= VERSION_ANIME_EDITOR_PARAMS) {
    AddField2(&m_sParam1);
    AddField1(&m_bParam);
    AddField2(&m_sParam2);
  }
}

void cEdAnime::Load(cDataReader& in) {
  cRecord::Load(in);
  LoadRecordList(in, m_Frames);
}

void cEdAnime::Save(cDataWriter& out) {
  cRecord::Save(out);
  SaveRecordList(out, m_Frames);
}

void cEdAnime::Reset() {
  Clear();
  m_Frames.assign(1, cEdAnimeFrame());
  m_bParam = 1;
}

void cEdAnimeSet::BindFields(std::uint32_t nVersion) {
  AddString(&m_strName);
  AddField4(&m_nInvincibleOffset);
  AddField4(&m_nBlockCharaOffset);
  if (nVersion >= VERSION_FLYING_ANIMES) AddField4(&m_nFlyingOffset);
}

void cEdAnimeSet::FitSlots() { m_Slots.resize(ANIME_SLOT_COUNT); }

void cEdAnimeSet::Load(cDataReader& in) {
  cRecord::Load(in);
  LoadRecordList(in, m_Slots);
  // The flying slots came with version 119 and got their names with version 128.
  if (g_nLoadVersion < VERSION_FLYING_ANIME_NAMES) {
    // Slots made here own a frame each, which no bytes of the file paid for.
    const std::size_t nMade = ANIME_SLOT_COUNT - std::min<std::size_t>(m_Slots.size(), ANIME_SLOT_COUNT);
    if (!in.ChargeElements(static_cast<std::uint32_t>(nMade), sizeof(cEdAnime) + sizeof(cEdAnimeFrame))) return;
    FitSlots();
    m_Slots[ANIME_SLOT_FLY].m_strName = "飛行";
    m_Slots[ANIME_SLOT_FLY_MOVE].m_strName = "飛行移動";
  }
}

void cEdAnimeSet::Save(cDataWriter& out) {
  cRecord::Save(out);
  SaveRecordList(out, m_Slots);
}

void cEdAnimeSet::Reset() {
  Clear();
  m_nInvincibleOffset = 4;
  m_nBlockCharaOffset = 8;
  m_nFlyingOffset = 0;
  FitSlots();
  m_Slots[ANIME_SLOT_STAND].m_strName = "立ち";
  m_Slots[ANIME_SLOT_MOVE].m_strName = "立ち移動";
  m_Slots[ANIME_SLOT_FLY].m_strName = "飛行";
  m_Slots[ANIME_SLOT_FLY_MOVE].m_strName = "飛行移動";
}
