#pragma once
// The user's settings: current values, the copies last loaded or applied, and their registry store
// under HKEY_CURRENT_USER. Never shared between threads; each user reads the registry afresh.
#include <windows.h>

#include <cstdint>

#include "morvane.h"

namespace morvane {

class GeneralDialog {
 public:
  // Defaults, then the registry, then Remember.
  GeneralDialog();

  // Loads what the registry holds; a missing key or value leaves the field as it is.
  void ReadRegistry();
  // Stores the current values: 0 on success (or when the key name is missing), else the registry
  // error of opening the key.
  LONG WriteRegistry();
  // Copies each current value into its remembered copy.
  void Remember();
  // Whether every current value equals the other object's, or its own remembered copy.
  bool HasSameValuesAs(const GeneralDialog& other) const;
  bool MatchesRemembered() const;
  // Copies each remembered value over the current one.
  void RestoreRemembered();

  // The General page (config/general_controls.cpp), each given the page dialog.
  // Loads every control from the current values; writes nothing.
  void InitControls(HWND page);
  // Reads every control back; when a value changed, writes the registry and notifies.
  void ControlChanged(HWND page);
  // Tells the System Agent (not applied) or the whole system (applied), then sends the change
  // notice to the hidden dialog; its reply.
  LRESULT NotifyChanges(HWND page, bool applied);
  // Copies the remembered values over the current ones; non-zero when one differed.
  int Revert();

  // Set by the General page while it fills its controls.
  int32_t inSetup = 0;
  // Corner codes in corner order, then the settings; each is followed by its remembered copy.
  uint8_t corners[4] = {};
  uint8_t rememberedCorners[4] = {};
  int32_t muteSound = 0;
  int32_t rememberedMuteSound = 0;
  int32_t mouseThreshold = 0;
  int32_t rememberedMouseThreshold = 0;
  uint32_t mouseThresholdIndex = 0;
  uint32_t rememberedMouseThresholdIndex = 0;
  int32_t passwordDelay = 0;
  int32_t rememberedPasswordDelay = 0;
  uint32_t passwordDelayIndex = 0;
  uint32_t rememberedPasswordDelayIndex = 0;
  int32_t activeConfig = 0;
  int32_t rememberedActiveConfig = 0;
};

// Copies the current values a saver sees into the summary; its size stays as the caller set it.
void SummariseSettings(const GeneralDialog& dialog, ScrSettings* settings);

}  // namespace morvane
