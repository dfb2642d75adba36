// Animations: the free animations of "Anime.dat" that flows play on a character, and the
// basic animation sets of "AnimeSet.dat" whose slots a character shows while standing,
// moving, flying and moving in flight.
#pragma once
#include <cstdint>
#include <string>

#include "base/Vector.h"
#include "gamedata/Record.h"

// One frame: a pattern of the character's bitmap shown for a time.
class cEdAnimeFrame : public cRecord {
 public:
  std::int32_t m_nPattern = 0;
  std::int32_t m_nTime = 1;  // tenths of a second
  std::int32_t m_bLock = 0;  // from this frame on another animation cannot interrupt

  void BindFields(std::uint32_t nVersion) override;
};

class cEdAnime : public cRecord {
 public:
  std::int16_t m_sParam1 = 0;  // the editor's; kept and saved
  std::uint8_t m_bParam = 1;   // the editor's; kept and saved
  std::int16_t m_sParam2 = 0;  // the editor's; kept and saved
  std::string m_strName;
  cVector<cEdAnimeFrame> m_Frames = cVector<cEdAnimeFrame>(1);  // in playing order

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;

  // No name and exactly one default frame.
  void Reset();
};

// Slots of an animation set that every set has.
enum : int { ANIME_SLOT_STAND = 0, ANIME_SLOT_MOVE, ANIME_SLOT_FLY, ANIME_SLOT_FLY_MOVE, ANIME_SLOT_COUNT };

class cEdAnimeSet : public cRecord {
 public:
  cEdAnimeSet() { Reset(); }

  std::int32_t m_nInvincibleOffset = 4;  // added to the pattern while invincible
  std::int32_t m_nBlockCharaOffset = 8;  // added while the character is a block character
  std::int32_t m_nFlyingOffset = 0;      // added while flying; stored from version 119
  std::string m_strName;
  cVector<cEdAnime> m_Slots;  // by slot number; further slots may follow the four

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;

  // Default offsets and exactly the four named slots (existing slots keep their frames).
  void Reset();

 private:
  void FitSlots();
};
