// The unsteered viewer of the saver: it keeps gliding, slowly, never leaves the middle of the
// room, and swings round smoothly until the swarm is in front of it.
#include <gtest/gtest.h>

#include <cmath>

#include "camera_drift.h"

namespace {

struct Drifted {
  Camera cam = {};
  CameraDrift drift;
  LightScene scene;

  void Frame() {
    SteerCameraDrift(drift, cam, scene);
    MoveCamera(cam);
  }

  // Where the point lies for the viewer: sideways (x) and ahead (-z) after the view rotation.
  void EyeOf(float x, float z, double& sideways, double& ahead) const {
    const double yaw = (360.0 - cam.heading) * 3.141592653589793 / 180.0;
    const double dx = x + cam.posX, dz = z + cam.posZ;
    sideways = dx * std::cos(yaw) + dz * std::sin(yaw);
    ahead = -(-dx * std::sin(yaw) + dz * std::cos(yaw));
  }
};

// All active lights at one spot, at rest.
void GatherLights(LightScene& scene, float x, float z, float count) {
  scene.lightCount = count;
  for (Light& light : scene.lights) light = Light{x, 0.0f, z, 0.0f, 0.0f, 0.0f, 0.0f};
}

TEST(CameraDrift, FollowsItsPathFromTheStartWithoutAJump) {
  Drifted d;
  float x = 1, z = 1;
  DriftOffsetAt(0, x, z);
  EXPECT_FLOAT_EQ(x, 0.0f);
  EXPECT_FLOAT_EQ(z, 0.0f);
  for (unsigned long frame = 1; frame <= 500; ++frame) {
    d.Frame();
    DriftOffsetAt(frame, x, z);
    ASSERT_NEAR(d.cam.posX, x, 1e-3) << frame;
    ASSERT_NEAR(d.cam.posZ, z, 1e-3) << frame;
  }
}

TEST(CameraDrift, MovesSlowlyTurnsSmoothlyAndStaysClearOfTheWalls) {
  Drifted d;
  float minX = 0, maxX = 0, minZ = 0, maxZ = 0;
  // Ten minutes at 60 frames a second, the swarm flying about as in the saver.
  for (int frame = 0; frame < 36000; ++frame) {
    const Camera before = d.cam;
    d.Frame();
    StepActiveLights(d.scene);
    const double step = std::hypot(d.cam.posX - before.posX, d.cam.posZ - before.posZ);
    ASSERT_LT(step, 0.03) << "frame " << frame;
    ASSERT_LE(std::fabs(d.cam.heading - before.heading), 1.0f + 1e-4f) << "frame " << frame;
    ASSERT_LE(std::fabs(d.cam.posX), 9.01f);
    ASSERT_LE(std::fabs(d.cam.posZ), 9.01f);
    minX = std::fmin(minX, d.cam.posX), maxX = std::fmax(maxX, d.cam.posX);
    minZ = std::fmin(minZ, d.cam.posZ), maxZ = std::fmax(maxZ, d.cam.posZ);
  }
  // It goes through the room, not round one spot.
  EXPECT_LT(minX, -8.5f);
  EXPECT_GT(maxX, 8.5f);
  EXPECT_LT(minZ, -8.5f);
  EXPECT_GT(maxZ, 8.5f);
}

TEST(CameraDrift, SwingsRoundTheShortWayUntilTheSwarmIsAhead) {
  struct Case {
    float x, z;
  };
  // Behind, to either side and ahead of the viewer at the start.
  const Case spots[] = {{0, 12}, {12, 0}, {-12, 0}, {-5, -12}, {6, 10}};
  for (const Case& spot : spots) {
    Drifted d;
    GatherLights(d.scene, spot.x, spot.z, 15.0f);
    for (int frame = 0; frame < 600; ++frame) d.Frame();
    double sideways = 0, ahead = 0;
    d.EyeOf(spot.x, spot.z, sideways, ahead);
    EXPECT_GT(ahead, 0.0) << spot.x << "," << spot.z;
    EXPECT_LT(std::fabs(sideways) / ahead, 0.1) << spot.x << "," << spot.z;
  }

  // A quarter turn to the right (+x) is taken to the right, one to the left to the left.
  for (const float x : {12.0f, -12.0f}) {
    Drifted d;
    GatherLights(d.scene, x, 0.0f, 15.0f);
    d.Frame();
    EXPECT_LT(d.cam.heading * x, 0.0f) << x;
  }
}

TEST(CameraDrift, OnlyActiveLightsCountAndAnEmptyOrNearCentreKeepsTheHeading) {
  Drifted d;
  GatherLights(d.scene, 0.0f, 12.0f, 2.0f);
  // Light 2 and beyond are not active: far to the side, they must not pull the view.
  for (int i = 2; i < MaxLights; ++i) d.scene.lights[i] = Light{-14.0f, 0.0f, 0.0f, 0, 0, 0, 0};
  for (int frame = 0; frame < 600; ++frame) d.Frame();
  double sideways = 0, ahead = 0;
  d.EyeOf(0.0f, 12.0f, sideways, ahead);
  EXPECT_LT(std::fabs(sideways) / ahead, 0.1);

  Camera cam = {};
  CameraDrift drift;
  LightScene scene;
  GatherLights(scene, 0.0f, 0.0f, 15.0f);  // where the viewer stands at the start
  SteerCameraDrift(drift, cam, scene);
  EXPECT_FLOAT_EQ(cam.turnRate, 0.0f);
}

TEST(CameraDrift, ThePathStaysFiniteAfterDaysOfFrames) {
  float x = 0, z = 0;
  for (unsigned long frame : {1000000ul, 100000000ul, 4294967295ul}) {
    DriftOffsetAt(frame, x, z);
    EXPECT_TRUE(std::isfinite(x) && std::isfinite(z));
    EXPECT_LE(std::fabs(x), 9.0f);
    EXPECT_LE(std::fabs(z), 9.0f);
  }
}

}  // namespace
