// An addition of ours to the Direct3D 8 shape: trading the contents of two 2D textures, so that a
// texture reloaded (on the device of the moment, after a display-mode change) can go into the
// handle that every holder already keeps.
#pragma once
#include "platform/d3d8.h"

// Afterwards each texture has the other's levels, format, contents, level of detail and device;
// each keeps its reference count and private data. Stages that hold either texture bind its new
// contents. D3DERR_INVALIDCALL for null or identical textures.
HRESULT D3D8TextureExchangeContents(IDirect3DTexture8* first, IDirect3DTexture8* second);
