// Our D3DX 8 math: vectors, row-vector matrices (v' = v * M), planes, colours, the left-handed
// camera and projection builders, geometry probes, and the vertex size of a vertex format.
// Functions take and return the output pointer as the originals do; null matrices passed to
// D3DXVec3Project count as identity.
#pragma once
#include "platform/d3d8.h"

constexpr float D3DX_PI = 3.14159265358979323846f;
constexpr float D3DXToRadian(float degrees)
{
    return degrees * (D3DX_PI / 180.0f);
}

struct D3DXVECTOR2 {
    float x = 0.0f, y = 0.0f;
    D3DXVECTOR2() = default;
    D3DXVECTOR2(float xx, float yy) : x(xx), y(yy) {}
};

struct D3DXVECTOR3 : D3DVECTOR {
    D3DXVECTOR3() : D3DVECTOR{0.0f, 0.0f, 0.0f} {}
    D3DXVECTOR3(float xx, float yy, float zz) : D3DVECTOR{xx, yy, zz} {}
    D3DXVECTOR3(const D3DVECTOR& v) : D3DVECTOR(v) {}
    D3DXVECTOR3 operator+(const D3DXVECTOR3& v) const { return {x + v.x, y + v.y, z + v.z}; }
    D3DXVECTOR3 operator-(const D3DXVECTOR3& v) const { return {x - v.x, y - v.y, z - v.z}; }
    D3DXVECTOR3 operator*(float s) const { return {x * s, y * s, z * s}; }
    D3DXVECTOR3 operator-() const { return {-x, -y, -z}; }
    D3DXVECTOR3& operator+=(const D3DXVECTOR3& v)
    {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
};

struct D3DXVECTOR4 {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
    D3DXVECTOR4() = default;
    D3DXVECTOR4(float xx, float yy, float zz, float ww) : x(xx), y(yy), z(zz), w(ww) {}
};

struct D3DXMATRIX : D3DMATRIX {
    D3DXMATRIX() : D3DMATRIX{} {}
    D3DXMATRIX(const D3DMATRIX& other) : D3DMATRIX(other) {}
    D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24, float m31,
               float m32, float m33, float m34, float m41, float m42, float m43, float m44);
    float& operator()(int row, int column) { return m[row][column]; }
    float operator()(int row, int column) const { return m[row][column]; }
    D3DXMATRIX operator*(const D3DXMATRIX& other) const;
};

struct D3DXPLANE {
    float a = 0.0f, b = 0.0f, c = 0.0f, d = 0.0f;
    D3DXPLANE() = default;
    D3DXPLANE(float aa, float bb, float cc, float dd) : a(aa), b(bb), c(cc), d(dd) {}
};

struct D3DXCOLOR {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
    D3DXCOLOR() = default;
    D3DXCOLOR(float rr, float gg, float bb, float aa) : r(rr), g(gg), b(bb), a(aa) {}
    explicit D3DXCOLOR(D3DCOLOR argb);
    // Channels clamped to 0..1 and rounded to bytes, as 0xAARRGGBB.
    operator D3DCOLOR() const;
};

// Vectors.
float D3DXVec2Length(const D3DXVECTOR2* v);
D3DXVECTOR2* D3DXVec2BaryCentric(D3DXVECTOR2* out, const D3DXVECTOR2* v1, const D3DXVECTOR2* v2, const D3DXVECTOR2* v3,
                                 float f, float g);
float D3DXVec3Length(const D3DXVECTOR3* v);
float D3DXVec3LengthSq(const D3DXVECTOR3* v);
float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b);
D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* out, const D3DXVECTOR3* v, float s);
D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, float s);
// A zero vector stays zero.
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v);
D3DXVECTOR3* D3DXVec3Minimize(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
D3DXVECTOR3* D3DXVec3Maximize(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
// (x, y, z, 1) * M divided by the resulting w.
D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
// (x, y, z, 0) * M.
D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
// World point to viewport pixels and depth.
D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT8* viewport,
                             const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world);
D3DXVECTOR3* D3DXVec3Unproject(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT8* viewport,
                               const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world);
D3DXVECTOR3* D3DXVec3Hermite(D3DXVECTOR3* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* t1, const D3DXVECTOR3* v2,
                             const D3DXVECTOR3* t2, float s);
D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m);

// Matrices.
D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
bool D3DXMatrixIsIdentity(const D3DXMATRIX* m);
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m);
float D3DXMatrixDeterminant(const D3DXMATRIX* m);
// Null (and out untouched) when the matrix has no inverse.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle);
// Roll about z, then pitch about x, then yaw about y.
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll);
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at, const D3DXVECTOR3* up);
// Depth 0 at the near plane, 1 at the far plane.
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zNear, float zFar);
D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, float width, float height, float zNear, float zFar);

// Planes (a, b, c) . p + d = 0.
D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal);
// Normal = normalised (v2 - v1) x (v3 - v1).
D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2, const D3DXVECTOR3* v3);
D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p);
float D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v);
float D3DXPlaneDotNormal(const D3DXPLANE* p, const D3DXVECTOR3* v);
// The point where the line through v1 and v2 meets the plane; null when they are parallel.
D3DXVECTOR3* D3DXPlaneIntersectLine(D3DXVECTOR3* out, const D3DXPLANE* p, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2);

// Probes of a ray (origin, direction) in front of its origin.
// Barycentric u (weight of p1), v (weight of p2) and the distance in units of the direction.
BOOL D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2, const D3DXVECTOR3* rayPos,
                      const D3DXVECTOR3* rayDir, float* u, float* v, float* distance);
BOOL D3DXBoxBoundProbe(const D3DXVECTOR3* boxMin, const D3DXVECTOR3* boxMax, const D3DXVECTOR3* rayPos,
                       const D3DXVECTOR3* rayDir);
BOOL D3DXSphereBoundProbe(const D3DXVECTOR3* centre, float radius, const D3DXVECTOR3* rayPos,
                          const D3DXVECTOR3* rayDir);

// Bytes of one vertex of a flexible vertex format (0 for an invalid format).
UINT D3DXGetFVFVertexSize(DWORD fvf);
