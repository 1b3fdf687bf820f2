#include "platform/d3dx8_math.h"

#include <cmath>
#include <cstring>

#include "platform/gl/d3d8_vertex_format.h"

D3DXMATRIX::D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24,
                       float m31, float m32, float m33, float m34, float m41, float m42, float m43, float m44)
    : D3DMATRIX{}
{
    _11 = m11, _12 = m12, _13 = m13, _14 = m14;
    _21 = m21, _22 = m22, _23 = m23, _24 = m24;
    _31 = m31, _32 = m32, _33 = m33, _34 = m34;
    _41 = m41, _42 = m42, _43 = m43, _44 = m44;
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& other) const
{
    D3DXMATRIX result;
    D3DXMatrixMultiply(&result, this, &other);
    return result;
}

D3DXCOLOR::D3DXCOLOR(D3DCOLOR argb)
    : r(((argb >> 16) & 0xFF) / 255.0f),
      g(((argb >> 8) & 0xFF) / 255.0f),
      b((argb & 0xFF) / 255.0f),
      a(((argb >> 24) & 0xFF) / 255.0f)
{}

D3DXCOLOR::operator D3DCOLOR() const
{
    auto byte = [](float value) -> DWORD {
        if (!(value > 0.0f))
            return 0;
        if (value >= 1.0f)
            return 0xFF;
        return static_cast<DWORD>(value * 255.0f + 0.5f);
    };
    return (byte(a) << 24) | (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

// ---- vectors

float D3DXVec2Length(const D3DXVECTOR2* v)
{
    return std::sqrt(v->x * v->x + v->y * v->y);
}

D3DXVECTOR2* D3DXVec2BaryCentric(D3DXVECTOR2* out, const D3DXVECTOR2* v1, const D3DXVECTOR2* v2, const D3DXVECTOR2* v3,
                                 float f, float g)
{
    const D3DXVECTOR2 result(v1->x + f * (v2->x - v1->x) + g * (v3->x - v1->x),
                             v1->y + f * (v2->y - v1->y) + g * (v3->y - v1->y));
    *out = result;
    return out;
}

float D3DXVec3LengthSq(const D3DXVECTOR3* v)
{
    return v->x * v->x + v->y * v->y + v->z * v->z;
}
float D3DXVec3Length(const D3DXVECTOR3* v)
{
    return std::sqrt(D3DXVec3LengthSq(v));
}
float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    return a->x * b->x + a->y * b->y + a->z * b->z;
}

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    const D3DXVECTOR3 result(a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x);
    *out = result;
    return out;
}

D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    *out = *a + *b;
    return out;
}

D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    *out = *a - *b;
    return out;
}

D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* out, const D3DXVECTOR3* v, float s)
{
    *out = *v * s;
    return out;
}

D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, float s)
{
    *out = *a + (*b - *a) * s;
    return out;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v)
{
    const float length = D3DXVec3Length(v);
    *out = length > 0.0f ? *v * (1.0f / length) : D3DXVECTOR3();
    return out;
}

D3DXVECTOR3* D3DXVec3Minimize(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    *out = D3DXVECTOR3(std::fmin(a->x, b->x), std::fmin(a->y, b->y), std::fmin(a->z, b->z));
    return out;
}

D3DXVECTOR3* D3DXVec3Maximize(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    *out = D3DXVECTOR3(std::fmax(a->x, b->x), std::fmax(a->y, b->y), std::fmax(a->z, b->z));
    return out;
}

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    const D3DXVECTOR4 result(
        v->x * m->_11 + v->y * m->_21 + v->z * m->_31 + m->_41, v->x * m->_12 + v->y * m->_22 + v->z * m->_32 + m->_42,
        v->x * m->_13 + v->y * m->_23 + v->z * m->_33 + m->_43, v->x * m->_14 + v->y * m->_24 + v->z * m->_34 + m->_44);
    *out = result;
    return out;
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    D3DXVECTOR4 h;
    D3DXVec3Transform(&h, v, m);
    const float inverseW = h.w != 0.0f ? 1.0f / h.w : 0.0f;
    *out = D3DXVECTOR3(h.x * inverseW, h.y * inverseW, h.z * inverseW);
    return out;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    const D3DXVECTOR3 result(v->x * m->_11 + v->y * m->_21 + v->z * m->_31,
                             v->x * m->_12 + v->y * m->_22 + v->z * m->_32,
                             v->x * m->_13 + v->y * m->_23 + v->z * m->_33);
    *out = result;
    return out;
}

