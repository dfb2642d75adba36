// The media databases: pictures ("Picture.dat") that flows show, sound effects
// ("Sound.dat"; sound 0 is none) and music ("Bgm.dat"; music 0 is none). Each entry is a
// display name and a file relative to the game folder.
#pragma once
#include <cstdint>
#include <string>

#include "gamedata/Record.h"

class cEdMediaEntry : public cRecord {
 public:
  std::int32_t m_nTag = 0;  // the editor's; stored from 151, kept from 153
  std::string m_strName;
  std::string m_strFile;

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
};

class cEdPicture : public cEdMediaEntry {};
class cEdSound : public cEdMediaEntry {};  // a WAV file
class cEdBgm : public cEdMediaEntry {};    // MIDI or Ogg, chosen by the extension
