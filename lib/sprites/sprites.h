/// @file
/// sprites.h -- the sprites and geometry layer's chief header: its records, globals and every
/// operation in the order a caller uses them. Results: 1 success, 0 failure, unless stated.
/// The polygon record is always written `struct Polygon`: the Windows SDK's GDI declares a
/// function named Polygon, which hides the plain type name wherever <windows.h> is seen.
///
/// Layers, each including and calling only those below it:
///   shell -> game -> [lib] -> services -> platform (the SDK) -> host -> system libraries
/// sprites/ draws through display/ and calls nothing above lib/.
#pragma once
#include <cstdint>
#include <type_traits>

#include "display.h"

/// @name Sprite constants (sprite.cpp)
//@{
constexpr int SPRITE_MAX_FRAMES = 64;  ///< entries of Sprite::frames
constexpr int SPRITE_MAX_ANIMS = 16;  ///< entries of Sprite::anims
constexpr int SPRITE_MAX_SEQUENCE = 65536;  ///< longest animation sequence sprite_load_animation takes
constexpr uint32_t SPRITE_ATTR_SINGLE_FRAME = 0x001;  ///< sprite_animate holds frame 0
constexpr uint32_t SPRITE_ATTR_MULTI_FRAME = 0x002;  ///< sprite_animate cycles frames 0 .. frame_count - 1
constexpr uint32_t SPRITE_ATTR_MULTI_ANIM = 0x004;  ///< sprite_animate plays anims[anim]
constexpr uint32_t SPRITE_ATTR_ANIM_ONE_SHOT = 0x008;  ///< with MULTI_ANIM: stop on the last entry, anim_state 1
constexpr uint32_t SPRITE_ATTR_VISIBLE = 0x010;  ///< the draws draw only while it is set
constexpr uint32_t SPRITE_ATTR_BOUNCE = 0x020;  ///< sprite_move turns the velocity at the clip rectangle
constexpr uint32_t SPRITE_ATTR_WRAPAROUND = 0x040;  ///< sprite_move wraps around the clip rectangle (before BOUNCE)
constexpr uint32_t SPRITE_ATTR_LOADED = 0x080;  ///< set by the frame loaders
constexpr uint32_t SPRITE_ATTR_CLONE = 0x100;  ///< made by sprite_copy: shares, and never gives back, its
                                               ///< source's surfaces and sequences
//@}

/// An animated picture on off-screen surfaces. The caller owns the record and may copy it byte for
/// byte (sprite_copy does so and marks the copy a clone); it holds no pointer into itself.
struct Sprite {
    int32_t state;  ///< the game's life state; create sets 1, nothing here reads it
    int32_t anim_state;  ///< 0 while animating; 1 once a one-shot sequence has reached its end
    uint32_t attr;  ///< SPRITE_ATTR_ bits
    float pos_x;  ///< left edge in screen pixels
    float pos_y;  ///< top edge in screen pixels
    float vel_x;  ///< added to pos_x by sprite_move
    float vel_y;  ///< added to pos_y by sprite_move
    int32_t width;  ///< frame width in pixels
    int32_t height;  ///< frame height in pixels
    int32_t width_pad;  ///< extra columns of each frame surface; no operation sets it
    int32_t bpp;  ///< 8 or 16 as given to create; stored only
    int32_t counters[4];  ///< the game's; create zeroes them
    int32_t int_vars[16];  ///< the game's; create leaves them
    float float_vars[16];  ///< the game's; create leaves them
    int32_t frame;  ///< index into frames of the picture drawn
    int32_t frame_count;  ///< frame surfaces made by create (at most SPRITE_MAX_FRAMES)
    int32_t anim;  ///< index into anims of the sequence played
    int32_t anim_tick;  ///< sprite_animate calls since the last step
    int32_t anim_pos;  ///< position of frame within the sequence
    int32_t anim_delay;  ///< sprite_animate calls per step; 0 and 1 both step on every call
    int32_t* anims[SPRITE_MAX_ANIMS];  ///< heap sequences of frame indices, each ended by -1
    LPDIRECTDRAWSURFACE7 frames[SPRITE_MAX_FRAMES];  ///< one surface per frame, (width + width_pad) × height
};
static_assert(std::is_trivially_copyable_v<Sprite> && std::is_standard_layout_v<Sprite>,
              "the game stamps sprites out by copying their bytes");

