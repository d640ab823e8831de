#include "vessel/vessel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "equipment/gun.h"
#include "game/globals.h"
#include "render/hudmodel.h"
#include "scene/vec3.h"
#include "ui/colors.h"
#include "vessel/definitions.h"

float standard_acceleration_time = 4.0f;  // s
float vessel_stabilizer_strength = 0.05f; // command per m/s
float vessel_rstabilizer_fac = 0.01f;     // command per angle unit/s
float vessel_rstabilizer_trate = 128.0f;  // angle units/s at full input
float vessel_hstabilizer_trate = 64.0f;   // angle units/s per radian of bank
float vessel_long_distance_fac = 5.0f;    // set-point factor
float pilot_glance_rate = 128.0f;         // angle units/s
float hud_viewdist = 1.0f;                // m
float vessel_hull_energy_output = 5.0f;   // MW

static const float RADIANS_TO_ANGLE = 128.0f / (float)M_PI;

int get_team_relation(int a, int b)
{
    if (a == 0 || b == 0)
        return 0;
    return a == b ? 1 : -1;
}

static float clamp1(float v) { return std::clamp(v, -1.0f, 1.0f); }

// The HUD model of a HUD node, or null when the node or its model is gone.
static HUDMODEL* hud_model(THING* node)
{
    return node ? dynamic_cast<HUDMODEL*>(node->get_model()) : nullptr;
}

// ------------------------------------------------------------ life

VESSEL::VESSEL()
{
    set_flags(THING_EXPLODABLE | THING_PASSIVE_COLLIDER | THING_TARGETABLE | THING_ON_RADAR |
              THING_GROUND_CHECK);
    set_type_string("X-1");
    set_id_string("alpha 1");

    pilot = new THING(this);
    add_child(pilot);
    pilot->locate_rel(pilot_pos);
    cockpit = new THING(this);
    cockpit->set_flags(THING_HIDDEN);
    add_child(cockpit);
    hud_velocity = make_hud_node(HUD_VELOCITY, 0.005f);
    hud_rvelocity = make_hud_node(HUD_RVELOCITY, 0.005f);
    hud_boresight = make_hud_node(HUD_BORESIGHT, 0.01f);
    hud_aim = make_hud_node(HUD_AIM, 0.0075f);
    hud_speed = make_hud_node(HUD_TAPE_LEFT, 0.1f);
    hud_altitude = make_hud_node(HUD_TAPE_RIGHT, 0.1f);
    hud_target = make_hud_node(HUD_SQUARE, 0.05f);
    hud_target_dir = make_hud_node(HUD_POINTER, 0.09f);
    place_eye_marks();
    cur_gun = find_next_gun(-1, -1);  // no slots yet: none until items are fitted
}

VESSEL::~VESSEL()
{
    // The items go with the children.
    for (VESSEL_SLOT*& s : slot) {
        delete s;
        s = nullptr;
    }
    for (BITMAP*& b : mfd_bmp) {
        if (b)
            destroy_bitmap(b);
        b = nullptr;
    }
}

THING* VESSEL::make_hud_node(unsigned style, float size)
{
    THING* node = new THING(this);
    HUDMODEL* m = new HUDMODEL();
    m->set_style(style);
    m->set_size(size);
    node->set_model(m);
    add_child(node);
    return node;
}

// ------------------------------------------------------------ THING

const char* VESSEL::get_thingtype_string() { return "VESSEL"; }

void VESSEL::get_vel(float* out)
{
    for (int i = 0; i < 3; i++)
        out[i] = vel[i];
}

void VESSEL::get_rot(float* out)
{
    for (int i = 0; i < 3; i++)
        out[i] = rot[i];
}

int VESSEL::get_team() { return team; }
float VESSEL::get_shield() { return shield; }
float VESSEL::get_max_shield() { return max_shield; }
void VESSEL::reduce_shield(float amount) { shield -= amount; }

float VESSEL::get_m()
{
    float m = mass;
    for (VESSEL_SLOT* s : slot)
        if (s && s->thing)
            m += s->thing->get_m();
    return m;
}

// What a heat seeker sees: the glow of the burning engines.
float VESSEL::get_heat()
{
    float h = 0.0f;
    for (VESSEL_SLOT* s : slot)
        if (s && s->thing)
            h += s->thing->get_heat();
    return h;
}

