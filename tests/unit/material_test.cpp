// Materials, the material list and the texture list, without a GL context:
// what they store, find and record in the render-state cache.
#include <gtest/gtest.h>

#include <allegro.h>
#include <GL/gl.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/material.h"
#include "render/texture.h"
#include "render/utf8_text.h"
#include "scene/states.h"
#include "test_allegro.h"

TEST(Material, KeepsACopyOfItsNameScalesSpecularAndRecordsItsSwitches)
{
    char name[] = "hull";
    MATERIAL m(name);
    name[0] = 'x';
    EXPECT_STREQ(m.get_name(), "hull");
    m.set_specular(0.1f, 0.2f, 0.5f);
    m.set_shine_strength(2.0f);
    float r, g, b;
    m.get_scaled_specular(r, g, b);
    EXPECT_FLOAT_EQ(r, 0.2f);
    EXPECT_FLOAT_EQ(g, 0.4f);
    EXPECT_FLOAT_EQ(b, 1.0f);

    select_blend_func(GL_ONE, GL_ONE);
    light_materials = true;
    m.execute();
    EXPECT_TRUE(lights_enabled() && bfc_enabled());
    EXPECT_FALSE(blend_enabled());
    light_materials = false;
    m.set_two_sided(MATERIAL_TWO_SIDED);
    m.execute();
    EXPECT_FALSE(lights_enabled() || bfc_enabled());
    EXPECT_EQ(current_tex, nullptr);
}

TEST(MaterialList, FindIsCaseSensitiveAndFallsBackToTheFirst)
{
    MATERIAL_LIST list;
    EXPECT_EQ(list.find("a"), nullptr);
    list.add(nullptr);
    MATERIAL* unnamed = new MATERIAL(nullptr);
    MATERIAL* glass = new MATERIAL("Glass");
    MATERIAL* glass2 = new MATERIAL("Glass");
    list.add(unnamed);
    list.add(glass);
    list.add(glass2);
    EXPECT_EQ(list.get_count(), 3u);
    EXPECT_EQ(list.find("Glass"), glass);
    EXPECT_EQ(list.find("glass"), unnamed);
    EXPECT_EQ(list.find(nullptr), unnamed);
    EXPECT_EQ(list.get(2), glass2);
    EXPECT_EQ(list.get(3), nullptr);
}

TEST(TextureList, OneEntryPerNameWhateverTheCaseAndClearEmptiesIt)
{
    ensure_headless_allegro();
    int before = nrtex;
    TEXTURE* a = find_texture("&Sprite_A");
    EXPECT_EQ(find_texture("&sprite_a"), a);
    TEXTURE* missing = find_texture("no-such-file-here.bmp");  // listed, empty
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->get_width(), 0);
    EXPECT_EQ(texlist[before + 1], missing);
    EXPECT_EQ(find_texture(nullptr), nullptr);
    EXPECT_EQ(add_texture(nullptr), -1);
    EXPECT_EQ(assign_texture("&SPRITE_a", nullptr, 0), a);
    EXPECT_EQ(nrtex, before + 2);
    MATERIAL m("m");
    m.set_texture("&SPRITE_A");
    EXPECT_EQ(m.get_texture(), a);
    select_texture(a);
    EXPECT_EQ(current_tex, a);
    clear_texture_list();
    EXPECT_EQ(nrtex, 0);
    EXPECT_EQ(texlist, nullptr);
    EXPECT_EQ(current_tex, nullptr);
}

TEST(TextureUpload, RowsReachOpenGlInRgbaOrderWhateverAllegroKeeps)
{
    ensure_headless_allegro();
    unsigned char row[16];
    auto pixel = [&](int at, int n) { return std::vector<int>(row + at, row + at + n); };
    BITMAP* b32 = create_bitmap_ex(32, 3, 2);
    putpixel(b32, 2, 1, makeacol32(200, 100, 50, 40));
    memset(row, 0xAB, sizeof row);
    texture_convert_row(b32, 1, row);
    EXPECT_EQ(pixel(8, 8), (std::vector<int>{200, 100, 50, 40, 0xAB, 0xAB, 0xAB, 0xAB}));  // no more than the row
    destroy_bitmap(b32);
    BITMAP* b24 = create_bitmap_ex(24, 3, 1);
    putpixel(b24, 1, 0, makecol24(1, 2, 3));
    texture_convert_row(b24, 0, row);
    EXPECT_EQ(pixel(3, 3), (std::vector<int>{1, 2, 3}));
    destroy_bitmap(b24);
    BITMAP* b16 = create_bitmap_ex(16, 1, 1);
    putpixel(b16, 0, 0, makecol16(255, 0, 0));
    texture_convert_row(b16, 0, row);
    EXPECT_EQ(pixel(0, 4), (std::vector<int>{255, 0, 0, 255}));
    destroy_bitmap(b16);
    BITMAP* b8 = create_bitmap_ex(8, 2, 1);
    putpixel(b8, 1, 0, 77);
    texture_convert_row(b8, 0, row);
    EXPECT_EQ(row[1], 77);
    destroy_bitmap(b8);
    for (int depth : {8, 24, 32})
        EXPECT_EQ(texture_upload_bytes_per_pixel(depth), depth / 8);
}

TEST(NamesFromFiles, MalformedUtf8IsReencodedBeforeAllegroSeesIt)
{
    EXPECT_EQ(valid_utf8(nullptr), "");
    EXPECT_EQ(valid_utf8("gr\xC3\xBC\xC3\x9F"), "gr\xC3\xBC\xC3\x9F");   // already UTF-8
    EXPECT_EQ(valid_utf8("caf\xE9"), "caf\xC3\xA9");                    // Latin-1
    EXPECT_EQ(valid_utf8("\xC0\x80"), "\xC3\x80\xC2\x80");              // overlong zero
    EXPECT_EQ(valid_utf8("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");  // surrogate
    EXPECT_EQ(valid_utf8("\xE2\x82"), "\xC3\xA2\xC2\x82");              // cut short
    // A six-byte form decoding past 2^30 sends Allegro's character width
    // count into an endless loop; as a name here it is harmless.
    const char* evil = "\xFD\xBF\xBF\xBF\xBF\xBF";
    MATERIAL_LIST list;
    list.add(new MATERIAL("first"));
    MATERIAL* named = new MATERIAL(evil);
    list.add(named);
    EXPECT_EQ(std::string(named->get_name()), valid_utf8(evil));
    EXPECT_EQ(list.find(evil), named);
    ensure_headless_allegro();
    TEXTURE* t = find_texture("&\xFD\xBF\xBF\xBF\xBF\xBF");
    EXPECT_EQ(find_texture("&\xFD\xBF\xBF\xBF\xBF\xBF"), t);
}
