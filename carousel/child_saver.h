#pragma once
// One saver running as a process of its own in preview mode ("/p" with a window of ours), the
// way the display settings run a saver's preview. Everything here belongs to the saver thread.
#include <windows.h>

#include <string>

#include "run_plan.h"

namespace carousel {

class ChildSaver {
 public:
  ChildSaver() = default;
  ChildSaver(const ChildSaver&) = delete;
  ChildSaver& operator=(const ChildSaver&) = delete;
  ~ChildSaver() { Stop(); }

  // Starts `"path" /p <host>` inside job (null: none) before it runs a single instruction, so
  // that it never outlives the job. False (traced) when it cannot be started.
  bool Start(const std::string& path, HWND host, HANDLE job);
  // Ends it and waits up to waitMs for it to be gone. A replaced saver is not waited for: the
  // thread also runs the session's input hooks, which the system drops when they keep it waiting.
  void Stop(DWORD waitMs = 2000);

  bool Started() const { return process_ != nullptr; }
  // The process has ended (crashed, or ended by itself).
  bool Ended() const;
  DWORD ExitCode() const;
  // Its window inside host once it made one: kept off input (the run takes every input on its
  // own windows) and sized to host's client area. Null before.
  HWND Adopt(HWND host);
  void Fit(HWND host);
  // Pings its window, waiting a moment at most, and says whether it has stopped answering.
  bool Hung(uint32_t nowMs);
  // Holds and releases every thread of the process: it draws nothing and uses no processor.
  void Hold();
  void Release(uint32_t nowMs);

  DWORD ProcessId() const { return processId_; }
  HWND Window() const { return window_; }
  uint32_t StartedMs() const { return startedMs_; }

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  HWND window_ = nullptr;
  uint32_t startedMs_ = 0;
  bool held_ = false;
  PingState ping_;
};

// A job whose last handle ending ends every process in it: the run's children die with the run
// however it ends. Carousel's own process goes into it first, so that every saver it starts is in
// the job from its first instruction; where that is refused, the job is returned for Start to put
// each saver in; else null (traced).
HANDLE MakeChildJob();

}  // namespace carousel