THING* VESSEL::crop_spawn()
{
    for (VESSEL_SLOT* s : slot) {
        if (s && s->thing) {
            if (THING* t = s->thing->crop_spawn()) {
                t->set_owner(this);
                return t;
            }
        }
    }
    for (THING* c = first_child; c; c = c->get_next())
        if (THING* t = c->crop_spawn())
            return t;
    return nullptr;
}

void VESSEL::handle_ground_intersect()
{
    puts("Ground intersect!");
    explode();
    explosion_delay_counter = 0.0f;
    for (int i = 0; i < 3; i++)
        vel[i] = rot[i] = 0.0f;
}

// ------------------------------------------------------------ resources and motion

void VESSEL::update_resources(float)
{
    energy_need = 0.0f;
    energy_output = vessel_hull_energy_output;
    for (VESSEL_SLOT* s : slot) {
        if (!s || !s->thing)
            continue;
        SLOTTHING* item = s->thing;
        // Gun triggers are held only for the frame that fire() pulls them.
        item->set_trigger(false);
        if (max_shield != 0.0f)
            item->update_shield_charge(shield / max_shield);
        energy_output += item->get_energy_output();
        energy_need += item->get_energy_need();
    }
    if (energy_need == 0.0f)
        return;
    // Everyone gets the same share of what they asked for, more than asked
    // when the supply exceeds the demand.
    float ratio = energy_output / energy_need;
    for (VESSEL_SLOT* s : slot)
        if (s && s->thing)
            s->thing->consume_energy(s->thing->get_energy_need() * ratio);
}

void VESSEL::get_impulse(float* p)
{
    float m = get_m();
    for (int i = 0; i < 3; i++)
        p[i] = vel[i] * m;
}

void VESSEL::set_impulse(float* p)
{
    float m = std::max(get_m(), 0.01f);
    for (int i = 0; i < 3; i++)
        vel[i] = p[i] / m;
}

void VESSEL::set_rotation(float* r)
{
    for (int i = 0; i < 3; i++)
        rot[i] = r[i];
}

void VESSEL::set_team(int n) { team = n; }

// ------------------------------------------------------------ slots

int VESSEL::add_slot()
{
    for (int i = 0; i < MAX_SLOTS; i++) {
        if (!slot[i]) {
            slot[i] = new VESSEL_SLOT{identity_matrix_f, nullptr, 0};
            return i;
        }
    }
    return -1;
}

int VESSEL::add_slot(MATRIX_f& matrix, int type)
{
    int i = add_slot();
    if (i >= 0) {
        slot[i]->matrix = matrix;
        slot[i]->slot_type = type;
    }
    return i;
}

bool VESSEL::fill_slot(int index, SLOTTHING* item)
{
    if (index < 0 || index >= MAX_SLOTS || !slot[index] || slot[index]->thing || !item)
        return false;
    add_child(item);
    item->set_rel(slot[index]->matrix);
    item->set_parent(this);
    slot[index]->thing = item;
    // A freshly fitted shield generator is full.
    max_shield += item->get_max_shield();
    shield += item->get_max_shield();
    shield_charge_rate += item->get_shield_charge_rate();
    return true;
}

THING* VESSEL::get_slot_item(int index)
{
    if (index < 0 || index >= MAX_SLOTS || !slot[index])
        return nullptr;
    return slot[index]->thing;
}

void VESSEL::clear_slot(int index)
{
    if (index < 0 || index >= MAX_SLOTS || !slot[index] || !slot[index]->thing)
        return;
    SLOTTHING* item = slot[index]->thing;
    max_shield -= item->get_max_shield();
    shield_charge_rate -= item->get_shield_charge_rate();
    slot[index]->thing = nullptr;
    remove_child(item);
    max_shield = std::max(max_shield, 0.0f);
    shield_charge_rate = std::max(shield_charge_rate, 0.0f);
    shield = std::min(shield, max_shield);
}

int VESSEL::get_slot_type(int index) const
{
    if (index < 0 || index >= MAX_SLOTS || !slot[index])
        return -1;
    return slot[index]->slot_type;
}

