// Free play of a single stage file: the test play of a stage named on the command line,
// and a stage file chosen in the title menu.
#pragma once
#include <string_view>

// Loads the stage file as a new game (mode 1: the name is completed to its newest
// numbered file first) into g_Stage with its start snapshot in g_StartStage. 0 on
// failure, after the loader's own messages.
int StartStageFile(std::string_view path, int mode);
