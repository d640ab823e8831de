#include "data_model.h"

#include <cstdio>
#include <memory>

#include "json_writer.h"
#include "render/load3ds.h"
#include "render/material.h"
#include "render/meshmodel.h"
#include "render/texture.h"

namespace {

void colour(std::string& out, const char* key, float r, float g, float b)
{
    out += ",\"";
    out += key;
    out += "\":[";
    json_number(out, r);
    out += ',';
    json_number(out, g);
    out += ',';
    json_number(out, b);
    out += ']';
}

}  // namespace

std::string describe_model_json(MESHMODEL* mesh)
{
    std::string out = "{\"vertices\":";
    out += std::to_string(mesh->get_nr_vtx());
    out += ",\"faces\":";
    out += std::to_string(mesh->get_nr_face());
    out += ",\"radius\":";
    json_number(out, mesh->get_r());
    out += ",\"bbox\":[";
    float box[6];
    mesh->get_bounding_box(box);
    for (int k = 0; k < 6; k++) {
        if (k)
            out += ',';
        json_number(out, box[k]);
    }
    out += "],\"materials\":[";
    for (unsigned long i = 0; i < mesh->get_nr_material(); i++) {
        MATERIAL* m = mesh->get_material(i);
        float r, g, b;
        if (i)
            out += ',';
        out += "{\"name\":";
        json_string(out, m->get_name());
        m->get_ambient(r, g, b);
        colour(out, "ambient", r, g, b);
        m->get_diffuse(r, g, b);
        colour(out, "diffuse", r, g, b);
        m->get_specular(r, g, b);
        colour(out, "specular", r, g, b);
        out += ",\"shininess\":";
        json_number(out, m->get_shininess());
        out += ",\"two_sided\":";
        json_bool(out, m->get_two_sided() & MATERIAL_TWO_SIDED);
        out += ",\"texture\":";
        json_string(out, m->get_texture() ? m->get_texture()->get_name() : nullptr);
        out += '}';
    }
    out += "]}";
    return out;
}

int data_model_command(int argc, char** argv)
{
    if (argc != 1) {
        fprintf(stderr, "usage: sortie-data model FILE.3ds\n");
        return 2;
    }
    std::unique_ptr<MESHMODEL> mesh(load3ds(argv[0], nullptr));
    if (!mesh) {
        fprintf(stderr, "%s: %s\n", argv[0], LOAD3DS_ERROR_STRING);
        return 1;
    }
    printf("%s\n", describe_model_json(mesh.get()).c_str());
    return 0;
}
