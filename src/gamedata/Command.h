// One command of a flow or of an item: its set and type, its int parameters, its text,
// its timing, the sound and animation that go with it, a movement and a shot payload
// where the type needs one, and the flows the item command that adds flows carries.
//
// The payloads are held through boost::shared_ptr, but a command owns them alone: every
// copy of a command makes new payload objects, so no two commands ever share one.
#pragma once
#include <boost/shared_ptr.hpp>
#include <cstdint>
#include <string>

#include "base/Vector.h"
#include "gamedata/Move.h"
#include "gamedata/Record.h"
#include "gamedata/Shot.h"

class cEdFlow;

class cEdCommand : public cRecord {
 public:
  cEdCommand();
  // Copies every member by name and the payloads deeply: a new member goes there too.
  cEdCommand(const cEdCommand& other);
  cEdCommand(cEdCommand&& other) noexcept;
  cEdCommand& operator=(const cEdCommand& other);
  cEdCommand& operator=(cEdCommand&& other) noexcept;
  ~cEdCommand() override;

  std::int8_t m_nSet = 0;   // 0 a character command, otherwise an item command
  std::int8_t m_nType = 0;  // type within its set's command table
  cVector<std::int32_t> m_Params;
  std::string m_strText;  // message or code text
  boost::shared_ptr<cEdMove> m_pMove;
  boost::shared_ptr<cEdShot> m_pShot;
  std::int16_t m_nTime = 0;  // tenths of a second
  std::int16_t m_nTimePerLevel = 0;
  std::uint8_t m_bParallel = 0;       // runs alongside the commands after it
  std::int16_t m_nSound = 0;          // sound database number, 0 none
  std::uint8_t m_bSoundOnScreen = 1;  // the sound plays only while on screen
  std::int16_t m_nAnime = 0;          // animation database number, 0 none
  cVector<cEdFlow> m_Flows;           // flows carried for the item command that adds them

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;

  // The registered members cleared, no payloads, sound only on screen; the parameters
  // and the carried flows stay.
  void Reset();
  void NewMove();
  void NewShot();
  // Deep copies of one payload (null: none).
  void CopyMove(const cEdMove* pSource);
  void CopyShot(const cEdShot* pSource);

  // Parameter list sized for the type, database references valid, sword time summed.
  void Normalize();
  // References into the common and stage palettes valid.
  void CheckPaletteRefs();

  // The character command this command is or stands for (item types share the
  // character types they are 15 below); -1 for the item set's own command or a type
  // outside the tables.
  int CharaType() const;

 private:
  void Upgrade();
  void CopyPayloads(const cEdCommand& other);
};
