// bolts.cpp -- the gunship's 32 energy bolts: firing, flight to the right, expiry, and the hits on
// the wave's rocks and on the UFO with the score, wave and kill bookkeeping and the level-up test.
// Bolts 1 … 31 are byte copies of bolts[0] and share its frame surfaces and sequences.
#include "audio.h"
#include "game.h"

// ---- constants ----
static constexpr uint32_t BOLT_ATTR = SPRITE_ATTR_VISIBLE | SPRITE_ATTR_MULTI_ANIM;
static constexpr int MAX_AGE = 100;  // a bolt older than this many frames is spent
static constexpr int DRAW_OFFSET_X = 20;  // the picture is drawn this far right of the hit point
static const int32_t SEQUENCE_0[8] = {0, 1, 2, 3, 4, 5, 6, 7};
static const int32_t SEQUENCE_1[8] = {8, 9, 10, 11, 12, 13, 14, 15};

// ---- helpers ----

static int& bolt_age(Sprite& b) { return b.counters[COUNTER_BOLT_AGE]; }

static HitBox bolt_hit_box(const Sprite& b)
{
    return hit_box_at(b.int_vars[VAR_X], b.int_vars[VAR_Y], b, -0.5, -0.5, 0);
}

// A level-up only at the kill that empties a wave, after 5 kills below level 5 and 11 from it.
static void level_up_check()
{
    if (wave_rocks_left <= 0 && ((kills_since_level > 4 && level < 5) || (kills_since_level > 10 && level >= 5))) {
        kills_since_level = 0;
        level_up();
    }
}

static void rock_hit(Sprite& bolt, Sprite& rock)
{
    score += 100;
    ++kills_since_level;
    ++rocks_destroyed;
    --wave_rocks_left;
    frame_timer = 0;
    rock.state = 0;
    bolt.state = 0;
    bolt_age(bolt) = 0;
    level_up_check();
    explosion_burst(entity_x(bolt), entity_y(bolt), rock, EXPLOSION_AT_OWN);  // where the bolt is
}

// The UFO kill leaves the wave, the kill counts and frame_timer alone; its explosion drifts with
// the rock of this pass.
static void ufo_hit(Sprite& bolt, const Sprite& rock)
{
    score += 1000;
    ufo.state = 0;
    bolt.state = 0;
    bolt_age(bolt) = 0;
    explosion_burst(entity_x(bolt), entity_y(bolt), rock, EXPLOSION_AT_UFO);
}

// The wave's hit boxes for one pass over the bolts, each made the first time a bolt is tested
// against its rock: nothing in the pass moves a rock, and most frames have few live bolts.
struct RockBoxes {
    HitBox box[ROCK_COUNT];
    int made;  // rocks 0 … made - 1 have their box
};

static const HitBox& rock_box(RockBoxes& boxes, int j)
{
    for (; boxes.made <= j; ++boxes.made)
        boxes.box[boxes.made] = rock_hit_box(rocks[boxes.made]);
    return boxes.box[j];
}

// A bolt taken out in this frame is still tested against the rest of the wave, so one bolt may
// destroy several overlapping rocks; the UFO is tested once in the pass over each live rock.
static void bolt_hits(Sprite& bolt, RockBoxes& rock_boxes)
{
    const HitBox box = bolt_hit_box(bolt);
    // Only a level-up, inside a rock hit, launches the UFO anew: its box is made again after each hit.
    HitBox ufo_box = ufo_bolt_hit_box();
    // A level-up inside a rock hit widens the wave at once: the bound is read again after each hit.
    int count = wave_size();
    for (int j = 0; j < count; ++j) {
        Sprite& rock = rocks[j];
        if (rock.state != 1)
            continue;
        if (boxes_touch(box, rock_box(rock_boxes, j))) {
            rock_hit(bolt, rock);
            ufo_box = ufo_bolt_hit_box();
            count = wave_size();
        }
        if (ufo.state == 1 && boxes_touch(box, ufo_box))
            ufo_hit(bolt, rock);
    }
}

// ---- public operations ----

int bolts_init()
{
    Sprite& first = bolts[0];
    if (!sprite_from_sheet(&first, BOLT_SHEET, BOLT_ATTR, "the energy bolts' sprite"))
        return 0;
    sprite_set_anim_delay(&first, 1);
    if (!sprite_load_animation(&first, 0, 8, SEQUENCE_0) || !sprite_load_animation(&first, 1, 8, SEQUENCE_1)) {
        startup_failure("cannot make the energy bolts' animations");
        return 0;
    }
    first.state = 0;
    for (int i = 1; i < BOLT_COUNT; ++i)
        bolts[i] = first;
    return 1;
}

void bolt_fire(int x, int y, int vx, int vy, int anim)
{
    for (Sprite& b : bolts) {
        if (b.state != 0)
            continue;
        entity_x(b) = x;
        entity_y(b) = y;
        b.vel_x = static_cast<float>(vx);
        b.vel_y = static_cast<float>(vy);
        b.frame = 0;
        b.state = 1;
        bolt_age(b) = 0;
        b.anim_state = anim;
        sprite_set_animation(&b, anim);
        // A laser sound still playing is not started again; a sound that did not load reads -1.
        if (laser_sound >= 0 && sound_status(laser_sound) == 0)
            sound_play(laser_sound, 0);
        return;
    }
}

void bolts_move()
{
    RockBoxes rock_boxes;
    rock_boxes.made = 0;
    for (Sprite& b : bolts) {
        if (b.state != 1)
            continue;
        entity_x(b) = static_cast<int>(static_cast<float>(entity_x(b)) + b.vel_x);
        ++bolt_age(b);
        const int x = entity_x(b), y = entity_y(b);
        if (bolt_age(b) > MAX_AGE || x > screen_width || x < 0 || y > screen_height || y < 0) {
            b.state = 0;
            bolt_age(b) = 0;
        }
        bolt_hits(b, rock_boxes);
    }
}

void bolts_draw()
{
    for (Sprite& b : bolts) {
        if (b.state != 1)
            continue;
        b.pos_x = static_cast<float>(entity_x(b) + DRAW_OFFSET_X);
        b.pos_y = static_cast<float>(entity_y(b));
        sprite_draw(&b, back_surface);
        sprite_animate(&b);
    }
}