/// @name Sprite objects (sprite.cpp)
/// Every operation but create returns 0 at once for a null sprite.
//@{
/// Resets the record (frames and anims nulled, not given back) and makes frame_count keyed frame
/// surfaces through dd; 0 for a frame_count outside 0 .. 64 (record untouched) or when a surface
/// cannot be made (the surfaces made so far stay in frames).
int sprite_create(Sprite* sprite, int x, int y, int width, int height, int frame_count, uint32_t attr,
                  uint32_t mem_flags, int color_key, int bpp);
/// Copies frame `frame` (0 .. frame_count - 1) from an 8-bit bitmap: mode 0 takes cell (cx, cy) of a
/// sheet of width × height cells with one-pixel borders, any other mode the pixel corner (cx, cy).
/// 0, nothing copied, for a bad index, a bitmap of another depth, a block that does not lie inside
/// the bitmap, a surface that cannot be locked or is too small.
int sprite_load_frame(Sprite* sprite, const BitmapFile* bitmap, int frame, int cx, int cy, int mode);
/// The same from a 16-bit bitmap.
int sprite_load_frame16(Sprite* sprite, const BitmapFile* bitmap, int frame, int cx, int cy, int mode);
/// Fills an 8-bit surface from cell (cx, cy) of an 8-bit sheet whose cells are the surface's size;
/// 0, nothing copied, when the cell does not fit, the depths differ or the lock fails.
int surface_load_cell(const BitmapFile* bitmap, LPDIRECTDRAWSURFACE7 surface, int cx, int cy);
/// Stores a copy of count (1 .. SPRITE_MAX_SEQUENCE) frame indices, ended by -1, in anims[anim_index]
/// (0 .. 15); a sequence held there before is not given back. 0 for bad arguments or no memory.
int sprite_load_animation(Sprite* sprite, int anim_index, int count, const int32_t* frame_indices);
/// Keyed blit of the current frame at the truncated position, width × height; clipped by dest's
/// clipper. 1 without drawing when not visible; 0 when the blit fails or frame holds no surface.
int sprite_draw(Sprite* sprite, LPDIRECTDRAWSURFACE7 dest);
/// The same stretched to draw_width × draw_height.
int sprite_draw_scaled(Sprite* sprite, int draw_width, int draw_height, LPDIRECTDRAWSURFACE7 dest);
int sprite_draw16(Sprite* sprite, LPDIRECTDRAWSURFACE7 dest);  ///< sprite_draw on 16-bit surfaces
/// sprite_draw_scaled on 16-bit surfaces.
int sprite_draw_scaled16(Sprite* sprite, int draw_width, int draw_height, LPDIRECTDRAWSURFACE7 dest);
/// One call's worth of animation as the attribute bits say; 0 (nothing changed) when a
/// multi-animation sprite's anims[anim] is missing or empty.
int sprite_animate(Sprite* sprite);
int sprite_move(Sprite* sprite);  ///< position += velocity, then wrap or bounce at the clip rectangle
int sprite_set_position(Sprite* sprite, int x, int y);  ///< the top-left corner
int sprite_set_velocity(Sprite* sprite, int vx, int vy);  ///< pixels a sprite_move
int sprite_set_anim_delay(Sprite* sprite, int delay);  ///< sprite_animate calls a step
int sprite_set_animation(Sprite* sprite, int anim_index);  ///< anim_pos 0; frame and anim_tick kept
int sprite_hide(Sprite* sprite);  ///< clears SPRITE_ATTR_VISIBLE
int sprite_show(Sprite* sprite);  ///< sets SPRITE_ATTR_VISIBLE
/// dest becomes a byte copy of source marked SPRITE_ATTR_CLONE; 0 for a null or the same record.
int sprite_copy(const Sprite* source, Sprite* dest);
/// Gives back the frame surfaces and sequences (a clone only forgets them) and nulls the entries,
/// so a second destroy gives back nothing.
int sprite_destroy(Sprite* sprite);
//@}

