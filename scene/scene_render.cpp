#include "scene_render.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include "random.h"

SceneGraphics demoGraphics;

PIXELFORMATDESCRIPTOR ScenePixelFormat(int bits) {
  PIXELFORMATDESCRIPTOR format = {};
  format.nSize = sizeof format;
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = static_cast<BYTE>(bits);
  format.cDepthBits = 16;
  format.iLayerType = PFD_MAIN_PLANE;
  return format;
}

struct RoomVertex {
  float s, t;
  float x, y, z;
};

struct RoomSurface {
  unsigned int SceneTextures::*texture;  // bound first when set; null keeps the current binding
  bool setColour;
  float r, g, b, a;
  RoomVertex strip[4];
};

// clang-format off
static const RoomSurface roomSurfaces[] = {
  {&SceneTextures::floor, true, 1.0f, 0.5f, 0.5f, 0.35f,
   {{3, 3, 15, -2, 15}, {0, 3, -15, -2, 15}, {3, 0, 15, -2, -15}, {0, 0, -15, -2, -15}}},
  {nullptr, true, 1.0f, 0.75f, 0.5f, 0.35f,
   {{3, 3, 15, 2, 15}, {0, 3, -15, 2, 15}, {3, 0, 15, 2, -15}, {0, 0, -15, 2, -15}}},
  {&SceneTextures::wall, true, 0.7f, 0.5f, 0.45f, 0.75f,
   {{15, 1, 15, 2, -15}, {0, 1, -15, 2, -15}, {15, 0, 15, -2, -15}, {0, 0, -15, -2, -15}}},
  {nullptr, false, 0, 0, 0, 0,
   {{15, 1, 15, 2, 15}, {0, 1, -15, 2, 15}, {15, 0, 15, -2, 15}, {0, 0, -15, -2, 15}}},
  {nullptr, false, 0, 0, 0, 0,
   {{15, 1, -15, 2, 15}, {0, 1, -15, 2, -15}, {15, 0, -15, -2, 15}, {0, 0, -15, -2, -15}}},
  {nullptr, false, 0, 0, 0, 0,
   {{15, 1, 15, 2, 15}, {0, 1, 15, 2, -15}, {15, 0, 15, -2, 15}, {0, 0, 15, -2, -15}}},
};
// clang-format on

void SetSceneRenderState() {
  glEnable(GL_TEXTURE_2D);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClearDepth(1.0);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  static const GLfloat fogColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  glFogi(GL_FOG_MODE, GL_EXP2);
  glFogfv(GL_FOG_COLOR, fogColour);
  glFogf(GL_FOG_DENSITY, 0.025f);
  glHint(GL_FOG_HINT, GL_NICEST);
  glFogf(GL_FOG_START, 0.0f);
  glFogf(GL_FOG_END, 10.0f);
  glEnable(GL_FOG);
  // Without alpha planes the destination alpha reads as 1: every primitive adds its light.
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
}

void ResizeViewport(int width, int height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 0.1, 200.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void SetUpSceneGraphics(SceneGraphics& graphics, float ballRadius) {
  graphics.sphereQuadric = gluNewQuadric();
  gluQuadricNormals(graphics.sphereQuadric, GLU_SMOOTH);
  gluQuadricTexture(graphics.sphereQuadric, GL_TRUE);

  // The ball's sphere is tessellated once into a display list: the same pixels as drawing it
  // with gluSphere every time, without recomputing its vertices per ball and frame.
  graphics.sphereList = glGenLists(1);
  if (graphics.sphereList != 0) {
    glNewList(graphics.sphereList, GL_COMPILE);
    gluSphere(graphics.sphereQuadric, ballRadius, 16, 16);
    glEndList();
  }
}

void SetUpScene(SceneGraphics& graphics, LightScene& scene, RandomGenerator& random) {
  SetUpSceneGraphics(graphics, scene.ballRadius);
  PlaceLights(scene, random);
}

void ReleaseSceneGraphics(SceneGraphics& graphics) {
  if (graphics.sphereList != 0) glDeleteLists(graphics.sphereList, 1);
  if (graphics.sphereQuadric) gluDeleteQuadric(graphics.sphereQuadric);
  const GLuint names[] = {graphics.textures.floor, graphics.textures.wall, graphics.textures.glow};
  for (GLuint name : names) {
    if (name != 0) glDeleteTextures(1, &name);
  }
  graphics = SceneGraphics{};
}

void SetView(const Camera& cam) {
  glLoadIdentity();
  glRotatef(cam.yaw, 0.0f, 1.0f, 0.0f);
  glTranslatef(cam.posX, 1.0f, cam.posZ);
}

static void DrawStrip(const RoomVertex (&strip)[4]) {
  glBegin(GL_TRIANGLE_STRIP);
  for (const RoomVertex& v : strip) {
    glTexCoord2f(v.s, v.t);
    glVertex3f(v.x, v.y, v.z);
  }
  glEnd();
}

void DrawRoom(const SceneTextures& textures) {
  for (const RoomSurface& surface : roomSurfaces) {
    if (surface.texture) glBindTexture(GL_TEXTURE_2D, textures.*surface.texture);
    if (surface.setColour) glColor4f(surface.r, surface.g, surface.b, surface.a);
    DrawStrip(surface.strip);
  }
}

static void DrawGlowPatch(const Light& p, float y) {
  const RoomVertex patch[4] = {
      {1, 1, p.x + 2, y, p.z + 2},
      {0, 1, p.x - 2, y, p.z + 2},
      {1, 0, p.x + 2, y, p.z - 2},
      {0, 0, p.x - 2, y, p.z - 2},
  };
  DrawStrip(patch);
}

static void DrawBall(const LightScene& scene, const SceneGraphics& graphics) {
  if (graphics.sphereList != 0) glCallList(graphics.sphereList);
  else gluSphere(graphics.sphereQuadric, scene.ballRadius, 16, 16);
}

void DrawLightAt(const LightScene& scene, const SceneGraphics& graphics, int i, const Light& p) {
  const LightColor c = ColorOfLight(i);
  glColor4f(c.r, c.g, c.b, FloorGlowAlpha(scene, p.y));
  DrawGlowPatch(p, -2.0f);
  glColor4f(c.r, c.g, c.b, CeilingGlowAlpha(scene, p.y));
  DrawGlowPatch(p, 2.0f);
  glTranslatef(p.x, p.y, p.z);
  glColor4f(c.r, c.g, c.b, 1.0f);
  DrawBall(scene, graphics);
}

bool RenderFrame(LightScene& scene, const SceneGraphics& graphics) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  MoveCamera(scene.camera);
  SetView(scene.camera);
  DrawRoom(graphics.textures);

  glBindTexture(GL_TEXTURE_2D, graphics.textures.glow);
  for (int i = 0; i < MaxLights && LightIsActive(scene, i); ++i) {
    SetView(scene.camera);
    const Light p = StepLight(scene, i);
    DrawLightAt(scene, graphics, i, p);
  }
  return true;
}

void SetUpScene() {
  SetUpScene(demoGraphics, demoScene, demoRandom);
}
bool RenderFrame() {
  return RenderFrame(demoScene, demoGraphics);
}
void SetView() {
  SetView(demoScene.camera);
}
void DrawRoom() {
  DrawRoom(demoGraphics.textures);
}
void DrawLightAt(int i, const Light& p) {
  DrawLightAt(demoScene, demoGraphics, i, p);
}
