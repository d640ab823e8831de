// Culling for the driver's scene passes: while it is on, a scene node whose
// painting lies wholly outside the view volume (beside, behind, or beyond
// the far plane at FAR_DIST) is skipped with its subtree before any OpenGL
// call. The view volume is read from the current projection and model-view
// when culling begins, so it always matches what OpenGL itself clips.
#pragma once

extern bool view_culling;  // off: every node is painted (pictures to compare with)
// How far outside a side of the view volume, in radians seen from the eye,
// a node must lie to be skipped: wide points and rounding stay clear of it.
extern float view_cull_margin;

// The six planes (a, b, c, d) with unit normals pointing inside, in world
// coordinates, and the eye; valid while running.
struct VIEW_VOLUME {
    bool running = false;
    double plane[6][4];
    double eye[3];
};
extern VIEW_VOLUME view_volume;
extern unsigned long view_cull_skipped;  // subtrees skipped since culling began (a reading)

// Reads the view volume from OpenGL; nodes are tested until end_view_cull.
// Does nothing while view_culling is false.
void begin_view_cull();
void end_view_cull();
// Whether a sphere (world centre, radius) lies wholly outside the view
// volume; false while culling is not running.
bool sphere_outside_view(const float* centre, float r);
