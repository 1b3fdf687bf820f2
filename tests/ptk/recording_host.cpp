#include "tests/ptk/recording_host.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "plugins/ptk/file_loader.h"
#include "plugins/ptk/host_binding.h"
#include "plugins/ptk/plugin_entry.h"

namespace ptk_test {

namespace {
RecordingHost g_host;
std::string g_openFile;
bool g_isOpen = false;

std::int32_t FindFile(const char* folder, const char* extension, HostVFSFindCallbackFn callback, std::int32_t)
{
    const std::string prefix = folder;
    const std::string suffix = std::string(".") + extension;
    std::int32_t found = 0;
    for (const auto& [name, text] : g_host.files) {
        if (name.rfind(prefix, 0) == 0 && name.size() > prefix.size() + suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 &&
            name.find('\\', prefix.size()) == std::string::npos) {
            callback(name.substr(prefix.size()).c_str(), folder);
            found = 1;
        }
    }
    return found;
}

std::int32_t OpenFile(const char* name)
{
    g_isOpen = g_host.files.count(name) != 0;
    g_openFile = g_isOpen ? name : "";
    return g_isOpen ? 1 : 0;
}

void CloseFile()
{
    g_isOpen = false;
}

std::int32_t ReadFile(void* buffer, std::uint32_t count)
{
    if (!g_isOpen)
        return 0;
    const std::string& text = g_host.files[g_openFile];
    const std::size_t n = count < text.size() ? count : text.size();
    std::memcpy(buffer, text.data(), n);
    return 1;
}

std::uint32_t FileSize()
{
    return g_isOpen ? static_cast<std::uint32_t>(g_host.files[g_openFile].size()) : 0;
}

int ConPrint(int console, const char* format, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    g_host.lines.push_back({console, buffer});
    return 0;
}

std::int32_t RegisterTexture(const char* name)
{
    g_host.textures.push_back(name);
    return 10 + static_cast<std::int32_t>(g_host.textures.size()) - 1;
}

std::int32_t RegisterAnim(const char* name)
{
    g_host.meshes.push_back(name);
    return 20 + static_cast<std::int32_t>(g_host.meshes.size()) - 1;
}

void AddInfo(void* info)
{
    ParticleInfo copy;
    std::memcpy(&copy, info, sizeof copy);
    g_host.infos.push_back(copy);
    g_host.infoAddresses.push_back(info);
}

std::int32_t NewPin(void* object, const char* node)
{
    PinRecord pin = {object, node, false, {1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 0, 0}};
    g_host.pins.push_back(pin);
    return static_cast<std::int32_t>(g_host.pins.size()) - 1;
}

std::int32_t PinObject(void* object, const char* node)
{
    return NewPin(object, node);
}

std::int32_t PinWeapon(const char* node)
{
    return NewPin(nullptr, node);
}

void UnregisterPin(std::int32_t index)
{
    g_host.unregistered.push_back(index);
    if (index >= 0 && index < static_cast<std::int32_t>(g_host.pins.size()))
        g_host.pins[index].removed = true;
}

void PinTransform(std::int32_t index, float* axes, float* origin)
{
    if (index < 0 || index >= static_cast<std::int32_t>(g_host.pins.size()) || g_host.pins[index].removed)
        return;
    std::memcpy(axes, g_host.pins[index].axes, sizeof g_host.pins[index].axes);
    std::memcpy(origin, g_host.pins[index].position, sizeof g_host.pins[index].position);
}

void WeaponTransform(float* axes, float* position)
{
    std::memcpy(axes, g_host.weaponAxes, sizeof g_host.weaponAxes);
    std::memcpy(position, g_host.weaponPosition, sizeof g_host.weaponPosition);
}

void* Lookup(const char* name)
{
    const std::string key = name;
    if (!g_host.withFileSystem && key.rfind("VFS", 0) == 0)
        return nullptr;
    static const std::map<std::string, void*> table = {
        {"VFSFindFile", reinterpret_cast<void*>(&FindFile)},
        {"VFSOpenFile", reinterpret_cast<void*>(&OpenFile)},
        {"VFSCloseFile", reinterpret_cast<void*>(&CloseFile)},
        {"VFSReadFile", reinterpret_cast<void*>(&ReadFile)},
        {"VFSGetFileSize", reinterpret_cast<void*>(&FileSize)},
        {"framedtime", &g_host.frameTime},
        {"ConPrint", reinterpret_cast<void*>(&ConPrint)},
        {"ParticleRegisterTexture", reinterpret_cast<void*>(&RegisterTexture)},
        {"ParticleRegisterAnim", reinterpret_cast<void*>(&RegisterAnim)},
        {"AddParticleInfo", reinterpret_cast<void*>(&AddInfo)},
        {"ParticleRegisterPinOBJ", reinterpret_cast<void*>(&PinObject)},
        {"ParticleRegisterPinFPW", reinterpret_cast<void*>(&PinWeapon)},
        {"ParticleUnregisterPin", reinterpret_cast<void*>(&UnregisterPin)},
        {"ParticlePinGetTransform", reinterpret_cast<void*>(&PinTransform)},
        {"FPWTrasform", reinterpret_cast<void*>(&WeaponTransform)},
    };
    const auto found = table.find(key);
    return found == table.end() ? nullptr : found->second;
}

void* NoValue(const char*)
{
    return nullptr;
}

HostCallbackBlock g_block = {&Lookup, &NoValue};

std::uint32_t Tick()
{
    return g_host.tick;
}
}  // namespace

std::int32_t RecordingHost::LivePins() const
{
    std::int32_t live = 0;
    for (const PinRecord& pin : pins)
        live += pin.removed ? 0 : 1;
    return live;
}

RecordingHost& Host()
{
    return g_host;
}

HostCallbackBlock* HostBlock()
{
    return &g_block;
}

void PtkFixture::SetUp()
{
    g_host = RecordingHost();
    g_isOpen = false;
    InitCommunication(&g_block);
    ptk::SetTickSource(&Tick);
    ptk::RandomSetState(12345);
}

void PtkFixture::TearDown()
{
    HookProc(HookParticlesMapUnloaded, 0);
    ptk::UnloadAll();
    ptk::UnbindHost();
    ptk::SetWholeFileFallback(nullptr);
    ptk::SetTickSource(nullptr);
    ptk::RandomSetState(1);
}

std::int32_t PtkFixture::LoadMap()
{
    return HookProc(HookParticlesMapLoaded, 0);
}

void PtkFixture::Frame(float seconds, std::uint32_t tickStep)
{
    g_host.infos.clear();
    g_host.infoAddresses.clear();
    g_host.frameTime = seconds;
    g_host.tick += tickStep;
    HookProc(HookParticlesFrame, 0);
}

std::int32_t PtkFixture::Spawn(const char* name, float x, float y, float z, float dx, float dy, float dz)
{
    ParticleSpawnRequest request = {name, &x, &y, &z, &dx, &dy, &dz};
    return HookProc(HookParticlesSpawn, reinterpret_cast<PluginWord>(&request));
}

std::int32_t PtkFixture::Attach(const char* name, void* object)
{
    ParticleEffectEvent event = {name, reinterpret_cast<PluginWord>(object)};
    return HookProc(HookParticlesEffectEvent, reinterpret_cast<PluginWord>(&event));
}

std::string GfxName(const std::string& name, const char* extension)
{
    return "object\\gfx\\" + name + extension;
}

std::string EmitterText(const std::string& vars, const std::string& settings, const std::string& funcs,
                        const std::string& textures)
{
    return "Layer test\n{\n  emiter_def e\n  {\n    Var\n    {\n" + vars + "\n    }\n    Func\n    {\n" + funcs +
           "\n    }\n  }\n  {\n" + settings + "\n  }\n  Textures\n  {\n    " + textures + "\n  }\n}\n";
}

std::string SystemText(const std::string& name, const std::string& def, const char* entry)
{
    return "name " + name + "\ntype emit_exec\n{\n  " + def + " { emit_exec " + entry + " }\n}\n";
}

void AddEffect(const std::string& name, const std::string& emitter, const char* link)
{
    g_host.files[GfxName(name, ".emt")] = emitter;
    g_host.files[GfxName(name, ".pst")] = SystemText(name, name);
    g_host.files[GfxName(name, ".set")] = "name " + name + "\n{\n  link " + name + " " + link + "\n}\n";
}

}  // namespace ptk_test
