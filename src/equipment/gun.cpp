#include "equipment/gun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "effects/bullet.h"
#include "effects/missile.h"
#include "game/globals.h"
#include "render/load3ds.h"
#include "render/meshmodel.h"
#include "render/hcmodel.h"
#include "sound/sounds.h"
#include "ui/colors.h"
#include "vessel/definitions.h"

float max_calib_angle = 0.0174533f;  // rad (one degree)

// Projectile lifetimes and arming delays, s.
static const float SHELL_LIFE_TIME = 2.0f;
static const float LASER_LIFE_TIME = 5.0f;
static const float BULLET_ARM_TIME = 0.2f;
// A shell is drawn as long as it flies in a sixtieth of a second.
static const float SHELL_FRAMES_PER_SECOND = 60.0f;
// A laser bolt's ring is this many times thinner than the bolt is long.
static const float LASER_LENGTH_PER_RADIUS = 40.0f;
// A rocket burns this long and is armed once clear of the pod, s.
static const float ROCKET_BURN_TIME = 8.0f;
static const float ROCKET_ARM_TIME = 0.2f;
// Every rocket looks the same: one model, read at the pod's first shot.
static const char* const ROCKET_MODEL_FILE = "dumb_missile.3ds";  // under data_path

GUN::GUN()
    : tech(GUN_CONVENTIONAL),
      bullet_color{1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f},
      bullet_size(0.1f),
      bullet_speed(100.0f),
      bullet_power(1.0f),
      reload_interval(1.0f),
      reload_timer(0.0f),
      ammo(0.0f),
      max_ammo(0.0f),
      ammo_charge(0.0f),
      ammo_rate(0.0f),
      trigger(false),
      hotspot(new THING()),
      fire_sound(nullptr),
      detonate_sound(nullptr),
      rocket_model(nullptr),
      rocket_model_read(false)
{
    add_child(hotspot);
}

GUN::~GUN()
{
    soundlist.release(fire_sound);
    soundlist.release(detonate_sound);
    delete_model(rocket_model);
}

const char* GUN::get_thingtype_string() { return "GUN"; }

float GUN::get_m()
{
    float m = SLOTTHING::get_m();
    if (tech == GUN_ROCKET)
        m += ammo * (MISSILE::get_base_m(MISSILE_DUMB) + MISSILE::get_m_per_power(MISSILE_DUMB) * bullet_power);
    else if (tech == GUN_CONVENTIONAL)
        m += ammo * bullet_power;
    return m;
}

// ------------------------------------------------------------ settings

void GUN::set_tech(int t) { tech = t; }
int GUN::get_tech() { return tech; }

void GUN::set_bullet_color(const float* c)
{
    for (int i = 0; i < 6; i++)
        bullet_color[i] = c[i];
}

void GUN::set_bullet_color(float r0, float g0, float b0, float r1, float g1, float b1)
{
    const float c[6] = {r0, g0, b0, r1, g1, b1};
    set_bullet_color(c);
}

void GUN::set_bullet_size(float s) { bullet_size = std::max(s, 0.01f); }
void GUN::set_bullet_speed(float s) { bullet_speed = std::clamp(s, 0.1f, 500.0f); }
float GUN::get_bullet_speed() { return bullet_speed; }
void GUN::set_bullet_power(float p) { bullet_power = std::clamp(p, 0.0f, 10000.0f); }
void GUN::set_reload_interval(float r) { reload_interval = std::max(r, 0.0f); }
float GUN::get_reload_interval() { return reload_interval; }

void GUN::set_maxammo(float m)
{
    max_ammo = std::max(m, 0.0f);
    ammo = std::min(ammo, max_ammo);
}

float GUN::get_maxammo() { return max_ammo; }
void GUN::set_ammo(float a) { ammo = std::clamp(a, 0.0f, max_ammo); }
float GUN::get_ammo() { return ammo; }
void GUN::set_ammocharge(float c) { ammo_charge = c; }
void GUN::set_trigger(bool on) { trigger = on; }
bool GUN::trigger_lock() { return reload_timer > 0.0f; }

void GUN::load_fire_sample(const char* path)
{
    soundlist.release(fire_sound);
    fire_sound = soundlist.load(path);
}

void GUN::load_detonate_sound(const char* path)
{
    soundlist.release(detonate_sound);
    detonate_sound = soundlist.load(path);
}

// ------------------------------------------------------------ energy

