// The one light, the ambient colour and the fog, and the colours of the sky
// and ground models that follow them.
#pragma once

class MODEL;

extern float ground_color[4];    // ground tint, also the ambient base
extern float cloud_color[4];     // sky-plane colour
extern float sky_color[4];       // top colour of the sky sphere
extern float horizon_color[4];   // horizon colour of the sky sphere; fog colour
extern float direct_light[4];    // colour of the one light
extern float global_ambient[4];  // ground_color x direct_light, kept by update_light
extern float lightpos[4];        // w = 0: a directional light from straight above
extern bool use_fog;             // linear fog between the clipping distances

extern MODEL* sky_sphere;    // the background sphere, or null
extern MODEL* sky_plane;     // the textured sky disc, or null
extern MODEL* ground_plane;  // the textured ground disc, or null

// Pushes the lighting globals to OpenGL and to the sky and ground models.
void update_light();
