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
  since_ = now;
}

void NowRequest::Check(uint32_t now) {
  uint32_t waited = now - since_;
  if (phase_ == Phase::Confirming) {
    if (steps_.SaverRunning()) {
      phase_ = Phase::Idle;
      steps_.Note("the system started the screen saver");
    } else if (waited >= ConfirmMs) {
      steps_.Note("the system started no screen saver: starting it here");
      phase_ = Phase::CheckingFile;
      since_ = now;
      steps_.CheckSaverFile(++serial_);
    }
  } else if (phase_ == Phase::CheckingFile && waited >= FileCheckLimitMs) {
    // NOTE: a saver on a network path that does not answer can keep the check for minutes.
    phase_ = Phase::Idle;
    steps_.Note("configured saver skipped: its file did not answer in time");
  }
}

void NowRequest::SaverChecked(uint32_t serial, bool usable) {
  if (phase_ != Phase::CheckingFile || serial != serial_) {
    steps_.Note("a late answer about the saver's file ignored");
    return;
  }
  phase_ = Phase::Idle;
  if (usable) StartItself();
}

void NowRequest::StartItself() {
  if (steps_.SaverRunning()) {
    steps_.Note("a screen saver runs already");
    return;
  }
  if (steps_.SecureSettingOn()) {
    // Locked first: a saver that runs on an unlocked session would hand the desktop to whoever
    // touches the mouse, and locking after it started would show the desktop for a moment.
    if (!steps_.LockSession()) {
      steps_.Note("the session cannot be locked: a secure saver is not started");
      if (!told_) steps_.Tell(NowRefusal::SessionNotLocked);
      told_ = true;
      return;
    }
    steps_.Note("session locked");
  }
  steps_.StartSaver();
}

}  // namespace corners
