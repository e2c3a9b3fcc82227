// The System Agent detection and change notice in a program that lives in a folder without the
// stand-in libraries: its exit code is the detection's answer.
#include "config/general_page.h"
#include "core/library.h"

using namespace morvane;

int main() {
  EnsureLibrary();
  int answer = DetectSystemAgent();
  NotifySystemAgent();
  return answer;
}
