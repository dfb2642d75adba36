// The answers that record loads check stored references against, taken from the loaded
// project: the sizes of g_Database's lists, its sword types' entry times, and whether
// g_System keeps test-only flows.
//
// Start-up calls InstallDataRefs before it reads the first data file, so that every
// record it loads (the system settings, the world map, the common palette, stages) is
// checked against the databases as they stand at that moment: load the databases before
// the records that refer to them. The sizes are read at each question, never cached.
#pragma once
#include "gamedata/DataRefs.h"

class cProjectRefs : public cDataRefs {
 public:
  int DatabaseSize(eDatabase nDatabase) const override;
  int SwordEntryCount(int nType) const override;
  int SwordEntryTime(int nType, int nEntry) const override;
  bool KeepTestOnlyFlows() const override;
};

// Makes the loaded project the answer of DataRefs() for the rest of the run.
void InstallDataRefs();
