#pragma once
// The light-ball simulation and the viewer's motion: plain state and arithmetic, no drawing.

constexpr int MaxLights = 50;

struct Light {
  float x, y, z;
  float vx, vy, vz;
  float gravity;
};

struct Camera {
  float heading;   // degrees, never wrapped
  float turnRate;  // degrees per frame
  float yaw;       // 360 - heading
  float posX, posZ;
  float velX, velZ;
};

struct LightColor {
  float r, g, b;
};

// One swarm in one room with its viewer. The demo has one; every saver window has its own.
struct LightScene {
  Light lights[MaxLights] = {};
  float lightCount = 15.0f;  // 1 to 50; light i takes part while i < lightCount
  Camera camera = {};
  float ballRadius = 0.25f;
  float glowScale = 1.0f;
};

struct RandomGenerator;

// Gives every light its start position and velocity from the generator (scene set-up).
void PlaceLights(LightScene& scene, RandomGenerator& random);

// Puts camera, lightCount, ballRadius and glowScale back to their start values.
void ResetSceneState(LightScene& scene);

bool LightIsActive(const LightScene& scene, int i);
LightColor ColorOfLight(int i);
float FloorGlowAlpha(const LightScene& scene, float y);
float CeilingGlowAlpha(const LightScene& scene, float y);

// One frame of viewer motion: damping, offset, wall clamps, turning.
void MoveCamera(Camera& cam);

// One frame of light i: pull towards every other active light, then move and bounce.
// Returns the light as it was before this frame's move, which is where it is drawn.
Light StepLight(LightScene& scene, int i);

// The simulation part of one frame for all active lights (benchmarks and tests).
void StepActiveLights(LightScene& scene);

// ---- The demo's one scene, under the names its window, loop and tests use ----

extern LightScene demoScene;
extern Light (&lights)[MaxLights];
extern float& lightCount;
extern Camera& camera;
extern float& ballRadius;
extern float& glowScale;

// The operations above on demoScene (and, for PlaceLights, the demo's generator).
void PlaceLights();
void ResetSceneState();
bool LightIsActive(int i);
float FloorGlowAlpha(float y);
float CeilingGlowAlpha(float y);
Light StepLight(int i);
void StepActiveLights();

// Applies the held steering keys of one loop iteration to the camera and the light count.
void ApplySteeringKeys(const bool keyDown[256], Camera& cam, float& count);
