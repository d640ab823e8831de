// The three definition readers over any bytes. The first byte chooses the
// reader (slot item, hull, configuration), the rest is the file's text. The
// data directory holds a few real files, so that configurations reach hulls
// and hulls reach items.
#include <allegro.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "game/globals.h"
#include "sound/sounds.h"
#include "vessel/definitions.h"
#include "vessel/item_factory.h"
#include "vessel/slotthing.h"
#include "vessel/vessel.h"

namespace {

// Reports must be terminated and point at a line of the file.
class CHECKING_SINK : public DEFINITION_SINK {
public:
    void report(const char* file, int line, DEFINITION_PROBLEM kind, const char* message) override
    {
        if (!file || !message || line < 0 || kind < DEF_MISSING_FILE || kind > DEF_UNKNOWN_WORD)
            abort();
        total += strlen(file) + strlen(message);
    }
    size_t total = 0;
};

CHECKING_SINK sink;
std::string data_dir;

void write(const char* name, const char* text) { if (!(std::ofstream(data_dir + name, std::ios::binary) << text)) abort(); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    char pattern[] = "/tmp/sortie-fuzz-XXXXXX";
    if (!mkdtemp(pattern))
        abort();
    data_dir = std::string(pattern) + "/";
    data_path = data_dir.c_str();
    write("j.sid", "THINGTYPE = JET\nNAME = Main\nPOWER = 100\nMASS = 3\n");
    write("r.sid", "THINGTYPE = RJET\nPOWER = 1, 2, 3, 4, 5, 6\n");
    write("s.sid", "THINGTYPE = SHIELD\nPOWER = 20\nCHARGE = 2\n");
    write("n.sid", "THINGTYPE = NUKEGEN\nFUEL = 4\n");
    write("h.vhd", "MASS = 10\nSLOT = J, 0,0,0, 0,1,0, 0,0,-1\nITEM = j.sid\n"
                   "SLOT = Ri, 0,0,0, 0,0,1, 0,1,0\nSLOT = X\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // Names climbing out of the data directory would read the machine's
    // other files through other libraries' loaders: not what is tested here.
    for (size_t i = 1; i + 1 < size; i++)
        if (data[i] == '.' && data[i + 1] == '.')
            return 0;
    int reader = (data[0] & 0x7f) % 3;
    definition_sink = (data[0] & 0x80) ? &sink : nullptr;
    {
        DEFINITION_TEXT text("fuzz", (const char*)data + 1, size - 1);
        if (reader == 0) {
            delete make_slot_item(text.get_text());
        } else {
            VESSEL v;
            if (reader == 1)
                v.parse_vhd(text.get_text());
            else
                v.parse_vcd(text.get_text());
            v.update_resources(1.0f / 60.0f);
            float f[3];
            v.get_force(f);
        }
    }
    definition_sink = nullptr;
    soundlist.cleanup();
    return 0;
}