namespace {

// world * view * projection, each null counting as identity.
D3DXMATRIX Combined(const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world)
{
    D3DXMATRIX result;
    D3DXMatrixIdentity(&result);
    if (world)
        result = *world;
    if (view)
        result = result * *view;
    if (projection)
        result = result * *projection;
    return result;
}

}  // namespace

D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT8* viewport,
                             const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world)
{
    const D3DXMATRIX all = Combined(projection, view, world);
    D3DXVECTOR3 clip;
    D3DXVec3TransformCoord(&clip, v, &all);
    if (viewport) {
        clip.x = viewport->X + (1.0f + clip.x) * viewport->Width * 0.5f;
        clip.y = viewport->Y + (1.0f - clip.y) * viewport->Height * 0.5f;
        clip.z = viewport->MinZ + clip.z * (viewport->MaxZ - viewport->MinZ);
    }
    *out = clip;
    return out;
}

D3DXVECTOR3* D3DXVec3Unproject(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT8* viewport,
                               const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world)
{
    const D3DXMATRIX all = Combined(projection, view, world);
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(&inverse, nullptr, &all))
        return nullptr;
    D3DXVECTOR3 clip = *v;
    if (viewport) {
        clip.x = 2.0f * (v->x - viewport->X) / viewport->Width - 1.0f;
        clip.y = 1.0f - 2.0f * (v->y - viewport->Y) / viewport->Height;
        const float range = viewport->MaxZ - viewport->MinZ;
        clip.z = range != 0.0f ? (v->z - viewport->MinZ) / range : 0.0f;
    }
    D3DXVec3TransformCoord(out, &clip, &inverse);
    return out;
}

D3DXVECTOR3* D3DXVec3Hermite(D3DXVECTOR3* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* t1, const D3DXVECTOR3* v2,
                             const D3DXVECTOR3* t2, float s)
{
    const float s2 = s * s;
    const float s3 = s2 * s;
    const float h1 = 2.0f * s3 - 3.0f * s2 + 1.0f;
    const float h2 = s3 - 2.0f * s2 + s;
    const float h3 = -2.0f * s3 + 3.0f * s2;
    const float h4 = s3 - s2;
    *out = *v1 * h1 + *t1 * h2 + *v2 * h3 + *t2 * h4;
    return out;
}

D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m)
{
    const D3DXVECTOR4 result(v->x * m->_11 + v->y * m->_21 + v->z * m->_31 + v->w * m->_41,
                             v->x * m->_12 + v->y * m->_22 + v->z * m->_32 + v->w * m->_42,
                             v->x * m->_13 + v->y * m->_23 + v->z * m->_33 + v->w * m->_43,
                             v->x * m->_14 + v->y * m->_24 + v->z * m->_34 + v->w * m->_44);
    *out = result;
    return out;
}

// ---- matrices

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out)
{
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

bool D3DXMatrixIsIdentity(const D3DXMATRIX* m)
{
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (m->m[r][c] != (r == c ? 1.0f : 0.0f))
                return false;
        }
    }
    return true;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b)
{
    D3DXMATRIX result;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            result.m[r][c] =
                a->m[r][0] * b->m[0][c] + a->m[r][1] * b->m[1][c] + a->m[r][2] * b->m[2][c] + a->m[r][3] * b->m[3][c];
        }
    }
    *out = result;
    return out;
}

D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m)
{
    D3DXMATRIX result;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c)
            result.m[r][c] = m->m[c][r];
    }
    *out = result;
    return out;
}

namespace {

// Cofactor expansion: the adjugate (transposed cofactors) and the determinant.
float Adjugate(const D3DXMATRIX& m, D3DXMATRIX* adjugate)
{
    float a[16];
    std::memcpy(a, m.m, sizeof a);
    float inv[16];
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] +
             a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] - a[8] * a[7] * a[14] -
             a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] +
             a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] - a[8] * a[6] * a[13] -
              a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] - a[9] * a[3] * a[14] -
             a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] +
             a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] -
             a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] +
              a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
             a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] -
             a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] +
              a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] -
              a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] -
             a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
             a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
              a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] + a[8] * a[1] * a[6] -
              a[8] * a[2] * a[5];
    if (adjugate)
        std::memcpy(adjugate->m, inv, sizeof inv);
    return a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
}

}  // namespace

