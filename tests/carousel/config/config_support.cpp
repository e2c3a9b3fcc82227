#include "config_support.h"

#include <cstring>
#include <fstream>
#include <sstream>

#include "settings_store.h"

std::string ThisProgram() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

std::string BesideTest(const char* name) {
  const std::string program = ThisProgram();
  return program.substr(0, program.find_last_of('\\') + 1) + name;
}

void RemoveCarouselKey() {
  RegDeleteKeyA(HKEY_CURRENT_USER, carousel::previewSettingsKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, carousel::settingsKey);
}

void SetRawValue(const char* name, DWORD type, const std::string& bytes) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, carousel::settingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                  &key, nullptr);
  RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                 static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

std::string RecordPath() {
  char path[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("CAROUSEL_PAGE_RECORD", path, sizeof path);
  return length > 0 && length < sizeof path ? path : "";
}

std::string AwaitRecordLine(const std::string& prefix, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    std::ifstream record(RecordPath());
    std::string line;
    while (std::getline(record, line)) {
      if (line.compare(0, prefix.size(), prefix) == 0) return line;
    }
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return "";
}

std::string DescribeSettings(const carousel::Settings& settings) {
  std::ostringstream line;
  line << "savers=";
  for (size_t i = 0; i < settings.savers.size(); ++i) line << (i ? "|" : "") << settings.savers[i];
  line << " monitors=" << carousel::MonitorChoiceText(settings.monitors)
       << " order=" << carousel::OrderChoiceText(settings.order)
       << " cycle=" << settings.cycleSeconds;
  return line.str();
}

bool IsPreviewRun() {
  char flag[4] = {};
  const char* line = GetCommandLineA();
  return GetEnvironmentVariableA(carousel::previewEnvironment, flag, sizeof flag) == 1 &&
         std::strstr(line, " /s") != nullptr;
}

int RecordPreviewRun() {
  std::ofstream record(RecordPath(), std::ios::app);
  record << "preview " << DescribeSettings(carousel::ReadSettings()) << "\n";
  return record ? 0 : 1;
}
