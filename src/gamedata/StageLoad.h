// The one way into stage play: find the newest numbered file of a stage, refuse a
// damaged one, read it into g_Stage on the loader thread while the caller keeps serving
// its messages, refuse a stage without a hero, and take the start snapshot.
#pragma once
#include <string_view>

class cEdStage;

// Loads the stage nName (with bComplete, completed to its newest numbered file) into
// g_Stage; with pStartStage, that record becomes the start snapshot. 1 when the stage is
// loaded and playable; 0 otherwise, after the messages the failure calls for.
int LoadStage(std::string_view strName, int bComplete, cEdStage* pStartStage);

// 0 when the file is of version 174 or later and its last four bytes are not the end
// code (after the box and a close request); 1 otherwise, also when it does not open.
int CheckStageFile(std::string_view strPath);
