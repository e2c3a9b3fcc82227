#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "now_request.h"
#include "secure_setting.h"

using namespace corners;

namespace {

// Records every effect in order; the queries answer as the case says.
class RecordedSteps : public NowSteps {
 public:
  bool running = false;
  bool secure = false;
  bool lockWorks = true;
  // The saver starts running once the system was asked (the system's own path).
  bool systemStartsIt = false;
  std::vector<std::string> calls;
  uint32_t lastSerial = 0;

  void AskSystem() override {
    calls.push_back("ask system");
    if (systemStartsIt) running = true;
  }
  bool SaverRunning() override { return running; }
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
  void Tell(NowRefusal) override { calls.push_back("tell user"); }
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

TEST(NowRequest, WithoutTheSystemTheAgentStartsItLockingFirstWhenTheSettingAsks) {
  struct Row {
    const char* name;
    bool secure, lockWorks, usable;
    Calls calls;
  } rows[] = {
      {"not secure", false, true, true, {"ask system", "check file", "secure?", "start saver"}},
      {"secure", true, true, true, {"ask system", "check file", "secure?", "lock", "start saver"}},
      {"secure, no lock",
       true,
       false,
       true,
       {"ask system", "check file", "secure?", "lock", "tell user"}},
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
    request.SaverChecked(steps.lastSerial, row.usable);
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
    request.SaverChecked(steps.lastSerial, true);
  }
  EXPECT_EQ(1, std::count(steps.calls.begin(), steps.calls.end(), "tell user"));
  EXPECT_EQ(3, std::count(steps.calls.begin(), steps.calls.end(), "lock"));
  EXPECT_EQ(0, std::count(steps.calls.begin(), steps.calls.end(), "start saver"));
}

TEST(NowRequest, AFileCheckThatDoesNotAnswerInTimeStartsNothingLaterEvenAcrossTheClocksWrap) {
  RecordedSteps steps;
  NowRequest request(steps);
  uint32_t start = 0xffffff00u;
  request.Begin(start);
  request.Check(start + NowRequest::ConfirmMs);
  uint32_t slow = steps.lastSerial;
  request.Check(start + NowRequest::ConfirmMs + NowRequest::FileCheckLimitMs - 1);
  EXPECT_TRUE(request.Pending());
  request.Check(start + NowRequest::ConfirmMs + NowRequest::FileCheckLimitMs);
  EXPECT_FALSE(request.Pending());
  request.SaverChecked(slow, true);
  // A new request's check is not answered by the old one's.
  request.Begin(100000);
  request.Check(100000 + NowRequest::ConfirmMs);
  request.SaverChecked(slow, true);
  EXPECT_TRUE(request.Pending());
  request.SaverChecked(steps.lastSerial, true);
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
  request.SaverChecked(steps.lastSerial, true);
  request.Begin(5000);
  EXPECT_EQ((Calls{"ask system", "check file"}), steps.calls);
}

StoredSwitch Text(const char* text) {
  return {true, false, 0, text, std::char_traits<char>::length(text)};
}

TEST(SecureSetting, ThePolicyDecidesWhenSetAndTextsReadAsTheSystemReadsNumbers) {
  const StoredSwitch absent = {};
  const StoredSwitch one = Text("1");
  const StoredSwitch zero = Text("0");
  EXPECT_FALSE(SecureSettingOn(absent, absent));
  EXPECT_TRUE(SecureSettingOn(absent, one));
  EXPECT_TRUE(SecureSettingOn(one, absent));
  EXPECT_TRUE(SecureSettingOn(one, zero));
  EXPECT_FALSE(SecureSettingOn(zero, one));
  EXPECT_TRUE(SecureSettingOn(absent, StoredSwitch{true, true, 1, nullptr, 0}));
  EXPECT_FALSE(SecureSettingOn(StoredSwitch{true, true, 0, nullptr, 0}, one));
  for (const char* on : {" 1", "2", "+7", "01", "1x"}) EXPECT_TRUE(SwitchOn(Text(on))) << on;
  for (const char* off : {"", "00", "x1", "on", " "}) EXPECT_FALSE(SwitchOn(Text(off))) << off;
  // Only the bytes read count: "10" cut to one byte is "1", and "0" then a stray "1" is off.
  EXPECT_FALSE(SwitchOn(StoredSwitch{true, false, 0, "01", 1}));
  EXPECT_TRUE(SwitchOn(StoredSwitch{true, false, 0, "10", 1}));
}

}  // namespace