const VESSEL_SLOT* VESSEL::get_slot(int index) const
{
    if (index < 0 || index >= MAX_SLOTS)
        return nullptr;
    return slot[index];
}

// Every item leaves through clear_slot, so the shield sums lose what it
// brought: a reloaded vessel does not keep the recharge of its old shields.
void VESSEL::remove_all_slots()
{
    for (int i = 0; i < MAX_SLOTS; i++) {
        if (!slot[i])
            continue;
        clear_slot(i);
        delete slot[i];
        slot[i] = nullptr;
    }
}

// ------------------------------------------------------------ sums

void VESSEL::get_rm(float* rm)
{
    for (int i = 0; i < 3; i++)
        rm[i] = rmass[i];
    for (VESSEL_SLOT* s : slot) {
        if (s && s->thing) {
            float r[3];
            s->thing->get_rm(r);
            for (int i = 0; i < 3; i++)
                rm[i] += r[i];
        }
    }
}

// Sums a three-component answer of every item.
static void sum_items(VESSEL_SLOT* const* slot, void (SLOTTHING::*get)(float*), float* out)
{
    out[0] = out[1] = out[2] = 0.0f;
    for (int k = 0; k < MAX_SLOTS; k++) {
        if (slot[k] && slot[k]->thing) {
            float v[3];
            (slot[k]->thing->*get)(v);
            for (int i = 0; i < 3; i++)
                out[i] += v[i];
        }
    }
}

void VESSEL::get_force(float* f)
{
    if (flags & (THING_DEAD | THING_EXPLODING)) {
        f[0] = f[1] = f[2] = 0.0f;
        return;
    }
    sum_items(slot, &SLOTTHING::get_force, f);
}

void VESSEL::get_rforce(float* t)
{
    if (flags & (THING_DEAD | THING_EXPLODING)) {
        t[0] = t[1] = t[2] = 0.0f;
        return;
    }
    sum_items(slot, &SLOTTHING::get_rforce, t);
}

void VESSEL::get_max_forces(float* f6)
{
    for (int i = 0; i < 6; i++)
        f6[i] = 0.0f;
    for (VESSEL_SLOT* s : slot) {
        if (s && s->thing) {
            float v[6];
            s->thing->get_max_forces(v);
            for (int i = 0; i < 6; i++)
                f6[i] += v[i];
        }
    }
}

float VESSEL::get_stabilizer_speed()
{
    float m = get_m();
    if (m == 0.0f)
        return 0.0f;
    float aforce = 0.0f;
    for (VESSEL_SLOT* s : slot)
        if (s && s->thing)
            aforce += s->thing->get_max_aforce();
    return aforce * standard_acceleration_time / m;
}

// ------------------------------------------------------------ steering

void VESSEL::_set_thrust(float value, int axis)
{
    for (VESSEL_SLOT* s : slot)
        if (s && s->thing)
            s->thing->set_thrust(value, axis);
}

void VESSEL::set_thrust(float value, int axis)
{
    // A device that answers nonsense commands nothing rather than NaN.
    if (!std::isfinite(value))
        value = 0.0f;
    if (axis >= 0 && axis <= 5)
        thrust_input[axis] = clamp1(value);
    if (axis >= 0 && axis <= 2) {
        target_vel[axis] = get_stabilizer_speed() * value;
        if (stabilizer)
            return;
    } else if (axis >= 3 && axis <= 5) {
        target_vel[axis] = value * vessel_rstabilizer_trate;
        // Rolls the wings level: the bank is the angle of the vessel's x
        // and z axes against the world's up.
        if (axis == 4 && hstabilizer)
            target_vel[4] -= atan2f(abs.v[2][0], abs.v[2][2]) * vessel_hstabilizer_trate;
        if (rstabilizer)
            return;
    }
    _set_thrust(value, axis);
}

void VESSEL::match_speed(float v)
{
    set_stabilizer(true);
    float s = get_stabilizer_speed();
    // Without thrusters there is no speed to match.
    if (!(s > 0.0f)) {
        set_thrust(0.0f, 1);
        set_long_distance(false);
        return;
    }
    if (v > s) {
        set_thrust(v / (s * vessel_long_distance_fac), 1);
        set_long_distance(true);
    } else {
        set_thrust(v / s, 1);
        set_long_distance(false);
    }
}

