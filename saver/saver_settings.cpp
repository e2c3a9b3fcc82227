#include "saver_settings.h"

const char saverSettingsKey[] = "Software\\Glimmerbox\\Screen Saver";

const SaverSettingDecl saverSettingDecls[SaverSettingCount] = {
    {"Lights", &SaverSettings::lights, 15, 1, 50},
    {"Glow", &SaverSettings::glow, 100, 0, 200},
    {"Monitors", &SaverSettings::monitors, MonitorsEach, MonitorsPrimary, MonitorsEach},
    {"FrameRate",
     &SaverSettings::frameRate,
     FrameRateOfDisplay,
     FrameRateOfDisplay,
     60,
     {FrameRateOfDisplay, 30, 60},
     3},
    {"ShowFrameRate", &SaverSettings::showFrameRate, 0, 0, 1},
};

SaverSettings DefaultSaverSettings() {
  SaverSettings settings = {};
  for (const SaverSettingDecl& decl : saverSettingDecls) settings.*decl.field = decl.defaultValue;
  return settings;
}

int ClampSetting(const SaverSettingDecl& decl, std::int64_t value) {
  if (decl.choiceCount > 0) {
    for (int i = 0; i < decl.choiceCount && i < 3; ++i) {
      if (value == decl.choices[i]) return decl.choices[i];
    }
    return decl.defaultValue;
  }
  if (value < decl.minimum) return decl.minimum;
  if (value > decl.maximum) return decl.maximum;
  return static_cast<int>(value);
}

int DecodeSetting(const SaverSettingDecl& decl, std::uint32_t type, const unsigned char* data,
                  std::size_t size) {
  if (!data || type != RegistryDword || size != 4) return decl.defaultValue;
  const std::uint32_t raw =
      static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
      static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
  // Stored by hand as "-1", 0xFFFFFFFF means too few, not too many.
  const std::int64_t value = raw > 0x7FFFFFFFu ? static_cast<std::int64_t>(raw) - 0x100000000LL
                                               : static_cast<std::int64_t>(raw);
  return ClampSetting(decl, value);
}

void EncodeSetting(const SaverSettingDecl& decl, int value, unsigned char out[4]) {
  const std::uint32_t raw = static_cast<std::uint32_t>(ClampSetting(decl, value));
  for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(raw >> (8 * i));
}

float GlowScaleOf(const SaverSettings& settings) {
  return static_cast<float>(settings.glow) / 100.0f;
}

int TickPeriodMsOf(const SaverSettings& settings) {
  return settings.frameRate == 30 || settings.frameRate == 60 ? 1000 / settings.frameRate : 0;
}
