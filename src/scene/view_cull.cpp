#include "scene/view_cull.h"

#include <GL/gl.h>

#include <cmath>

bool view_culling = true;
float view_cull_margin = 0.01f;  // radians, about 4 pixels of a 640-pixel-wide view

VIEW_VOLUME view_volume;
unsigned long view_cull_skipped = 0;

void begin_view_cull()
{
    view_volume.running = false;
    view_cull_skipped = 0;
    if (!view_culling)
        return;
    GLfloat p[16], m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // clip = projection x model-view, both column-major: c[4 col + row].
    double c[16];
    for (int col = 0; col < 4; col++)
        for (int row = 0; row < 4; row++) {
            double s = 0.0;
            for (int k = 0; k < 4; k++)
                s += (double)p[4 * k + row] * m[4 * col + k];
            c[4 * col + row] = s;
        }
    // A point is inside when -w <= x, y, z <= w: planes w + x, w - x, ...
    for (int i = 0; i < 6; i++) {
        int axis = i / 2;
        double sign = (i % 2 == 0) ? 1.0 : -1.0;
        double len = 0.0;
        for (int col = 0; col < 4; col++) {
            view_volume.plane[i][col] = c[4 * col + 3] + sign * c[4 * col + axis];
            if (col < 3)
                len += view_volume.plane[i][col] * view_volume.plane[i][col];
        }
        len = sqrt(len);
        if (!(len > 0.0) || !std::isfinite(len))
            return;  // a degenerate view: paint everything
        for (int col = 0; col < 4; col++)
            view_volume.plane[i][col] /= len;
    }
    // The eye: the model-view's rotation transposed, applied to minus its translation.
    for (int k = 0; k < 3; k++)
        view_volume.eye[k] = -(m[4 * k + 0] * (double)m[12] + m[4 * k + 1] * (double)m[13] + m[4 * k + 2] * (double)m[14]);
    view_volume.running = true;
}

void end_view_cull() { view_volume.running = false; }

bool sphere_outside_view(const float* centre, float r)
{
    if (!view_volume.running || !(r >= 0.0f) || !std::isfinite(r))
        return false;
    double d[3] = {centre[0] - view_volume.eye[0], centre[1] - view_volume.eye[1], centre[2] - view_volume.eye[2]};
    double dist = sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    // Widened by an angle seen from the eye, and by a little for rounding.
    double reach = r + view_cull_margin * dist + 1e-5 * (fabs(centre[0]) + fabs(centre[1]) + fabs(centre[2])) + 0.01;
    for (const double* pl : view_volume.plane)
        if (pl[0] * centre[0] + pl[1] * centre[1] + pl[2] * centre[2] + pl[3] < -reach)
            return true;
    return false;
}
