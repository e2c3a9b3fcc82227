#pragma once
// One agent per session: the first start holds the mutex, later starts hand their command over.

namespace corners {

// Takes the session's agent mutex into agentRun.mutex; false when another agent holds it.
bool ClaimInstance();

// Hands the switches text to the running agent's window (waiting a little for a starting one to
// make it); false when no agent took it.
bool HandOver(const char* switches);

void ReleaseInstance();

}  // namespace corners
