// The satellite view's control: the mouse cursor pans, zooms and drags the top-down map camera,
// centres it on a soldier preview or a map marker, selects friendly soldiers and gives them stance,
// behaviour, turn, move and attack orders through the "LAYER9" order panel, and uses objects. The
// selection, the orders and the command menu belong to tutorial-type missions.
#pragma once
#include "core/types.h"

class DOEnvelope;

// The order a click on the map gives the selected soldier, and the cursor icon that shows it.
enum SatelliteOrder : s32_t { SATELLITE_ORDER_TURN = 0, SATELLITE_ORDER_MOVE = 1, SATELLITE_ORDER_ATTACK = 2 };
constexpr s32_t kSatelliteIconTurn = 4;
constexpr s32_t kSatelliteIconMove = 2;
constexpr s32_t kSatelliteIconAttack = 0;

// The squared ground distance below which the cursor's ground point still counts as the drag start.
constexpr float kSatelliteDragEpsilonSq = 1e-6f;

struct SatelliteViewState {
    float centreX = 0.0f, centreZ = 0.0f;                      // where the camera looks down
    float minX = 0.0f, minZ = 0.0f, maxX = 0.0f, maxZ = 0.0f;  // the rectangle the centre stays in
    s32_t zoomLevel = 0;                                       // 0 .. 2, an index of kSatelliteZoomFactors
    float panSpeed = 0.0f;                                     // units per second, fixed at the first call
    u8_t panSpeedSet = 0;
    u8_t dragging = 0;
    float dragStart[3] = {};  // the ground point under the cursor when the drag began
    u8_t soldierSelected = 0;
    DOEnvelope* selected = nullptr;  // the selected soldier's envelope; not owned
    u8_t orderPending = 0;
    s32_t orderKind = SATELLITE_ORDER_TURN;
    s32_t cursorIcon = kSatelliteIconAttack;  // read by the satellite view's drawing
};
extern SatelliteViewState g_satelliteView;

// Mission start: no drag, selection or order, the zoom and the field of view at their first level
// and the centre at the origin, within the mission's rectangle. The pan speed, fixed at the first
// call ever, stays.
void SatelliteViewReset(float minX, float minZ, float maxX, float maxZ);
// One frame of the satellite view's control.
void SatelliteViewUpdate();
// The steps on their own, for a cursor already read and a screen of width x height pixels.
void SatelliteZoomStep();
void SatellitePanStep(s32_t width, s32_t height);
// While dragging: the centre moves so that the ground point the drag began at comes back under the
// cursor, within the rectangle. (A drag begins in the pan step while "zoom" is held.)
void SatelliteDragStep();
// A click on the line of the "OZICONS" marker list: the view centres on that line's marker; the
// marker bearing the player's name first moves to where the player stands. False when there is no
// such line.
bool SatelliteCentreOnMarkerLine(u32_t line);
// The same for the marker named by a line's text; nothing for a text no marker bears.
void SatelliteCentreOnMarkerNamed(const char* lineText);
// A click on the button of that name of the "LAYER9" order panel for the selected soldier. False
// when the name is no button of the panel.
bool SatelliteOrderButton(const char* buttonName);
// "fire" released: selection, a pending order, the order panel or object use, in that precedence.
void SatelliteClickStep();
