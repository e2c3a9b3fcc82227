#pragma once
// Drawing the light-ball scene with OpenGL.
#include <windows.h>

#include "light_sim.h"
#include "textures.h"

struct GLUquadric;
struct RandomGenerator;

// What drawing a scene needs in one GL context: the sphere quadric, the ball's display list and
// the texture names. The demo has one; every saver window has its own.
struct SceneGraphics {
  GLUquadric* sphereQuadric = nullptr;
  unsigned int sphereList = 0;
  SceneTextures textures;
};

// The pixel format the scene asks for: double-buffered RGBA of `bits` colour bits, 16-bit depth,
// no alpha planes (the blending relies on a destination alpha that reads as 1).
PIXELFORMATDESCRIPTOR ScenePixelFormat(int bits);

// The GL state the scene is drawn with: texturing, black clear colour, fog, additive blending.
void SetSceneRenderState();

// Sets the viewport and the 45 degree perspective for a drawing area; a height of 0 counts as 1.
void ResizeViewport(int width, int height);

// Creates the sphere quadric and the ball's display list. With the context current.
void SetUpSceneGraphics(SceneGraphics& graphics, float ballRadius);

// SetUpSceneGraphics, then PlaceLights.
void SetUpScene(SceneGraphics& graphics, LightScene& scene, RandomGenerator& random);

// Deletes what SetUpScene and LoadSceneTextures made in the current context.
void ReleaseSceneGraphics(SceneGraphics& graphics);

// Advances the camera and every active light by one step and draws the frame. Always true.
bool RenderFrame(LightScene& scene, const SceneGraphics& graphics);

// The pieces of a frame, for benchmarks that draw the same geometry without the simulation.
void SetView(const Camera& cam);
void DrawRoom(const SceneTextures& textures);
void DrawLightAt(const LightScene& scene, const SceneGraphics& graphics, int i, const Light& p);

// ---- The demo's one scene ----

extern SceneGraphics demoGraphics;

// The operations above on demoGraphics, demoScene and the demo's generator.
void SetUpScene();
bool RenderFrame();
void SetView();
void DrawRoom();
void DrawLightAt(int i, const Light& p);
