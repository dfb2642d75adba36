#include "gamedata/DataRefs.h"

#include "gamedata/Palette.h"

namespace {
const cDataRefs g_NoRefs;
const cDataRefs* g_pRefs = &g_NoRefs;
}  // namespace

int cDataRefs::DatabaseSize(eDatabase) const { return 0; }
int cDataRefs::PaletteSize(ePalette p, eDefinition k) const { return PaletteListSize(p, k); }
int cDataRefs::SwordEntryCount(int) const { return 0; }
int cDataRefs::SwordEntryTime(int, int) const { return 0; }
bool cDataRefs::KeepTestOnlyFlows() const { return false; }

void SetDataRefs(const cDataRefs* pRefs) { g_pRefs = pRefs ? pRefs : &g_NoRefs; }
const cDataRefs& DataRefs() { return *g_pRefs; }
