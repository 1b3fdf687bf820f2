// Textures loaded up front and kept in globals: the GUI set (logo, grid font, indicator), the
// cursor set of a mission, and the compass, selection and water animation frames.
// Each global is null when its texture is missing.
#pragma once
#include "platform/d3d8.h"

constexpr int WATER_FRAME_COUNT = 32;

extern IDirect3DTexture8* g_texCursorActorSel;
extern IDirect3DTexture8* g_texCursorDestSel;
extern IDirect3DTexture8* g_texDestSelect;
extern IDirect3DTexture8* g_texGuiLogo;
// The grid font: "component\gui\font", or the built-in font when no such file exists.
extern IDirect3DTexture8* g_texGuiFont;
extern IDirect3DTexture8* g_texGuiIndicator;
extern IDirect3DTexture8* g_texCompass;
extern IDirect3DTexture8* g_texSelect;
extern IDirect3DTexture8* g_texWater[WATER_FRAME_COUNT];

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
