// The sub-loops of stage play: while a message, a wait or an extra-life icon holds the
// stage, the game thread starts a worker that runs frames of its own (input, drawing
// without logic, presenting) and waits for its end. One thread at a time works on the
// stage.
#pragma once
#include <cstdint>

class cStageScene;

// Thread procedure; the argument is the stage scene. 0 when the scene was already
// closing, else 1.
unsigned MessageWaitThread(void* pScene);
// The message-wait loop on thPause, as m_Wait is armed. Nothing runs once the close
// flag is set, and a thread that cannot be made counts as ended at once.
void RunMessageWait(cStageScene& scene);
// Thread procedure of the ranking display on thRanking (the argument is the stage scene):
// the tables over the frozen stage, the view key cycling the quantity, until confirm or
// a quit message. Always 1.
unsigned RankingThread(void* pScene);
