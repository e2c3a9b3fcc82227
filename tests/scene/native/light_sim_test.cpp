#include <cmath>
#include <initializer_list>

#include <gtest/gtest.h>

#include "light_sim.h"
#include "random.h"

namespace {

constexpr int KeyLeft = 37;
constexpr int KeyUp = 38;
constexpr int KeyRight = 39;
constexpr int KeyDown = 40;
constexpr int KeyAdd = 107;
constexpr int KeySubtract = 109;

// Every test starts from the scene a fresh process would have.
class SimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRandom();
    ResetSceneState();
    PlaceLights();
  }

  // A light at rest at the given place, with gravity switched off unless asked for.
  static void PutLight(int i, float x, float y, float z, float vx = 0, float vy = 0, float vz = 0,
                       float gravity = 0) {
    lights[i] = Light{x, y, z, vx, vy, vz, gravity};
  }
};

using RandomTest = SimTest;
using LightSetupTest = SimTest;
using LightRulesTest = SimTest;
using LightBounceTest = SimTest;
using LightAttractionTest = SimTest;
using CameraMotionTest = SimTest;

class SteerTest : public SimTest {
 protected:
  bool keys[256] = {};
  Camera cam = {};
  float count = 15.0f;

  void Press(std::initializer_list<int> codes) {
    for (int c : codes) keys[c] = true;
  }
};

TEST_F(RandomTest, FirstDrawsMatchRuntimeSequenceAndResetRestarts) {
  ResetRandom();
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724};
  for (int e : expected) EXPECT_EQ(DrawRandom(), e);

  ResetRandom();
  EXPECT_EQ(DrawRandom(), 41);
  EXPECT_EQ(DrawRandom(), 18467);
}

TEST_F(LightSetupTest, FirstLightsTakeTheirValuesFromTheDrawsInOrder) {
  const Light& l0 = lights[0];
  EXPECT_FLOAT_EQ(l0.x, -9.0f);
  EXPECT_FLOAT_EQ(l0.y, 0.0f);
  EXPECT_FLOAT_EQ(l0.z, -3.0f);
  EXPECT_FLOAT_EQ(l0.vx, 16.9f);
  // The angle 220 is used as radians, not degrees.
  EXPECT_NEAR(l0.vy, std::cos(220.0) * 2.8, 1e-5);
  EXPECT_NEAR(l0.vy, 2.789, 1e-3);
  EXPECT_FLOAT_EQ(l0.vz, 17.4f);
  EXPECT_FLOAT_EQ(l0.gravity, -0.02f);

  EXPECT_FLOAT_EQ(lights[1].x, 8.0f);
  EXPECT_FLOAT_EQ(lights[1].z, 8.0f);
  EXPECT_FLOAT_EQ(lights[1].vx, 5.5f);
  EXPECT_FLOAT_EQ(lights[1].vz, 14.5f);

  EXPECT_FLOAT_EQ(lights[2].x, -9.0f);
  EXPECT_FLOAT_EQ(lights[2].z, -3.0f);
}

TEST_F(LightSetupTest, EveryLightStartsInsideTheStatedRanges) {
  for (int i = 0; i < MaxLights; ++i) {
    SCOPED_TRACE(i);
    const Light& l = lights[i];
    EXPECT_EQ(l.x, std::floor(l.x));
    EXPECT_EQ(l.z, std::floor(l.z));
    EXPECT_GE(l.x, -10.0f);
    EXPECT_LE(l.x, 9.0f);
    EXPECT_GE(l.z, -10.0f);
    EXPECT_LE(l.z, 9.0f);
    EXPECT_EQ(l.y, 0.0f);
    EXPECT_LE(std::fabs(l.vy), 8.31f);
    EXPECT_GE(l.vx, 5.0f);
    EXPECT_LE(l.vx, 19.91f);
    EXPECT_GE(l.vz, 5.0f);
    EXPECT_LE(l.vz, 19.91f);
    EXPECT_EQ(l.gravity, -0.02f);
  }
  // Six draws per light and no more: the next draw is the 301st of the sequence.
  const int next = DrawRandom();
  ResetRandom();
  for (int n = 0; n < 300; ++n) DrawRandom();
  EXPECT_EQ(next, DrawRandom());
}

