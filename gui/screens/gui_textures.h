// The registry of GUI textures (512 entries, each holding one reference) and the image search of GUI
// names, and the GUI's sounds.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

class SoundInstance;

constexpr u32_t GUI_TEXTURE_SLOTS = 512;

// The texture of a GUI image name: the registered name as given, then "component\_common\" + the
// file name after the last backslash registered, then loaded, then the name as given loaded; null
// when none exists.
IDirect3DTexture8* GuiTextureGet(const char* name);
// The registered texture of exactly that name (case matters), or null.
IDirect3DTexture8* GuiTextureFind(const char* name);
// Tries name + ".dds", ".tga", ".bmp", ".png", ".jpg" on disk, then the same through the archives;
// registers and returns the first that loads, else null.
IDirect3DTexture8* GuiTextureLoad(const char* name, UINT width, UINT height, UINT mipLevels, DWORD usage,
                                  D3DFORMAT format, D3DPOOL pool);
// Takes the caller's reference into the first free entry; a texture already held takes no second
// one. With no entry free the texture is released, one line is logged, and false is answered.
bool GuiTextureRegister(IDirect3DTexture8* texture, const char* name);
// Releases every registered texture (GUI shutdown).
void GuiTexturesFree();
// After a display-mode change (a device hook, registered while the registry holds a texture): every
// texture is loaded again by its name into the handle it had; one that cannot be loaded keeps its
// contents.
void GuiRecreateTextures();
u32_t GuiTextureCount();

// A new instance of the wave for GUI use (mode 4 when flagged, else 3), not started; null when
// the wave is missing.
SoundInstance* GuiPlaySound(const char* name, bool flag);
