// game.h -- the game's chief header: its counters, entity tables and records, and every operation
// by module in the order the frame uses them. Everything lives in fixed tables made at start-up;
// nothing is allocated while frames run. Entities are switched on and off through `state` (1 in
// play, 0 out), and only entities in play are drawn.
//
// Layers, each including and calling only those below it:
//   shell -> [game] -> lib -> services -> platform (the SDK) -> host -> system libraries
// The shell calls the game only through game_init, game_frame and game_shutdown; the game uses lib/
// and the window handle and FrameClock of services.h, never the shell's header.
#pragma once
#include <cstdint>

#include "asset_contract.h"
#include "display.h"
#include "sprites.h"

// ---- sizes ----
constexpr int BOLT_COUNT = 32;
constexpr int ROCK_COUNT = 100;
constexpr int EXPLOSION_COUNT = 8;
constexpr int STAR_COUNT = 256;
constexpr int TEXT_BUFFER_SIZE = 260;

// ---- where the game keeps its own values in a Sprite's free fields ----
// A sprite has three position stores, and only one of them holds the truth:
// - bolts, rocks, the UFO and explosions: int_vars[VAR_X], int_vars[VAR_Y], which every move and
//   hit test reads and writes;
// - the gunship: float_vars[VAR_SHIP_X], float_vars[VAR_SHIP_Y] (ship_x(), ship_y());
// - pos_x, pos_y: only what the sprite layer draws from, written from the true position just
//   before each draw (bolts 20 pixels right, the gunship rounded, an explosion at the gunship's
//   place when anchored there). Between draws they are stale; no game rule reads them.
constexpr int VAR_X = 8;  // int_vars: position x of bolts, rocks, UFO and explosions
constexpr int VAR_Y = 9;  // int_vars: position y
constexpr int VAR_DRAW_WIDTH = 0;  // int_vars: the size an explosion is drawn at
constexpr int VAR_DRAW_HEIGHT = 1;
constexpr int VAR_ANCHOR = 2;  // int_vars: EXPLOSION_AT_ values
constexpr int VAR_SHIP_X = 0;  // float_vars of ship: the gunship's left edge
constexpr int VAR_SHIP_Y = 1;  // float_vars of ship: its top edge
constexpr int COUNTER_BOLT_AGE = 0;  // counters of a bolt: frames since it was fired

constexpr int EXPLOSION_AT_OWN = 0;  // a rock destroyed by a bolt: drawn at its own position
constexpr int EXPLOSION_AT_SHIP = 1;  // the gunship destroyed: drawn where the gunship is
constexpr int EXPLOSION_AT_UFO = 2;  // the UFO destroyed by a bolt: drawn at its own position

// ---- records ----
struct Star {
    int x, y;  // 0 … 639, 0 … 479
    uint8_t color;  // palette index
};

// A box for rects_collide: top-left corner and size.
struct HitBox {
    int x, y, width, height;
};

// The box of a sprite whose true position is (x, y): its corner moved by fx × width and
// fy × height (in double precision, each sum truncated toward zero), its size cut by `trim`.
inline HitBox hit_box_at(double x, double y, const Sprite& s, double fx, double fy, int trim)
{
    return {static_cast<int>(x + fx * s.width), static_cast<int>(y + fy * s.height), s.width - trim, s.height - trim};
}
// The one overlap test of every hit: rects_collide on the two boxes.
inline bool boxes_touch(const HitBox& a, const HitBox& b)
{
    return rects_collide(a.x, a.y, a.width, a.height, b.x, b.y, b.width, b.height) != 0;
}

