#include "scene/hud/hud_overlays.h"

#include <cmath>
#include <cstdio>

#include "ai/squads/ai_groups.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "core/console/console_var.h"
#include "core/frame_view.h"
#include "core/mission_timers.h"
#include "game/player/cursor_pick.h"
#include "gui/screens/gui.h"
#include "platform/d3dx8_math.h"
#include "render/draw2d/bitmap_font.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/render_clock.h"
#include "render/device/render_context.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"
#include "render/textures/texture_preload.h"
#include "map/trace/map_trace.h"
#include "map/octree/octree.h"
#include "scene/passes/frame_state.h"
#include "scene/passes/object_pass.h"
#include "scene/hud/object_preview.h"
#include "scene/meshes/object_draw.h"
#include "scene/passes/scene_passes.h"
#include "scene/scene_state.h"
#include "scene/hud/screen_fade.h"
#include "scene/views/secondary_views.h"
#include "scene/sky/sky_backdrop.h"
#include "scene/passes/visibility_pass.h"
#include "actors/actor.h"
#include "world/wires/wires.h"
#include "world/objects/dynamic_object.h"
#include "world/nodes/geometry_enum.h"

namespace {

HudOverlayRequests g_requests = {};
D3DVIEWPORT8 g_projectionViewport = {};

constexpr u32_t kLeaveArgument = ~0u;
constexpr float kLabelScale = 0.4f;

// The front end's switch of all screen drawing (read by name: it is the front end's variable).
bool GuiShown()
{
    static const ConsoleVar* const showGui = CVarListFind("gb_showgui");
    return !showGui || showGui->Bool();
}
constexpr u32_t kEdgeArrowSize = 14;

// Texture factor alpha over no texture: the HUD's flat shapes.
void FlatFactorStates(D3DCOLOR factor)
{
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    RenderSetState(D3DRS_TEXTUREFACTOR, factor);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, kLeaveArgument);
    RenderSetTexture(0, nullptr);
}

void TextureOnlyStages()
{
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kLeaveArgument);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kLeaveArgument);
}

}  // namespace

void HudReadViewport()
{
    if (g_render.device)
        g_render.device->GetViewport(&g_projectionViewport);
}

const D3DVIEWPORT8& HudProjectionViewport()
{
    return g_projectionViewport;
}

void ScreenRectOfBox(const float* box, ScreenRect* rect)
{
    Vector3 corners[8];
    BoxCorners(box, corners);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    rect->left = rect->top = 1e30f;
    rect->right = rect->bottom = -1e30f;
    for (const Vector3& corner : corners) {
        const D3DXVECTOR3 world(corner.x, corner.y, corner.z);
        D3DXVECTOR3 screen;
        D3DXVec3Project(&screen, &world, &g_projectionViewport, &g_savedCamera.projection, &g_savedCamera.view,
                        &identity);
        rect->left = screen.x < rect->left ? screen.x : rect->left;
        rect->top = screen.y < rect->top ? screen.y : rect->top;
        rect->right = screen.x > rect->right ? screen.x : rect->right;
        rect->bottom = screen.y > rect->bottom ? screen.y : rect->bottom;
    }
}

bool HudPointInFront(const float* point)
{
    // The front face of the main view's camera runs through the eye, across its forward direction.
    const D3DXVECTOR3& f = g_savedCamera.forward;
    const D3DXVECTOR3& e = g_savedCamera.eye;
    return f.x * (point[0] - e.x) + f.y * (point[1] - e.y) + f.z * (point[2] - e.z) >= 0.0f;
}

float HudScreenX(float x, bool inFront, float width)
{
    if (inFront)
        return x < 0.0f ? 0.0f : x > width ? width : x;
    const float centre = width * 0.5f;
    if (x > centre)
        return 0.0f;
    if (x < centre)
        return width;
    return x;
}

bool HudMarkerPlace(float* x, float* y, bool inFront, int width, int height)
{
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    *x = HudScreenX(*x, inFront, w);
    *y = *y < 0.0f ? 0.0f : *y > h ? h : *y;
    // Behind the camera x always ends on an edge (or the exact centre, which the brackets would
    // misplace): only a place in front gets brackets.
    return inFront && *x != 0.0f && *x != w && *y != 0.0f && *y != h;
}

