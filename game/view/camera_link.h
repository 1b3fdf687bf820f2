// The render camera bound to a named node of a world object (a turret, a seat, a cutscene rig), and
// the player's control moved into another actor. The console commands `gxlinkcamera`,
// `gxunlinkcamera` and `gx_incarnate`; the script functions `LinkCamera` and `UnlinkCamera` reach
// the same work through GameLinkCamera and GameUnlinkCamera.
#pragma once
#include "core/types.h"

class GraphNode;

// "object child [third]": links the camera to the child node of the dynamic object. An empty text
// prints "Missing params!"; an unknown object or child prints its line; -1 then, else 0.
s32_t GameLinkCameraCommand(const char* arguments);
s32_t GameUnlinkCameraCommand(const char* arguments);
// The first dynamic object whose name equals the argument (without regard to case) becomes the
// player; with no such object nothing changes. 0.
s32_t GameIncarnateCommand(const char* arguments);

// The script's link: with both names given, the same lookups, their failures printed without the
// error colour; the camera is linked to the child node.
void GameLinkCamera(const char* objectName, const char* childName, const char* third);
void GameUnlinkCamera();
// The node the camera is linked to by these commands and functions, or null.
GraphNode* GameLinkedCameraNode();
