#include "gui/controls/gui_primitives.h"

#include "gui/screens/gui_scale.h"
#include "render/device/dynamic_buffers.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/render_context.h"
#include "render/device/state_cache.h"

namespace {

// Pre-transformed position, reciprocal w and one colour: 20 bytes.
struct LineVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
};
static_assert(sizeof(LineVertex) == 20, "line vertices are 20 bytes");
constexpr DWORD kLineFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;
constexpr float kLineZ = -0.5f;
// An operation argument of all bits set is left as it is.
constexpr u32_t kKeepArgument = ~0u;

LineVertex Vertex(s32_t x, s32_t y, u32_t colour)
{
    return {static_cast<float>(x), static_cast<float>(y), kLineZ, 1.0f, colour};
}

// Untextured, vertex colour only, no culling or depth.
void LineStates(bool lastPixel)
{
    RenderSetTexture(0, nullptr);
    RenderSetTexture(1, nullptr);
    // Drawing from memory leaves stream 0 unbound; the streaming buffers bind theirs again (with
    // their vertex format) at their next use.
    DynBufferSelect(nullptr);
    RenderSetColorOp(0, D3DTOP_SELECTARG2, kKeepArgument, D3DTA_CURRENT);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG2, kKeepArgument, D3DTA_CURRENT);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ZENABLE, FALSE);
    RenderSetState(D3DRS_ZWRITEENABLE, FALSE);
    RenderSetState(D3DRS_LASTPIXEL, lastPixel ? TRUE : FALSE);
}

void DrawFromMemory(D3DPRIMITIVETYPE type, UINT count, const LineVertex* vertices)
{
    if (!g_render.device)
        return;
    g_render.device->SetVertexShader(kLineFvf);
    g_render.device->DrawPrimitiveUP(type, count, vertices, sizeof(LineVertex));
}

s32_t Truncate(float value)
{
    return static_cast<s32_t>(value);
}

}  // namespace

RECT GuiPixelBox(float x, float y, float width, float height, float offsetX, float offsetY, float scaleX, float scaleY)
{
    const float w = static_cast<float>(GuiScreenWidth());
    const float h = static_cast<float>(GuiScreenHeight());
    RECT box;
    box.left = Truncate(static_cast<float>(Truncate(x * w * scaleX)) + offsetX * w);
    box.right = Truncate(static_cast<float>(Truncate((x + width) * w * scaleX)) + offsetX * w);
    box.top = Truncate(static_cast<float>(Truncate(y * h * scaleY)) + offsetY * h);
    box.bottom = Truncate(static_cast<float>(Truncate((y + height) * h * scaleY)) + offsetY * h);
    return box;
}

void GuiLine::Draw() const
{
    const float w = static_cast<float>(GuiScreenWidth());
    const float h = static_cast<float>(GuiScreenHeight());
    LineStates(true);
    const LineVertex segment[2] = {Vertex(Truncate(startX * w), Truncate(startY * h), startColour),
                                   Vertex(Truncate(endX * w), Truncate(endY * h), endColour)};
    DrawFromMemory(D3DPT_LINELIST, 1, segment);
}

void GuiRect::Draw(float offsetX, float offsetY, float scaleX, float scaleY)
{
    const RECT box = GuiPixelBox(x, y, width, height, offsetX, offsetY, scaleX, scaleY);
    // Its own blend and stage states: an item drawn before (a text's texture-factor alpha, a picture
    // drawn opaque or added) must not decide how a dimming rectangle covers what lies under it.
    GuiAlphaBlendStates();
    RenderSetTexture(0, nullptr);
    RenderSetTexture(1, nullptr);
    Draw2DQuadEx(box.left, box.right, box.top, box.bottom, colours[0], colours[1], colours[2], colours[3], 0.0f, 0.0f,
                 1.0f, 1.0f);
}

void GuiRect::GetRect(RECT* rect) const
{
    if (!rect)
        return;
    const float w = static_cast<float>(GuiScreenWidth());
    const float h = static_cast<float>(GuiScreenHeight());
    rect->left = Truncate(x * w);
    rect->top = Truncate(y * h);
    rect->right = Truncate((x + width) * w);
    rect->bottom = Truncate((y + height) * h);
    if (rect->right - rect->left < 1)
        rect->right = rect->left + 1;
    if (rect->bottom - rect->top < 1)
        rect->bottom = rect->top + 1;
}

void GuiRect::SetFocus(bool) {}

void GuiPoly::Draw(float offsetX, float offsetY, float scaleX, float scaleY)
{
    const RECT box = GuiPixelBox(x, y, width, height, offsetX, offsetY, scaleX, scaleY);
    LineStates(false);
    const LineVertex strip[5] = {Vertex(box.left, box.top, colours[0]), Vertex(box.right, box.top, colours[1]),
                                 Vertex(box.right, box.bottom, colours[2]), Vertex(box.left, box.bottom, colours[3]),
                                 Vertex(box.left, box.top, colours[3])};
    DrawFromMemory(D3DPT_LINESTRIP, 4, strip);
    // The strip leaves the last pixel of each side off; these two corners are drawn apart.
    const LineVertex corners[2] = {Vertex(box.right, box.top, colours[1]), Vertex(box.left, box.bottom, colours[1])};
    DrawFromMemory(D3DPT_POINTLIST, 2, corners);
}

void GuiAlphaBlendStates()
{
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetColorOp(1, D3DTOP_DISABLE, kKeepArgument, kKeepArgument);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, kKeepArgument, kKeepArgument);
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ZENABLE, FALSE);
    RenderSetState(D3DRS_ZWRITEENABLE, FALSE);
}
