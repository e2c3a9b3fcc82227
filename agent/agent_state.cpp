#include "agent_state.h"

namespace corners {

AgentRun agentRun;

}  // namespace corners