void HudDrawBoxMarker(const float* box, const float* point, D3DCOLOR colour)
{
    ScreenRect rect;
    ScreenRectOfBox(box, &rect);
    float x = (rect.left + rect.right) * 0.5f;
    float y = (rect.top + rect.bottom) * 0.5f;
    const bool onScreen = HudMarkerPlace(&x, &y, HudPointInFront(point), g_render.screenWidth, g_render.screenHeight);
    FlatFactorStates(colour);
    if (onScreen) {
        Draw2DCornerBrackets(static_cast<int>(x), static_cast<int>(y),
                             static_cast<int>(0.65f * (rect.right - rect.left)),
                             static_cast<int>(0.65f * (rect.bottom - rect.top)), colour);
    } else {
        Draw2DEdgeArrow(static_cast<u32_t>(x), static_cast<u32_t>(y), kEdgeArrowSize, colour);
    }
    TextureOnlyStages();
}

void HudDrawObjectMarker(DynamicObject* object, D3DCOLOR colour)
{
    if (!object)
        return;
    float box[6];
    object->GetGeometryBounds(box);
    const Vector3 position = object->GetPosition();
    const float point[3] = {position.x, position.y, position.z};
    HudDrawBoxMarker(box, point, colour);
}

HudLabelLayout HudLabelLayoutOf(const Font* font, const float* point, s32_t minHalfWidth, s32_t halfHeight,
                                D3DCOLOR colour, const char* text)
{
    HudLabelLayout layout = {};
    layout.scale = GuiScaleToScreen(kLabelScale);
    layout.backdropFactor = (colour & 0x80000000u) ? 0x80000000u : 0u;
    const int textWidth = font ? static_cast<int>(layout.scale * static_cast<float>(font->GetTextWidth(text))) : 0;
    const int halfWidth = textWidth > minHalfWidth ? textWidth : minHalfWidth;
    const int lineHeight =
        font ? static_cast<int>(layout.scale * static_cast<float>(font->GetCharHeight() - font->GetBase())) : 0;
    layout.left = static_cast<int>(point[0] - static_cast<float>(halfWidth));
    layout.right = static_cast<int>(point[0] + static_cast<float>(halfWidth));
    layout.top = static_cast<int>(point[1] - static_cast<float>(halfHeight));
    layout.bottom = static_cast<int>(point[1] + static_cast<float>(halfHeight));
    layout.textX = static_cast<int>(point[0]);
    layout.textY = static_cast<int>(point[1] - static_cast<float>(halfHeight) - static_cast<float>(lineHeight));
    return layout;
}

void HudDrawLabel(const float* point, s32_t minHalfWidth, s32_t halfHeight, D3DCOLOR colour, const char* text)
{
    const Font* font = g_hudInput.defaultFont;
    if (!font || !text)
        return;
    const HudLabelLayout layout = HudLabelLayoutOf(font, point, minHalfWidth, halfHeight, colour, text);
    FlatFactorStates(layout.backdropFactor);
    Draw2DQuad(layout.left, layout.right, layout.top, layout.bottom);
    RenderSetState(D3DRS_TEXTUREFACTOR, colour);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    DrawFontText(font, false, layout.textX, layout.textY, layout.scale, text, colour, 2);
    TextureOnlyStages();
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
}

ConsoleVar rs_alphanavdist("rs_alphanavdist", CVAR_STRING, "");
ConsoleVar rs_alphanavperc("rs_alphanavperc", CVAR_STRING, "");
ConsoleVar rs_sigmanavdist("rs_sigmanavdist", CVAR_STRING, "");
ConsoleVar rs_sigmanavperc("rs_sigmanavperc", CVAR_STRING, "");
ConsoleVar rs_zenithnavdist("rs_zenithnavdist", CVAR_STRING, "");
ConsoleVar rs_zenithnavperc("rs_zenithnavperc", CVAR_STRING, "");
ConsoleVar rs_sightenvname("rs_sightenvname", CVAR_STRING, "");
ConsoleVar rs_sightenvdist("rs_sightenvdist", CVAR_STRING, "");

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.2831853f;
constexpr u32_t kSightMarkMs = 20000;
constexpr float kMarkerLabelScale = 0.4f;
constexpr D3DCOLOR kPointColour = 0xFF00FF00u;
constexpr D3DCOLOR kObjectColour = 0x80FFFFFFu;
constexpr D3DCOLOR kWireColour = 0x8000FF00u;

