// sprites.h -- the sprites and geometry layer's chief header: its records, globals and every
// operation in the order a caller uses them. Results: 1 success, 0 failure, unless stated.
// The polygon record is always written `struct Polygon`: the Windows SDK's GDI declares a
// function named Polygon, which hides the plain type name wherever <windows.h> is seen.
#pragma once
#include <cstdint>

// ---- polygons and 2D transforms (polygon.cpp) ----

// One corner of a polygon, relative to the polygon's origin.
struct Vertex {
    float x, y;
};

// A 2D polygon: an origin on the screen and the caller's vertex array. The record owns nothing.
struct Polygon {
    int32_t state;         // 0: inactive, the outline draw does nothing; other values: drawn
    int32_t vertex_count;  // vertices in `vertices`
    int32_t pos_x, pos_y;  // the origin on the screen
    int32_t color;         // palette index (8-bit) or packed pixel (16-bit) of outline and fill
    Vertex* vertices;      // the caller's array of vertex_count vertices
};

// Row-major matrices. A Matrix3x2 is an affine 2D transform: rows 0 and 1 the linear part, row 2
// the translation; a Matrix1x2 point (x, y) is taken as the row (x, y, 1).
struct Matrix3x3 {
    float m[3][3];
};
struct Matrix1x3 {
    float m[3];
};
struct Matrix3x2 {
    float m[3][2];
};
struct Matrix1x2 {
    float m[2];
};

extern float sin_table[361];  // sine of each whole degree 0 .. 360, filled by trig_tables_init
extern float cos_table[361];  // cosine of each whole degree 0 .. 360

int trig_tables_init();  // fills both tables; a rotation fills them itself if nobody has; always 1

// Closed outline through the clipped line drawers; 0 (nothing drawn) when state is 0, when there
// are no vertices, or when the buffer is null. Pitch in bytes for both depths.
int polygon_draw8(struct Polygon* polygon, uint8_t* buffer, int pitch);
int polygon_draw16(struct Polygon* polygon, uint16_t* buffer, int pitch);

// Transforms: 0 for a null polygon, a negative vertex count, or vertices missing. Translation
// moves the origin (saturating at the int range); rotation and scaling move the vertices about it.
// Angles are in degrees, positive clockwise on screen; any int angle is brought into -360 .. 360.
int polygon_translate(struct Polygon* polygon, int dx, int dy);
int polygon_rotate(struct Polygon* polygon, int degrees);
int polygon_scale(struct Polygon* polygon, float sx, float sy);
// The same three computed through a Matrix3x2.
int polygon_translate_mat(struct Polygon* polygon, int dx, int dy);
int polygon_rotate_mat(struct Polygon* polygon, int degrees);
int polygon_scale_mat(struct Polygon* polygon, float sx, float sy);

// Bounding box of the vertices in polygon-local coordinates, always containing the origin;
// 0 (outputs untouched) when there are no vertices or an argument is null.
int polygon_bounds(struct Polygon* polygon, float* min_x, float* max_x, float* min_y, float* max_y);

// Matrix products in single precision, sums in index order; the output may be one of the inputs.
// 0 when a pointer is null.
int mat_init_3x2(Matrix3x2* m, float a, float b, float c, float d, float e, float f);
int mat_mul_1x2_3x2(const Matrix1x2* p, const Matrix3x2* m, Matrix1x2* out);  // out = (x, y, 1) × m
int mat_mul_3x3(const Matrix3x3* a, const Matrix3x3* b, Matrix3x3* out);      // out = a × b
int mat_mul_1x3_3x3(const Matrix1x3* v, const Matrix3x3* m, Matrix1x3* out);  // out = v × m

// Cheap distance estimates (a few per cent off): sqrt(dx² + dy²) and sqrt(dx² + dy² + dz²).
// The 3D one loses fractions below 1/1024; it gives inf or NaN for such components.
int fast_distance_2d(int dx, int dy);  // saturates at the int range
float fast_distance_3d(float dx, float dy, float dz);

// ---- triangle and polygon fill (fill.cpp) ----
// Triangles are clipped to the inclusive clip rectangle (clip_min_x .. clip_max_y, display.h),
// which callers keep inside the locked buffer; any int vertices are safe. Pitch in bytes for both
// depths. A null buffer draws nothing.

// General triangles: split at the middle vertex into a flat-bottom and a flat-top half.
void triangle_fill8(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch);
void triangle_fill8_fixed(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch);
void triangle_fill16(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint16_t* buffer, int pitch);

// Halves: flat-top takes P1 P2 as the top edge (row y1) and P3 as the apex below; flat-bottom takes
// P1 as the apex above and P2 P3 as the bottom edge (row y3). A half of zero height draws nothing.
void flat_top_fill8(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch);
void flat_bottom_fill8(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch);
void flat_top_fill8_fixed(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch);
void flat_bottom_fill8_fixed(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch);
void flat_top_fill16(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint16_t* buffer, int pitch);
void flat_bottom_fill16(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint16_t* buffer, int pitch);

// Convex polygons at their origin, unclipped: 1 when filled; 0 (nothing drawn) for no vertices, a
// null buffer, or a placed vertex outside the clip rectangle. Does not test state.
int polygon_fill8(struct Polygon* polygon, uint8_t* buffer, int pitch);
int polygon_fill16(struct Polygon* polygon, uint16_t* buffer, int pitch);