// ---- counters and settings (world.cpp); counters_start gives them their start values ----
extern int score;  // +100 a rock, +1000 the UFO, -1 a missed rock; may go negative
extern int lives;  // 3 at start; 0 is game over
extern int level;  // 1 at start; raised by level_up
extern int frame_timer;  // frames since the last kill or death (99 at start); gates respawn, waves, fire
extern int rock_reserve;  // rock records held back: the wave size is ROCK_COUNT - rock_reserve
extern int rock_speed_range;  // rock speeds are drawn as random_next() % rock_speed_range + 1
extern int ship_speed;  // gunship step per arrow per frame: 3 or 6
extern int ufo_rerun_done;  // 1 once the UFO's single re-entry on level 1 has been used
extern int wave_rocks_left;  // rocks of the wave not yet destroyed by bolts
extern int respawn_pending;  // 1 from the gunship's death until it reappears
extern int kills_since_level;  // rocks destroyed since the last level-up
extern int rocks_destroyed;  // rocks destroyed this game (game-over screen)
extern int rocks_missed;  // live rocks that crossed the left edge this game
extern int shift_latch;  // 1 while LEFT SHIFT is held after a speed toggle
extern int engine_sound, laser_sound, explosion_sound, level_sound;  // sound ids; -1: none
extern int music_ids[MUSIC_COUNT];  // music ids in load order; -1: none
extern int game_ready;  // 1 once game_init has brought everything up; frames run only then

// ---- entities and buffers (world.cpp) ----
extern Sprite ship;  // the player's gunship
extern Sprite bolts[BOLT_COUNT];  // energy bolts: byte copies of bolts[0]
extern Sprite rock_template;  // the frames every rock is stamped from; never drawn
extern Sprite rocks[ROCK_COUNT];  // rocks: byte copies of rock_template
extern Sprite ufo;  // the bonus target
extern Sprite explosions[EXPLOSION_COUNT];  // explosions: byte copies of explosions[0]
extern Star stars[STAR_COUNT];  // the drifting star field
extern BitmapImage background;  // the 640 × 480 backdrop drawn first every frame
extern BitmapFile bitmap;  // the one load buffer, unloaded after each picture
extern char text_buffer[TEXT_BUFFER_SIZE];  // formatted texts and the rock file names

// ---- the one random generator (world.cpp) ----
// state = state × 214013 + 2531011 (mod 2^32); each draw yields bits 16 … 30 (0 … 32767).
extern uint32_t random_state;
void random_seed(uint32_t seed);
int random_next();

// ---- start-up and shut-down (world.cpp) ----
int game_init(void* params);  // brings every layer up, shows the intro, loads all; 1 (0 after a failure)
int game_shutdown(void* params);  // takes everything down; safe after a failed start; 1
// Every counter and setting as a new game starts (score 0, lives 3, level 1, frame_timer 99, ...);
// game_init and game_restart both start from here. ufo_rerun_done is left to them.
void counters_start();
// Loads an 8-bit picture of at least min_width × min_height into `bitmap`; on failure writes the
// one start-up failure line (file name and working directory) and returns 0.
int picture_load(const char* filename, int min_width, int min_height);
// Writes "vorlash: <what>" on standard error as the one line of a failed start.
void startup_failure(const char* what);
// An empty sprite at (0, 0) in system memory, keyed on the palette's key colour, 8 bits; 0 on failure.
int game_sprite_create(Sprite* sprite, int width, int height, int frame_count, uint32_t attr);
// Makes a sprite from a sheet: loads the picture, creates the sprite and copies every frame from
// its cell; the picture is unloaded either way. 0 after a failure, with the start-up failure line
// written ("cannot make <what> from <file>").
int sprite_from_sheet(Sprite* sprite, const SheetLayout& sheet, uint32_t attr, const char* what);
void play_sound(int id);  // sound_play(id, 0) unless the sound did not load (id -1)
void play_music(int id);  // music_play(id) unless the piece did not load (id -1)
int wave_size();  // ROCK_COUNT - rock_reserve, kept within 0 … ROCK_COUNT