float D3DXMatrixDeterminant(const D3DXMATRIX* m)
{
    return Adjugate(*m, nullptr);
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m)
{
    D3DXMATRIX adjugate;
    const float det = Adjugate(*m, &adjugate);
    if (determinant)
        *determinant = det;
    if (det == 0.0f || !std::isfinite(det))
        return nullptr;
    const float scale = 1.0f / det;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c)
            adjugate.m[r][c] *= scale;
    }
    *out = adjugate;
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z)
{
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float x, float y, float z)
{
    *out = D3DXMATRIX(x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle)
{
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, axis);
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    *out = D3DXMATRIX(t * n.x * n.x + c, t * n.x * n.y + s * n.z, t * n.x * n.z - s * n.y, 0, t * n.x * n.y - s * n.z,
                      t * n.y * n.y + c, t * n.y * n.z + s * n.x, 0, t * n.x * n.z + s * n.y, t * n.y * n.z - s * n.x,
                      t * n.z * n.z + c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll)
{
    D3DXMATRIX z, x, y;
    D3DXMatrixRotationZ(&z, roll);
    D3DXMatrixRotationX(&x, pitch);
    D3DXMatrixRotationY(&y, yaw);
    *out = z * x * y;
    return out;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at, const D3DXVECTOR3* up)
{
    D3DXVECTOR3 zAxis, xAxis, yAxis;
    const D3DXVECTOR3 forward = *at - *eye;
    D3DXVec3Normalize(&zAxis, &forward);
    D3DXVec3Cross(&xAxis, up, &zAxis);
    D3DXVec3Normalize(&xAxis, &xAxis);
    D3DXVec3Cross(&yAxis, &zAxis, &xAxis);
    *out = D3DXMATRIX(xAxis.x, yAxis.x, zAxis.x, 0, xAxis.y, yAxis.y, zAxis.y, 0, xAxis.z, yAxis.z, zAxis.z, 0,
                      -D3DXVec3Dot(&xAxis, eye), -D3DXVec3Dot(&yAxis, eye), -D3DXVec3Dot(&zAxis, eye), 1);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zNear, float zFar)
{
    const float yScale = 1.0f / std::tan(fovY * 0.5f);
    const float xScale = yScale / aspect;
    const float depth = zFar / (zFar - zNear);
    *out = D3DXMATRIX(xScale, 0, 0, 0, 0, yScale, 0, 0, 0, 0, depth, 1, 0, 0, -zNear * depth, 0);
    return out;
}

D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, float width, float height, float zNear, float zFar)
{
    *out = D3DXMATRIX(2.0f / width, 0, 0, 0, 0, 2.0f / height, 0, 0, 0, 0, 1.0f / (zFar - zNear), 0, 0, 0,
                      zNear / (zNear - zFar), 1);
    return out;
}

// ---- planes

D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal)
{
    *out = D3DXPLANE(normal->x, normal->y, normal->z, -D3DXVec3Dot(point, normal));
    return out;
}

D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2, const D3DXVECTOR3* v3)
{
    const D3DXVECTOR3 edge1 = *v2 - *v1;
    const D3DXVECTOR3 edge2 = *v3 - *v1;
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &edge1, &edge2);
    D3DXVec3Normalize(&normal, &normal);
    return D3DXPlaneFromPointNormal(out, v1, &normal);
}

D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p)
{
    const float length = std::sqrt(p->a * p->a + p->b * p->b + p->c * p->c);
    const float scale = length > 0.0f ? 1.0f / length : 0.0f;
    *out = D3DXPLANE(p->a * scale, p->b * scale, p->c * scale, p->d * scale);
    return out;
}

float D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v)
{
    return p->a * v->x + p->b * v->y + p->c * v->z + p->d;
}
float D3DXPlaneDotNormal(const D3DXPLANE* p, const D3DXVECTOR3* v)
{
    return p->a * v->x + p->b * v->y + p->c * v->z;
}

