// Database and palette sizes for the tests of the flow records' repairs.
#pragma once
#include <vector>

#include "gamedata/DataRefs.h"

namespace rt {

class FakeRefs : public cDataRefs {
 public:
  int databases[DB_COUNT] = {2, 3, 2, 2, 4, 3, 3, 2, 5, 4};
  int palettes[2][3] = {{3, 3, 3}, {2, 2, 2}};
  std::vector<std::vector<int>> swordTimes = {{1}, {30, 40, 5000, 5000}};
  bool keepTestOnly = false;

  int DatabaseSize(eDatabase n) const override { return databases[n]; }
  int PaletteSize(ePalette p, eDefinition k) const override { return palettes[p][k]; }
  int SwordEntryCount(int t) const override {
    return t >= 0 && t < static_cast<int>(swordTimes.size()) ? static_cast<int>(swordTimes[t].size()) : 0;
  }
  int SwordEntryTime(int t, int e) const override { return swordTimes[t][e]; }
  bool KeepTestOnlyFlows() const override { return keepTestOnly; }
};

// Installs a FakeRefs for one scope.
class ScopedRefs {
 public:
  ScopedRefs() { SetDataRefs(&refs); }
  ~ScopedRefs() { SetDataRefs(nullptr); }
  FakeRefs refs;
};

}  // namespace rt