struct NavGroup {
    const char* name;
    ConsoleVar* distance;
    ConsoleVar* percent;
};
const NavGroup kNavGroups[] = {{"alpha", &rs_alphanavdist, &rs_alphanavperc},
                               {"sigma", &rs_sigmanavdist, &rs_sigmanavperc},
                               {"zenith", &rs_zenithnavdist, &rs_zenithnavperc}};

float Length(const Vector3& d)
{
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}

Vector3 Minus(const Vector3& a, const Vector3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

// World distances are tenths of a metre: whole metres.
void SetMetres(ConsoleVar& var, float distance)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(distance) / 10);
    var.SetString(text);
}

void SetDashes()
{
    for (const NavGroup& group : kNavGroups) {
        group.distance->SetString("--");
        group.percent->SetString("--");
    }
}

void Text(const Font* font, float x, float y, const char* text, D3DCOLOR colour)
{
    DrawFontText(font, false, static_cast<int>(x), static_cast<int>(y), kMarkerLabelScale, text, colour, 2);
}

// The gallery of the zoomed view: previews side by side from x = 5 along the top.
struct Gallery {
    s32_t x = 5;
    void Add(DynamicObject* object, const char* caption)
    {
        ObjectPreview* preview = ObjectPreviewAdd();
        if (!preview)
            return;
        *preview = {x, 5, 100, 105, 1.0f, 1, object, caption};
        x += 105;
    }
};

bool InEnvelopeTable(const Envelope* envelope)
{
    for (const Envelope* entry : g_ai.envelopes)
        if (entry && entry == envelope)
            return true;
    return false;
}

DynamicObject* BoundObject(const Envelope* envelope)
{
    if (!envelope || envelope->kind != ENVELOPE_KIND_OBJECT)
        return nullptr;
    return static_cast<const DOEnvelope*>(envelope)->object;
}

// Nothing picked in the zoomed view: no envelope name, and the distance to the map along the view.
void TraceViewRay(const Vector3& eye)
{
    rs_sightenvname.SetString("");
    const D3DXVECTOR3& forward = g_savedCamera.forward;
    const float end[3] = {eye.x + forward.x * 10000.0f, eye.y + forward.y * 10000.0f, eye.z + forward.z * 10000.0f};
    MapTraceInfo trace;
    trace.flags = TRACE_TILED | TRACE_VEGLAYER;
    trace.ignoreObject = nullptr;
    trace.objOptions = 0;
    if (MapTrace(&eye.x, end, &trace)) {
        SetMetres(rs_sightenvdist, Length(Minus(trace.hitPoint, eye)));
        SetDashes();
    }
}

}  // namespace

float HudCompassHeading(float yaw)
{
    float h = yaw >= 0.0f ? yaw - kPi : yaw + kPi;
    if (h < 0.0f)
        h += kTwoPi;
    return h;
}

float HudCompassBearing(const Vector3& d)
{
    if (std::fabs(d.z) < 0.001f)
        return d.x >= 0.0f ? kPi : 0.0f;
    return std::atan2(d.x, d.z) + kPi;
}

float HudCompassMarkX(float bearing, float heading, float centreX, float halfWidth)
{
    float rel = bearing - heading;
    if (rel > kPi)
        rel -= kTwoPi;
    else if (rel < -kPi)
        rel += kTwoPi;
    float turn = rel / kTwoPi;
    turn = turn < -halfWidth ? -halfWidth : turn > halfWidth ? halfWidth : turn;
    return centreX + turn;
}

bool HudEnvelopeLabelled(s32_t kind, float distanceSquared)
{
    return kind == ENVELOPE_KIND_POINT || distanceSquared <= 250000.0f;
}

bool HudSightMarkStep(Envelope* envelope, u32_t now)
{
    if (!envelope->sightMark)
        return false;
    // Signed: a start tick still in the future (the report's delay) shows nothing yet.
    const s32_t elapsed = static_cast<s32_t>(now - envelope->sightStart);
    if (elapsed > static_cast<s32_t>(kSightMarkMs)) {
        envelope->sightMark = 0;
        return false;
    }
    return elapsed >= 0 && elapsed < static_cast<s32_t>(kSightMarkMs);
}

void HudWriteNavReadouts(const Vector3& target)
{
    for (const NavGroup& nav : kNavGroups) {
        const AIGroup* group = AIFindGroup(nav.name);
        const AIInterface* first = group && group->memberCount > 0 ? group->members[0] : nullptr;
        if (!first || !first->body || group->CountAlive() < 1) {
            nav.distance->SetString("--");
            nav.percent->SetString("--");
            continue;
        }
        SetMetres(*nav.distance, Length(Minus(target, first->body->GetPosition())));
        char text[32];
        std::snprintf(text, sizeof text, "%d%%", static_cast<int>(first->SightPercentAt(target)));
        nav.percent->SetString(text);
    }
}

