#include "scene_render.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include "textures.h"

static GLUquadric* sphereQuadric = nullptr;
// The ball's sphere is tessellated once into a display list: the same pixels as drawing it with
// gluSphere every time, without recomputing its vertices per ball and frame.
static GLuint sphereList = 0;

struct RoomVertex {
    float s, t;
    float x, y, z;
};

struct RoomSurface {
    const unsigned int* texture;  // bound first when set; null keeps the current binding
    bool setColour;
    float r, g, b, a;
    RoomVertex strip[4];
};

static const RoomSurface roomSurfaces[] = {
    {&floorTexture, true, 1.0f, 0.5f, 0.5f, 0.35f,
     {{3, 3, 15, -2, 15}, {0, 3, -15, -2, 15}, {3, 0, 15, -2, -15}, {0, 0, -15, -2, -15}}},
    {nullptr, true, 1.0f, 0.75f, 0.5f, 0.35f,
     {{3, 3, 15, 2, 15}, {0, 3, -15, 2, 15}, {3, 0, 15, 2, -15}, {0, 0, -15, 2, -15}}},
    {&wallTexture, true, 0.7f, 0.5f, 0.45f, 0.75f,
     {{15, 1, 15, 2, -15}, {0, 1, -15, 2, -15}, {15, 0, 15, -2, -15}, {0, 0, -15, -2, -15}}},
    {nullptr, false, 0, 0, 0, 0,
     {{15, 1, 15, 2, 15}, {0, 1, -15, 2, 15}, {15, 0, 15, -2, 15}, {0, 0, -15, -2, 15}}},
    {nullptr, false, 0, 0, 0, 0,
     {{15, 1, -15, 2, 15}, {0, 1, -15, 2, -15}, {15, 0, -15, -2, 15}, {0, 0, -15, -2, -15}}},
    {nullptr, false, 0, 0, 0, 0,
     {{15, 1, 15, 2, 15}, {0, 1, 15, 2, -15}, {15, 0, 15, -2, 15}, {0, 0, 15, -2, -15}}},
};

void SetUpScene()
{
    sphereQuadric = gluNewQuadric();
    gluQuadricNormals(sphereQuadric, GLU_SMOOTH);
    gluQuadricTexture(sphereQuadric, GL_TRUE);

    sphereList = glGenLists(1);
    if (sphereList != 0) {
        glNewList(sphereList, GL_COMPILE);
        gluSphere(sphereQuadric, ballRadius, 16, 16);
        glEndList();
    }
    PlaceLights();
}

void SetView()
{
    glLoadIdentity();
    glRotatef(camera.yaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(camera.posX, 1.0f, camera.posZ);
}

static void DrawStrip(const RoomVertex (&strip)[4])
{
    glBegin(GL_TRIANGLE_STRIP);
    for (const RoomVertex& v : strip) {
        glTexCoord2f(v.s, v.t);
        glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
}

void DrawRoom()
{
    for (const RoomSurface& surface : roomSurfaces) {
        if (surface.texture)
            glBindTexture(GL_TEXTURE_2D, *surface.texture);
        if (surface.setColour)
            glColor4f(surface.r, surface.g, surface.b, surface.a);
        DrawStrip(surface.strip);
    }
}

static void DrawGlowPatch(const Light& p, float y)
{
    const RoomVertex patch[4] = {
        {1, 1, p.x + 2, y, p.z + 2},
        {0, 1, p.x - 2, y, p.z + 2},
        {1, 0, p.x + 2, y, p.z - 2},
        {0, 0, p.x - 2, y, p.z - 2},
    };
    DrawStrip(patch);
}

static void DrawBall()
{
    if (sphereList != 0)
        glCallList(sphereList);
    else
        gluSphere(sphereQuadric, ballRadius, 16, 16);
}

void DrawLightAt(int i, const Light& p)
{
    const LightColor c = ColorOfLight(i);
    glColor4f(c.r, c.g, c.b, FloorGlowAlpha(p.y));
    DrawGlowPatch(p, -2.0f);
    glColor4f(c.r, c.g, c.b, CeilingGlowAlpha(p.y));
    DrawGlowPatch(p, 2.0f);
    glTranslatef(p.x, p.y, p.z);
    glColor4f(c.r, c.g, c.b, 1.0f);
    DrawBall();
}

bool RenderFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    MoveCamera(camera);
    SetView();
    DrawRoom();

    glBindTexture(GL_TEXTURE_2D, glowTexture);
    for (int i = 0; i < MaxLights && LightIsActive(i); ++i) {
        SetView();
        const Light p = StepLight(i);
        DrawLightAt(i, p);
    }
    return true;
}
