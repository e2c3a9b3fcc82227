#pragma once
// "Start the screen saver now" (a corner, the icon's menu, /now), in the order that keeps a secure
// saver secure: the system is asked first, since only a saver it starts makes it lock the session
// on the way out; only when none runs a second later does the agent start the saver itself, and
// then, if the user wants the logon screen on resume, only after it locked the session. Pure: the
// effects go through NowSteps, so that every order is tested without a desktop.
#include <cstdint>

namespace corners {

// Why a request started nothing, as told to the user.
enum class NowRefusal { SessionNotLocked };

// Every effect of a request. Called on the thread that feeds the request.
class NowSteps {
 public:
  virtual ~NowSteps() = default;
  // Asks the system to start the user's saver (it applies the secure setting and policies).
  virtual void AskSystem() = 0;
  virtual bool SaverRunning() = 0;
  // Starts reading which saver is configured and whether its file is there; the answer comes to
  // NowRequest::SaverChecked with this serial, later and maybe never.
  virtual void CheckSaverFile(uint32_t serial) = 0;
  // "On resume, display logon screen", or the policy that decides it.
  virtual bool SecureSettingOn() = 0;
  virtual bool LockSession() = 0;
  // Starts the checked saver full screen.
  virtual void StartSaver() = 0;
  virtual void Tell(NowRefusal why) = 0;
  // A line for the trace.
  virtual void Note(const char* what) = 0;
};

class NowRequest {
 public:
  // How long the system has to show a saver, and the file check to answer.
  enum : uint32_t { ConfirmMs = 1000, FileCheckLimitMs = 3000 };

  explicit NowRequest(NowSteps& steps) : steps_(steps) {}

  // The user asked, at now (milliseconds of a clock that may wrap).
  void Begin(uint32_t now);
  // A look at the clock while Pending: the system's saver, the time limits.
  void Check(uint32_t now);
  // The configured saver's file check answered.
  void SaverChecked(uint32_t serial, bool usable);
  // Whether the request waits for the system or the file check (Check is wanted meanwhile).
  bool Pending() const { return phase_ != Phase::Idle; }

 private:
  enum class Phase { Idle, Confirming, CheckingFile };
  void StartItself();

  NowSteps& steps_;
  Phase phase_ = Phase::Idle;
  uint32_t since_ = 0;
  uint32_t serial_ = 0;
  // The user is told once in an agent's life: a "now" corner asks again at every visit.
  bool told_ = false;
};

}  // namespace corners
