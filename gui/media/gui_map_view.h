// The briefing map: the mission's land map picture with chosen patrol paths drawn over it, each a
// chain of textured segments with a marker and the name at every point. The wheel zooms, a drag with
// the right button pans, a click re-centres. Paths come from the mission's "mission.ptl", the point
// positions from the POINT objects of its "mission.env".
#pragma once
#include <vector>

#include "core/strings/engine_string.h"
#include "gui/controls/gui_controls.h"
#include "platform/d3d8.h"

constexpr u32_t GUI_MAP_PATH_NAMES = 16;
constexpr float GUI_MAP_ZOOM_STEP = 0.25f;
constexpr float GUI_MAP_ZOOM_CLOSEST = 0.25f;
// The map units the whole view spans at zoom 1, centred on the map origin.
constexpr float GUI_MAP_SPAN = 20000.0f;

struct GuiMapPoint {
    float horizontal = 0.0f;
    float vertical = 0.0f;
};

struct GuiMapPath {
    EngineString name;
    std::vector<GuiMapPoint> points;
    std::vector<EngineString> pointNames;
};

class GuiMapView : public GuiControl {
public:
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    // Re-centres the map; the zoom stays.
    void OnClick(s32_t x, s32_t y) override;
    // Pans while the right button is held, within the pan limits.
    void OnMouse(u32_t buttons, s32_t x, s32_t y, s32_t dx, s32_t dy) override;
    // Zooms out one step, at most to the whole map.
    void OnScrollDown() override;
    // Zooms in one step, at most to a quarter; the view stays centred.
    void OnScrollUp() override;
    void GetRect(RECT* rect) const override;
    void OnActivate(GuiScreen* previous) override;
    void OnDeInit() override;
    // Reads the named paths of the current mission again, and its land map picture.
    void RefreshData() override;

    // A seventeenth name is ignored (false).
    bool AddPathName(const char* pathName);
    u32_t PathNameCount() const { return static_cast<u32_t>(pathNames.size()); }
    // Where a map position lies on the screen in pixels, with the rectangle as last drawn.
    void Place(const GuiMapPoint& point, float* px, float* py) const;

    float opacity = 1.0f;
    float width = 0.0f;
    float height = 0.0f;
    IDirect3DTexture8* mapTexture = nullptr;      // not owned
    IDirect3DTexture8* markerTexture = nullptr;   // not owned
    IDirect3DTexture8* segmentTexture = nullptr;  // not owned
    float originU = 0.0f;
    float originV = 0.0f;
    float panX = 0.0f;
    float panY = 0.0f;
    float zoom = 1.0f;
    float panLimitX = 2.0f;  // pixels
    float panLimitY = 2.0f;
    float panPixelsX = 0.0f;
    float panPixelsY = 0.0f;
    float rectWidth = 0.0f;  // pixels, refreshed at each draw
    float rectHeight = 0.0f;
    float aspect = 1.0f;
    float labelSize = 0.0f;
    u32_t endMarkerSize = 10;
    u32_t markerSize = 5;
    std::vector<EngineString> pathNames;
    std::vector<GuiMapPath> paths;

private:
    RECT PixelBox(float offsetX, float offsetY, float scaleX, float scaleY) const;
    void MeasureRect(const RECT& box);
    RECT m_box = {};
};