// Positions of the int-positioned entities, and the gunship's float position.
inline int& entity_x(Sprite& s) { return s.int_vars[VAR_X]; }
inline int& entity_y(Sprite& s) { return s.int_vars[VAR_Y]; }
inline float& ship_x() { return ship.float_vars[VAR_SHIP_X]; }
inline float& ship_y() { return ship.float_vars[VAR_SHIP_Y]; }

// ---- the frame and the game states (frame.cpp) ----
int game_frame(void* params);  // one whole frame, drawn, moved, hit-tested, presented; 1
void level_up();  // the next level: music every fifth, rock or UFO by turns
void clear_play_field();  // gunship and all 100 rocks out of play (game over)
void game_restart();  // a new game in place, after a one-second wait

// ---- gunship and controls (ship.cpp) ----
int ship_init();  // 0 after a start-up failure
void ship_to_start();  // the gunship's start and respawn place: the left edge, half-way down
// The gunship destroyed by `culprit` (a rock or the UFO) touching it: a life lost, the gunship down
// until the respawn, and an explosion drawn at the gunship that starts at the culprit's position.
void ship_destroyed(const Sprite& culprit);
void ship_draw();  // at the rounded position, only while in play
void ship_controls();  // arrows, LEFT SHIFT speed toggle, SPACE fire, from keyboard_state
HitBox ship_hit_box();  // shifted half a gunship left and down from the picture

// ---- energy bolts (bolts.cpp) ----
int bolts_init();
void bolt_fire(int x, int y, int vx, int vy, int anim);  // the first free bolt; none free: nothing
void bolts_move();  // flight, expiry, and the hits on rocks and the UFO with their scores
void bolts_draw();

// ---- rocks and waves (rocks.cpp) ----
// base + "0000." + extension with number's digits ending on the last zero ("ROCKL0015.BMP");
// out must hold strlen(base) + strlen(extension) + 6 bytes. 0 for a number outside 0 … 9999,
// which leaves the four zeros.
int make_numbered_name(const char* base, const char* extension, char* out, int number);
int rocks_init();
void rocks_new_wave();  // arms the wave's records at the right edge with fresh speeds
void rocks_move();  // flight, misses at the left edge, the rock-gunship hit
void rocks_draw();
HitBox rock_hit_box(const Sprite& rock);

// ---- UFO (ufo.cpp) ----
constexpr int UFO_AWAY_LIMIT = -1000;  // x is held here while the UFO is away, so it cannot overflow
int ufo_init();
void ufo_launch();  // back to the right edge, in play
void ufo_move();  // flight, the single level-1 re-entry, the UFO-gunship hit
void ufo_draw();
HitBox ufo_hit_box();  // against the gunship
HitBox ufo_bolt_hit_box();  // against bolts

// ---- explosions (explosions.cpp) ----
int explosions_init();
// Plays the explosion sound, then takes the first free explosion (none free: nothing more).
void explosion_start(int x, int y, int draw_width, int draw_height, int vx, int vy, int anchor);
// The explosion of a kill: explosion_start at (x, y) with a random draw size (the height's number,
// 54 … 63, drawn before the width's, 68 … 79), drifting with half of `mover`'s velocity.
void explosion_burst(int x, int y, const Sprite& mover, int anchor);
void explosions_move();  // drift, and the end after the thirteenth picture
void explosions_draw();

// ---- star field (stars.cpp) ----
void stars_init();
void stars_move();  // 5 pixels left a frame, wrapping at the edges
void stars_draw();  // plotted into the back buffer, locked for the purpose

// ---- intro screens (intro.cpp) ----
int show_intro_screen(int screen);  // 1 … 3: picture, hold, fade to black; 0 after a start-up failure
// Copies a 640 × 480 picture, rows 640 bytes apart, into a locked surface; transparent non-zero
// leaves the destination under source pixels of 0. Always 1 (nothing is copied for a null buffer).
int copy_screen8(const uint8_t* source, uint8_t* destination, int destination_pitch, int transparent);
