#pragma once
// Saver windows for the timer tests. Their procedure routes the timer messages exactly as
// DefSaverProc does (slot at WM_CREATE, SCRM_INTERNAL, SCRM_SETTINGSCHANGED, stop and slot removal
// at WM_DESTROY) and answers SCRM_TIMER with a script, logging when each tick started and ended.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct TickScript {
  // The answer to tick number index (0 first); may act on the window first.
  std::function<LRESULT(HWND window, int index)> answer;
  // Busy time spent in each tick before answering, as a saver drawing a frame.
  double handlingMs = 0;
  std::vector<double> startMs, endMs;  // QueryPerformanceCounter readings, in ms
  int count() const { return static_cast<int>(startMs.size()); }
};

double NowMs();
void BusyFor(double ms);

// A saver window driven by script (which must outlive it); withSlot false gives a window whose
// procedure never creates a timer slot.
HWND CreateTestSaver(TickScript* script, bool withSlot = true);

// A saver window whose procedure handles WM_DESTROY itself and passes nothing of its end to the
// framework, as a saver that answers WM_DESTROY with PostQuitMessage and never calls DefSaverProc
// for it: no stop, no slot removal.
HWND CreateSwallowingSaver(TickScript* script);

// Whether a message that another thread sent to this one waits to be handled.
bool SentMessagePending();
// Handles only the messages other threads send to this one (posted messages stay queued) until
// done() or limitMs have passed; the result of done() at the end.
bool HandleSentUntil(const std::function<bool()>& done, DWORD limitMs);

// Collects the framework's trace lines (debugTrace must be on) from every thread while it lives.
class TraceCapture {
 public:
  TraceCapture();
  ~TraceCapture();
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;
  // Whether a line began with text.
  bool Has(const std::string& text);

 private:
  std::vector<std::string> lines;
  void* handler = nullptr;
};

// Dispatches this thread's messages (sent ones included) until done() or limitMs have passed;
// the result of done() at the end.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs);
// Dispatches until the thread has ended or limitMs have passed; whether it ended.
bool PumpUntilEnded(HANDLE thread, DWORD limitMs);

// Start-to-start intervals of the logged ticks, and the value below which fraction of them lie.
std::vector<double> TickIntervals(const TickScript& script);
double Quantile(std::vector<double> values, double fraction);
