// The render-state cache: every OpenGL switch the game changes often goes
// through these functions, which always issue the call and record the state.
#pragma once

extern bool lights_on;
extern bool bfc_on;
extern bool z_write_on;
extern bool z_check_on;
extern bool blend_on;
extern unsigned source_blend_func;  // factors of the last enabling select_blend_func
extern unsigned dest_blend_func;

void enable_lights();
void disable_lights();
void enable_bfc();
void disable_bfc();
void enable_z_write();
void disable_z_write();
void enable_z_check();
void disable_z_check();
void enable_z_buffer();
// (GL_ONE, GL_ZERO) means "no blending": it disables blending and keeps the
// recorded factors of the previous enabling call.
void select_blend_func(unsigned src, unsigned dst);
void disable_blend_func();

bool lights_enabled();
bool bfc_enabled();
bool z_write_enabled();
bool z_check_enabled();
bool blend_enabled();
unsigned get_blend_src();
unsigned get_blend_dst();