void HudDrawWorldMarkers()
{
    ++g_requests.worldMarkers;
    GuiScreen* layer = GuiFindScreen("LAYER1");
    if (!g_hudInput.flags.markersReady || !layer || !GuiShown())
        return;
    const bool hudShown = !g_hudInput.flags.hudHidden;
    const bool zoomed = g_hudInput.flags.binocularView != 0;
    if (hudShown) {
        GuiScreen* kept = g_gui.currentScreen;
        g_gui.currentScreen = layer;
        layer->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        g_gui.currentScreen = kept;
    }

    RenderSetState(D3DRS_LIGHTING, 0);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetState(D3DRS_ZENABLE, 0);
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    TextureOnlyStages();
    RenderSetColorOp(1, D3DTOP_DISABLE, kLeaveArgument, kLeaveArgument);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, kLeaveArgument, kLeaveArgument);
    RenderSetTexture(0, g_preloadedTextures.compass);

    // The strip's rectangle: the layer's left, top, right and bottom as fractions of the screen.
    const float W = static_cast<float>(g_render.screenWidth);
    const float H = static_cast<float>(g_render.screenHeight);
    const float left = layer->left, top = layer->top;
    const float right = layer->left + layer->width, bottom = layer->top + layer->height;
    // The main view's camera as the frame saved it: a view drawn into a texture since (the inset)
    // has set up its own.
    const float h = HudCompassHeading(g_savedCamera.yaw);
    const float u = h / kTwoPi;
    // A missing picture draws nothing: untextured, the strip would be a white bar (or, with a layer
    // that gives no rectangle, a white screen) over the world.
    if (hudShown && g_preloadedTextures.compass)
        Draw2DQuadEx(static_cast<int>(left * W), static_cast<int>(right * W), static_cast<int>(top * H),
                     static_cast<int>(bottom * H), kPointColour, kPointColour, kPointColour, kPointColour, u - 0.1f,
                     0.0f, u + 0.1f, 1.0f);

    Gallery gallery;
    const float centreX = (left + right) * 0.5f;
    const float halfWidth = (right - left) * 0.5f;
    const int stripBottom = static_cast<int>(bottom * H);
    Envelope* picked = GamePickObjectAtCursor();
    HudReadViewport();
    const Font* font = g_hudInput.defaultFont;
    const float lineHeight = font ? kMarkerLabelScale * static_cast<float>(font->GetCharHeight()) : 0.0f;
    const Vector3 eye = {g_savedCamera.position.x, g_savedCamera.position.y, g_savedCamera.position.z};
    const u32_t now = RenderTicks();
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);

    bool viewRayTraced = false;
    for (Envelope* envelope : g_ai.envelopes) {
        if (!envelope || envelope->disabled || envelope->destroyed)
            continue;
        const D3DCOLOR colour = envelope->kind == ENVELOPE_KIND_POINT ? kPointColour : kObjectColour;
        const bool point = envelope->kind == ENVELOPE_KIND_POINT;
        const Vector3 position = envelope->GetPosition();
        const Vector3 d = Minus(position, eye);
        const float distance = Length(d);
        if (envelope->visible) {
            RenderSetState(D3DRS_TEXTUREFACTOR, colour);
            RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
            RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
            const float x = HudCompassMarkX(HudCompassBearing(d), h, centreX, halfWidth);
            if (point && hudShown && g_preloadedTextures.guiIndicator) {
                RenderSetTexture(0, g_preloadedTextures.guiIndicator);
                Draw2DQuad(static_cast<int>((x - 0.01f) * W), static_cast<int>((x + 0.01f) * W), stripBottom,
                           stripBottom + 10);
            }
            char metres[32];
            std::snprintf(metres, sizeof metres, "%dm", static_cast<int>(distance * 0.1f));
            if (font && point && hudShown) {
                Text(font, x * W, static_cast<float>(stripBottom + 10), envelope->name.Text(), colour);
                Text(font, x * W, bottom * H + lineHeight + 10.0f, metres, colour);
            }
            const D3DXVECTOR3 world(position.x, position.y, position.z);
            D3DXVECTOR3 screen;
            D3DXVec3Project(&screen, &world, &g_projectionViewport, &g_savedCamera.projection, &g_savedCamera.view,
                            &identity);
            const float where[3] = {position.x, position.y, position.z};
            const float sx = HudScreenX(screen.x, HudPointInFront(where), W);
            const float maxY = H - lineHeight;
            const float sy = screen.y < 0.0f ? 0.0f : screen.y > maxY ? maxY : screen.y;
            if (font && HudEnvelopeLabelled(envelope->kind, distance * distance)) {
                Text(font, sx, sy, envelope->name.Text(), colour);
                Text(font, sx, sy + lineHeight, metres, colour);
            }
            RenderSetTexture(0, g_preloadedTextures.compass);
        }
        if (HudSightMarkStep(envelope, now) && EnvelopeActorAlive(envelope))
            HudDrawObjectMarker(BoundObject(envelope), envelope->sightColour);
        if (hudShown && zoomed && envelope == picked) {
            rs_sightenvname.SetString(envelope->name.Text());
            SetMetres(rs_sightenvdist, distance);
            HudWriteNavReadouts(position);
        }
        // The view ray's readout is the same for every envelope: traced once a frame.
        if (hudShown && zoomed && !picked && !viewRayTraced) {
            viewRayTraced = true;
            TraceViewRay(eye);
        }
        DynamicObject* bound = BoundObject(envelope);
        if (zoomed && g_hudInput.flags.zoomGallery && envelope->visible && bound) {
            HudDrawObjectMarker(bound, colour);
            gallery.Add(bound, envelope->name.Text());
        }
    }

    if (zoomed && picked && !InEnvelopeTable(picked) && BoundObject(picked)) {
        DynamicObject* object = BoundObject(picked);
        gallery.Add(object, !picked->name.IsEmpty() ? picked->name.Text() : object->name.Text());
    } else if (zoomed && hudShown && !picked) {
        ConObjSightTest();
        const SightedWire& wire = WireGetSighted();
        if (wire.pointSet) {
            const float box[6] = {wire.boxMin.x, wire.boxMin.y, wire.boxMin.z,
                                  wire.boxMax.x, wire.boxMax.y, wire.boxMax.z};
            const float centre[3] = {(box[0] + box[3]) * 0.5f, (box[1] + box[4]) * 0.5f, (box[2] + box[5]) * 0.5f};
            HudDrawBoxMarker(box, centre, kWireColour);
            if (g_frameView.player)
                gallery.Add(g_frameView.player, "Cut wire");
        } else {
            ConObjClearSightedWire();
        }
    } else {
        ConObjClearSightedWire();
    }
    TextureOnlyStages();
}