void VESSEL::set_trigger(bool on) { trigger = on; }
void VESSEL::set_stabilizer(bool on) { stabilizer = on; }
void VESSEL::set_rstabilizer(bool on) { rstabilizer = on; }
void VESSEL::set_hstabilizer(bool on) { hstabilizer = on; }
void VESSEL::set_long_distance(bool on) { long_distance = on; }
void VESSEL::toggle_stabilizer() { stabilizer = !stabilizer; }
void VESSEL::toggle_long_distance() { long_distance = !long_distance; }

void VESSEL::toggle_rstabilizer()
{
    rstabilizer = !rstabilizer;
    hstabilizer = false;
}

void VESSEL::toggle_rhstabilizer()
{
    if (hstabilizer) {
        rstabilizer = false;
        hstabilizer = false;
    } else if (rstabilizer) {
        hstabilizer = true;
    } else {
        rstabilizer = true;
    }
}

bool VESSEL::get_stabilizer() { return stabilizer; }
bool VESSEL::get_rstabilizer() { return rstabilizer; }
bool VESSEL::get_hstabilizer() { return hstabilizer; }
bool VESSEL::get_long_distance() { return long_distance; }
void VESSEL::set_shield_percent(float p) { shield = fabsf(p) * max_shield * 0.01f; }

// ------------------------------------------------------------ cockpit

void VESSEL::hud_on()
{
    for (THING* n : {hud_velocity, hud_rvelocity, hud_boresight, hud_aim, hud_speed, hud_altitude,
                     hud_target, hud_target_dir, cockpit})
        if (n)
            n->clear_flags(THING_HIDDEN);
}

void VESSEL::hud_off()
{
    for (THING* n : {hud_velocity, hud_rvelocity, hud_boresight, hud_aim, hud_speed, hud_altitude,
                     hud_target, hud_target_dir, cockpit})
        if (n)
            n->set_flags(THING_HIDDEN);
}

THING* VESSEL::get_pilot()
{
    update_pilot_matrix();
    return pilot;
}

void VESSEL::set_pilot(float yaw, float pitch, bool immediate)
{
    head_target[0] = std::clamp(yaw, -96.0f, 96.0f);
    head_target[1] = std::clamp(pitch, -64.0f, 64.0f);
    if (immediate) {
        head_angle[0] = head_target[0];
        head_angle[1] = head_target[1];
    }
    pilot_valid = false;
}

// The tapes stand beside the boresight, one view distance ahead of the eye;
// the other marks are placed every tick.
void VESSEL::place_eye_marks()
{
    for (THING* n : {hud_boresight, hud_speed, hud_altitude, hud_target_dir})
        n->locate_rel(pilot_pos[0], pilot_pos[1] + hud_viewdist, pilot_pos[2]);
}

void VESSEL::update_pilot_matrix()
{
    if (pilot_valid && pilot)
        return;
    if (!pilot) {
        pilot = new THING(this);
        add_child(pilot);
        pilot->locate_rel(pilot_pos);
    }
    MATRIX_f m;
    get_rotation_matrix_f(&m, -head_angle[1], 0.0f, head_angle[0]);
    for (int i = 0; i < 3; i++)
        m.t[i] = pilot->get_rel().t[i];
    pilot->set_rel(m);
    pilot_valid = true;
}

void VESSEL::turn_head(float dt)
{
    float step = pilot_glance_rate * dt;
    for (int c = 0; c < 2; c++) {
        if (head_angle[c] == head_target[c])
            continue;
        float d = head_target[c] - head_angle[c];
        if (fabsf(d) <= step)
            head_angle[c] = head_target[c];
        else
            head_angle[c] += d > 0.0f ? step : -step;
        pilot_valid = false;
    }
}

// ------------------------------------------------------------ MFD screens, targeting, guns

// The screens and the radar are in mfd.cpp.

THING* VESSEL::get_target() { return target; }
void VESSEL::set_target(THING* t) { target = t; }

// The four selections are in targeting.cpp.

// Gun grouping and firing are in firing.cpp.

// ------------------------------------------------------------ tick