/// @name Collision tests (collision.cpp)
//@{
/// Boxes shrink to about three quarters about their top-left corner: half-extent e(s) =
/// (s >> 1) - (s >> 3), centre at corner + e; they touch when both centre distances are strictly
/// below the sums of the half-extents. Symmetric in its two boxes. Inline, as a game may test every
/// pair of a few dozen boxes in each frame.
inline int rects_collide(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2)
{
    // In 64 bits, so no int position or size can overflow.
    const auto half = [](int size) { return static_cast<int64_t>((size >> 1) - (size >> 3)); };
    const int64_t hw1 = half(w1), hh1 = half(h1), hw2 = half(w2), hh2 = half(h2);
    const int64_t dx = (x2 + hw2) - (x1 + hw1), dy = (y2 + hh2) - (y1 + hh1);
    return (dx < 0 ? -dx : dx) < hw1 + hw2 && (dy < 0 ? -dy : dy) < hh1 + hh2 ? 1 : 0;
}
int sprite_collide(const Sprite* a, const Sprite* b);  ///< the same on the records; 0 for a null one
/// 1 if a pixel of the inclusive rectangle (x1, y1) .. (x2, y2), clamped to the screen (not
/// reordered), lies in low .. high. The buffer covers the whole screen; pitch in bytes. 0 for a
/// null buffer.
int color_scan8(int x1, int y1, int x2, int y2, int low, int high, const uint8_t* buffer, int pitch);
/// The same at 16 bits, for a pixel that equals color_a or color_b.
int color_scan16(int x1, int y1, int x2, int y2, int color_a, int color_b, const uint16_t* buffer, int pitch);
//@}

// ---- polygons and 2D transforms (polygon.cpp) ----

/// One corner of a polygon, relative to the polygon's origin.
struct Vertex {
    float x;  ///< to the right
    float y;  ///< downwards
};

/// A 2D polygon: an origin on the screen and the caller's vertex array. The record owns nothing.
struct Polygon {
    int32_t state;         ///< 0: inactive, the outline draw does nothing; other values: drawn
    int32_t vertex_count;  ///< vertices in `vertices`
    int32_t pos_x;         ///< the origin on the screen: x
    int32_t pos_y;         ///< y
    int32_t color;         ///< palette index (8-bit) or packed pixel (16-bit) of outline and fill
    Vertex* vertices;      ///< the caller's array of vertex_count vertices
};

// Row-major matrices. A Matrix3x2 is an affine 2D transform: rows 0 and 1 the linear part, row 2
// the translation; a Matrix1x2 point (x, y) is taken as the row (x, y, 1).
/// A 3 × 3 matrix, row-major.
struct Matrix3x3 {
    float m[3][3];  ///< m[row][column]
};
/// A row of three.
struct Matrix1x3 {
    float m[3];  ///< the row
};
/// An affine 2D transform: rows 0 and 1 the linear part, row 2 the translation.
struct Matrix3x2 {
    float m[3][2];  ///< m[row][column]
};
/// A point (x, y), taken as the row (x, y, 1) by mat_mul_1x2_3x2.
struct Matrix1x2 {
    float m[2];  ///< x, y
};

