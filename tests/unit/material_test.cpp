// Without a GL context: materials, the material list, the texture list, the
// procedural models' parameters and colour schemes, the stroke font's layout
// through its recording target (how and in which pass things draw is the
// golden frames' business), and the sound list.
#include <gtest/gtest.h>

#include <allegro.h>
#include <GL/gl.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "render/hcmodel.h"
#include "render/material.h"
#include "render/strokefont.h"
#include "render/texture.h"
#include "render/utf8_text.h"
#include "scene/states.h"
#include "sound/sounds.h"
#include "test_allegro.h"
#include "test_wav.h"

TEST(Material, KeepsACopyOfItsNameScalesSpecularAndRecordsItsSwitches)
{
    char name[] = "hull";
    MATERIAL m(name);
    name[0] = 'x';
    EXPECT_STREQ(m.get_name(), "hull");
    m.set_specular(0.1f, 0.2f, 0.5f);
    m.set_shine_strength(2.0f);
    float rgb[3];
    m.get_scaled_specular(rgb[0], rgb[1], rgb[2]);
    EXPECT_EQ(std::vector<float>(rgb, rgb + 3), (std::vector<float>{0.2f, 0.4f, 1.0f}));
    m.set_specular(0.25f, 0.5f, 0.75f);  // the strength holds for a later colour
    m.get_scaled_specular(rgb[0], rgb[1], rgb[2]);
    EXPECT_EQ(std::vector<float>(rgb, rgb + 3), (std::vector<float>{0.5f, 1.0f, 1.5f}));
    select_blend_func(GL_ONE, GL_ONE);
    light_materials = true;
    m.execute();
    EXPECT_TRUE(lights_enabled() && bfc_enabled());
    EXPECT_FALSE(blend_enabled());
    light_materials = false;
    m.set_two_sided(MATERIAL_TWO_SIDED);
    m.execute();
    EXPECT_FALSE(lights_enabled() || bfc_enabled());
}

TEST(MaterialList, FindIsCaseSensitiveAndFallsBackToTheFirstAndNamesAreMadeValidUtf8)
{
    MATERIAL_LIST list;
    EXPECT_EQ(list.find("a"), nullptr);
    list.add(nullptr);
    MATERIAL* unnamed = new MATERIAL(nullptr);
    MATERIAL* glass = new MATERIAL("Glass");
    MATERIAL* glass2 = new MATERIAL("Glass");
    const char* evil = "\xFD\xBF\xBF\xBF\xBF\xBF";  // sends Allegro's width count into an endless loop
    MATERIAL* odd = new MATERIAL(evil);
    for (MATERIAL* m : {unnamed, glass, glass2, odd})
        list.add(m);
    EXPECT_TRUE(list.get_count() == 4u && list.get(2) == glass2 && list.get(4) == nullptr);
    EXPECT_TRUE(list.find("Glass") == glass && list.find("glass") == unnamed && list.find(nullptr) == unnamed);
    EXPECT_TRUE(list.find(evil) == odd && odd->get_name() == valid_utf8(evil));
    // Already UTF-8 (its bounds: the file-name rule's test); Latin-1; an
    // overlong zero; a surrogate; cut short.
    const char* texts[][2] = {{nullptr, ""}, {"gr\xC3\xBC\xC3\x9F", "gr\xC3\xBC\xC3\x9F"}, {"caf\xE9", "caf\xC3\xA9"},
                              {"\xC0\x80", "\xC3\x80\xC2\x80"}, {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},
                              {"\xE2\x82", "\xC3\xA2\xC2\x82"}};
    for (auto& t : texts)
        EXPECT_EQ(valid_utf8(t[0]), t[1]);
}

TEST(SoundList, OneSoundPerFileHeldUntilItsLastHolderLetsGo)
{
    TEMP_DIR dir;
    dir.write("hum.wav", make_wav_bytes(0.1f, 440.0f, 0.5f));
    dir.write("buzz.wav", make_wav_bytes(0.1f, 220.0f, 0.5f));
    SOUND* other = soundlist.load(dir.file("buzz.wav").c_str());  // listed first, held once
    SOUND* a = soundlist.load(dir.file("hum.wav").c_str());
    EXPECT_TRUE(soundlist.load(dir.file("hum.wav").c_str()) == a && a->get_sample() && a->release() == a);
    soundlist.release(a);  // the last holder: gone from the list, the other one left alone
    EXPECT_EQ(soundlist.find(dir.file("hum.wav").c_str()), nullptr);
    EXPECT_TRUE(soundlist.find(dir.file("buzz.wav").c_str()) == other && other->get_refcount() == 1);
    soundlist.release(other);
}

