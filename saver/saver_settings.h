#pragma once
// The saver's own settings: what each registry value is called, its range and its default, and
// how a value as the registry hands it over becomes a setting. No Win32 here.
#include <cstddef>
#include <cstdint>

struct SaverSettings {
  int lights;         // balls in the room, 1 to 50
  int glow;           // brightness of the glow patches in percent, 0 to 200
  int monitors;       // MonitorsEach or MonitorsPrimary
  int frameRate;      // frames a second the saver is ticked for: 30, 60, or FrameRateOfDisplay
  int showFrameRate;  // 1: the full-screen saver shows its frame rate and CPU load over the scene
};

// Where the full-screen saver draws: a scene of its own on each monitor, or on the primary
// monitor only while the others stay black.
constexpr int MonitorsPrimary = 0;
constexpr int MonitorsEach = 1;

// The frame-rate choice "Match the display": a tick at each refresh of the window's monitor.
constexpr int FrameRateOfDisplay = 0;

struct SaverSettingDecl {
  const char* valueName;
  int SaverSettings::*field;
  int defaultValue;
  int minimum;
  int maximum;
  // A choice among a few values (the first choiceCount of choices): anything else reads as the
  // default, since a number between two choices is no nearer to either.
  int choices[3] = {};
  int choiceCount = 0;
};

constexpr int SaverSettingCount = 5;
extern const SaverSettingDecl saverSettingDecls[SaverSettingCount];

// The registry key under HKEY_CURRENT_USER: fixed, since Windows may shorten the file's name.
extern const char saverSettingsKey[];

// The registry's type number of a 32-bit value (REG_DWORD).
constexpr std::uint32_t RegistryDword = 4;

SaverSettings DefaultSaverSettings();

// The value held to its range; for a choice, the default unless it is one of them.
int ClampSetting(const SaverSettingDecl& decl, std::int64_t value);

// A value as the registry reports it: only a REG_DWORD of exactly four bytes is read (as a signed
// number, then clamped); a missing value, another type or another length gives the default.
int DecodeSetting(const SaverSettingDecl& decl, std::uint32_t type, const unsigned char* data,
                  std::size_t size);

// The four little-endian bytes stored for a setting (clamped first).
void EncodeSetting(const SaverSettingDecl& decl, int value, unsigned char out[4]);

// What the scene makes of the glow setting: the factor of the glow patches' alpha.
float GlowScaleOf(const SaverSettings& settings);

// The milliseconds from the start of one tick to the start of the next for the chosen rate (16 for
// 60 a second, 33 for 30); 0 for FrameRateOfDisplay and for a rate that is no rate (the default).
int TickPeriodMsOf(const SaverSettings& settings);
