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

extern Light lights[MaxLights];
extern float lightCount;  // 1 to 50; light i takes part while i < lightCount
extern Camera camera;
extern float ballRadius;
extern float glowScale;

// Gives every light its start position and velocity from the generator (scene set-up).
void PlaceLights();

// Puts camera and lightCount back to their start values (tests and benchmarks).
void ResetSceneState();

bool LightIsActive(int i);
LightColor ColorOfLight(int i);
float FloorGlowAlpha(float y);
float CeilingGlowAlpha(float y);

// One frame of viewer motion: damping, offset, wall clamps, turning.
void MoveCamera(Camera& cam);

// One frame of light i: pull towards every other active light, then move and bounce.
// Returns the light as it was before this frame's move, which is where it is drawn.
Light StepLight(int i);

// The simulation part of one frame for all active lights (benchmarks and tests).
void StepActiveLights();

// Applies the held steering keys of one loop iteration to the camera and the light count.
void ApplySteeringKeys(const bool keyDown[256], Camera& cam, float& count);
