// Materials, the material list and the texture list, without a GL context:
// what they store, find and record in the render-state cache.
#include <gtest/gtest.h>

#include <allegro.h>
#include <GL/gl.h>

#include <string>

#include "render/material.h"
#include "render/texture.h"
#include "render/utf8_text.h"
#include "scene/states.h"
#include "test_allegro.h"

TEST(Material, ScaledSpecularFollowsSpecularAndShineStrength)
{
    MATERIAL m("steel");
    m.set_specular(0.1f, 0.2f, 0.3f);
    m.set_shine_strength(2.0f);
    float r, g, b;
    m.get_scaled_specular(r, g, b);
    EXPECT_FLOAT_EQ(r, 0.2f);
    EXPECT_FLOAT_EQ(g, 0.4f);
    EXPECT_FLOAT_EQ(b, 0.6f);
    m.set_specular(1.0f, 0.0f, 0.5f);
    m.get_scaled_specular(r, g, b);
    EXPECT_FLOAT_EQ(r, 2.0f);
    EXPECT_FLOAT_EQ(b, 1.0f);
}

TEST(Material, DefaultsAndNamesAreCopied)
{
    char name[] = "hull";
    MATERIAL m(name);
    name[0] = 'x';
    EXPECT_STREQ(m.get_name(), "hull");
    float r, g, b;
    m.get_ambient(r, g, b);
    EXPECT_FLOAT_EQ(r, 0.5f);
    m.get_emitted(r, g, b);
    EXPECT_FLOAT_EQ(r, 0.0f);
    EXPECT_FLOAT_EQ(m.get_shine_strength(), 0.5f);
    EXPECT_EQ(m.get_texture(), nullptr);
    m.set_name(nullptr);
    EXPECT_EQ(m.get_name(), nullptr);
    EXPECT_EQ(MATERIAL(nullptr).get_name(), nullptr);
}

TEST(MaterialList, FindIsCaseSensitiveAndFallsBackToTheFirst)
{
    MATERIAL_LIST list;
    EXPECT_EQ(list.find(nullptr), nullptr);
    EXPECT_EQ(list.find("a"), nullptr);
    list.add(nullptr);
    EXPECT_EQ(list.get_count(), 0u);
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

TEST(Material, ExecuteRecordsLightsCullingAndBlendingInTheCache)
{
    MATERIAL m("m");
    select_blend_func(GL_ONE, GL_ONE);
    light_materials = true;
    m.execute();
    EXPECT_TRUE(lights_enabled());
    EXPECT_TRUE(bfc_enabled());
    EXPECT_FALSE(blend_enabled());
    light_materials = false;
    m.set_two_sided(MATERIAL_TWO_SIDED);
    m.execute();
    EXPECT_FALSE(lights_enabled());
    EXPECT_FALSE(bfc_enabled());
    EXPECT_EQ(current_tex, nullptr);
}

TEST(TextureList, FindIgnoresCaseAndListsEveryNameAskedFor)
{
    ensure_headless_allegro();
    int before = nrtex;
    TEXTURE* a = find_texture("&Sprite_A");
    TEXTURE* b = find_texture("&sprite_a");
    EXPECT_EQ(a, b);
    EXPECT_EQ(nrtex, before + 1);
    TEXTURE* missing = find_texture("no-such-file-here.bmp");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->get_width(), 0);
    EXPECT_EQ(nrtex, before + 2);
    EXPECT_EQ(texlist[before + 1], missing);
    EXPECT_EQ(find_texture(nullptr), nullptr);
    EXPECT_EQ(add_texture(nullptr), -1);
    EXPECT_EQ(nrtex, before + 2);
    EXPECT_EQ(assign_texture("&SPRITE_a", nullptr, 0), a);
    EXPECT_EQ(nrtex, before + 2);
}

TEST(TextureList, SelectRemembersTheTextureAndClearEmptiesTheList)
{
    TEXTURE* t = find_texture("&select");
    select_texture(t);
    EXPECT_EQ(current_tex, t);
    select_texture(t);
    EXPECT_EQ(current_tex, t);
    MATERIAL m("m");
    m.set_texture("&SELECT");
    EXPECT_EQ(m.get_texture(), t);
    select_texture(nullptr);
    EXPECT_EQ(current_tex, nullptr);
    select_texture(t);
    clear_texture_list();
    EXPECT_EQ(nrtex, 0);
    EXPECT_EQ(texlist, nullptr);
    EXPECT_EQ(current_tex, nullptr);
}

