// What the executors of commands that act at once share: reading a parameter and the
// thin flow entry over a body that works on the command definition alone.
#pragma once
#include <cstdint>

#include "gamedata/Command.h"
#include "stage/FlowRuntime.h"

class cActor;

// Parameter n, or 0 where a damaged command lacks it.
inline std::int32_t CommandParam(const cEdCommand& command, int n) {
  return n >= 0 && n < command.m_Params.Size() ? command.m_Params[n] : 0;
}

// The flow executor of a body: the body on the runtime's command.
template <void (*Body)(cActor&, const cEdCommand&)>
int ExecBody(cActor& actor, cCommandRuntime& runtime) {
  if (runtime.m_pCommand) Body(actor, *runtime.m_pCommand);
  return 0;
}