TEST_F(LightRulesTest, ActiveLightsFollowAFloatComparisonWithTheCount) {
  EXPECT_TRUE(LightIsActive(0));
  EXPECT_TRUE(LightIsActive(14));
  EXPECT_FALSE(LightIsActive(15));

  lightCount = 15.05f;
  EXPECT_TRUE(LightIsActive(15));
  EXPECT_FALSE(LightIsActive(16));

  // Stepping moves exactly the active lights and leaves the rest where they are.
  const Light before15 = lights[15];
  const Light before16 = lights[16];
  StepActiveLights();
  EXPECT_NE(lights[15].x, before15.x);
  EXPECT_EQ(lights[16].x, before16.x);
  EXPECT_EQ(lights[16].vx, before16.vx);
  EXPECT_EQ(lights[16].vy, before16.vy);
}

TEST_F(LightRulesTest, ColoursCycleOrangeRedYellowByIndex) {
  const LightColor orange = ColorOfLight(0);
  EXPECT_EQ(orange.r, 1.0f);
  EXPECT_EQ(orange.g, 0.5f);
  EXPECT_EQ(orange.b, 0.0f);
  const LightColor red = ColorOfLight(1);
  EXPECT_EQ(red.r, 1.0f);
  EXPECT_EQ(red.g, 0.0f);
  EXPECT_EQ(red.b, 0.0f);
  const LightColor yellow = ColorOfLight(2);
  EXPECT_EQ(yellow.r, 1.0f);
  EXPECT_EQ(yellow.g, 1.0f);
  EXPECT_EQ(yellow.b, 0.0f);

  EXPECT_EQ(ColorOfLight(3).g, 0.5f);
  EXPECT_EQ(ColorOfLight(49).g, 0.0f);
  EXPECT_EQ(ColorOfLight(47).g, 1.0f);
}

TEST_F(LightRulesTest, GlowGrowsTowardsTheNearerSurface) {
  EXPECT_FLOAT_EQ(FloorGlowAlpha(0.0f), 0.5f);
  EXPECT_FLOAT_EQ(CeilingGlowAlpha(0.0f), 0.5f);
  EXPECT_FLOAT_EQ(FloorGlowAlpha(-1.75f), 0.9375f);
  EXPECT_FLOAT_EQ(CeilingGlowAlpha(-1.75f), 0.0625f);
  EXPECT_FLOAT_EQ(FloorGlowAlpha(1.75f), 0.0625f);
  EXPECT_FLOAT_EQ(CeilingGlowAlpha(1.75f), 0.9375f);

  glowScale = 2.0f;
  EXPECT_FLOAT_EQ(FloorGlowAlpha(0.0f), 1.0f);
}

TEST_F(LightRulesTest, StepReturnsTheLightAsItWasBeforeThisFrame) {
  lightCount = 2.0f;
  PutLight(0, 1.0f, 0.5f, -1.0f, 10.0f, 20.0f, 30.0f, -0.02f);
  PutLight(1, 6.0f, 0.5f, -1.0f);

  const Light drawn = StepLight(0);
  EXPECT_EQ(drawn.x, 1.0f);
  EXPECT_EQ(drawn.y, 0.5f);
  EXPECT_EQ(drawn.z, -1.0f);
  // The snapshot is taken before the pull from light 1 changes the velocity.
  EXPECT_EQ(drawn.vx, 10.0f);
  EXPECT_EQ(drawn.vy, 20.0f);

  EXPECT_GT(lights[0].vx, 10.0f);
  EXPECT_FLOAT_EQ(lights[0].y, 0.5f + 20.0f * 0.004f);
  EXPECT_FLOAT_EQ(lights[0].vy, 20.0f - 0.02f);
  EXPECT_NEAR(lights[0].z, -1.0f + 30.0f * 0.004f, 1e-6);
}