D3DXVECTOR3* D3DXPlaneIntersectLine(D3DXVECTOR3* out, const D3DXPLANE* p, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2)
{
    const D3DXVECTOR3 direction = *v2 - *v1;
    const float denominator = D3DXPlaneDotNormal(p, &direction);
    if (denominator == 0.0f)
        return nullptr;
    const float t = -D3DXPlaneDotCoord(p, v1) / denominator;
    *out = *v1 + direction * t;
    return out;
}

// ---- probes

BOOL D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2, const D3DXVECTOR3* rayPos,
                      const D3DXVECTOR3* rayDir, float* u, float* v, float* distance)
{
    const D3DXVECTOR3 edge1 = *p1 - *p0;
    const D3DXVECTOR3 edge2 = *p2 - *p0;
    D3DXVECTOR3 pvec;
    D3DXVec3Cross(&pvec, rayDir, &edge2);
    const float det = D3DXVec3Dot(&edge1, &pvec);
    if (std::fabs(det) < 1e-12f)
        return FALSE;
    const float inverse = 1.0f / det;
    const D3DXVECTOR3 tvec = *rayPos - *p0;
    const float bu = D3DXVec3Dot(&tvec, &pvec) * inverse;
    if (bu < 0.0f || bu > 1.0f)
        return FALSE;
    D3DXVECTOR3 qvec;
    D3DXVec3Cross(&qvec, &tvec, &edge1);
    const float bv = D3DXVec3Dot(rayDir, &qvec) * inverse;
    if (bv < 0.0f || bu + bv > 1.0f)
        return FALSE;
    const float t = D3DXVec3Dot(&edge2, &qvec) * inverse;
    if (t < 0.0f)
        return FALSE;
    if (u)
        *u = bu;
    if (v)
        *v = bv;
    if (distance)
        *distance = t;
    return TRUE;
}

BOOL D3DXBoxBoundProbe(const D3DXVECTOR3* boxMin, const D3DXVECTOR3* boxMax, const D3DXVECTOR3* rayPos,
                       const D3DXVECTOR3* rayDir)
{
    float nearest = 0.0f;
    float farthest = INFINITY;
    const float origin[3] = {rayPos->x, rayPos->y, rayPos->z};
    const float direction[3] = {rayDir->x, rayDir->y, rayDir->z};
    const float low[3] = {boxMin->x, boxMin->y, boxMin->z};
    const float high[3] = {boxMax->x, boxMax->y, boxMax->z};
    for (int axis = 0; axis < 3; ++axis) {
        if (direction[axis] == 0.0f) {
            if (origin[axis] < low[axis] || origin[axis] > high[axis])
                return FALSE;
            continue;
        }
        float t1 = (low[axis] - origin[axis]) / direction[axis];
        float t2 = (high[axis] - origin[axis]) / direction[axis];
        if (t1 > t2) {
            const float swap = t1;
            t1 = t2;
            t2 = swap;
        }
        // fmax and fmin by hand (a parameter that is not a number leaves the other): the library
        // calls cost more than the rest of the test.
        nearest = (nearest < t1 || nearest != nearest) ? t1 : nearest;
        farthest = (t2 < farthest || farthest != farthest) ? t2 : farthest;
        if (nearest > farthest)
            return FALSE;
    }
    return TRUE;
}

BOOL D3DXSphereBoundProbe(const D3DXVECTOR3* centre, float radius, const D3DXVECTOR3* rayPos, const D3DXVECTOR3* rayDir)
{
    const D3DXVECTOR3 toCentre = *centre - *rayPos;
    const float lengthSq = D3DXVec3LengthSq(rayDir);
    if (lengthSq == 0.0f)
        return D3DXVec3LengthSq(&toCentre) <= radius * radius ? TRUE : FALSE;
    float t = D3DXVec3Dot(&toCentre, rayDir) / lengthSq;
    if (t < 0.0f)
        t = 0.0f;
    const D3DXVECTOR3 closest = *rayPos + *rayDir * t - *centre;
    return D3DXVec3LengthSq(&closest) <= radius * radius ? TRUE : FALSE;
}

UINT D3DXGetFVFVertexSize(DWORD fvf)
{
    return FvfVertexSize(fvf);
}
