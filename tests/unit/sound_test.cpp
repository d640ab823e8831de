// The shared, counted sound list.
#include <gtest/gtest.h>

#include "sound/sounds.h"

TEST(SoundList, OneCountedSoundPerNameUntilTheLastHolderLetsGo)
{
    SOUNDLIST list;
    SOUND* a = list.load("nowhere/Boom.wav");
    SOUND* kept = list.load("kept.wav");
    ASSERT_EQ(list.load("nowhere/Boom.wav"), a);
    EXPECT_EQ(a->acquire(), a);
    EXPECT_EQ(a->get_refcount(), 3);
    EXPECT_EQ(a->get_sample(), nullptr);  // a missing file still gives a sound
    EXPECT_EQ(list.find("nowhere/boom.wav"), nullptr);  // names are case-sensitive
    SOUND stranger("nowhere/Boom.wav", nullptr);
    list.release(&stranger);  // not in the list: left alone
    list.release(nullptr);
    EXPECT_EQ(stranger.get_refcount(), 1);
    list.release(a);
    list.release(a);
    EXPECT_EQ(list.find("nowhere/Boom.wav"), a);
    list.release(a);
    EXPECT_EQ(list.find("nowhere/Boom.wav"), nullptr);
    EXPECT_EQ(list.at(0), nullptr);
    SOUND* again = list.load("nowhere/Boom.wav");  // fully released: loaded afresh
    EXPECT_EQ(again->get_refcount(), 1);
    list.cleanup();  // the empty slot goes, the order stays
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.at(0), kept);
    EXPECT_EQ(list.at(1), again);
}
