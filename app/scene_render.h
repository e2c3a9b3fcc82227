#pragma once
// Drawing the light-ball scene with OpenGL.
#include "light_sim.h"

// Creates the sphere quadric and places the lights. Called once with the GL context current.
void SetUpScene();

// Advances the camera and every active light by one step and draws the frame. Always true.
bool RenderFrame();

// The pieces of a frame, for benchmarks that draw the same geometry without the simulation.
void SetView();
void DrawRoom();
void DrawLightAt(int i, const Light& p);
