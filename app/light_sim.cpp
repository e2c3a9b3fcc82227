#include "light_sim.h"

#include <cmath>

#include "random.h"

Light lights[MaxLights];
float lightCount = 15.0f;
Camera camera = {};
float ballRadius = 0.25f;
float glowScale = 1.0f;

namespace {

constexpr float StartLightCount = 15.0f;
constexpr float StartBallRadius = 0.25f;
constexpr float StartGlowScale = 1.0f;
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
void Bounce(float& pos, float& vel, float limit)
{
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
void ClampOffset(float& pos, float& vel)
{
    if (pos > CameraLimit && vel <= 0.0f) {
        pos = CameraLimit;
        vel = 0.0f;
    } else if (pos < -CameraLimit && vel >= 0.0f) {
        pos = -CameraLimit;
        vel = 0.0f;
    }
}

}  // namespace

void PlaceLights()
{
    for (Light& light : lights) {
        // The draw order is fixed: the start scene must match every earlier run.
        const int r1 = DrawRandom();
        const int r2 = DrawRandom();
        const int r3 = DrawRandom();
        const int r4 = DrawRandom();
        const int r5 = DrawRandom();
        const int r6 = DrawRandom();

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

void ResetSceneState()
{
    camera = Camera{};
    lightCount = StartLightCount;
    ballRadius = StartBallRadius;
    glowScale = StartGlowScale;
}

bool LightIsActive(int i)
{
    // A float comparison, so a count of 15.05 already lets light 15 take part.
    return static_cast<float>(i) < lightCount;
}

LightColor ColorOfLight(int i)
{
    static constexpr LightColor palette[3] = {
        {1.0f, 0.5f, 0.0f},  // orange
        {1.0f, 0.0f, 0.0f},  // red
        {1.0f, 1.0f, 0.0f},  // yellow
    };
    return palette[((i % 3) + 3) % 3];
}

float FloorGlowAlpha(float y)
{
    return std::fabs(y - RoomHalfHeight) * 0.25f * glowScale;
}

float CeilingGlowAlpha(float y)
{
    return std::fabs(y + RoomHalfHeight) * 0.25f * glowScale;
}

void MoveCamera(Camera& cam)
{
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

Light StepLight(int i)
{
    Light& self = lights[i];
    const Light drawnAs = self;

    // Lights with a lower index have already moved this frame; their new positions are used.
    for (int j = 0; j < MaxLights && LightIsActive(j); ++j) {
        if (j == i)
            continue;
        const Light& other = lights[j];
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

    Bounce(self.y, self.vy, RoomHalfHeight - ballRadius);
    Bounce(self.x, self.vx, RoomHalfWidth - ballRadius);
    Bounce(self.z, self.vz, RoomHalfWidth - ballRadius);

    return drawnAs;
}

void StepActiveLights()
{
    for (int i = 0; i < MaxLights && LightIsActive(i); ++i)
        StepLight(i);
}
