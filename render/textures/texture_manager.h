// The texture manager: every texture the program loads by name. A name (given without extension)
// resolves to a file on disk or in the archives, is loaded once and registered in one table of
// 1024 slots; finding it again returns the same pointer, which stays valid until TextureRelease,
// TexturesReleaseAll or TexturesRecreate lets it go. There is no reference counting.
// Each texture carries a TextureInfo record (its path, alpha map, material and reflection maps).
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"
#include "platform/d3d8.h"

struct MapGrid;
struct D3DXIMAGE_INFO;
struct POINT;
class Material;

constexpr int TEXTURE_REGISTRY_SIZE = 1024;
constexpr int TEXTURE_PATH_SIZE = 128;  // the record's path field, terminating zero included

// The folder whose textures win over any other of the same file name.
#define TEXTURE_SHARED_FOLDER "component\\_common\\"

// Kept inside each texture as private data and copied in and out whole.
struct TextureInfo {
    char path[TEXTURE_PATH_SIZE];   // the name as loaded, cut to fit, zero-terminated
    MapGrid* alphaMap;              // see-through texels for the ray tests; owned by the manager
    Material* material;             // the material whose "assign" list names the file, or null
    IDirect3DTexture8* reflectMap;  // null until TextureSetReflectMaps
    IDirect3DTexture8* secondReflectMap;
};

struct TextureSlot {
    IDirect3DTexture8* texture;  // null: the slot is empty
    EngineString name;           // the name exactly as loaded, without extension
    IDirect3DTexture8* reflectMap;
    IDirect3DTexture8* secondReflectMap;
};

struct TextureRegistry {
    TextureSlot slots[TEXTURE_REGISTRY_SIZE];
    // Estimated bytes of every texture loaded, and of those whose name contains "_common". Zeroed by
    // TexturesRecreate, never lowered by a release.
    u32_t totalBytes;
    u32_t commonBytes;
};

extern TextureRegistry g_textures;

// Lookup and loading ------------------------------------------------------------------------------

// The registered texture of that name; else the shared-folder texture of the name's file part
// (registered or loaded); else the name loaded as given. Null when nothing yields it.
IDirect3DTexture8* TextureFindOrLoad(const char* name);
// Loads (TextureCreateFromFile), registers and describes a texture; the alpha map is searched when
// withAlphaMap is set. Null when no file yields it.
IDirect3DTexture8* TextureLoad(const char* name, UINT width, UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                               D3DPOOL pool, bool withAlphaMap);
// Tries ".dds", ".tga", ".bmp", ".png", ".jpg" on disk, then the same through the virtual file
// system. imageInfo (may be null) receives what the file that won holds.
IDirect3DTexture8* TextureCreateFromFile(const char* name, UINT width, UINT height, UINT mipLevels, DWORD usage,
                                         D3DFORMAT format, D3DPOOL pool, D3DXIMAGE_INFO* imageInfo);

// The registry --------------------------------------------------------------------------------------

// Stores the texture and its name in the first empty slot; nothing when it is registered already.
// A full table fails the assertion "0".
void TextureRegister(IDirect3DTexture8* texture, const char* name);
// The texture of the first slot whose name equals the text without regard to case; null when none.
IDirect3DTexture8* TextureFind(const char* name);
// The first occupied slot whose name's file part equals fileName without regard to case; -1 when none.
int TextureFindSlotByFileName(const char* fileName);
// The slot of a registered texture; -1 for null or an unregistered texture.
int TextureFindSlot(const IDirect3DTexture8* texture);
// Frees the alpha map, empties the slot (its reflection entries too) and releases the texture.
// Nothing for null or an unregistered texture.
void TextureRelease(IDirect3DTexture8* texture);
// The same for every slot. Called at mission leave and at render shutdown.
void TexturesReleaseAll();

// The record ---------------------------------------------------------------------------------------

// Copies the record out (an all-zero record when the texture has none); nothing for null.
void TextureGetRecord(IDirect3DTexture8* texture, TextureInfo* out);
void TextureSetRecord(IDirect3DTexture8* texture, const TextureInfo* record);
MapGrid* TextureGetAlphaMap(IDirect3DTexture8* texture);
Material* TextureGetMaterial(IDirect3DTexture8* texture);
// Copies the file part of the record's path (after its last backslash) into out, which holds
// TEXTURE_PATH_SIZE bytes; an empty text for null. Returns false.
bool TextureGetFileName(IDirect3DTexture8* texture, char* out);
// The slot's reflection textures; null when the texture is not registered.
IDirect3DTexture8* TextureGetReflectMap(IDirect3DTexture8* texture);
IDirect3DTexture8* TextureGetSecondReflectMap(IDirect3DTexture8* texture);

// Material properties (from the material loader) -----------------------------------------------------

// Loads both shared-folder reflection textures for the texture of that file name; when both exist
// they go into its slot and record, otherwise its first reflection entry is cleared.
void TextureSetReflectMaps(const char* textureFileName, const char* reflectName1, const char* reflectName2);
// Replaces the texture's alpha map by the shared-folder TGA alphaName; "WARNING: Couldn't set
// alphamap %s\n" in the log when no such grid can be read.
void TextureSetAlphaMap(const char* textureFileName, const char* alphaName);

// Level of detail, quality, recreation ----------------------------------------------------------------

// Sets the level on every texture but the interface ones (gui, font, icon, crosshair, select,
// compass, scope) and on their reflection textures; prints "Textures LOD set to %d\n" on console 0.
void TexturesSetLOD(int level);
// The level of a texture-quality word: "VERY LOW" 3, "LOW" 2, "MEDIUM" 1, "HIGH" 0 (without regard
// to case); -1 for any other text or null.
int TextureQualityLevel(const char* quality);
// Applies the account's texture quality (as_tqmod): stores the level in ritexlod and sets it.
void TexturesApplyQualitySetting();
// After a display-mode change: reloads every registered texture under its name (new pointers, the
// memory counted from zero) and carries each record's alpha map, material and reflections over.
void TexturesRecreate();

// Packs the given level of each texture into one DXT3 texture of maxWidth x maxHeight, row by row
// (shelf packing), registered as the first texture's path + "_merged". offsetsOut receives one texel
// offset per texture that was placed; a texture that does not fit is neither placed nor copied.
// Null when the merged texture cannot be made.
IDirect3DTexture8* TextureAtlasBuild(IDirect3DTexture8** textures, int count, POINT* offsetsOut, int maxWidth,
                                     int maxHeight, int level);