void VESSEL::stabilize_linear(float m)
{
    float mf[6];
    get_max_forces(mf);
    for (int axis = 0; axis < 3; axis++) {
        float c;
        if (axis == 1 && long_distance) {
            c = (vessel_long_distance_fac * target_vel[1] - lvel[1]) * vessel_stabilizer_strength;
        } else {
            c = (target_vel[axis] - lvel[axis]) * vessel_stabilizer_strength;
            // A quarter of the thrust that would carry the weight; without
            // any force along z there is nothing to carry it with.
            if (axis == 2 && mf[2] != 0.0f)
                c += m * gravity * 0.25f / mf[2];
        }
        _set_thrust(c, axis);
    }
}

void VESSEL::stabilize_rotation()
{
    for (int axis = 3; axis < 6; axis++)
        _set_thrust((target_vel[axis] - rot[axis - 3]) * vessel_rstabilizer_fac, axis);
}

void VESSEL::integrate(float dt, float m)
{
    float f[3];
    get_force(f);
    for (int i = 0; i < 3; i++)
        acc[i] = f[i] / m;
    acc[2] -= gravity;
    for (int i = 0; i < 3; i++)
        vel[i] += dt * acc[i];

    float rm[3], t[3];
    get_rm(rm);
    get_rforce(t);
    for (int i = 0; i < 3; i++) {
        racc[i] = t[i] / (rm[i] != 0.0f ? rm[i] : 0.001f);
        rot[i] += dt * racc[i] * RADIANS_TO_ANGLE;
    }
}

void VESSEL::update_target_marks()
{
    HUDMODEL* box = hud_model(hud_target);
    HUDMODEL* arrow = hud_model(hud_target_dir);
    if (!box || !arrow)
        return;
    THING* t = target;
    int color = 16;
    if (t && (t->get_flags() & THING_TARGETABLE)) {
        int relation = get_team_relation(t->get_team(), team);
        color = relation < 0 ? 15 : relation > 0 ? 17 : 16;
    }
    float rgba[4];
    get_kvor_color(color, rgba, 4);
    box->set_color(0, rgba);
    arrow->set_color(0, rgba);

    if (!t) {
        hud_target->locate_rel(pilot_pos);  // inside the eye: not seen
        arrow->set_value(0.0f);
        arrow->set_delta(0.0f);
        for (VESSEL_SLOT* s : slot)
            if (s && s->thing)
                s->thing->calibrate(0.0f);
        return;
    }
    float w[3], d[3];
    for (int i = 0; i < 3; i++)
        w[i] = t->get_abs().t[i] - abs.t[i];
    for (int j = 0; j < 3; j++)
        d[j] = abs.v[0][j] * w[0] + abs.v[1][j] * w[1] + abs.v[2][j] * w[2];
    float angle = 0.0f;
    if ((d[0] == 0.0f && d[1] == 0.0f && d[2] == 0.0f) || t == this) {
        for (VESSEL_SLOT* s : slot)
            if (s && s->thing)
                s->thing->calibrate(0.0f);
        box->set_size(0.01f);
        hud_target->locate_rel(pilot_pos[0], pilot_pos[1] + hud_viewdist, pilot_pos[2]);
    } else {
        float dist = length3(d);
        for (VESSEL_SLOT* s : slot)
            if (s && s->thing)
                s->thing->calibrate(dist);
        float f = hud_viewdist / dist;
        for (float& c : d)
            c *= f;
        angle = atan2f(d[0], d[2]);
        arrow->set_delta(hypotf(d[0], d[2]) * d[1]);
        hud_target->locate_rel(pilot_pos[0] + d[0], pilot_pos[1] + d[1], pilot_pos[2] + d[2]);
        float size = t->get_radius() * f;
        box->set_size(std::max(0.01f, size));  // NaN too
    }
    arrow->set_value(angle);
}

