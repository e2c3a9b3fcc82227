#include "light_sim.h"

#include <cmath>

#include "random.h"

LightScene demoScene;
Light (&lights)[MaxLights] = demoScene.lights;
float& lightCount = demoScene.lightCount;
Camera& camera = demoScene.camera;
float& ballRadius = demoScene.ballRadius;
float& glowScale = demoScene.glowScale;

namespace {

constexpr float Gravity = -0.02f;

// Half sizes of the room: floor and ceiling at -2 and 2, walls at -15 and 15.
constexpr float RoomHalfHeight = 2.0f;
constexpr float RoomHalfWidth = 15.0f;
// The viewer keeps half a unit away from the walls.
constexpr float CameraLimit = 14.5f;

constexpr float MoveFactor = 0.004f;
constexpr float PullFactor = 0.02f;

// Keeps one coordinate inside [-limit, limit]; strict tests, so a ball landing exactly on the
// limit keeps its velocity for this frame.
void Bounce(float& pos, float& vel, float limit) {
  if (pos > limit) {
    pos = limit;
    vel = -vel;
  } else if (pos < -limit) {
    pos = -limit;
    vel = -vel;
  }
}

// Only a velocity that still carries the offset outward is stopped; one that already points back
// inside may leave the offset past the limit for a frame.
void ClampOffset(float& pos, float& vel) {
  if (pos > CameraLimit && vel <= 0.0f) {
    pos = CameraLimit;
    vel = 0.0f;
  } else if (pos < -CameraLimit && vel >= 0.0f) {
    pos = -CameraLimit;
    vel = 0.0f;
  }
}

}  // namespace

void PlaceLights(LightScene& scene, RandomGenerator& random) {
  for (Light& light : scene.lights) {
    // The draw order is fixed: the start scene must match every earlier run.
    const int r1 = DrawRandom(random);
    const int r2 = DrawRandom(random);
    const int r3 = DrawRandom(random);
    const int r4 = DrawRandom(random);
    const int r5 = DrawRandom(random);
    const int r6 = DrawRandom(random);

    light.x = static_cast<float>(r1 % 20 - 10);
    light.y = 0.0f;
    light.z = static_cast<float>(r2 % 20 - 10);
    const float speed = static_cast<float>(r3 % 250) * 0.06666667f;
    // Taken as radians on purpose: the spread of start heights depends on it.
    const float angle = static_cast<float>(r4 % 360);
    light.vx = static_cast<float>(r5 % 150) * 0.1f + 5.0f;
    light.vy = static_cast<float>(std::cos(static_cast<double>(angle)) * speed * 0.5);
    light.vz = static_cast<float>(r6 % 150) * 0.1f + 5.0f;
    light.gravity = Gravity;
  }
}

void ResetSceneState(LightScene& scene) {
  const LightScene start;
  scene.camera = start.camera;
  scene.lightCount = start.lightCount;
  scene.ballRadius = start.ballRadius;
  scene.glowScale = start.glowScale;
}

bool LightIsActive(const LightScene& scene, int i) {
  // A float comparison, so a count of 15.05 already lets light 15 take part.
  return static_cast<float>(i) < scene.lightCount;
}

LightColor ColorOfLight(int i) {
  static constexpr LightColor palette[3] = {
      {1.0f, 0.5f, 0.0f},  // orange
      {1.0f, 0.0f, 0.0f},  // red
      {1.0f, 1.0f, 0.0f},  // yellow
  };
  return palette[((i % 3) + 3) % 3];
}

float FloorGlowAlpha(const LightScene& scene, float y) {
  return std::fabs(y - RoomHalfHeight) * 0.25f * scene.glowScale;
}

float CeilingGlowAlpha(const LightScene& scene, float y) {
  return std::fabs(y + RoomHalfHeight) * 0.25f * scene.glowScale;
}

void MoveCamera(Camera& cam) {
  cam.velX *= 0.95f;
  cam.velZ *= 0.95f;
  cam.posX -= cam.velX * 0.1f;
  cam.posZ -= cam.velZ * 0.1f;
  ClampOffset(cam.posX, cam.velX);
  ClampOffset(cam.posZ, cam.velZ);
  cam.turnRate *= 0.9f;
  cam.heading += cam.turnRate;
  cam.yaw = 360.0f - cam.heading;
}

Light StepLight(LightScene& scene, int i) {
  Light& self = scene.lights[i];
  const Light drawnAs = self;

  // Lights with a lower index have already moved this frame; their new positions are used.
  for (int j = 0; j < MaxLights && LightIsActive(scene, j); ++j) {
    if (j == i) continue;
    const Light& other = scene.lights[j];
    const float dx = other.x - self.x;
    const float dy = other.y - self.y;
    const float dz = other.z - self.z;
    // The squares of float differences are exact in double, so the one rounding of sqrt
    // gives the length as closely as nested hypot calls, at a fraction of their cost
    // (the runtime's hypot dominated the whole step).
    const double ddx = dx, ddy = dy, ddz = dz;
    const double dist = std::sqrt(ddx * ddx + ddy * ddy + ddz * ddz);
    // The 0.1 keeps the pull finite when two lights meet; at distance 0 d is zero anyway.
    const float f = static_cast<float>(1.0 / (dist + 0.1));
    self.vx += dx * f * PullFactor;
    self.vy += dy * f * PullFactor;
    self.vz += dz * f * PullFactor;
  }

  self.x += self.vx * MoveFactor;
  self.y += self.vy * MoveFactor;
  self.z += self.vz * MoveFactor;
  self.vy += self.gravity;

  Bounce(self.y, self.vy, RoomHalfHeight - scene.ballRadius);
  Bounce(self.x, self.vx, RoomHalfWidth - scene.ballRadius);
  Bounce(self.z, self.vz, RoomHalfWidth - scene.ballRadius);

  return drawnAs;
}

void StepActiveLights(LightScene& scene) {
  for (int i = 0; i < MaxLights && LightIsActive(scene, i); ++i) StepLight(scene, i);
}

void PlaceLights() {
  PlaceLights(demoScene, demoRandom);
}
void ResetSceneState() {
  ResetSceneState(demoScene);
}
bool LightIsActive(int i) {
  return LightIsActive(demoScene, i);
}
float FloorGlowAlpha(float y) {
  return FloorGlowAlpha(demoScene, y);
}
float CeilingGlowAlpha(float y) {
  return CeilingGlowAlpha(demoScene, y);
}
Light StepLight(int i) {
  return StepLight(demoScene, i);
}
void StepActiveLights() {
  StepActiveLights(demoScene);
}
