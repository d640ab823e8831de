#include "scene/bgthing.h"

void BGTHING::paint(unsigned short flags)
{
    if (THING* vp = get_viewpoint())
        locate_rel(vp->get_abs().t);
    invalidate_abs();
    update_abs_matrix();
    THING::paint(flags);
}
