// Textures loaded up front and kept in one record: the GUI set (logo, grid font, indicator), the
// cursor set of a mission, and the compass, selection and water animation frames.
// Each texture is null when it is missing.
#pragma once
#include "platform/d3d8.h"

constexpr int WATER_FRAME_COUNT = 32;

struct PreloadedTextures {
    IDirect3DTexture8* cursorActorSel = nullptr;
    IDirect3DTexture8* cursorDestSel = nullptr;
    IDirect3DTexture8* destSelect = nullptr;
    IDirect3DTexture8* guiLogo = nullptr;
    // The grid font: "component\gui\font", or the built-in font when no such file exists.
    IDirect3DTexture8* guiFont = nullptr;
    IDirect3DTexture8* guiIndicator = nullptr;
    IDirect3DTexture8* compass = nullptr;
    IDirect3DTexture8* select = nullptr;
    IDirect3DTexture8* water[WATER_FRAME_COUNT] = {};
    // The sets loaded since the registry last let its textures go.
    bool cursorSetLoaded = false;
    bool guiSetLoaded = false;
    bool compassSetLoaded = false;
};

extern PreloadedTextures g_preloadedTextures;

// Mission start.
void CursorTexturesLoad();
// After every display-mode set and when a mission is left.
void GuiTexturesLoad();
// Mission start.
void CompassAndWaterTexturesLoad();
// After the registry reloaded its textures (new pointers): the sets loaded so far are found again.
void TexturePreloadsRefresh();
// After the registry let every texture go: the globals are set to null (the built-in font stays).
void TexturePreloadsForget();
