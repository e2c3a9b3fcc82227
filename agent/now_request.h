#pragma once
// "Start the screen saver now" (a corner, the icon's menu, /now), in the order that keeps a secure
// saver secure and starts one saver at most: the system is asked first, since only a saver it
// starts makes it lock the session on the way out. Anything that shows the system did start one
// (a saver running, a process of the configured saver's file, or the user's input since the
// request, which ends a saver that came and went between two looks) ends the request. Only when
// nothing shows a second later, and the system lets savers run at all, does the agent start the
// saver itself; when the user wants the logon screen on resume it locks the session instead and
// starts no saver: the lock screen is the secure state, and a saver behind it would draw for
// nobody. Pure: the effects go through NowSteps, so that every order is tested without a desktop.
#include <cstdint>

namespace corners {

// Why a request started nothing, as told to the user (once per reason in an agent's life).
enum class NowRefusal { SessionNotLocked, SaversOff };

// Every effect of a request. Called on the thread that feeds the request.
class NowSteps {
 public:
  virtual ~NowSteps() = default;
  // Asks the system to start the user's saver (it applies the secure setting and policies).
  virtual void AskSystem() = 0;
  // A saver runs: the system says so, a process of the configured saver's file runs, or the one
  // the agent started is alive.
  virtual bool SaverRunning() = 0;
  // When the session last had the user's input, on the clock that Begin and Check are given.
  virtual uint32_t LastInput() = 0;
  // Whether the system lets screen savers run ("ScreenSaveActive", the policy's first).
  virtual bool SaversActive() = 0;
  // Starts reading which saver is configured and whether its file is there; the answer comes to
  // NowRequest::SaverChecked with this serial, later and maybe never.
  virtual void CheckSaverFile(uint32_t serial) = 0;
  // "On resume, display logon screen", or the policy that decides it.
  virtual bool SecureSettingOn() = 0;
  // Asks the system to lock the session: false when it refused at once. The lock itself is
  // confirmed later, maybe never, by NowRequest::SessionLocked.
  virtual bool LockSession() = 0;
  // Starts the checked saver full screen.
  virtual void StartSaver() = 0;
  virtual void Tell(NowRefusal why) = 0;
  // A line for the trace.
  virtual void Note(const char* what) = 0;
};

class NowRequest {
 public:
  // How long the system has to show a saver, the file check to answer, and the session to say
  // it is locked.
  enum : uint32_t { ConfirmMs = 1000, FileCheckLimitMs = 3000, LockConfirmMs = 5000 };

  explicit NowRequest(NowSteps& steps) : steps_(steps) {}

  // The user asked, at now (milliseconds of a clock that may wrap).
  void Begin(uint32_t now);
  // A look at the clock while Pending: the system's saver, the time limits.
  void Check(uint32_t now);
  // The configured saver's file check answered, at now.
  void SaverChecked(uint32_t serial, bool usable, uint32_t now);
  // The session's notice that it is locked.
  void SessionLocked();
  // Whether the request waits for the system, the file check or the lock (Check is wanted
  // meanwhile).
  bool Pending() const { return phase_ != Phase::Idle; }

 private:
  enum class Phase { Idle, Confirming, CheckingFile, AwaitingLock };
  // What shows that the system started a saver since the request, for the trace; null for none.
  const char* SystemSaverSign();
  void StartItself(uint32_t now);
  void Refuse(NowRefusal why);

  NowSteps& steps_;
  Phase phase_ = Phase::Idle;
  uint32_t requestedAt_ = 0;
  uint32_t since_ = 0;
  uint32_t serial_ = 0;
  // The reasons the user was told already, a bit each: a "now" corner asks again at every visit.
  unsigned told_ = 0;
};

}  // namespace corners
