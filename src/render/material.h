// MATERIAL: how a group of mesh faces is lit, coloured, textured and culled;
// MATERIAL_LIST: a mesh's materials, the first being its default.
#pragma once

#include <vector>

class TEXTURE;

extern bool light_materials;   // materials set lit colours (else a flat colour)
extern float null_color[4];    // RGBA (0, 0, 0, 1): the specular every material uses
extern bool smooth_light;      // meshes send corner normals instead of face normals

// Bit of MATERIAL's two-sided flag word.
enum : unsigned { MATERIAL_TWO_SIDED = 1 };

class MATERIAL {
public:
    explicit MATERIAL(const char* name);  // copies the name; null allowed
    MATERIAL(const MATERIAL&) = delete;
    MATERIAL& operator=(const MATERIAL&) = delete;
    ~MATERIAL();

    void set_name(const char* name);  // null allowed
    const char* get_name() const { return name; }  // may be null

    void set_emitted(float r, float g, float b);
    void set_ambient(float r, float g, float b);
    void set_diffuse(float r, float g, float b);
    void set_specular(float r, float g, float b);  // also rescales the scaled specular
    void set_shininess(float s);                  // 0..1
    void set_shine_strength(float s);             // 0..1, also rescales the scaled specular
    void set_two_sided(unsigned bits) { two_sided = bits; }
    void set_texture(TEXTURE* t);         // not owned
    void set_texture(const char* name);   // find_texture(name)

    void get_emitted(float& r, float& g, float& b) const;
    void get_ambient(float& r, float& g, float& b) const;
    void get_diffuse(float& r, float& g, float& b) const;
    void get_specular(float& r, float& g, float& b) const;
    void get_scaled_specular(float& r, float& g, float& b) const;
    float get_shininess() const { return shininess; }
    float get_shine_strength() const { return shine_strength; }
    unsigned get_two_sided() const { return two_sided; }
    TEXTURE* get_texture() const { return texture; }

    // Applies the material: colours, texture, culling, blending off.
    void execute();
    // Only the colour part of execute(): the calls OpenGL accepts between
    // glBegin and glEnd. Meshes use it inside their triangle batch.
    void execute_colors();
    // Only the switches of execute(): lighting as light_materials says,
    // culling unless two-sided, blending off. Meshes use it before their
    // batch, so their faces are lit however the model before them left the
    // lights.
    void execute_switches();

private:
    char* name = nullptr;  // owned, malloc'ed; may be null
    float emitted[3] = {0.0f, 0.0f, 0.0f};
    float ambient[3] = {0.5f, 0.5f, 0.5f};
    float diffuse[3] = {0.5f, 0.5f, 0.5f};
    float specular[3] = {0.0f, 0.0f, 0.0f};
    float scaled_specular[3] = {0.0f, 0.0f, 0.0f};  // specular x shine strength
    float shininess = 0.0f;
    float shine_strength = 0.5f;
    unsigned two_sided = 0;       // MATERIAL_TWO_SIDED: both sides drawn
    TEXTURE* texture = nullptr;   // not owned; the texture list keeps it
};

class MATERIAL_LIST {
public:
    MATERIAL_LIST() = default;
    MATERIAL_LIST(const MATERIAL_LIST&) = delete;
    MATERIAL_LIST& operator=(const MATERIAL_LIST&) = delete;
    ~MATERIAL_LIST();  // destroys every material

    void add(MATERIAL* m);  // takes ownership; null is ignored
    // The first material named exactly name (case matters); the first
    // material of all when name is null or matches none; null when empty.
    MATERIAL* find(const char* name) const;
    MATERIAL* get(unsigned int i) const;  // null past the end
    unsigned int get_count() const { return (unsigned int)materials.size(); }

private:
    std::vector<MATERIAL*> materials;  // owned, exactly as many slots as materials
};
