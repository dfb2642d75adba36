// Fixture for the tests of definitions, palettes and stages: database sizes from the test,
// palette sizes from the real common palette and g_Stage, and those globals made new
// before and after each test.
#pragma once
#include "RecordTestUtil.h"
#include "base/AppGlobals.h"
#include "gamedata/DataRefs.h"
#include "gamedata/Stage.h"

namespace rt {

class PaletteRefs : public cDataRefs {
 public:
  int databases[DB_COUNT] = {3, 3, 3, 2, 3, 3, 3, 2, 4, 4};
  bool keepTestOnly = false;
  int DatabaseSize(eDatabase n) const override { return databases[n]; }
  bool KeepTestOnlyFlows() const override { return keepTestOnly; }
};

class PaletteFixture : public RecordFixture {
 protected:
  void SetUp() override {
    RecordFixture::SetUp();
    SetDataRefs(&refs_);
    ResetGlobals();
  }
  void TearDown() override {
    SetDataRefs(nullptr);
    ResetGlobals();
    RecordFixture::TearDown();
  }
  static void ResetGlobals() {
    g_CommonPalette = cEdPalette();
    g_Stage = cEdStage();
    g_StartStage = cEdStage();
    g_bFromEditor = 0;
  }
  PaletteRefs refs_;
};

}  // namespace rt