TEST(TextureList, OneEntryPerNameWhateverTheCaseAndClearEmptiesIt)
{
    ensure_headless_allegro();
    clear_texture_list();  // the sprite becomes the first entry: lookups start there
    TEXTURE* a = find_texture("&Sprite_A");
    EXPECT_EQ(find_texture("&sprite_a"), a);
    TEXTURE* missing = find_texture("no-such-file-here.bmp");  // listed, empty
    EXPECT_TRUE(missing->get_width() == 0 && texlist[1] == missing);
    EXPECT_TRUE(find_texture(nullptr) == nullptr && add_texture(nullptr) == -1);
    EXPECT_TRUE(assign_texture("&SPRITE_a", nullptr, 0) == a && nrtex == 2);
    MATERIAL m("m");
    m.set_texture("&SPRITE_A");
    m.execute();
    EXPECT_EQ(current_tex, a);
    clear_texture_list();
    EXPECT_TRUE(nrtex == 0 && texlist == nullptr && current_tex == nullptr);
}

TEST(ProceduralModels, ParametersTakeMagnitudesAndCountsHaveAFloor)
{
    LASER_MODEL laser(1, 1, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f);
    float values[2] = {-5.0f, -0.25f};
    laser.set_parameters(0, 1, values);  // the length alone
    EXPECT_FLOAT_EQ(laser.get_length() + laser.get_r(), 6.0f);
    laser.set_parameters(0, 2, values);
    EXPECT_FLOAT_EQ(laser.get_length() + laser.get_r(), 5.25f);
    laser.set_color(1, 0.9f, 0.8f, 0.7f);  // 1 the tip, 0 the ring, others nothing
    laser.set_color(5, 1, 1, 1);
    EXPECT_EQ(std::vector<float>(laser.get_tip_color(), laser.get_tip_color() + 3), (std::vector<float>{0.9f, 0.8f, 0.7f}));
    EXPECT_FLOAT_EQ(laser.get_ring_color()[2], 0.3f);
    TEX_PLANE_MODEL plane(nullptr, 100);
    for (auto [bit5, bit6, mode] : {std::tuple{0.5f, 0.0f, 1}, {0.5f, 0.5f, 3}, {0.49f, 1.0f, 2}, {0.0f, 0.49f, 0}}) {
        plane.set_parameter(5, bit5);
        plane.set_parameter(6, bit6);
        EXPECT_EQ(plane.get_blend_mode(), mode) << bit5 << " " << bit6;
    }
    for (auto [segments, want] : {std::pair{0.0f, 3}, {36.7f, 36}}) {
        plane.set_parameter(9, segments);
        EXPECT_EQ(plane.get_segments(), want);
    }
    SPHERE_MODEL sky(10, 0, 0, 1, 0, 1, 0, 1, 0, 0);
    sky.set_parameter(1, 2.9f);
    sky.set_parameter(2, 1.0f);
    EXPECT_EQ(sky.get_slices() * 100 + sky.get_stacks(), 402);
    sky.set_parameter(1, 1e30f);  // absurd values do not overflow
    EXPECT_GT(sky.get_slices(), 4);
    sky.set_parameter(0, -7.0f);
    EXPECT_FLOAT_EQ(sky.get_radius(), 7.0f);
    sky.set_color(3, 0.9f, 0.9f, 0.9f);
    sky.set_color(2, 0.3f, 0.3f, 0.3f);
    EXPECT_EQ(std::vector<float>(sky.get_color(2), sky.get_color(2) + 3), (std::vector<float>{0.3f, 0.3f, 0.3f}));
    EXPECT_FLOAT_EQ(sky.get_color(0)[2], 1.0f);
    SPHERE_RING_MODEL ring(5, 1, 1, 1);
    ring.set_parameter(1, -1.0f);
    EXPECT_EQ(ring.get_slices(), 4);
}

TEST(ProceduralModels, FireballColourSchemesFollowIntensity)
{
    FIREBALL_MODEL yellow(8, 6, FIREBALL_YELLOW), red(8, 6, FIREBALL_RED), grey(8, 6, 7);
    const struct { FIREBALL_MODEL* f; float v, r, g, b; } ramp[] = {
        {&yellow, 1, 1, 1, 1}, {&yellow, 0.75f, 1, 1, 0.5f}, {&yellow, 0.25f, 0.5f, 0.5f, 0}, {&red, 0.2f, 0.6f, 0, 0},
        {&red, 0.5f, 1, 0.5f, 0}, {&red, 0.8f, 1, 1, 0.4f}, {&red, 2, 1, 1, 1} /* clamped */, {&grey, -1, 0, 0, 0},
        {&grey, NAN, 0, 0, 0}, {&grey, 0.5f, 0.5f, 0.5f, 0.5f}};
    for (const auto& c : ramp) {
        c.f->set_intensity(c.v);
        c.f->update_color();
        const float* rgb = c.f->get_color();
        EXPECT_NEAR(fabsf(rgb[0] - c.r) + fabsf(rgb[1] - c.g) + fabsf(rgb[2] - c.b), 0, 1e-6f) << c.v;
    }
    EXPECT_FLOAT_EQ(red.get_intensity(), 1.0f);
}

