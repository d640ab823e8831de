// Materials, the material list and the texture list, without a GL context:
// what they store, find and record in the render-state cache.
#include <gtest/gtest.h>

#include <allegro.h>
#include <GL/gl.h>

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
    float rgb[3];
    m.get_scaled_specular(rgb[0], rgb[1], rgb[2]);
    EXPECT_EQ(std::vector<float>(rgb, rgb + 3), (std::vector<float>{0.2f, 0.4f, 1.0f}));
    m.set_specular(0.25f, 0, 0);  // the strength holds for a later colour
    m.get_scaled_specular(rgb[0], rgb[1], rgb[2]);
    EXPECT_FLOAT_EQ(rgb[0], 0.5f);
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
    // Already UTF-8; Latin-1; an overlong zero; a surrogate; cut short.
    const char* texts[][2] = {{nullptr, ""}, {"gr\xC3\xBC\xC3\x9F", "gr\xC3\xBC\xC3\x9F"}, {"caf\xE9", "caf\xC3\xA9"},
                              {"\xC0\x80", "\xC3\x80\xC2\x80"}, {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},
                              {"\xE2\x82", "\xC3\xA2\xC2\x82"}};
    for (auto& t : texts)
        EXPECT_EQ(valid_utf8(t[0]), t[1]);
}

TEST(TextureList, OneEntryPerNameWhateverTheCaseAndClearEmptiesIt)
{
    ensure_headless_allegro();
    int before = nrtex;
    TEXTURE* a = find_texture("&Sprite_A");
    EXPECT_EQ(find_texture("&sprite_a"), a);
    TEXTURE* missing = find_texture("no-such-file-here.bmp");  // listed, empty
    EXPECT_TRUE(missing->get_width() == 0 && texlist[before + 1] == missing);
    EXPECT_TRUE(find_texture(nullptr) == nullptr && add_texture(nullptr) == -1);
    EXPECT_TRUE(assign_texture("&SPRITE_a", nullptr, 0) == a && nrtex == before + 2);
    MATERIAL m("m");
    m.set_texture("&SPRITE_A");
    m.execute();
    EXPECT_EQ(current_tex, a);
    clear_texture_list();
    EXPECT_TRUE(nrtex == 0 && texlist == nullptr && current_tex == nullptr);
}