namespace {

constexpr u32_t kInsetIntervalMs = 250;
constexpr float kInsetFov = 2.0943952f;  // two thirds of pi
u32_t g_insetLastUpdate = 0;
u32_t g_insetUpdates = 0;

// The inset's own target: the water view draws into the secondary-view texture in the same frame
// and would overwrite the inset's picture between its updates.
IDirect3DTexture8* InsetTexture()
{
    return g_render.secondTarget;
}

void UpdateInset(const float* eye, float yaw, float pitch, float roll, float fov)
{
    IDirect3DTexture8* texture = InsetTexture();
    IDirect3DSurface8* surface = nullptr;
    if (!texture || FAILED(texture->GetSurfaceLevel(0, &surface)) || !surface)
        return;
    RenderTargetBegin(surface);
    if (RenderToTextureActive) {
        // The sky leaves the pass selector at 0; the inset's objects take every term (it has no
        // shadow passes) and the frame gets its own selector back.
        const u32_t keptSelector = RenderGetPassSelector();
        RenderSetupCamera(0.0f, 0.0f, 0.0f, yaw, pitch, roll, kInsetFov, 1);
        SkyBackdropDraw();
        RenderSetupCamera(eye[0], eye[1], eye[2], yaw, pitch, roll, kInsetFov, 1);
        if (OctreeGetRoot()) {
            RenderSetPassSelector(PASS_SELECTOR_FULL);
            // The inset's pass is a secondary view's: the main view's camera (which the water draws
            // from) stays the frame's.
            g_scene.mainView = 0;
            RenderVisibilityPass(eye[0], eye[1], eye[2], yaw, pitch, roll, kInsetFov);
            g_scene.mainView = 1;
            RenderObjectPass();
        }
        RenderSetPassSelector(keptSelector);
        RenderTargetEnd();
        ++g_insetUpdates;
    }
    surface->Release();
    (void)fov;
}

}  // namespace

