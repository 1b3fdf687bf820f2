#include "game/view/camera_link.h"

#include <cstring>
#include <string>

#include "actors/actor.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/strings/text_case.h"
#include "game/player/player_foot_control.h"
#include "game/view/player_view.h"
#include "map/registry/world_registry.h"
#include "render/camera.h"
#include "world/objects/graph_obj.h"

ConsoleVar gxlinkcamera("gxlinkcamera", GameLinkCameraCommand);
ConsoleVar gxunlinkcamera("gxunlinkcamera", GameUnlinkCameraCommand);
ConsoleVar gx_incarnate("gx_incarnate", GameIncarnateCommand);

namespace {

GraphNode* g_linkedNode = nullptr;

// The next blank-separated word from the cursor ("" at the end).
std::string NextWord(const char*& cursor)
{
    while (*cursor == ' ' || *cursor == '\t')
        ++cursor;
    const char* start = cursor;
    while (*cursor && *cursor != ' ' && *cursor != '\t')
        ++cursor;
    return std::string(start, static_cast<size_t>(cursor - start));
}

DynamicObject* FindDynamicObject(const char* name)
{
    const s32_t index = DynObjectFindIndex(name);
    return index >= 0 ? DynObjectGet(index) : nullptr;
}

// The child node of the object's node tree; only graphic objects have one.
GraphNode* FindChildNode(DynamicObject* object, const char* childName)
{
    auto* graphic = dynamic_cast<GraphObj*>(object);
    return graphic ? graphic->FindChild(childName) : nullptr;
}

void Link(GraphNode* node)
{
    g_linkedNode = node;
    RenderSetCameraObject(node);
}

// Finds the object's child; prints the failure with the colour prefix given ("" for none).
GraphNode* FindLinkTarget(const char* objectName, const char* childName, const char* colour)
{
    DynamicObject* object = FindDynamicObject(objectName);
    if (!object) {
        ConPrint(0, "%sObject '%s' not found!\n", colour, objectName);
        return nullptr;
    }
    GraphNode* node = FindChildNode(object, childName);
    if (!node)
        ConPrint(0, "%sChild '%s' not found in object '%s'!\n", colour, childName, objectName);
    return node;
}

constexpr const char* kErrorColour = "\x0E\x02";

}  // namespace

s32_t GameLinkCameraCommand(const char* arguments)
{
    if (!arguments || !arguments[0]) {
        ConPrint(0, "%sMissing params!\n", kErrorColour);
        return 0;
    }
    const char* cursor = arguments;
    const std::string objectName = NextWord(cursor);
    const std::string childName = NextWord(cursor);
    // The third word is read and has no use.
    NextWord(cursor);
    GraphNode* node = FindLinkTarget(objectName.c_str(), childName.c_str(), kErrorColour);
    if (!node)
        return -1;
    Link(node);
    return 0;
}

s32_t GameUnlinkCameraCommand(const char*)
{
    GameUnlinkCamera();
    return 0;
}

void GameLinkCamera(const char* objectName, const char* childName, const char*)
{
    if (!objectName || !childName)
        return;
    if (GraphNode* node = FindLinkTarget(objectName, childName, ""))
        Link(node);
}

void GameUnlinkCamera()
{
    Link(nullptr);
}

GraphNode* GameLinkedCameraNode()
{
    return g_linkedNode;
}

s32_t GameIncarnateCommand(const char* arguments)
{
    const char* name = arguments ? arguments : "";
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    DynamicObject* chosen = nullptr;
    for (s32_t i = 0; i < count && !chosen; ++i) {
        DynamicObject* object = DynObjectGet(i);
        // Only an object of exactly that name: an unnamed soldier is never taken.
        if (object && CompareNoCase(object->name.Text(), name) == 0)
            chosen = object;
    }
    if (!chosen)
        return 0;
    // Only a soldier can carry the player: everything that reads the player takes it for one.
    if (chosen->GetTypeId() != OBJECT_TYPE_ACTOR) {
        ConPrint(0, ERROR_COLOUR "Object '%s' is not a soldier!\n", chosen->name.Text());
        return 0;
    }
    if (g_frameView.player)
        g_frameView.player->SetDrawn(true);
    g_frameView.player = chosen;
    const Vector3 position = chosen->GetPosition();
    float* view = GameGetViewPos();
    const float at[3] = {position.x, position.y, position.z};
    for (int axis = 0; axis < 3; ++axis) {
        view[axis] = at[axis];
        g_playerFoot.previousPosition[axis] = at[axis];
        g_playerFoot.lastLocated[axis] = at[axis];
    }
    const Actor* actor = static_cast<const Actor*>(chosen);
    GameSetYawPitch(actor->GetHeading(), actor->GetPitch());
    chosen->SetDrawn(false);
    for (u8_t& held : g_input.actionDown)
        held = 0;
    return 0;
}
