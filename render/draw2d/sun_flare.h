// The sun's lens flare: textured sprites round the sun's place in the sky, drawn while the sun is
// in view and not hidden by the map or an indoor mesh. Visibility is traced at most every 250 ms
// (the last result holds in between); the flare fades in quickly when the sun appears and vanishes
// at once when it is hidden.
#pragma once
#include "core/types.h"

// fade takes this value while the sun is hidden.
constexpr float kSunFlareHidden = 0.1f;
constexpr u32_t kSunFlareTestInterval = 250;  // ms

struct SunFlareState {
    float fade = 1.0f;
    u32_t lastTest = 0;      // tick of the last visibility test
    float intensity = 0.0f;  // how straight the camera looks at the sun, 0..1
    u8_t suppress = 0;       // set by the world passes where no sun can be seen (indoors)
};

extern SunFlareState g_sunFlare;

// Once per frame, by the normal and the reduced frame pass lists.
void SunFlareDraw();
