// Small helpers the tests of the game's core share: the frame's fixed dt,
// three-vectors, the children of a scene node and a world stepped the way
// the frame loop does.
#pragma once

#include <array>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "scene/thing.h"

const float DT = 1.0f / 60.0f;  // s per frame
using V3 = std::array<float, 3>;

// The children of parent that are a T, in list order.
template <class T = THING>
std::vector<T*> children_of(THING* parent)
{
    std::vector<T*> out;
    for (THING* c = parent->get_first_child(); c; c = c->get_next())
        if (T* t = dynamic_cast<T*>(c))
            out.push_back(t);
    return out;
}

// Ticks world's children for seconds in steps of dt, then updates the matrices.
inline void run_world(THING& world, float seconds, float dt = DT)
{
    for (int i = 0, n = (int)lroundf(seconds / dt); i < n; i++) {
        world.tick_children(dt);
        world.update_abs_matrix();
    }
}

// True when a and b differ by at most tolerance in each component.
inline testing::AssertionResult near3(const float* a, V3 b, float tolerance)
{
    for (int i = 0; i < 3; i++)
        if (!(std::fabs(a[i] - b[i]) <= tolerance))
            return testing::AssertionFailure() << "(" << a[0] << ", " << a[1] << ", " << a[2] << ") is not ("
                                               << b[0] << ", " << b[1] << ", " << b[2] << ") +- " << tolerance;
    return testing::AssertionSuccess();
}