TEST_F(LightBounceTest, CrossingALimitClampsAndReflects) {
  lightCount = 1.0f;
  struct Case {
    Light start;
    Light expected;
  };
  const Case cases[] = {
      // ceiling, with gravity added before the reflection
      {{0, 1.7f, 0, 0, 25, 0, -0.02f}, {0, 1.75f, 0, 0, -24.98f, 0, -0.02f}},
      // floor
      {{0, -1.7f, 0, 0, -25, 0, -0.02f}, {0, -1.75f, 0, 0, 25.02f, 0, -0.02f}},
      // walls at x = 15 and x = -15
      {{14.7f, 0, 0, 25, 0, 0, 0}, {14.75f, 0, 0, -25, 0, 0, 0}},
      {{-14.7f, 0, 0, -25, 0, 0, 0}, {-14.75f, 0, 0, 25, 0, 0, 0}},
      // walls at z = 15 and z = -15
      {{0, 0, 14.7f, 0, 0, 25, 0}, {0, 0, 14.75f, 0, 0, -25, 0}},
      {{0, 0, -14.7f, 0, 0, -25, 0}, {0, 0, -14.75f, 0, 0, 25, 0}},
      // a corner: every axis handled in the same frame
      {{14.7f, 1.7f, -14.7f, 25, 25, -25, 0}, {14.75f, 1.75f, -14.75f, -25, -25, 25, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "start " << c.start.x << "," << c.start.y << "," << c.start.z);
    lights[0] = c.start;
    StepLight(0);
    EXPECT_FLOAT_EQ(lights[0].x, c.expected.x);
    EXPECT_FLOAT_EQ(lights[0].y, c.expected.y);
    EXPECT_FLOAT_EQ(lights[0].z, c.expected.z);
    EXPECT_FLOAT_EQ(lights[0].vx, c.expected.vx);
    EXPECT_FLOAT_EQ(lights[0].vy, c.expected.vy);
    EXPECT_FLOAT_EQ(lights[0].vz, c.expected.vz);
  }
}

TEST_F(LightBounceTest, EndingExactlyOnALimitIsNotReflected) {
  lightCount = 1.0f;
  // 250 * 0.004f rounds to exactly 1.0f, so each move lands exactly on a limit.
  PutLight(0, 13.75f, 0.75f, -13.75f, 250.0f, 250.0f, -250.0f);
  StepLight(0);
  ASSERT_EQ(lights[0].x, 14.75f);
  ASSERT_EQ(lights[0].y, 1.75f);
  ASSERT_EQ(lights[0].z, -14.75f);
  EXPECT_EQ(lights[0].vx, 250.0f);
  EXPECT_EQ(lights[0].vy, 250.0f);
  EXPECT_EQ(lights[0].vz, -250.0f);

  PutLight(0, -13.75f, -0.75f, 13.75f, -250.0f, -250.0f, 250.0f);
  StepLight(0);
  ASSERT_EQ(lights[0].x, -14.75f);
  ASSERT_EQ(lights[0].y, -1.75f);
  ASSERT_EQ(lights[0].z, 14.75f);
  EXPECT_EQ(lights[0].vx, -250.0f);
  EXPECT_EQ(lights[0].vy, -250.0f);
  EXPECT_EQ(lights[0].vz, 250.0f);
}

TEST_F(LightBounceTest, LimitsFollowTheBallRadius) {
  lightCount = 1.0f;
  ballRadius = 0.5f;
  PutLight(0, 14.45f, 1.45f, 0.0f, 25.0f, 25.0f, 0.0f);
  StepLight(0);
  EXPECT_FLOAT_EQ(lights[0].x, 14.5f);
  EXPECT_FLOAT_EQ(lights[0].y, 1.5f);
  EXPECT_FLOAT_EQ(lights[0].vx, -25.0f);
}

TEST_F(LightAttractionTest, LightsAtOnePlaceExertNoPull) {
  lightCount = 2.0f;
  PutLight(0, 3.0f, 1.0f, -4.0f);
  PutLight(1, 3.0f, 1.0f, -4.0f);
  StepLight(0);
  StepLight(1);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(std::isnan(lights[i].vx) || std::isnan(lights[i].vy) || std::isnan(lights[i].vz));
    EXPECT_EQ(lights[i].vx, 0.0f);
    EXPECT_EQ(lights[i].vy, 0.0f);
    EXPECT_EQ(lights[i].vz, 0.0f);
    EXPECT_EQ(lights[i].x, 3.0f);
  }
}