void VESSEL::update_hud()
{
    if (HUDMODEL* h = hud_model(hud_altitude)) {
        h->set_value(abs.t[2]);
        h->set_delta(vel[2]);
    }
    float speed = length3(lvel);
    if (HUDMODEL* h = hud_model(hud_speed)) {
        float forward = acc[0] * abs.v[0][1] + acc[1] * abs.v[1][1] + acc[2] * abs.v[2][1];
        float a = length3(acc);
        h->set_value(speed);
        h->set_delta(forward > 0.0f ? a : -a);
    }
    HUDMODEL* marker = hud_model(hud_velocity);
    if (marker && hud_model(hud_rvelocity)) {
        float ahead[3] = {0.0f, hud_viewdist, 0.0f};
        if (speed > 0.1f) {
            for (int i = 0; i < 3; i++)
                ahead[i] = lvel[i] * hud_viewdist / speed;
        }
        marker->set_style(speed > 0.1f ? HUD_VELOCITY : HUD_AT_REST);
        hud_velocity->locate_rel(pilot_pos[0] + ahead[0], pilot_pos[1] + ahead[1],
                                 pilot_pos[2] + ahead[2]);
        hud_rvelocity->locate_rel(pilot_pos[0] - ahead[0], pilot_pos[1] - ahead[1],
                                  pilot_pos[2] - ahead[2]);
    }
    place_aim_mark();
    update_target_marks();
}

// With a gun of slot type exactly SLOT_GUN selected, the mark shows the
// direction its shots travel in, the vessel's motion included; otherwise it
// waits behind the eye.
void VESSEL::place_aim_mark()
{
    if (!hud_model(hud_aim))
        return;
    SLOTTHING* item = item_at(cur_gun);
    GUN* gun = item && item->get_slottype() == SLOT_GUN ? dynamic_cast<GUN*>(item) : nullptr;
    if (!gun) {
        hud_aim->locate_rel(pilot_pos[0], pilot_pos[1] - hud_viewdist, pilot_pos[2]);
        return;
    }
    const MATRIX_f& g = gun->get_abs();
    float w[3], l[3];
    for (int i = 0; i < 3; i++)
        w[i] = vel[i] + gun->get_bullet_speed() * g.v[i][1];
    for (int j = 0; j < 3; j++)
        l[j] = abs.v[0][j] * w[0] + abs.v[1][j] * w[1] + abs.v[2][j] * w[2];
    float len = length3(l);
    if (len > 0.0f)
        for (float& c : l)
            c *= hud_viewdist / len;
    hud_aim->locate_rel(pilot_pos[0] + l[0], pilot_pos[1] + l[1], pilot_pos[2] + l[2]);
}

void VESSEL::tick(float dt)
{
    update_resources(dt);
    if (fire_delay > 0.0f)
        fire_delay -= dt;
    if (!trigger)
        launch_spent = false;
    if (fire_delay <= 0.0f && trigger)
        fire();
    if (target && (target->get_flags() & (THING_DEAD | THING_EXPLODING)))
        target = nullptr;
    shield += dt * shield_charge_rate;
    shield = std::min(shield, max_shield);

    for (int j = 0; j < 3; j++)
        lvel[j] = abs.v[0][j] * vel[0] + abs.v[1][j] * vel[1] + abs.v[2][j] * vel[2];
    float m = std::max(get_m(), 0.01f);
    if (stabilizer)
        stabilize_linear(m);
    if (rstabilizer)
        stabilize_rotation();
    integrate(dt, m);
    update_hud();

    MATRIX_f turn, move;
    get_rotation_matrix_f(&turn, dt * rot[0], dt * rot[1], dt * rot[2]);
    rtransform_rel(turn);
    get_translation_matrix_f(&move, dt * vel[0], dt * vel[1], dt * vel[2]);
    transform_rel(move);

    turn_head(dt);
    update_pilot_matrix();
    if (pilot)
        pilot->locate_rel(pilot_pos);
    THING::tick(dt);
}

// ------------------------------------------------------------ read-outs

void VESSEL::get_acc(float* out) const
{
    for (int i = 0; i < 3; i++)
        out[i] = acc[i];
}

void VESSEL::get_lvel(float* out) const
{
    for (int i = 0; i < 3; i++)
        out[i] = lvel[i];
}

void VESSEL::get_head_angle(float* out) const
{
    out[0] = head_angle[0];
    out[1] = head_angle[1];
}

void VESSEL::get_pilot_pos(float* out) const
{
    for (int i = 0; i < 3; i++)
        out[i] = pilot_pos[i];
}

void VESSEL::get_hull_rmass(float* out) const
{
    for (int i = 0; i < 3; i++)
        out[i] = rmass[i];
}
