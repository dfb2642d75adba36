// Loads arbitrary bytes as a data file of each record class. The first byte chooses the
// class, the rest is the file (u32 version, then the record). A file that loads is saved,
// loaded again and saved again: the two saves must be the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "gamedata/DataRefs.h"
#include "gamedata/Database.h"
#include "gamedata/Flow.h"
#include "gamedata/Option.h"
#include "gamedata/Record.h"
#include "gamedata/System.h"
#include "gamedata/WorldMap.h"

namespace {

using Factory = std::function<std::unique_ptr<cRecord>()>;

template <class T>
Factory Make() {
  return [] { return std::make_unique<T>(); };
}

const Factory g_Factories[] = {
    Make<cOption>(),        Make<cEdWorldMap>(),  Make<cEdCondition>(), Make<cEdKeyCondition>(), Make<cEdMove>(),
    Make<cEdShot>(),        Make<cEdCommand>(),   Make<cEdFlow>(),      Make<cEdAnimeSet>(),     Make<cEdAnime>(),
    Make<cEdBmpCharaExc>(), Make<cEdSwordType>(), Make<cEdEffect>(),    Make<cEdCharaEffect>(),  Make<cEdScrEffect>(),
    Make<cEdPicture>(),     Make<cEdSound>(),     Make<cEdBgm>(),       Make<cEdSystem>(),       Make<cEdHudItem>(),
    Make<cEdGameMode>(),    Make<cEdSetting>(),   Make<cEdMenuItem>(),
};

// Small databases and palettes, so that the repairs of references run both ways.
class cFuzzRefs : public cDataRefs {
 public:
  int DatabaseSize(eDatabase n) const override { return 2 + n % 3; }
  int PaletteSize(ePalette p, eDefinition k) const override { return 2 + p + k; }
  int SwordEntryCount(int nType) const override { return nType >= 0 && nType < 2 ? 3 : 0; }
  int SwordEntryTime(int nType, int nEntry) const override { return nType * 4000 + nEntry; }
};
const cFuzzRefs g_Refs;

using fuzz::LoadImage;
using fuzz::SaveImage;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  g_nDataVersion = CURRENT_DATA_VERSION;
  g_bStripCR = 1;
  SetDataRefs(&g_Refs);
  constexpr std::size_t nKinds = sizeof(g_Factories) / sizeof(g_Factories[0]);
  const Factory& make = g_Factories[data[0] % nKinds];
  std::string file(reinterpret_cast<const char*>(data) + 1, size - 1);

  std::unique_ptr<cRecord> record = make();
  if (!LoadImage(*record, file)) {
    SaveImage(*record);  // what a failed load leaves must still be a whole record
    return 0;
  }
  const std::string first = SaveImage(*record);
  std::unique_ptr<cRecord> again = make();
  if (!LoadImage(*again, first)) std::abort();
  if (SaveImage(*again) != first) std::abort();
  return 0;
}
