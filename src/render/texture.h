// TEXTURE: an OpenGL texture object made from an Allegro bitmap, and the one
// global list every texture lives in, found by name.
#pragma once

#include <allegro.h>

// Flag bits of TEXTURE::assign.
enum : int {
    TEXTURE_8BIT_CHANNELS = 1,  // 8 bits per channel inside OpenGL, else 4
    TEXTURE_MIPMAPS = 2,        // every mipmap level, trilinear minification
    TEXTURE_CLAMP_S = 4,        // clamp s, else repeat
    TEXTURE_CLAMP_T = 8,        // clamp t, else repeat
};

class TEXTURE {
public:
    // Copies the name, makes an OpenGL texture name and loads the image the
    // name refers to. Names starting with '&' are filled only by assign().
    explicit TEXTURE(const char* name);
    TEXTURE(const TEXTURE&) = delete;
    TEXTURE& operator=(const TEXTURE&) = delete;
    ~TEXTURE();

    // Loads data_path + "textures/" + name. A missing or unreadable file
    // leaves the texture without an image and says nothing.
    void reload();
    // Uploads bmp (8-bit: alpha only; 15/16/24/32-bit: colour) with the
    // TEXTURE_* flags. Binds the texture directly, so current_tex is not
    // told. Does nothing for a null bitmap or without an OpenGL name.
    void assign(BITMAP* bmp, int flags);

    const char* get_name() const { return name; }  // never null
    unsigned get_gl_name() const { return gl_name; }  // 0 without a GL context
    int get_width() const { return width; }    // of the last upload, 0 before
    int get_height() const { return height; }

private:
    char* name = nullptr;  // owned, malloc'ed
    unsigned gl_name = 0;
    int width = 0;
    int height = 0;
};

extern TEXTURE** texlist;              // every texture, in order of creation
extern int nrtex;                      // entries in texlist
extern TEXTURE* current_tex;           // bound for drawing; null = texturing off
extern int texture_load_color_depth;   // bits per pixel texture files are loaded at

// Appends t and answers its index; -1 for null.
int add_texture(TEXTURE* t);
// The first texture whose name equals name ignoring case; on a miss a new
// texture of that name is made, loaded and listed, so every name asked for
// gets an entry. Null only when name is null.
TEXTURE* find_texture(const char* name);
// find_texture(name), then upload bmp into it: run-time pictures replace
// their image in place each call.
TEXTURE* assign_texture(const char* name, BITMAP* bmp, int flags);
// Destroys every texture and empties the list; texturing is switched off.
void clear_texture_list();
// Binds t for drawing (null: texturing off). Issues no OpenGL call when t is
// already selected.
void select_texture(TEXTURE* t);

// Converts one row of pixels to the byte order OpenGL is given: R,G,B for
// 24-bit, R,G,B,A for every other colour depth, the bytes as they are for
// 8-bit. Answers the bytes per output pixel (1, 3 or 4).
int texture_upload_bytes_per_pixel(int depth);
void texture_convert_row(BITMAP* bmp, int y, unsigned char* out);
