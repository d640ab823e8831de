// BGTHING: a node that always sits around the viewer (sky and stars).
#pragma once

#include "scene/thing.h"

class BGTHING : public THING {
public:
    BGTHING() = default;
    explicit BGTHING(THING* parent) : THING(parent) {}
    ~BGTHING() override = default;
    void paint(unsigned short flags) override;  // moves to the viewpoint first
};
