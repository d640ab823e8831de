#include "render/texture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "game/globals.h"
#include "render/utf8_text.h"

TEXTURE** texlist = nullptr;
int nrtex = 0;
TEXTURE* current_tex = nullptr;
int texture_load_color_depth = 32;

namespace {

char* copy_name(const char* s)
{
    return ustrdup(valid_utf8(s).c_str());
}

// Allegro loads a file without an alpha channel into a 32-bit bitmap with
// every alpha byte 0; uploaded as it is, such a picture would vanish under
// any alpha blend. A picture with no alpha at all is meant to be opaque.
void make_opaque_without_alpha(BITMAP* bmp)
{
    if (bitmap_color_depth(bmp) != 32)
        return;
    for (int y = 0; y < bmp->h; y++) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(bmp->line[y]);
        for (int x = 0; x < bmp->w; x++)
            if (geta32(row[x]) != 0)
                return;
    }
    uint32_t opaque = 0xFFu << _rgb_a_shift_32;
    for (int y = 0; y < bmp->h; y++) {
        uint32_t* row = reinterpret_cast<uint32_t*>(bmp->line[y]);
        for (int x = 0; x < bmp->w; x++)
            row[x] |= opaque;
    }
}

}  // namespace

// ---------------------------------------------------------------- pixel rows

int texture_upload_bytes_per_pixel(int depth)
{
    if (depth == 8)
        return 1;
    if (depth == 24)
        return 3;
    return 4;
}

// Allegro keeps truecolour pixels in the byte order its shifts say (on this
// platform B,G,R,A in memory); OpenGL is told R,G,B(,A). Going through the
// get* helpers makes the upload right whatever the shifts are.
void texture_convert_row(BITMAP* bmp, int y, unsigned char* out)
{
    int depth = bitmap_color_depth(bmp);
    const unsigned char* line = bmp->line[y];
    switch (depth) {
    case 8:
        memcpy(out, line, bmp->w);
        return;
    case 24:
        for (int x = 0; x < bmp->w; x++) {
            const unsigned char* p = line + x * 3;
            int c = p[0] | (p[1] << 8) | (p[2] << 16);  // Allegro's READ3BYTES on little endian
            *out++ = getr24(c);
            *out++ = getg24(c);
            *out++ = getb24(c);
        }
        return;
    case 32:
        for (int x = 0; x < bmp->w; x++) {
            uint32_t c = reinterpret_cast<const uint32_t*>(line)[x];
            *out++ = getr32(c);
            *out++ = getg32(c);
            *out++ = getb32(c);
            *out++ = geta32(c);
        }
        return;
    default:  // 15 and 16 bit: colour only, opaque
        for (int x = 0; x < bmp->w; x++) {
            int c = getpixel(bmp, x, y);
            *out++ = getr_depth(depth, c);
            *out++ = getg_depth(depth, c);
            *out++ = getb_depth(depth, c);
            *out++ = 255;
        }
        return;
    }
}

// ---------------------------------------------------------------- TEXTURE

TEXTURE::TEXTURE(const char* n) : name(copy_name(n))
{
    GLuint id = 0;
    glGenTextures(1, &id);  // leaves id at 0 without a GL context
    gl_name = id;
    reload();
}

TEXTURE::~TEXTURE()
{
    free(name);
    if (gl_name) {
        GLuint id = gl_name;
        glDeleteTextures(1, &id);
    }
}

void TEXTURE::reload()
{
    set_color_depth(texture_load_color_depth);
    if (name[0] == '&')
        return;
    char path[512];
    int n = snprintf(path, sizeof path, "%stextures/%s", data_path, name);
    if (n < 0 || n >= (int)sizeof path)
        return;  // a path this long names no file of ours
    BITMAP* bmp = load_bitmap(path, nullptr);
    if (!bmp)
        return;
    make_opaque_without_alpha(bmp);
    assign(bmp, 0);
    destroy_bitmap(bmp);
}

void TEXTURE::assign(BITMAP* bmp, int flags)
{
    if (!gl_name || !bmp || bmp->w <= 0 || bmp->h <= 0)
        return;
    int depth = bitmap_color_depth(bmp);
    bool wide = flags & TEXTURE_8BIT_CHANNELS;
    GLenum format, internal;
    if (depth == 8) {
        format = GL_ALPHA;
        internal = GL_ALPHA8;
    } else if (depth == 24) {
        format = GL_RGB;
        internal = wide ? GL_RGB8 : GL_RGB4;
    } else {
        format = GL_RGBA;
        internal = wide ? GL_RGBA8 : GL_RGBA4;
    }

    // Rows are copied into one tight block: a bitmap's rows need not be
    // contiguous (sub-bitmaps) nor padded to OpenGL's 4-byte rows.
    int bpp = texture_upload_bytes_per_pixel(depth);
    std::vector<unsigned char> pixels((size_t)bmp->w * bmp->h * bpp);
    for (int y = 0; y < bmp->h; y++)
        texture_convert_row(bmp, y, &pixels[(size_t)y * bmp->w * bpp]);

    glBindTexture(GL_TEXTURE_2D, gl_name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, (flags & TEXTURE_CLAMP_S) ? GL_CLAMP : GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, (flags & TEXTURE_CLAMP_T) ? GL_CLAMP : GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    (flags & TEXTURE_MIPMAPS) ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (flags & TEXTURE_MIPMAPS)
        gluBuild2DMipmaps(GL_TEXTURE_2D, internal, bmp->w, bmp->h, format, GL_UNSIGNED_BYTE, pixels.data());
    else
        glTexImage2D(GL_TEXTURE_2D, 0, internal, bmp->w, bmp->h, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    width = bmp->w;
    height = bmp->h;
    // Back to what the selection cache believes is bound, or the next
    // select_texture of that texture would draw with this one.
    glBindTexture(GL_TEXTURE_2D, current_tex ? current_tex->get_gl_name() : 0);
}

// ---------------------------------------------------------------- the list

int add_texture(TEXTURE* t)
{
    if (!t)
        return -1;
    TEXTURE** grown = new TEXTURE*[nrtex + 1];
    for (int i = 0; i < nrtex; i++)
        grown[i] = texlist[i];
    grown[nrtex] = t;
    delete[] texlist;
    texlist = grown;
    return nrtex++;
}

TEXTURE* find_texture(const char* name)
{
    if (!name)
        return nullptr;
    std::string wanted = valid_utf8(name);
    for (int i = 0; i < nrtex; i++)
        if (ustricmp(texlist[i]->get_name(), wanted.c_str()) == 0)
            return texlist[i];
    TEXTURE* t = new TEXTURE(name);
    add_texture(t);
    return t;
}

TEXTURE* assign_texture(const char* name, BITMAP* bmp, int flags)
{
    TEXTURE* t = find_texture(name);
    if (t)
        t->assign(bmp, flags);
    return t;
}

void clear_texture_list()
{
    // Nothing selected may outlive its texture.
    select_texture(nullptr);
    for (int i = 0; i < nrtex; i++)
        delete texlist[i];
    delete[] texlist;
    texlist = nullptr;
    nrtex = 0;
}

void select_texture(TEXTURE* t)
{
    if (t == current_tex)
        return;
    if (!t) {
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
    } else {
        if (!current_tex)
            glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, t->get_gl_name());
    }
    current_tex = t;
}
