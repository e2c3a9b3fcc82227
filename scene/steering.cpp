#include <cmath>

#include "light_sim.h"

namespace {

constexpr int KeyLeft = 37;
constexpr int KeyUp = 38;
constexpr int KeyRight = 39;
constexpr int KeyDown = 40;
constexpr int KeyAdd = 107;       // numeric-pad plus
constexpr int KeySubtract = 109;  // numeric-pad minus

constexpr float DegToRad = 0.017453292f;
constexpr float WalkStep = 0.1f;
constexpr float TurnStep = 0.15f;
constexpr float CountStep = 0.1f;
constexpr float MinCount = 1.0f;
constexpr float MaxCount = static_cast<float>(MaxLights);

}  // namespace

void ApplySteeringKeys(const bool keyDown[256], Camera& cam, float& count) {
  const float angle = cam.heading * DegToRad;
  const float sideways = std::sin(angle);
  const float forward = std::cos(angle);

  // Opposite keys held together: forward and left win.
  if (keyDown[KeyUp]) {
    cam.velX -= sideways * WalkStep;
    cam.velZ -= forward * WalkStep;
  } else if (keyDown[KeyDown]) {
    cam.velX += sideways * WalkStep;
    cam.velZ += forward * WalkStep;
  }

  if (keyDown[KeyLeft]) cam.turnRate += TurnStep;
  else if (keyDown[KeyRight]) cam.turnRate -= TurnStep;

  // Plus and minus are independent; with both held the count moves up and then back down.
  if (keyDown[KeyAdd]) {
    count += CountStep;
    if (count > MaxCount) count = MaxCount;
  }
  if (keyDown[KeySubtract]) {
    count -= CountStep;
    if (count < MinCount) count = MinCount;
  }
}