float GUN::get_energy_need()
{
    if (tech == GUN_LASER && ammo < max_ammo)
        return bullet_power * ammo_charge;
    return 0.0f;
}

void GUN::consume_energy(float e)
{
    if (tech == GUN_LASER) {
        // A bolt without power costs nothing: it recharges at full rate.
        float affordable = bullet_power > 0.0f ? e / bullet_power : ammo_charge;
        ammo_rate = affordable < ammo_charge ? affordable : ammo_charge;
    } else if (tech == GUN_ROCKET) {
        ammo_rate = ammo_charge;
    }
}

// ------------------------------------------------------------ firing

void GUN::tick(float dt)
{
    THING::tick(dt);
    ammo += dt * ammo_rate;
    ammo = std::min(ammo, max_ammo);
    reload_timer -= dt;
    reload_timer = std::max(reload_timer, 0.0f);
}

THING* GUN::crop_spawn()
{
    if (!trigger || reload_timer != 0.0f || ammo < 1.0f)
        return nullptr;
    // The spawn harvest asks again until nobody answers: without a reload
    // interval a held trigger would empty the magazine in one frame, so one
    // pull of the trigger is one shot.
    trigger = false;
    reload_timer = reload_interval;
    ammo -= 1.0f;
    THING* p = create_bullet();
    if (!p)
        return nullptr;
    p->set_explosion_sound(detonate_sound ? detonate_sound->acquire() : nullptr);
    play_sound(fire_sound, false);
    p->set_owner(parent);
    return p;
}

void GUN::launch(BULLET* p)
{
    p->set_explosion_color(bullet_color);
    const MATRIX_f& muzzle = hotspot->get_abs();
    p->set_rel(muzzle);
    float v[3] = {0.0f, 0.0f, 0.0f};
    if (parent)
        parent->get_vel(v);
    for (int i = 0; i < 3; i++)
        v[i] += bullet_speed * muzzle.v[i][1];
    p->set_vel(v);
    p->set_power(bullet_power);
}

THING* GUN::create_bullet()
{
    BULLET* p = nullptr;
    if (tech == GUN_CONVENTIONAL) {
        p = new BULLET(SHELL_LIFE_TIME, BULLET_ARM_TIME);
        p->set_model(new BULLET_MODEL(bullet_size, bullet_speed / SHELL_FRAMES_PER_SECOND));
    } else if (tech == GUN_LASER) {
        p = new BULLET(LASER_LIFE_TIME, BULLET_ARM_TIME);
        const float* c = bullet_color;
        p->set_model(new LASER_MODEL(bullet_size, bullet_size / LASER_LENGTH_PER_RADIUS, c[0], c[1], c[2],
                                     c[3], c[4], c[5]));
    } else if (tech == GUN_ROCKET) {
        return create_rocket();
    } else {
        return nullptr;  // the launchers make their own missiles
    }
    launch(p);
    return p;
}

// An unguided missile as fast as the muzzle speed, accelerating and
// turning at that same rate, its flame in the second colour.
THING* GUN::create_rocket()
{
    if (!rocket_model_read) {
        // A held trigger must not read a file per shot.
        rocket_model_read = true;
        char path[1024];
        snprintf(path, sizeof path, "%s%s", data_path, ROCKET_MODEL_FILE);
        rocket_model = load3ds(path, nullptr);
        if (rocket_model)
            rocket_model->acquire();
    }
    MISSILE* m = new MISSILE(ROCKET_BURN_TIME, ROCKET_ARM_TIME, MISSILE_DUMB, nullptr, bullet_speed, bullet_speed);
    m->set_model(rocket_model);
    m->set_flame_color(bullet_color + 3);
    launch(m);
    return m;
}

void GUN::calibrate(float d)
{
    MATRIX_f m;
    const MATRIX_f& r = get_rel();
    float v[3] = {-r.t[0], d - r.t[1], -r.t[2]};
    if (d == 0.0f) {
        m = identity_matrix_f;
    } else {
        float theta = atan2f(sqrtf(v[0] * v[0] + v[2] * v[2]), v[1]);  // 0 when the point is the muzzle
        float a = std::clamp(-theta, -max_calib_angle, max_calib_angle);
        get_x_rotate_matrix_f(&m, a * 128.0f / (float)M_PI);
    }
    const MATRIX_f& old = hotspot->get_rel();
    for (int i = 0; i < 3; i++)
        m.t[i] = old.t[i];
    hotspot->set_rel(m);
}

// ------------------------------------------------------------ status line

