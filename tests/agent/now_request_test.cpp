#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "now_request.h"

using namespace corners;

namespace {

// Records every effect in order; the queries answer as the case says.
class RecordedSteps : public NowSteps {
 public:
  bool running = false;
  bool secure = false;
  bool lockWorks = true;
  bool active = true;
  uint32_t lastInput = 0;
  // The saver starts running once the system was asked (the system's own path).
  bool systemStartsIt = false;
  std::vector<std::string> calls;
  uint32_t lastSerial = 0;

  void AskSystem() override {
    calls.push_back("ask system");
    if (systemStartsIt) running = true;
  }
  bool SaverRunning() override { return running; }
  uint32_t LastInput() override { return lastInput; }
  bool SaversActive() override { return active; }
  void CheckSaverFile(uint32_t serial) override {
    lastSerial = serial;
    calls.push_back("check file");
  }
  bool SecureSettingOn() override {
    calls.push_back("secure?");
    return secure;
  }
  bool LockSession() override {
    calls.push_back("lock");
    return lockWorks;
  }
  void StartSaver() override {
    calls.push_back("start saver");
    running = true;
  }
  void Tell(NowRefusal why) override {
    calls.push_back(why == NowRefusal::SaversOff ? "tell: off" : "tell: not locked");
  }
  void Note(const char*) override {}
};

using Calls = std::vector<std::string>;

TEST(NowRequest, TheSystemIsAskedFirstAndNothingElseHappensWhenItStartsTheSaver) {
  RecordedSteps steps;
  steps.systemStartsIt = true;
  NowRequest request(steps);
  request.Begin(1000);
  EXPECT_TRUE(request.Pending());
  request.Check(1100);
  EXPECT_FALSE(request.Pending());
  request.Check(5000);
  EXPECT_EQ(Calls{"ask system"}, steps.calls);
}

TEST(NowRequest, WithoutTheSystemTheAgentStartsItOrLocksWhenTheSettingAsks) {
  struct Row {
    const char* name;
    bool secure, lockWorks, usable;
    Calls calls;
  } rows[] = {
      {"not secure", false, true, true, {"ask system", "check file", "secure?", "start saver"}},
      {"secure, no lock",
       true,
       false,
       true,
       {"ask system", "check file", "secure?", "lock", "tell: not locked"}},
      {"no usable file", true, true, false, {"ask system", "check file"}},
  };
  for (const Row& row : rows) {
    RecordedSteps steps;
    steps.secure = row.secure;
    steps.lockWorks = row.lockWorks;
    NowRequest request(steps);
    request.Begin(0);
    request.Check(NowRequest::ConfirmMs - 1);
    EXPECT_EQ(Calls{"ask system"}, steps.calls) << row.name << ": gave up before a second";
    request.Check(NowRequest::ConfirmMs);
    request.SaverChecked(steps.lastSerial, row.usable, NowRequest::ConfirmMs + 20);
    EXPECT_FALSE(request.Pending()) << row.name;
    EXPECT_EQ(row.calls, steps.calls) << row.name;
  }
}

TEST(NowRequest, ASessionThatCannotBeLockedIsToldOnceAndNeverGetsTheSaver) {
  RecordedSteps steps;
  steps.secure = true;
  steps.lockWorks = false;
  NowRequest request(steps);
  for (uint32_t start : {0u, 10000u, 20000u}) {
    request.Begin(start);
    request.Check(start + NowRequest::ConfirmMs);
    request.SaverChecked(steps.lastSerial, true, start + NowRequest::ConfirmMs);
  }
  EXPECT_EQ(1, std::count(steps.calls.begin(), steps.calls.end(), "tell: not locked"));
  EXPECT_EQ(3, std::count(steps.calls.begin(), steps.calls.end(), "lock"));
  EXPECT_EQ(0, std::count(steps.calls.begin(), steps.calls.end(), "start saver"));
}

TEST(NowRequest, AFileCheckThatDoesNotAnswerInTimeStartsNothingLaterEvenAcrossTheClocksWrap) {
  RecordedSteps steps;
  NowRequest request(steps);
  uint32_t start = 0xffffff00u;
  steps.lastInput = start - 5000;
  request.Begin(start);
  request.Check(start + NowRequest::ConfirmMs);
  uint32_t slow = steps.lastSerial;
  request.Check(start + NowRequest::ConfirmMs + NowRequest::FileCheckLimitMs - 1);
  EXPECT_TRUE(request.Pending());
  request.Check(start + NowRequest::ConfirmMs + NowRequest::FileCheckLimitMs);
  EXPECT_FALSE(request.Pending());
  request.SaverChecked(slow, true, start + 5000);
  // A new request's check is not answered by the old one's.
  request.Begin(100000);
  request.Check(100000 + NowRequest::ConfirmMs);
  request.SaverChecked(slow, true, 101100);
  EXPECT_TRUE(request.Pending());
  request.SaverChecked(steps.lastSerial, true, 101200);
  EXPECT_EQ(
      (Calls{"ask system", "check file", "ask system", "check file", "secure?", "start saver"}),
      steps.calls);
}

TEST(NowRequest, ARunningSaverOrARequestUnderWayIsNotAskedAgain) {
  RecordedSteps steps;
  NowRequest request(steps);
  request.Begin(0);
  request.Begin(10);
  EXPECT_EQ(Calls{"ask system"}, steps.calls);
  request.Check(NowRequest::ConfirmMs);
  // The system's saver came while the file was being checked.
  steps.running = true;
  request.SaverChecked(steps.lastSerial, true, NowRequest::ConfirmMs + 50);
  request.Begin(5000);
  EXPECT_EQ((Calls{"ask system", "check file"}), steps.calls);
}

TEST(NowRequest, ALockStartsNoSaverAndOnlyTheSessionsNoticeInTimeConfirmsIt) {
  struct Row {
    const char* name;
    // When the notice comes after the lock was asked; 0 for never.
    uint32_t noticeAfter;
    bool told;
  } rows[] = {
      {"confirmed at once", 1, false},
      {"confirmed just in time", NowRequest::LockConfirmMs - 1, false},
      {"confirmed too late", NowRequest::LockConfirmMs + 100, true},
      {"never confirmed", 0, true},
  };
  for (const Row& row : rows) {
    RecordedSteps steps;
    steps.secure = true;
    NowRequest request(steps);
    // A lock before any request is no answer to one.
    request.SessionLocked();
    request.Begin(0);
    request.Check(NowRequest::ConfirmMs);
    uint32_t asked = NowRequest::ConfirmMs + 30;
    request.SaverChecked(steps.lastSerial, true, asked);
    EXPECT_TRUE(request.Pending()) << row.name;
    for (uint32_t t = asked; t <= asked + NowRequest::LockConfirmMs + 200; t += 100) {
      if (row.noticeAfter && t >= asked + row.noticeAfter && request.Pending()) {
        request.SessionLocked();
      }
      request.Check(t);
    }
    EXPECT_FALSE(request.Pending()) << row.name;
    Calls expected = {"ask system", "check file", "secure?", "lock"};
    if (row.told) expected.push_back("tell: not locked");
    EXPECT_EQ(expected, steps.calls) << row.name;
  }
}

TEST(NowRequest, AnySignOfTheSystemsSaverBeforeTheAgentsOwnStartStartsNothing) {
  enum When { DuringConfirm, DuringFileCheck, AtStart };
  struct Row {
    const char* name;
    When when;
    bool input;  // else the saver is seen running (its process, or the system says so)
    Calls calls;
  } rows[] = {
      {"slow saver, seen while confirming", DuringConfirm, false, {"ask system"}},
      {"dismissed while confirming", DuringConfirm, true, {"ask system"}},
      {"slow saver, seen during the file check",
       DuringFileCheck,
       false,
       {"ask system", "check file"}},
      {"dismissed during the file check", DuringFileCheck, true, {"ask system", "check file"}},
      {"slow saver, seen as the file answers", AtStart, false, {"ask system", "check file"}},
      {"dismissed as the file answers", AtStart, true, {"ask system", "check file"}},
  };
  for (const Row& row : rows) {
    RecordedSteps steps;
    steps.secure = true;
    steps.lastInput = 5000;  // the click that asked, on the request's own tick
    NowRequest request(steps);
    request.Begin(5000);
    auto sign = [&](uint32_t at) {
      if (row.input) steps.lastInput = at;
      if (!row.input) steps.running = true;
    };
    if (row.when == DuringConfirm) sign(5400);
    request.Check(5500);
    request.Check(5000 + NowRequest::ConfirmMs);
    if (row.when == DuringFileCheck) {
      sign(6200);
      request.Check(6300);
    }
    if (row.when == AtStart) sign(6400);
    request.SaverChecked(steps.lastSerial, true, 6500);
    EXPECT_FALSE(request.Pending()) << row.name;
    EXPECT_EQ(row.calls, steps.calls) << row.name;
  }
}

TEST(NowRequest, SaversSwitchedOffStartNothingAndAreToldOnce) {
  RecordedSteps steps;
  steps.active = false;
  NowRequest request(steps);
  for (uint32_t start : {0u, 10000u}) {
    request.Begin(start);
    request.Check(start + NowRequest::ConfirmMs);
    EXPECT_FALSE(request.Pending());
  }
  EXPECT_EQ((Calls{"ask system", "tell: off", "ask system"}), steps.calls);
  // The other reason is still told once of its own.
  steps.active = true;
  steps.secure = true;
  steps.lockWorks = false;
  request.Begin(20000);
  request.Check(20000 + NowRequest::ConfirmMs);
  request.SaverChecked(steps.lastSerial, true, 21100);
  EXPECT_EQ("tell: not locked", steps.calls.back());
}

}  // namespace
