// The weapon object: what the HUD and a carrier's fixed weapon read of it so far. Its own
// definition keywords come with its class; a line the graphic object does not know is refused.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"
#include "world/graph_obj.h"

class GraphNode;

// Fire modes of a weapon.
constexpr u32_t kFireModeAuto = 0x1;
constexpr u32_t kFireModeSingle = 0x10;
constexpr u32_t kFireModeBurst = 0x100;

// The weapon's HUD screens (empty: none) and its fire modes.
struct WeaponHud {
    EngineString crosshairScreen;
    EngineString scopeScreen;
    EngineString weaponScreen;
    s32_t fireModeCount = 1;
    u32_t fireMode = kFireModeSingle;
};

class Weapon : public GraphObj {
public:
    Weapon() { typeId = OBJECT_TYPE_WEAPON; }
    ~Weapon() override = default;

    WeaponHud hud;
    GraphNode* mountNode = nullptr;  // the carrier's node the weapon hangs from (not owned)
};
