// The shared, counted sound list.
#include <gtest/gtest.h>

#include "sound/sounds.h"

TEST(SoundList, LoadingTwiceSharesOneCountedSound)
{
    SOUNDLIST list;
    SOUND* a = list.load("nowhere/boom.wav");
    SOUND* b = list.load("nowhere/boom.wav");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->get_refcount(), 2);
    EXPECT_EQ(a->get_sample(), nullptr);  // a missing file still gives a sound
    list.release(a);
    EXPECT_EQ(list.find("nowhere/boom.wav"), a);
    list.release(a);
    EXPECT_EQ(list.find("nowhere/boom.wav"), nullptr);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(list.at(0), nullptr);
}

TEST(SoundList, AFullyReleasedNameLoadsAfresh)
{
    SOUNDLIST list;
    SOUND* a = list.load("x.wav");
    list.release(a);
    SOUND* b = list.load("x.wav");
    EXPECT_EQ(b->get_refcount(), 1);
    EXPECT_EQ(list.size(), 2u);
}

TEST(SoundList, ReleasingAStrangerChangesNothing)
{
    SOUNDLIST list;
    SOUND* a = list.load("a.wav");
    SOUND stranger("b.wav", nullptr);
    list.release(&stranger);
    list.release(nullptr);
    EXPECT_EQ(stranger.get_refcount(), 1);
    EXPECT_EQ(a->get_refcount(), 1);
}

TEST(SoundList, NamesAreCaseSensitive)
{
    SOUNDLIST list;
    SOUND* a = list.load("Boom.wav");
    EXPECT_EQ(list.find("boom.wav"), nullptr);
    EXPECT_EQ(list.find("Boom.wav"), a);
}

TEST(SoundList, CleanupDropsEmptySlotsInOrder)
{
    SOUNDLIST list;
    SOUND* a = list.load("a.wav");
    SOUND* gone = list.load("gone.wav");
    SOUND* b = list.load("b.wav");
    list.release(gone);
    list.cleanup();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.at(0), a);
    EXPECT_EQ(list.at(1), b);
}

TEST(SoundList, AcquireAddsAHolder)
{
    SOUNDLIST list;
    SOUND* a = list.load("a.wav");
    EXPECT_EQ(a->acquire(), a);
    list.release(a);
    EXPECT_EQ(list.find("a.wav"), a);
}