namespace {

// The glyphs drawn and the x of each.
std::string drawn(const STROKE_RECORDER& r, std::vector<float>* x = nullptr)
{
    std::string s;
    for (const auto& g : r.glyphs) {
        s += (char)g.c;
        if (x)
            x->push_back(g.x);
    }
    return s;
}

}  // namespace

TEST(StrokeFontLayout, AlignmentsTabsSpacesPrintfAndMenusPlaceTheGlyphsAndKeepThePen)
{
    struct CASE {
        void (*out)(const char*, STROKE_TARGET&);
        const char* text;
        std::string glyphs;
        std::vector<float> x;
    } cases[] = {
        {stroke_textout_c, "AB", "AB", {-8, 0}},  // centred: -8 .. 8
        {stroke_textout_r, "abc", "abc", {-24, -16, -8}},
        {[](const char* t, STROKE_TARGET& r) { stroke_textout_ll(t, 2, r); }, "ab", "ab", {-4, 4}},
        {stroke_textout, "a\tb c", "abc", {0, 40, 56}},  // a tab moves four cells, a space one
        {stroke_textout, "\xc3\xa9t\xff\x7f", "t\x7f", {0, 8}},  // bytes above 127 neither draw nor move; DEL does
        {[](const char* t, STROKE_TARGET& r) { stroke_printf(r, t, 42.0); }, "%5.0f", "42", {24, 32}},
        {[](const char* t, STROKE_TARGET& r) { stroke_printf_c(r, t, 59.84f); }, "FPS: %1.1f", "FPS:59.8",
         {-36, -28, -20, -12, 4, 12, 20, 28}},  // nine bytes, centred
        {stroke_menu_textout, "&File", "_File", {0, 0, 8, 16, 24}},  // F over its underscore
        {stroke_menu_textout, "&&x", "&_x", {0, 8, 8}},  // a doubled ampersand draws one
        {stroke_menu_textout_c, "&Quit", "_Quit", {-16, -16, -8, 0, 8}},
        {stroke_menu_textout_r, "&Quit", "_Quit", {-32, -32, -24, -16, -8}},
        {[](const char* t, STROKE_TARGET& r) { stroke_menu_textout_with_tab(t, 200.0f, r); }, "&Open\tCtrl+&O",
         "_OpenCtrl+_O", {0, 0, 8, 16, 24, 152, 160, 168, 176, 184, 192, 192}},  // the text after the tab ends at 200
        {[](const char* t, STROKE_TARGET& r) { stroke_menu_textout_with_tab(t, 200.0f, r); }, "Exit&", "Exit_",
         {0, 8, 16, 24, 32}},  // the trailing mark underlines nothing after it
    };
    for (const CASE& c : cases) {
        STROKE_RECORDER r;
        c.out(c.text, r);
        std::vector<float> x;
        EXPECT_EQ(drawn(r, &x), c.glyphs) << c.text;
        EXPECT_EQ(x, c.x) << c.text;
        for (const auto& g : r.glyphs)  // one line: all on the baseline
            EXPECT_EQ(g.y, 0.0f) << c.text;
        EXPECT_TRUE(r.x == 0.0f && r.pushes == r.pops && r.pops > 0) << c.text;  // the pen is back where it was
    }
    STROKE_RECORDER pad;
    stroke_printf(pad, "%5.0f|%s", 42.0, std::string(600, 'x').c_str());
    EXPECT_EQ(pad.max_x * 1000 + pad.glyphs.size(), 4088000 + 508);  // five cells padded; cut to 511 bytes
    STROKE_RECORDER none;
    stroke_printf_r(none, nullptr);
    stroke_textout(nullptr, none);
    stroke_menu_textout(nullptr, none);
    stroke_menu_textout_with_tab(nullptr, 10.0f, none);
    for (int b : {128, 160, 255, 0, 1, 10, 13, 31})
        stroke_draw_char((char)b, none);
    EXPECT_EQ(none.glyphs.size() + none.pushes + none.x, 0u);
    for (auto [text, width] : {std::pair{"&File", 4}, {"a\tb", 6}, {"&&x", 2}, {"ab&", 2}, {"", 0}, {nullptr, 0}})
        EXPECT_EQ(stroke_menu_text_width(text), width) << (text ? text : "null");
}
