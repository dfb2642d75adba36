// The sub-loops of stage play: while a message, a wait or an extra-life icon holds the
// stage, the game thread starts a worker that runs frames of its own (input, drawing
// without logic, presenting) and waits for its end. One thread at a time works on the
// stage.
#pragma once
#include <cstdint>

#include "base/Thread.h"

class cStageScene;

// Thread procedure; the argument is the stage scene. 0 when the scene was already
// closing, else 1.
unsigned MessageWaitThread(void* pScene);
// The message-wait loop on thPause, as m_Wait is armed. Nothing runs once the close
// flag is set, and a thread that cannot be made counts as ended at once.
void RunMessageWait(cStageScene& scene);

// Every starter of a sub-loop: nothing once the close flag is set (a close during
// consecutive sub-loops ends the program at the next frame), a thread that cannot be
// made counts as a wait that has ended, and with bHandshake the thread's queue is
// proven before the wait. Then the calling thread waits for the loop's end.
void RunSubLoop(cThread& worker, cThread::Proc proc, cStageScene& scene, bool bHandshake);
// Posts the start message (WM_APP) to the worker's thread until the post is taken or
// the thread has ended.
void ProveThreadQueue(cThread& worker);
// Thread procedure of the ranking display on thRanking (the argument is the stage scene):
// the tables over the frozen stage, the view key cycling the quantity, until confirm or
// a quit message. Always 1.
unsigned RankingThread(void* pScene);