TEST_F(LightAttractionTest, PullIsTowardsTheOtherLightAndJustUnderTheFactor) {
  lightCount = 2.0f;
  PutLight(0, 0.0f, 0.0f, 0.0f);
  PutLight(1, 6.0f, 0.0f, 8.0f);  // distance 10
  StepLight(0);
  const double f = 1.0 / 10.1;
  EXPECT_NEAR(lights[0].vx, 6.0 * f * 0.02, 1e-7);
  EXPECT_NEAR(lights[0].vz, 8.0 * f * 0.02, 1e-7);
  EXPECT_EQ(lights[0].vy, 0.0f);
  EXPECT_NEAR(lights[0].x, 6.0 * f * 0.02 * 0.004, 1e-9);
}

TEST_F(LightAttractionTest, EveryOtherActiveLightPullsAndInactiveOnesDoNot) {
  lightCount = 3.0f;
  PutLight(0, 0.0f, 0.0f, 0.0f);
  PutLight(1, 5.0f, 0.0f, 0.0f);
  PutLight(2, -5.0f, 0.0f, 0.0f);
  PutLight(3, 0.0f, 0.0f, 5.0f);  // inactive
  StepLight(0);
  EXPECT_EQ(lights[0].vx, 0.0f);  // the two pulls cancel
  EXPECT_EQ(lights[0].vz, 0.0f);  // light 3 is not counted

  lightCount = 4.0f;
  PutLight(0, 0.0f, 0.0f, 0.0f);
  StepLight(0);
  EXPECT_GT(lights[0].vz, 0.019f);
}

TEST_F(LightAttractionTest, LaterLightsSeeEarlierOnesAtTheirNewPlace) {
  lightCount = 2.0f;
  PutLight(0, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 100.0f);  // moves 0.4 along z
  PutLight(1, 1.0f, 0.0f, 0.0f);
  StepActiveLights();
  ASSERT_GT(lights[0].z, 0.39f);
  // Light 0 now sits off the x axis, so light 1 is pulled along z as well.
  EXPECT_GT(lights[1].vz, 0.001f);
  EXPECT_LT(lights[1].vx, -0.01f);
}

TEST_F(CameraMotionTest, VelocitiesAndTurningDieAwayEachFrame) {
  Camera cam = {};
  cam.velX = 1.0f;
  cam.velZ = -2.0f;
  cam.turnRate = 1.0f;
  MoveCamera(cam);
  EXPECT_FLOAT_EQ(cam.velX, 0.95f);
  EXPECT_FLOAT_EQ(cam.velZ, -1.9f);
  EXPECT_FLOAT_EQ(cam.posX, -0.095f);
  EXPECT_FLOAT_EQ(cam.posZ, 0.19f);
  EXPECT_FLOAT_EQ(cam.turnRate, 0.9f);
  EXPECT_FLOAT_EQ(cam.heading, 0.9f);
  EXPECT_FLOAT_EQ(cam.yaw, 359.1f);

  for (int n = 0; n < 1000; ++n) MoveCamera(cam);
  EXPECT_LT(std::fabs(cam.velX), 1e-6f);
  EXPECT_NEAR(cam.heading, 9.0f, 1e-3f);  // 0.9 / (1 - 0.9)
}

