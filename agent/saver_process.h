#pragma once
// Whether a process of a given saver file runs in the session, however it was started: the
// system's own start of the configured saver shows this way even before (or without) its saying
// that a saver runs. Any thread.

namespace corners {

// Compares each process's full image path with path (a full path), ignoring case. False when the
// processes cannot be listed.
bool SaverFileRuns(const char* path);

}  // namespace corners
