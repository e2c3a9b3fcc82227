#include "now_request.h"

namespace corners {

void NowRequest::Begin(uint32_t now) {
  if (phase_ != Phase::Idle) {
    steps_.Note("the screen saver is being started already");
    return;
  }
  if (steps_.SaverRunning()) {
    steps_.Note("a screen saver runs already");
    return;
  }
  steps_.AskSystem();
  phase_ = Phase::Confirming;
  requestedAt_ = since_ = now;
}

const char* NowRequest::SystemSaverSign() {
  if (steps_.SaverRunning()) return "the system started the screen saver";
  // Input strictly after the request: the click or key that asked came before it.
  if (static_cast<int32_t>(steps_.LastInput() - requestedAt_) > 0) {
    return "input since the request: the system's screen saver came and was dismissed";
  }
  return nullptr;
}

void NowRequest::Check(uint32_t now) {
  uint32_t waited = now - since_;
  if (phase_ == Phase::Confirming || phase_ == Phase::CheckingFile) {
    if (const char* sign = SystemSaverSign()) {
      phase_ = Phase::Idle;
      steps_.Note(sign);
      return;
    }
  }
  if (phase_ == Phase::Confirming && waited >= ConfirmMs) {
    if (!steps_.SaversActive()) {
      phase_ = Phase::Idle;
      steps_.Note("screen savers are switched off (ScreenSaveActive): nothing started");
      Refuse(NowRefusal::SaversOff);
      return;
    }
    steps_.Note("the system started no screen saver: starting it here");
    phase_ = Phase::CheckingFile;
    since_ = now;
    steps_.CheckSaverFile(++serial_);
  } else if (phase_ == Phase::CheckingFile && waited >= FileCheckLimitMs) {
    // NOTE: a saver on a network path that does not answer can keep the check for minutes.
    phase_ = Phase::Idle;
    steps_.Note("configured saver skipped: its file did not answer in time");
  } else if (phase_ == Phase::AwaitingLock && waited >= LockConfirmMs) {
    phase_ = Phase::Idle;
    steps_.Note("the session did not confirm the lock: a secure saver is not started");
    Refuse(NowRefusal::SessionNotLocked);
  }
}

void NowRequest::SaverChecked(uint32_t serial, bool usable, uint32_t now) {
  if (phase_ != Phase::CheckingFile || serial != serial_) {
    steps_.Note("a late answer about the saver's file ignored");
    return;
  }
  phase_ = Phase::Idle;
  if (usable) StartItself(now);
}

void NowRequest::SessionLocked() {
  if (phase_ != Phase::AwaitingLock) return;
  phase_ = Phase::Idle;
  steps_.Note("session locked: no screen saver behind the lock");
}

void NowRequest::StartItself(uint32_t now) {
  if (const char* sign = SystemSaverSign()) {
    steps_.Note(sign);
    return;
  }
  if (!steps_.SecureSettingOn()) {
    steps_.StartSaver();
    return;
  }
  // A saver that runs on an unlocked session would hand the desktop to whoever touches the mouse;
  // one started before the lock would show the desktop for a moment, one after it nobody sees.
  if (!steps_.LockSession()) {
    steps_.Note("the session cannot be locked: a secure saver is not started");
    Refuse(NowRefusal::SessionNotLocked);
    return;
  }
  // NOTE: LockWorkStation's answer only says the lock was initiated, not that it happened.
  steps_.Note("lock asked: waiting for the session's notice");
  phase_ = Phase::AwaitingLock;
  since_ = now;
}

void NowRequest::Refuse(NowRefusal why) {
  unsigned bit = 1u << static_cast<unsigned>(why);
  if (told_ & bit) return;
  told_ |= bit;
  steps_.Tell(why);
}

}  // namespace corners
