// The weapon object: what the HUD reads of it so far.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"
#include "world/dynamic_object.h"

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

class Weapon : public DynamicObject {
public:
    ~Weapon() override = default;

    WeaponHud hud;
};
