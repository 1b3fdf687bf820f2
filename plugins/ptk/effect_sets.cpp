#include "plugins/ptk/effect_sets.h"

#include <cmath>
#include <memory>

#include "plugins/ptk/emitter_def.h"
#include "plugins/ptk/file_loader.h"
#include "plugins/ptk/script_reader.h"

namespace ptk {

OwnedPtrList<ParticleSystem>* g_systems = nullptr;
OwnedPtrList<ParticleSet>* g_sets = nullptr;

namespace {
constexpr const char* kGfxFolder = "object\\gfx\\";
constexpr std::size_t kPathCapacity = 256;

void Identity(float m[16])
{
    for (int i = 0; i < 16; ++i)
        m[i] = i % 5 == 0 ? 1.0f : 0.0f;
}

void Multiply(const float a[16], const float b[16], float out[16])
{
    float r[16];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a[i * 4 + k] * b[k * 4 + j];
            r[i * 4 + j] = sum;
        }
    }
    for (int i = 0; i < 16; ++i)
        out[i] = r[i];
}
}  // namespace

bool ParticleSystem::Read(const char* text, const char* scriptName)
{
    ScriptCursor cursor = ScriptBegin(text, scriptName);
    std::string word;
    if (!TakeWord(cursor, "name") || !ReadIdentifier(cursor, word))
        return false;
    name = word;
    if (!TakeWord(cursor, "type") || !TakeWord(cursor, "emit_exec") || !TakeChar(cursor, '{'))
        return false;
    while (!TakeChar(cursor, '}')) {
        std::string defName;
        EmitterEntry entry = {nullptr, {0.0f, 0.0f, 0.0f}, 0};
        if (!ReadIdentifier(cursor, defName) || !TakeChar(cursor, '{') || !TakeWord(cursor, "emit_exec") ||
            !ReadInteger(cursor, entry.delay) || !ReadFloat(cursor, entry.offset[0]) ||
            !ReadFloat(cursor, entry.offset[1]) || !ReadFloat(cursor, entry.offset[2]) || !TakeChar(cursor, '}'))
            return false;
        char defPath[kPathCapacity];
        if (!JoinName(defPath, sizeof defPath, kGfxFolder, defName.c_str(), ".emt"))
            return false;
        entry.def = LoadEmitterDef(defPath);
        if (!entry.def)
            return false;
        EmitterEntry* stored = new EmitterEntry(entry);
        if (entries.Append(stored) < 0)
            delete stored;
    }
    return true;
}

bool ParticleSet::Read(const char* text, const char* scriptName)
{
    ScriptCursor cursor = ScriptBegin(text, scriptName);
    std::string word;
    if (!TakeWord(cursor, "name") || !ReadIdentifier(cursor, word))
        return false;
    name = word;
    if (!TakeChar(cursor, '{'))
        return false;
    while (!TakeChar(cursor, '}')) {
        std::string systemName;
        if (!TakeWord(cursor, "link") || !ReadIdentifier(cursor, systemName))
            return false;
        std::unique_ptr<Link> link(new Link);
        std::string node;
        if (ReadIdentifier(cursor, node)) {
            link->node = node;
            link->pinned = true;
        } else if (!ReadFloat(cursor, link->pos[0]) || !ReadFloat(cursor, link->pos[1]) ||
                   !ReadFloat(cursor, link->pos[2])) {
            return false;
        }
        if (!ReadInteger(cursor, link->delay))
            return false;
        for (int i = 0; i < 3; ++i)
            link->lastPlacement[i] = link->pos[i];
        char path[kPathCapacity];
        if (!JoinName(path, sizeof path, kGfxFolder, systemName.c_str(), ".pst"))
            return false;
        link->system = LoadParticleSystem(path);
        if (!link->system)
            return false;
        if (links.Append(link.get()) >= 0)
            link.release();
    }
    return true;
}

void SystemsCreate()
{
    SystemsDelete();
    g_systems = new OwnedPtrList<ParticleSystem>(100);
}

void SystemsDelete()
{
    delete g_systems;
    g_systems = nullptr;
}

void SetsCreate()
{
    SetsDelete();
    g_sets = new OwnedPtrList<ParticleSet>(100);
}

void SetsDelete()
{
    delete g_sets;
    g_sets = nullptr;
}

ParticleSystem* LoadParticleSystem(const char* path)
{
    if (!g_systems || !path)
        return nullptr;
    for (std::int32_t i = 0; i < g_systems->Count(); ++i) {
        if (g_systems->At(i)->path == path)
            return g_systems->At(i);
    }
    std::unique_ptr<char[]> text(LoadWholeFile(path));
    if (!text)
        return nullptr;
    std::unique_ptr<ParticleSystem> system(new ParticleSystem);
    if (!system->Read(text.get(), path))
        return nullptr;
    system->path = path;
    // A template the full registry cannot keep could not be released later: the set fails instead.
    if (g_systems->Append(system.get()) < 0)
        return nullptr;
    return system.release();
}

ParticleSet* FindParticleSet(const char* name)
{
    if (!g_sets || !name)
        return nullptr;
    for (std::int32_t i = 0; i < g_sets->Count(); ++i) {
        if (g_sets->At(i)->name == name)
            return g_sets->At(i);
    }
    return nullptr;
}

RunningInstance* InstantiateSet(const ParticleSet& set)
{
    RunningInstance* instance = new RunningInstance;
    for (std::int32_t i = 0; i < set.links.Count(); ++i) {
        const Link& from = *set.links.At(i);
        Link* link = new Link;
        link->group = new EmitterGroup;
        if (from.system) {
            link->group->emitters.reserve(static_cast<std::size_t>(from.system->entries.Count()));
            for (std::int32_t e = 0; e < from.system->entries.Count(); ++e) {
                const EmitterEntry& entry = *from.system->entries.At(e);
                RunningEmitter emitter;
                emitter.def = entry.def;
                emitter.delay = entry.delay;
                for (int c = 0; c < 3; ++c) {
                    emitter.offset[c] = entry.offset[c];
                    emitter.pos[c] = from.pos[c] + entry.offset[c];
                    emitter.prevPos[c] = emitter.pos[c];
                }
                link->group->emitters.push_back(std::move(emitter));
            }
        }
        link->pinned = from.pinned;
        link->node = from.node;
        link->delay = from.delay;
        for (int c = 0; c < 3; ++c) {
            link->pos[c] = from.pos[c];
            link->lastPlacement[c] = from.pos[c];
        }
        if (instance->links.Append(link) < 0)
            delete link;
    }
    return instance;
}

void SpawnRotation(float dx, float dy, float dz, float out[16])
{
    // A direction a little longer than 1 must not take acos out of its range.
    const float y = dy > 1.0f ? 1.0f : (dy < -1.0f ? -1.0f : dy);
    const float yaw = std::atan2(-dz, dx);
    const float tilt = -std::acos(y);
    float turnY[16];
    float turnZ[16];
    Identity(turnY);
    Identity(turnZ);
    turnY[0] = std::cos(yaw);
    turnY[2] = -std::sin(yaw);
    turnY[8] = std::sin(yaw);
    turnY[10] = std::cos(yaw);
    turnZ[0] = std::cos(tilt);
    turnZ[1] = std::sin(tilt);
    turnZ[4] = -std::sin(tilt);
    turnZ[5] = std::cos(tilt);
    // Row vectors: the tilt about z comes first, then the turn about y.
    float identity[16];
    Identity(identity);
    float tilted[16];
    Multiply(identity, turnZ, tilted);
    Multiply(tilted, turnY, out);
}

}  // namespace ptk
