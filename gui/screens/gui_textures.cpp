#include "gui/screens/gui_textures.h"

#include <cstdio>
#include <cstring>

#include "core/strings/engine_string.h"
#include "core/log.h"
#include "core/sound/sound_sets.h"
#include "core/files/vfs.h"
#include "platform/d3d8_texture_exchange.h"
#include "platform/d3dx8_texture.h"
#include "render/device/device_hooks.h"
#include "render/device/render_context.h"

namespace {

struct GuiTextureRegistry {
    IDirect3DTexture8* textures[GUI_TEXTURE_SLOTS] = {};
    EngineString names[GUI_TEXTURE_SLOTS];
};

GuiTextureRegistry g_guiTextures;

constexpr const char* kExtensions[] = {".dds", ".tga", ".bmp", ".png", ".jpg"};
constexpr std::size_t kPathSize = 320;

IDirect3DTexture8* LoadFromDisk(const char* path, UINT width, UINT height, UINT mipLevels, DWORD usage,
                                D3DFORMAT format, D3DPOOL pool)
{
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(D3DXCreateTextureFromFileExA(g_render.device, path, width, height, mipLevels, usage, format, pool,
                                            D3DX_FILTER_TRIANGLE, D3DX_FILTER_BOX, 0, nullptr, nullptr, &texture)))
        return nullptr;
    return texture;
}

IDirect3DTexture8* LoadFromArchive(const char* path, UINT width, UINT height, UINT mipLevels, DWORD usage,
                                   D3DFORMAT format, D3DPOOL pool)
{
    u32_t size = 0;
    char* data = VFSLoadFile(path, &size);
    if (!data)
        return nullptr;
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(D3DXCreateTextureFromFileInMemoryEx(g_render.device, data, size, width, height, mipLevels, usage, format,
                                                   pool, D3DX_FILTER_TRIANGLE, D3DX_FILTER_BOX, 0, nullptr, nullptr,
                                                   &texture)))
        texture = nullptr;
    delete[] data;
    return texture;
}

IDirect3DTexture8* LoadDefault(const char* name)
{
    return GuiTextureLoad(name, 0, 0, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED);
}

}  // namespace

IDirect3DTexture8* GuiTextureFind(const char* name)
{
    if (!name)
        return nullptr;
    for (u32_t i = 0; i < GUI_TEXTURE_SLOTS; ++i) {
        if (g_guiTextures.textures[i] && std::strcmp(g_guiTextures.names[i].Text(), name) == 0)
            return g_guiTextures.textures[i];
    }
    return nullptr;
}

IDirect3DTexture8* GuiTextureGet(const char* name)
{
    if (!name)
        return nullptr;
    if (IDirect3DTexture8* texture = GuiTextureFind(name))
        return texture;
    const char* slash = std::strrchr(name, '\\');
    char path[kPathSize];
    const int length = std::snprintf(path, sizeof path, "component\\_common\\%s", slash ? slash + 1 : name);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof path) {
        if (IDirect3DTexture8* texture = GuiTextureFind(path))
            return texture;
        if (IDirect3DTexture8* texture = LoadDefault(path))
            return texture;
    }
    return LoadDefault(name);
}

IDirect3DTexture8* GuiTextureLoad(const char* name, UINT width, UINT height, UINT mipLevels, DWORD usage,
                                  D3DFORMAT format, D3DPOOL pool)
{
    if (!name || !g_render.device)
        return nullptr;
    char path[kPathSize];
    IDirect3DTexture8* texture = nullptr;
    for (const char* extension : kExtensions) {
        const int length = std::snprintf(path, sizeof path, "%s%s", name, extension);
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof path)
            return nullptr;
        if ((texture = LoadFromDisk(path, width, height, mipLevels, usage, format, pool)))
            break;
    }
    for (std::size_t i = 0; !texture && i < sizeof kExtensions / sizeof kExtensions[0]; ++i) {
        std::snprintf(path, sizeof path, "%s%s", name, kExtensions[i]);
        texture = LoadFromArchive(path, width, height, mipLevels, usage, format, pool);
    }
    if (!texture)
        return nullptr;
    return GuiTextureRegister(texture, name) ? texture : nullptr;
}

bool GuiTextureRegister(IDirect3DTexture8* texture, const char* name)
{
    if (!texture)
        return false;
    for (u32_t i = 0; i < GUI_TEXTURE_SLOTS; ++i) {
        if (g_guiTextures.textures[i] == texture)
            return true;
    }
    for (u32_t i = 0; i < GUI_TEXTURE_SLOTS; ++i) {
        if (!g_guiTextures.textures[i]) {
            // Holding a texture: a display-mode change must reach the registry from now on.
            if (!RenderDeviceHooksRegistered(RENDER_HOOK_GUI_TEXTURES))
                RenderRegisterDeviceHooks({RENDER_HOOK_GUI_TEXTURES, nullptr, nullptr, nullptr, GuiRecreateTextures});
            g_guiTextures.textures[i] = texture;
            g_guiTextures.names[i].Assign(name ? name : "");
            return true;
        }
    }
    // Every entry is taken: a texture the registry cannot hold would never be released.
    Log("WARNING: GUI texture '%s' not kept, all %u entries are taken\n", name ? name : "",
        static_cast<unsigned>(GUI_TEXTURE_SLOTS));
    texture->Release();
    return false;
}

void GuiTexturesFree()
{
    for (u32_t i = 0; i < GUI_TEXTURE_SLOTS; ++i) {
        IDirect3DTexture8* texture = g_guiTextures.textures[i];
        g_guiTextures.textures[i] = nullptr;
        g_guiTextures.names[i].Clear();
        if (texture)
            texture->Release();
    }
    RenderUnregisterDeviceHooks(RENDER_HOOK_GUI_TEXTURES);
}

void GuiRecreateTextures()
{
    for (u32_t i = 0; i < GUI_TEXTURE_SLOTS && g_guiTextures.textures[i]; ++i) {
        // Controls and screens keep the handles they were given: each texture is loaded anew and its
        // contents go into the handle it had, so no holder is left with a released texture.
        IDirect3DTexture8* held = g_guiTextures.textures[i];
        g_guiTextures.textures[i] = nullptr;
        // The name is taken out first: the load registers it again in the first free entry, this one.
        EngineString name(g_guiTextures.names[i]);
        g_guiTextures.names[i].Clear();
        DebugPrint("Recreating gui texture: %s\n", name.Text());
        if (IDirect3DTexture8* loaded = LoadDefault(name.Text())) {
            for (u32_t lent = 0; lent < GUI_TEXTURE_SLOTS; ++lent) {
                if (g_guiTextures.textures[lent] == loaded) {
                    g_guiTextures.textures[lent] = nullptr;
                    g_guiTextures.names[lent].Clear();
                }
            }
            D3D8TextureExchangeContents(held, loaded);
            loaded->Release();
        }
        // A texture that cannot be loaded again keeps what it had.
        g_guiTextures.textures[i] = held;
        g_guiTextures.names[i].Assign(name.Text());
    }
}

u32_t GuiTextureCount()
{
    u32_t count = 0;
    for (IDirect3DTexture8* texture : g_guiTextures.textures)
        count += texture ? 1 : 0;
    return count;
}

SoundInstance* GuiPlaySound(const char* name, bool flag)
{
    return SoundLoad(nullptr, name, flag ? SOUND_MODE_GUI : SOUND_MODE_VOICE);
}
