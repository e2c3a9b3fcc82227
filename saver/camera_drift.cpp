#include "camera_drift.h"

#include <cmath>

namespace {

// A Lissajous figure 9 units across each way: well clear of the walls at 15, and the two periods
// (about 60 and 80 seconds at 60 frames a second) never let it retrace a short loop.
constexpr double PathRadius = 9.0;
constexpr double PeriodX = 3600.0;
constexpr double PeriodZ = 4700.0;
constexpr double TwoPi = 6.283185307179586;
constexpr double DegreesPerRadian = 57.29577951308232;

// The turn towards the swarm: a share of the remaining angle per frame, at most a degree, so the
// view swings round smoothly and never jerks when the swarm's centre jumps (a light bouncing).
constexpr float TurnShare = 0.03f;
constexpr float MaxTurn = 1.0f;
// Closer than this the centre gives no sensible direction: the view keeps its heading.
constexpr float NearCentre = 0.5f;

// MoveCamera first damps the velocities (0.95, turn 0.9) and then moves the offset by
// -velocity * 0.1; these undo that so the camera lands where the path says.
constexpr float OffsetDamping = 0.95f;
constexpr float OffsetStep = 0.1f;
constexpr float TurnDamping = 0.9f;

// The angle in (-180, 180] that turns `from` onto `to` the short way.
float ShortTurn(float from, float to) {
  float d = std::fmod(to - from, 360.0f);
  if (d > 180.0f) d -= 360.0f;
  else if (d <= -180.0f) d += 360.0f;
  return d;
}

float TurnTowardsSwarm(const Camera& cam, const LightScene& scene) {
  float sumX = 0.0f, sumZ = 0.0f;
  int active = 0;
  for (int i = 0; i < MaxLights && LightIsActive(scene, i); ++i) {
    sumX += scene.lights[i].x;
    sumZ += scene.lights[i].z;
    ++active;
  }
  if (active == 0) return 0.0f;
  const float x = sumX / active, z = sumZ / active;
  if (std::hypot(x + cam.posX, z + cam.posZ) < NearCentre) return 0.0f;
  const float turn = ShortTurn(cam.heading, HeadingTowards(cam, x, z)) * TurnShare;
  return std::fmax(-MaxTurn, std::fmin(MaxTurn, turn));
}

}  // namespace

void DriftOffsetAt(unsigned long frame, float& posX, float& posZ) {
  // The phase wraps with each period so the sine never sees a huge argument.
  const double t = static_cast<double>(frame);
  posX = static_cast<float>(PathRadius * std::sin(TwoPi * std::fmod(t, PeriodX) / PeriodX));
  posZ = static_cast<float>(PathRadius * std::sin(TwoPi * std::fmod(t, PeriodZ) / PeriodZ));
}

float HeadingTowards(const Camera& cam, float x, float z) {
  // The room is translated by the offset, so the viewer stands at -offset; the view rotation by
  // 360 - heading brings the direction (dx, dz) onto the line of sight, -z, when its angle is
  // atan2(dx, -dz).
  const double dx = static_cast<double>(x) + cam.posX;
  const double dz = static_cast<double>(z) + cam.posZ;
  return static_cast<float>(360.0 - std::atan2(dx, -dz) * DegreesPerRadian);
}

void SteerCameraDrift(CameraDrift& drift, Camera& cam, const LightScene& scene) {
  ++drift.frame;
  float targetX = 0.0f, targetZ = 0.0f;
  DriftOffsetAt(drift.frame, targetX, targetZ);
  cam.velX = (cam.posX - targetX) / (OffsetDamping * OffsetStep);
  cam.velZ = (cam.posZ - targetZ) / (OffsetDamping * OffsetStep);
  cam.turnRate = TurnTowardsSwarm(cam, scene) / TurnDamping;
}
