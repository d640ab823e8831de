// Plays an explosion through the real sound driver and checks what came out.
// Run by tests/e2e/explosion_sound.sh with HOME pointing at an ALSA
// configuration that writes everything played into a raw file (unsigned
// 16-bit stereo, silence 0x8000).
//   explosion_sound_probe CAPTURE_FILE WORK_DIR
// Exit 0 when the explosion's sound thing came and went with its sample and
// the capture holds the sample; 1 otherwise; 2 when there is no sound driver.
#include <allegro.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "effects/explosion.h"
#include "effects/soundthing.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/world.h"
#include "scene/thing.h"
#include "sound/sounds.h"
#include "test_wav.h"

namespace {

const float SAMPLE_SECONDS = 0.4f;
const int SILENCE = 0x8000;
const int LOUD = 2000;  // distance from silence that counts as sound

SOUNDTHING* find_sound_thing(THING* world)
{
    for (THING* c = world->get_first_child(); c; c = c->get_next())
        if (SOUNDTHING* s = dynamic_cast<SOUNDTHING*>(c))
            return s;
    return nullptr;
}

long loud_values(const std::string& path, long* total)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    long loud = 0;
    *total = (long)bytes.size() / 2;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        int v = bytes[i] | (bytes[i + 1] << 8);
        if (abs(v - SILENCE) > LOUD)
            loud++;
    }
    return loud;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: %s CAPTURE_FILE WORK_DIR\n", argv[0]);
        return 1;
    }
    std::string capture = argv[1], work = argv[2];
    install_allegro(SYSTEM_AUTODETECT, &errno, atexit);
    install_timer();
    reserve_voices(16, 0);
    if (install_sound(DIGI_AUTODETECT, MIDI_NONE, nullptr) != 0) {
        printf("no sound driver: %s\n", allegro_error);
        return 2;
    }
    printf("sound driver: %s\n", digi_driver ? digi_driver->name : "?");

    std::string wav = work + "/boom.wav";
    std::ofstream(wav, std::ios::binary) << make_wav_bytes(22050, SAMPLE_SECONDS, 440.0f, 0.8f);
    SOUND* boom = soundlist.load(wav.c_str());
    if (!boom || !boom->get_sample()) {
        printf("the test sample did not load\n");
        return 1;
    }

    GAME g;
    create_world_roots(g);
    THING* t = new THING();
    t->set_flags(THING_EXPLODABLE);
    t->set_explosion_sound(boom->acquire());
    t->locate_rel(0.0f, 10.0f, 1.8f);  // ten metres in front of the viewer
    g.world->add_child(t);
    t->explode();

    using clock = std::chrono::steady_clock;
    auto start = clock::now(), last = start;
    double appeared = -1, gone = -1;
    while (gone < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        auto now = clock::now();
        float dt = std::chrono::duration<float>(now - last).count();
        last = now;
        simulate_frame(g, dt);
        double at = std::chrono::duration<double>(now - start).count();
        bool present = find_sound_thing(g.world) != nullptr;
        if (present && appeared < 0)
            appeared = at;
        if (!present && appeared >= 0)
            gone = at;
        if (at > 10.0)
            break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the mixer's last buffers
    destroy_world(g);
    soundlist.release(boom);
    remove_sound();  // closes the device: the capture file is complete

    long total = 0;
    long loud = loud_values(capture, &total);
    printf("sound thing from %.2f s to %.2f s; capture: %ld values, %ld loud\n", appeared, gone, total, loud);
    bool ok = true;
    if (appeared < 0 || gone < 0) {
        printf("FAIL: the explosion's sound thing did not come and go\n");
        ok = false;
    } else if (gone - appeared < SAMPLE_SECONDS - 0.05 || gone - appeared > SAMPLE_SECONDS + 0.3) {
        printf("FAIL: the sound thing lived %.2f s for a %.2f s sample\n", gone - appeared, SAMPLE_SECONDS);
        ok = false;
    }
    // At least a quarter of the sample's length in loud values, both channels.
    if (loud < (long)(22050 * SAMPLE_SECONDS / 4)) {
        printf("FAIL: the capture is (nearly) silent\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
