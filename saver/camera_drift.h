#pragma once
// The saver's viewer: nobody steers it, so it glides by itself along a slow closed path through
// the room and turns, without haste, towards the middle of the swarm. No Win32 here.
#include "light_sim.h"

struct CameraDrift {
  unsigned long frame = 0;
};

// Where the path puts the room's offset after `frame` frames.
void DriftOffsetAt(unsigned long frame, float& posX, float& posZ);

// The heading at which the viewer at the camera's offset looks straight at the point (x, z).
float HeadingTowards(const Camera& cam, float x, float z);

// Sets the camera's velocities and turn rate so that the frame's MoveCamera carries it to the
// path's next point and turns it a little towards the active lights' centre. Call once before
// each frame.
void SteerCameraDrift(CameraDrift& drift, Camera& cam, const LightScene& scene);