void HudDrawTeskCam(s32_t left, s32_t top, s32_t right, s32_t bottom)
{
    ++g_requests.insetViews;
    g_requests.insetRect[0] = left;
    g_requests.insetRect[1] = top;
    g_requests.insetRect[2] = right;
    g_requests.insetRect[3] = bottom;

    const float yaw = g_frameView.yaw;
    const float pitch = g_frameView.pitch;
    const float roll = g_frameView.roll;  // GameGetRoll: the screen grab rolls the view
    const float fov = g_frameView.fieldOfView;
    const float* eye = g_frameView.viewPos;
    const u32_t now = RenderTicks();
    if (now - g_insetLastUpdate >= kInsetIntervalMs) {
        UpdateInset(eye, yaw, pitch, roll, fov);
        g_insetLastUpdate = now;
    }

    RenderSetTexture(0, InsetTexture());
    RenderSetTexture(1, nullptr);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    TextureOnlyStages();
    RenderSetColorOp(1, D3DTOP_DISABLE, kLeaveArgument, kLeaveArgument);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, kLeaveArgument, kLeaveArgument);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_STENCILENABLE, 0);
    RenderSetState(D3DRS_LIGHTING, 0);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    RenderSetStageState(1, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    Draw2DQuadEx(left, right, top, bottom, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0.0f, 0.0f, 1.0f, 1.0f);

    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TFACTOR, D3DTA_TEXTURE);
    RenderSetState(D3DRS_TEXTUREFACTOR, 0x80FFFFFFu);
    if (g_hudInput.defaultFont)
        DrawFontText(g_hudInput.defaultFont, false, (left + right) / 2, bottom + 5, GuiScaleToScreen(0.35f), "TeskCam",
                     0xFFFFFFFFu, 2);
    RenderSetupCamera(eye[0], eye[1], eye[2], yaw, pitch, roll, fov, 1);
}

u32_t HudInsetUpdateCount()
{
    return g_insetUpdates;
}

void HudInsetReset()
{
    g_insetLastUpdate = 0;
    g_insetUpdates = 0;
}

namespace {

HudItfTracer g_itfTracer = nullptr;

int ItfText(const Font* font, int x, int y, float scale, const char* text)
{
    if (g_itfTracer)
        g_itfTracer(text, x, y);
    return DrawFontText(font, false, x, y, scale, text, 0xFFFFFFFFu, 0);
}

}  // namespace

void HudSetItfTracer(HudItfTracer tracer)
{
    g_itfTracer = tracer;
}

void HudDrawItfList()
{
    ++g_requests.itfLists;
    const Font* font = g_hudInput.defaultFont;
    GrowArray<MissionTimer*>* timers = GetTimerList();
    if (!font || !timers)
        return;
    // The list stands in the "ITF" screen's corner (the screen's own drawing comes first).
    const GuiScreen* screen = GuiFindScreen("ITF");
    const int x = screen ? static_cast<int>(screen->left * static_cast<float>(g_render.screenWidth)) : 0;
    int y = screen ? static_cast<int>(screen->top * static_cast<float>(g_render.screenHeight)) : 0;
    const float scale = GuiScaleToScreen(kLabelScale);
    // The font's own line step: never 0, so that lines cannot fall on each other on a small screen.
    const int lineHeight = static_cast<int>(static_cast<float>(font->GetCharHeight()) * scale + 1.0f);
    HudQuadStatesTinted(0xFFFFFFFFu);
    ItfText(font, x, y, scale, "- ITF -");
    y += lineHeight;
    char text[160];
    for (s32_t i = 0; i < timers->count; ++i) {
        const MissionTimer* timer = (*timers)[i];
        if (!timer)
            continue;
        std::snprintf(text, sizeof text, "[%d][%s] ", i, timer->name.Text());
        const int width = ItfText(font, x, y, scale, text);
        const u32_t left = timer->duration > timer->elapsed ? timer->duration - timer->elapsed : 0;
        std::snprintf(text, sizeof text, " >%dsec", static_cast<int>(left / 1000));
        ItfText(font, x + width, y, scale, text);
        y += lineHeight;
    }
}

const HudOverlayRequests& HudOverlayRequestsSoFar()
{
    return g_requests;
}

void HudOverlayRequestsClear()
{
    g_requests = {};
}