void GUN::paint_status(BITMAP* bmp, int x, int y, int w, int h)
{
    if (max_ammo != 0.0f) {
        int v = (int)((float)(w - h - 2) * ammo / max_ammo);
        int color = tech > 99 ? mfd_missile_color : mfd_laser_color;
        rectfill(bmp, x + h + 1, y + 1, x + h + v, y + h - 2, get_kvor_color(color));
    }
    int light = ammo < 1.0f ? 9 : trigger_lock() ? 11 : trigger ? 12 : 5;
    rectfill(bmp, x + 3, y + 3, x + h - 3, y + h - 4, get_kvor_color(light));

    // The text is cut to what fits in the box, 8 pixels a character.
    char text[400];
    if (max_ammo > 1.0f)
        snprintf(text, sizeof text, "%s %1.0f", name, ammo);
    else
        snprintf(text, sizeof text, "%s", name);
    int room = (w - h - 2) / 8 - 1;
    room = std::max(room, 0);
    if (room < (int)sizeof text)
        text[room] = 0;
    int ink = ammo >= 1.0f ? 12 : ammo_charge > 0.0f ? 9 : 4;
    textprintf_centre_ex(bmp, font, x + h + 1 + (w - h - 2) / 2, y + h / 2 - 4, get_kvor_color(ink), -1, "%s",
                         text);
}

// ------------------------------------------------------------ item file

// One number limited to low .. high; a value that had to be limited is
// reported. The setter applies the same limits.
static int read_limited(const char* rest, const char* key, float low, float high, float* out)
{
    float v = 0.0f;
    int used = read_definition_number(rest, &v, key);
    if (v < low)
        definition_report(rest, DEF_CLAMPED, "%s %g is below %g: %g is used", key, v, low, low);
    else if (v > high)
        definition_report(rest, DEF_CLAMPED, "%s %g is above %g: %g is used", key, v, high, high);
    *out = v;
    return used;
}

int GUN::handle_file_command(const char* key, const char* rest)
{
    char word[DEF_WORD_SIZE];
    float v = 0.0f;
    if (key_is(key, "TECH")) {
        int used = read_definition_word(word, sizeof word, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
        if (key_is(word, "LASER"))
            set_tech(GUN_LASER);
        else if (key_is(word, "CONVENTIONAL"))
            set_tech(GUN_CONVENTIONAL);
        else if (key_is(word, "ROCKET"))
            set_tech(GUN_ROCKET);
        else
            definition_report(rest, DEF_UNKNOWN_WORD,
                              "TECH '%.60s' is not LASER, CONVENTIONAL or ROCKET: ignored", word);
        return used;
    }
    if (key_is(key, "BSIZE")) {
        int used = read_limited(rest, key, 0.01f, 1e30f, &v);
        set_bullet_size(v);
        return used;
    }
    if (key_is(key, "BSPEED")) {
        int used = read_limited(rest, key, 0.1f, 500.0f, &v);
        set_bullet_speed(v);
        return used;
    }
    if (key_is(key, "BPOWER")) {
        int used = read_limited(rest, key, 0.0f, 10000.0f, &v);
        set_bullet_power(v);
        return used;
    }
    if (key_is(key, "BCOLOR")) {
        float c[6];
        int used = read_definition_numbers(rest, c, 6, key);
        set_bullet_color(c);
        return used;
    }
    if (key_is(key, "RELOAD")) {
        int used = read_limited(rest, key, 0.0f, 1e30f, &v);
        set_reload_interval(v);
        reload_timer = std::min(reload_timer, reload_interval);
        return used;
    }
    if (key_is(key, "HOTSPOT")) {
        float p[3];
        int used = read_definition_numbers(rest, p, 3, key);
        hotspot->locate_rel(p);
        return used;
    }
    if (key_is(key, "MAXAMMO")) {
        int used = read_limited(rest, key, 0.0f, 1e30f, &v);
        set_maxammo(v);
        set_ammo(get_maxammo());
        return used;
    }
    if (key_is(key, "AMMOCHARGE")) {
        int used = read_definition_number(rest, &v, key);
        set_ammocharge(v);
        return used;
    }
    bool fire = key_is(key, "FIRESOUND");
    if (fire || key_is(key, "DETONATESOUND")) {
        int used = read_definition_word(word, sizeof word, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
        SOUND*& held = fire ? fire_sound : detonate_sound;
        soundlist.release(held);
        held = load_definition_sound(word, rest);
        return used;
    }
    return SLOTTHING::handle_file_command(key, rest);
}
