#include <gtest/gtest.h>

#include "test_allegro.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ensure_headless_allegro();
    return RUN_ALL_TESTS();
}