TEST(TextureUpload, RowsReachOpenGlInRgbaOrderWhateverAllegroKeeps)
{
    ensure_headless_allegro();
    BITMAP* b32 = create_bitmap_ex(32, 3, 2);
    putpixel(b32, 0, 0, makeacol32(10, 20, 30, 40));
    putpixel(b32, 2, 1, makeacol32(200, 100, 50, 255));
    unsigned char row[12];
    texture_convert_row(b32, 0, row);
    EXPECT_EQ(row[0], 10);
    EXPECT_EQ(row[1], 20);
    EXPECT_EQ(row[2], 30);
    EXPECT_EQ(row[3], 40);
    texture_convert_row(b32, 1, row);
    EXPECT_EQ(row[8], 200);
    EXPECT_EQ(row[9], 100);
    EXPECT_EQ(row[10], 50);
    EXPECT_EQ(row[11], 255);
    destroy_bitmap(b32);

    BITMAP* b24 = create_bitmap_ex(24, 3, 1);
    putpixel(b24, 1, 0, makecol24(1, 2, 3));
    texture_convert_row(b24, 0, row);
    EXPECT_EQ(row[3], 1);
    EXPECT_EQ(row[4], 2);
    EXPECT_EQ(row[5], 3);
    destroy_bitmap(b24);

    BITMAP* b16 = create_bitmap_ex(16, 1, 1);
    putpixel(b16, 0, 0, makecol16(255, 0, 0));
    texture_convert_row(b16, 0, row);
    EXPECT_EQ(row[0], 255);
    EXPECT_EQ(row[1], 0);
    EXPECT_EQ(row[3], 255);
    destroy_bitmap(b16);

    BITMAP* b8 = create_bitmap_ex(8, 2, 1);
    putpixel(b8, 1, 0, 77);
    texture_convert_row(b8, 0, row);
    EXPECT_EQ(row[1], 77);
    EXPECT_EQ(texture_upload_bytes_per_pixel(8), 1);
    EXPECT_EQ(texture_upload_bytes_per_pixel(24), 3);
    EXPECT_EQ(texture_upload_bytes_per_pixel(32), 4);
    destroy_bitmap(b8);
}

TEST(NamesFromFiles, MalformedUtf8IsReencodedBeforeAllegroSeesIt)
{
    EXPECT_EQ(valid_utf8(nullptr), "");
    EXPECT_EQ(valid_utf8("plain"), "plain");
    EXPECT_EQ(valid_utf8("gr\xC3\xBC\xC3\x9F"), "gr\xC3\xBC\xC3\x9F");   // already UTF-8
    EXPECT_EQ(valid_utf8("caf\xE9"), "caf\xC3\xA9");                    // Latin-1
    EXPECT_EQ(valid_utf8("\xC0\x80"), "\xC3\x80\xC2\x80");              // overlong zero
    EXPECT_EQ(valid_utf8("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");  // surrogate
    EXPECT_EQ(valid_utf8("\xE2\x82"), "\xC3\xA2\xC2\x82");              // cut short

    // A six-byte form decoding past 2^30 sends Allegro's character width
    // count into an endless loop; as a name here it is harmless.
    const char* evil = "\xFD\xBF\xBF\xBF\xBF\xBF";
    MATERIAL m(evil);
    EXPECT_EQ(std::string(m.get_name()), valid_utf8(evil));
    MATERIAL_LIST list;
    list.add(new MATERIAL("first"));
    MATERIAL* named = new MATERIAL(evil);
    list.add(named);
    EXPECT_EQ(list.find(evil), named);
    ensure_headless_allegro();
    TEXTURE* t = find_texture("&\xFD\xBF\xBF\xBF\xBF\xBF");
    EXPECT_EQ(find_texture("&\xFD\xBF\xBF\xBF\xBF\xBF"), t);
}
