#pragma once
// The saver's own settings: what each registry value is called, its range and its default, and
// how a value as the registry hands it over becomes a setting. No Win32 here.
#include <cstddef>
#include <cstdint>

struct SaverSettings {
  int lights;    // balls in the room, 1 to 50
  int glow;      // brightness of the glow patches in percent, 0 to 200
  int monitors;  // MonitorsEach or MonitorsPrimary
};

// Where the full-screen saver draws: a scene of its own on each monitor, or on the primary
// monitor only while the others stay black.
constexpr int MonitorsPrimary = 0;
constexpr int MonitorsEach = 1;

struct SaverSettingDecl {
  const char* valueName;
  int SaverSettings::*field;
  int defaultValue;
  int minimum;
  int maximum;
};

constexpr int SaverSettingCount = 3;
extern const SaverSettingDecl saverSettingDecls[SaverSettingCount];

// The registry key under HKEY_CURRENT_USER: fixed, since Windows may shorten the file's name.
extern const char saverSettingsKey[];

// The registry's type number of a 32-bit value (REG_DWORD).
constexpr std::uint32_t RegistryDword = 4;

SaverSettings DefaultSaverSettings();

int ClampSetting(const SaverSettingDecl& decl, std::int64_t value);

// A value as the registry reports it: only a REG_DWORD of exactly four bytes is read (as a signed
// number, then clamped); a missing value, another type or another length gives the default.
int DecodeSetting(const SaverSettingDecl& decl, std::uint32_t type, const unsigned char* data,
                  std::size_t size);

// The four little-endian bytes stored for a setting (clamped first).
void EncodeSetting(const SaverSettingDecl& decl, int value, unsigned char out[4]);

// What the scene makes of the glow setting: the factor of the glow patches' alpha.
float GlowScaleOf(const SaverSettings& settings);