/// @name Polygons and 2D transforms (polygon.cpp)
/// Transforms: 0 for a null polygon; rotation and scaling also refuse a negative vertex count or a
/// missing vertex array. Translation moves the origin (saturating at the int range); rotation and
/// scaling move the vertices about it. Angles are in degrees, positive clockwise on screen; any int
/// angle is first brought into -360 .. 360. Matrix products are in single precision, sums in index
/// order; the output may be one of the inputs; 0 when a pointer is null.
//@{
extern float sin_table[361];  ///< sine of each whole degree 0 .. 360, filled by trig_tables_init
extern float cos_table[361];  ///< cosine of each whole degree 0 .. 360

int trig_tables_init();  ///< fills both tables; a rotation fills them itself if nobody has; always 1

int polygon_translate(struct Polygon* polygon, int dx, int dy);  ///< moves the origin by (dx, dy)
int polygon_rotate(struct Polygon* polygon, int degrees);  ///< turns the vertices about the origin
int polygon_scale(struct Polygon* polygon, float sx, float sy);  ///< scales the vertices about the origin
int polygon_translate_mat(struct Polygon* polygon, int dx, int dy);  ///< polygon_translate through a Matrix3x2
int polygon_rotate_mat(struct Polygon* polygon, int degrees);  ///< polygon_rotate through a Matrix3x2
int polygon_scale_mat(struct Polygon* polygon, float sx, float sy);  ///< polygon_scale through a Matrix3x2

/// Bounding box of the vertices in polygon-local coordinates, always containing the origin;
/// 0 (outputs untouched) when there are no vertices or an argument is null.
int polygon_bounds(struct Polygon* polygon, float* min_x, float* max_x, float* min_y, float* max_y);

/// Closed outline through the clipped line drawers; 0 (nothing drawn) when state is 0, when there
/// are no vertices, or when the buffer is null. Pitch in bytes for both depths.
int polygon_draw8(struct Polygon* polygon, uint8_t* buffer, int pitch);
int polygon_draw16(struct Polygon* polygon, uint16_t* buffer, int pitch);  ///< the same at 16 bits

/// Sets m to the rows (a, b), (c, d), (e, f).
int mat_init_3x2(Matrix3x2* m, float a, float b, float c, float d, float e, float f);
int mat_mul_1x2_3x2(const Matrix1x2* p, const Matrix3x2* m, Matrix1x2* out);  ///< out = (x, y, 1) × m
int mat_mul_3x3(const Matrix3x3* a, const Matrix3x3* b, Matrix3x3* out);      ///< out = a × b
int mat_mul_1x3_3x3(const Matrix1x3* v, const Matrix3x3* m, Matrix1x3* out);  ///< out = v × m

/// Cheap estimate of sqrt(dx² + dy²), without a square root (3, 4 gives 6); saturates at the int
/// range.
int fast_distance_2d(int dx, int dy);
/// The same of sqrt(dx² + dy² + dz²); it loses fractions below 1/1024 and gives inf or NaN for such
/// components.
float fast_distance_3d(float dx, float dy, float dz);
//@}

/// @name Triangle and polygon fill (fill.cpp, fill_fast.cpp)
/// Triangles are clipped to the inclusive clip rectangle (clip_min_x .. clip_max_y, display.h),
/// which callers keep inside the locked buffer; any int vertices are safe. Pitch in bytes for both
/// depths. A null buffer draws nothing.
//@{
/// A general triangle: split at the middle vertex into a flat-bottom and a flat-top half.
void triangle_fill8(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch);
/// The same in 16.16 fixed point.
void triangle_fill8_fixed(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch);
/// The same at 16 bits.
void triangle_fill16(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint16_t* buffer, int pitch);

/// A convex polygon at its origin, unclipped: 1 when filled; 0 (nothing drawn) for no vertices, a
/// null buffer, or a placed vertex outside the clip rectangle. Does not test state.
int polygon_fill8(struct Polygon* polygon, uint8_t* buffer, int pitch);
int polygon_fill16(struct Polygon* polygon, uint16_t* buffer, int pitch);  ///< the same at 16 bits
//@}
