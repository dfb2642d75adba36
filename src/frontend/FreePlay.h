// Free play of a single stage file: the test play of a stage named on the command line,
// a stage file chosen in the title menu, and the restart of an unnumbered free stage.
#pragma once
#include <string_view>

// Makes g_PlayRecord a new free-play game of the stage file and loads it into g_Stage
// with its start snapshot in g_StartStage (mode 1: the name is completed to its newest
// numbered file first). Stage 1, part 1; the free mode's lives, unlimited in a test
// play. false on failure, after the loader's own messages.
bool StartStageFile(std::string_view path, int mode);
