#pragma once
// Answers the message boxes that the calling thread shows and records what they said.
#include <windows.h>

#include <string>
#include <vector>

struct ShownBox {
  std::string text;
  std::string caption;
  HWND owner = nullptr;
  bool onlyOk = false;  // an OK button and no other answer
};

// From now on every message box of this thread is answered with button (posted as WM_COMMAND
// from a WH_CBT hook as the box activates) and recorded.
void StartAnsweringBoxes(int button = IDOK);
// Removes the hook and returns the boxes shown since StartAnsweringBoxes.
std::vector<ShownBox> StopAnsweringBoxes();