TEST_F(CameraMotionTest, WallsStopAnOutwardMotion) {
  struct Case {
    float pos, vel, expectedPos, expectedVel;
  };
  const Case cases[] = {
      {14.5f, -1.0f, 14.5f, 0.0f},    // moving out past +14.5
      {14.6f, 0.0f, 14.5f, 0.0f},     // at rest beyond +14.5: velocity 0 counts as outward
      {-14.5f, 1.0f, -14.5f, 0.0f},   // moving out past -14.5
      {-14.6f, 0.0f, -14.5f, 0.0f},   // at rest beyond -14.5
      {14.6f, 1.0f, 14.505f, 0.95f},  // already heading back inside: left alone
      {-14.6f, -1.0f, -14.505f, -0.95f},
      {14.4f, -0.5f, 14.4475f, -0.475f},  // inside the room: nothing to clamp
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "pos " << c.pos << " vel " << c.vel);
    Camera alongX = {};
    alongX.posX = c.pos;
    alongX.velX = c.vel;
    MoveCamera(alongX);
    EXPECT_FLOAT_EQ(alongX.posX, c.expectedPos);
    EXPECT_FLOAT_EQ(alongX.velX, c.expectedVel);
    EXPECT_EQ(alongX.posZ, 0.0f);

    Camera alongZ = {};
    alongZ.posZ = c.pos;
    alongZ.velZ = c.vel;
    MoveCamera(alongZ);
    EXPECT_FLOAT_EQ(alongZ.posZ, c.expectedPos);
    EXPECT_FLOAT_EQ(alongZ.velZ, c.expectedVel);
    EXPECT_EQ(alongZ.posX, 0.0f);
  }
}

TEST_F(SteerTest, ArrowsWalkAlongTheHeadingAndTurn) {
  Press({KeyUp});
  ApplySteeringKeys(keys, cam, count);
  EXPECT_NEAR(cam.velX, 0.0f, 1e-7f);
  EXPECT_FLOAT_EQ(cam.velZ, -0.1f);

  cam = Camera{};
  cam.heading = 90.0f;
  ApplySteeringKeys(keys, cam, count);
  EXPECT_FLOAT_EQ(cam.velX, -0.1f);
  EXPECT_NEAR(cam.velZ, 0.0f, 1e-7f);

  keys[KeyUp] = false;
  Press({KeyDown, KeyRight});
  cam = Camera{};
  cam.heading = 90.0f;
  ApplySteeringKeys(keys, cam, count);
  EXPECT_FLOAT_EQ(cam.velX, 0.1f);
  EXPECT_FLOAT_EQ(cam.turnRate, -0.15f);
  // The heading itself is only ever changed by the frame's camera move.
  EXPECT_EQ(cam.heading, 90.0f);
  EXPECT_EQ(count, 15.0f);
}

TEST_F(SteerTest, OppositeArrowsActAsUpAndLeftAlone) {
  Press({KeyUp, KeyDown, KeyLeft, KeyRight});
  ApplySteeringKeys(keys, cam, count);
  EXPECT_FLOAT_EQ(cam.velZ, -0.1f);
  EXPECT_FLOAT_EQ(cam.turnRate, 0.15f);
}

TEST_F(SteerTest, PlusAndMinusActInTheSameIterationPlusFirst) {
  Press({KeyAdd, KeySubtract});
  ApplySteeringKeys(keys, cam, count);
  EXPECT_FLOAT_EQ(count, 15.0f);

  // At the top the plus is cut off before the minus acts, and at the bottom the other way.
  count = 50.0f;
  ApplySteeringKeys(keys, cam, count);
  EXPECT_FLOAT_EQ(count, 49.9f);
  count = 1.0f;
  ApplySteeringKeys(keys, cam, count);
  EXPECT_FLOAT_EQ(count, 1.0f);
}

TEST_F(SteerTest, HeldPlusAndMinusSaturateExactly) {
  Press({KeyAdd});
  float previous = count;
  for (int n = 0; n < 400; ++n) {
    ApplySteeringKeys(keys, cam, count);
    ASSERT_GE(count, previous);
    previous = count;
  }
  EXPECT_EQ(count, 50.0f);

  keys[KeyAdd] = false;
  Press({KeySubtract});
  count = 15.0f;
  previous = count;
  for (int n = 0; n < 400; ++n) {
    ApplySteeringKeys(keys, cam, count);
    ASSERT_LE(count, previous);
    previous = count;
  }
  EXPECT_EQ(count, 1.0f);
}

}  // namespace
