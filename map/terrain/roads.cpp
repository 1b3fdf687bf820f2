#include "map/terrain/roads.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "core/files/def_file.h"
#include "core/strings/finite_number.h"
#include "core/files/script_file.h"
#include "core/strings/text_case.h"
#include "render/device/render_device.h"
#include "render/textures/texture_manager.h"

namespace {

constexpr u32_t kBuilderFirstCapacity = 100;
constexpr const char* kTextureFolder = "component\\_common\\";

template <class T>
struct GrowArray {
    T* items = nullptr;
    u32_t count = 0;
    u32_t capacity = 0;

    bool Append(const T& item)
    {
        if (count >= capacity) {
            const u32_t grown = capacity ? capacity * 2 : kBuilderFirstCapacity;
            T* larger = new (std::nothrow) T[grown];
            if (!larger)
                return false;
            std::copy_n(items, count, larger);
            delete[] items;
            items = larger;
            capacity = grown;
        }
        items[count++] = item;
        return true;
    }

    void Take(T** out, u32_t* outCount)
    {
        T* copy = count ? new (std::nothrow) T[count] : nullptr;
        if (copy)
            std::copy_n(items, count, copy);
        *out = copy;
        *outCount = copy ? count : 0;
        delete[] items;
        items = nullptr;
        count = capacity = 0;
    }
};

GrowArray<MapVertex> g_builderVertices;
GrowArray<MapFace> g_builderFaces;

Road** g_roads = nullptr;
u32_t g_roadCount = 0;

// The settings a road type gives: filters, anisotropy and, for the name, the texture.
struct RoadSettings {
    u32_t tileWord = 0;
    s32_t mipFilter = 2;
    s32_t minMagFilter = 2;
    float maxAnisotropy = 1.0f;
    IDirect3DTexture8* texture = nullptr;
};

void ReadTypeSettings(const ScriptSection* section, RoadSettings& settings)
{
    if (!section)
        return;
    for (const ScriptCommand& command : section->commands) {
        const char* keyword = command.Keyword();
        if (CompareNoCase(keyword, "mip_filter") == 0) {
            settings.mipFilter = static_cast<s32_t>(TextureFilterFromName(command.Word(1)));
        } else if (CompareNoCase(keyword, "mm_filter") == 0) {
            settings.minMagFilter = static_cast<s32_t>(TextureFilterFromName(command.Word(1)));
        } else if (CompareNoCase(keyword, "max_anisotropy") == 0) {
            settings.maxAnisotropy = FiniteFloatOrZero(command.Word(1));
        }
    }
}

// The texture of the last command of the section whose keyword is the name.
IDirect3DTexture8* FindTexture(const ScriptSection* section, const char* name)
{
    IDirect3DTexture8* texture = nullptr;
    if (!section)
        return texture;
    for (const ScriptCommand& command : section->commands) {
        if (CompareNoCase(command.Keyword(), name) == 0)
            texture = TextureFindOrLoad((std::string(kTextureFolder) + command.Word(1)).c_str());
    }
    return texture;
}

float ReadNumber(const DefEntry* entry, int index)
{
    return FiniteFloatOrZero(entry->Value(index));
}

// The record being filled and its strip: where the strip's last cross-section starts.
class RoadReader {
public:
    // Finishes the current record, then starts a new one with the settings.
    void Start(const RoadSettings& settings)
    {
        Finish();
        m_settings = settings;
        m_road = new (std::nothrow) Road();
        if (!m_road)
            return;
        m_road->tileWord = settings.tileWord;
        m_road->mipFilter = settings.mipFilter;
        m_road->minMagFilter = settings.minMagFilter;
        m_road->maxAnisotropy = settings.maxAnisotropy;
        m_road->texture = settings.texture;
        const u32_t before = RoadListCount();
        RoadListAdd(m_road);
        if (RoadListCount() == before)
            m_road = nullptr;  // the list could not grow and freed the record
        m_stripOpen = false;
    }

    // The next strip of the current record starts with the next cross-section.
    void NewStrip() { m_stripOpen = false; }

    // One "vert" line: a cross-section of two vertices, joined to the strip's previous one.
    void AddCrossSection(const DefEntry* entry)
    {
        if (!m_road)
            return;
        MapVertex pair[2] = {};
        for (int side = 0; side < 2; ++side) {
            const int at = side * 5;
            pair[side].position = {ReadNumber(entry, at), ReadNumber(entry, at + 1), ReadNumber(entry, at + 2)};
            pair[side].v = ReadNumber(entry, at + 3);
            pair[side].u = ReadNumber(entry, at + 4);
        }
        if (RoadBuilderVertexCount() + 2 > ROAD_MAX_VERTICES) {
            // 16-bit indices reach no further: the strip goes on in a new record of the same road,
            // from its last cross-section.
            const bool continuing = m_stripOpen;
            const MapVertex last[2] = {m_last[0], m_last[1]};
            Start(m_settings);
            if (!m_road)
                return;
            if (continuing)
                AppendPair(last);
        }
        AppendPair(pair);
    }

    void Finish()
    {
        if (!m_road)
            return;
        RoadBuilderTakeVertices(&m_road->vertices, &m_road->vertexCount);
        RoadBuilderTakeFaces(&m_road->faces, &m_road->faceCount);
        m_road = nullptr;
    }

    bool HasRecord() const { return m_road != nullptr; }

private:
    void AppendPair(const MapVertex* pair)
    {
        const u32_t first = RoadBuilderVertexCount();
        for (int side = 0; side < 2; ++side) {
            const Vector3& p = pair[side].position;
            m_road->boundsMin = {std::min(m_road->boundsMin.x, p.x), std::min(m_road->boundsMin.y, p.y),
                                 std::min(m_road->boundsMin.z, p.z)};
            Vec3Max(&m_road->boundsMax, m_road->boundsMax, p);
            RoadBuilderAddVertex(p, pair[side].u, pair[side].v);
        }
        if (m_stripOpen) {
            const u16_t b = static_cast<u16_t>(first - 2);
            RoadBuilderAddFace(b, b + 1, b + 2);
            RoadBuilderAddFace(b + 3, b + 2, b + 1);
        }
        m_stripOpen = true;
        m_last[0] = pair[0];
        m_last[1] = pair[1];
    }

    Road* m_road = nullptr;
    RoadSettings m_settings;
    bool m_stripOpen = false;
    MapVertex m_last[2] = {};
};

bool KeyIs(const DefEntry* entry, const char* key)
{
    return entry && std::strcmp(entry->key.Text(), key) == 0;
}

void ReadFirstForm(const DefEntry* entry, ScriptFile* script, ScriptSection* section)
{
    RoadReader reader;
    while (KeyIs(entry, "road")) {
        RoadSettings settings;
        if (entry->valueCount > 0)
            section = script->FindSection(entry->Value(0));
        ReadTypeSettings(section, settings);
        entry = entry->next;
        if (KeyIs(entry, "tile")) {
            settings.tileWord = ROAD_TILE_NONE;
            entry = entry->next;
        }
        std::string previousName;
        bool havePrevious = false;
        while (KeyIs(entry, "segment")) {
            const bool named = entry->valueCount > 0;
            if (!named) {
                // A strip without a name has no texture to take: it and its cross-sections are left out.
                entry = entry->next;
                while (KeyIs(entry, "vert"))
                    entry = entry->next;
                continue;
            }
            const char* name = entry->Value(0);
            if (havePrevious && previousName == name && reader.HasRecord()) {
                reader.NewStrip();
            } else {
                previousName = name;
                havePrevious = true;
                settings.texture = FindTexture(section, name);
                reader.Start(settings);
            }
            entry = entry->next;
            while (KeyIs(entry, "vert")) {
                reader.AddCrossSection(entry);
                entry = entry->next;
            }
        }
        reader.Finish();
    }
}

void ReadSecondForm(const DefEntry* entry, ScriptFile* script, ScriptSection* section)
{
    RoadReader reader;
    for (; entry; entry = entry->next) {
        if (KeyIs(entry, "road")) {
            reader.Finish();
            // A road without a texture key starts nothing: its cross-sections are left out, like
            // those before the first road.
            if (entry->valueCount == 0)
                continue;
            RoadSettings settings;
            settings.tileWord = ROAD_TILE_NONE;
            ReadTypeSettings(section, settings);
            settings.texture = FindTexture(section, entry->Value(0));
            reader.Start(settings);
        } else if (KeyIs(entry, "type")) {
            section = script->FindSection(entry->Value(0));
        } else if (KeyIs(entry, "vert")) {
            reader.AddCrossSection(entry);
        }
    }
    reader.Finish();
}

}  // namespace

Vector3* Vec3Max(Vector3* out, const Vector3& a, const Vector3& b)
{
    *out = {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
    return out;
}

void RoadBuilderAddVertex(const Vector3& position, float u, float v)
{
    MapVertex vertex = {};
    vertex.position = position;
    vertex.u = u;
    vertex.v = v;
    g_builderVertices.Append(vertex);
}

void RoadBuilderAddFace(u16_t i0, u16_t i1, u16_t i2)
{
    MapFace face;
    face.indices[0] = i0;
    face.indices[1] = i1;
    face.indices[2] = i2;
    g_builderFaces.Append(face);
}

int RoadBuilderTakeVertices(MapVertex** outArray, u32_t* outCount)
{
    g_builderVertices.Take(outArray, outCount);
    return 1;
}

int RoadBuilderTakeFaces(MapFace** outArray, u32_t* outCount)
{
    g_builderFaces.Take(outArray, outCount);
    return 1;
}

u32_t RoadBuilderVertexCount()
{
    return g_builderVertices.count;
}

u32_t RoadListCount()
{
    return g_roadCount;
}

Road* RoadListGet(u32_t index)
{
    return index < g_roadCount ? g_roads[index] : nullptr;
}

void RoadListAdd(Road* road)
{
    Road** grown = new (std::nothrow) Road*[g_roadCount + 1];
    if (!grown) {
        delete road;
        return;
    }
    std::copy_n(g_roads, g_roadCount, grown);
    grown[g_roadCount++] = road;
    delete[] g_roads;
    g_roads = grown;
}

void RoadListFree()
{
    for (u32_t i = 0; i < g_roadCount; ++i) {
        delete[] g_roads[i]->vertices;
        delete[] g_roads[i]->faces;
        delete g_roads[i];
    }
    delete[] g_roads;
    g_roads = nullptr;
    g_roadCount = 0;
}

void RoadsLoad(const char* missionFolder)
{
    const std::string path = std::string(missionFolder ? missionFolder : "") + "\\mission.rds";
    DefFile* file = DefFileLoad(path.c_str());
    if (!file)
        return;
    ScriptFile* script = GetScriptFile("roads", false);
    if (!script) {
        DefFileRelease(file);
        return;
    }
    ScriptSection* section = script->FindSection("DEFAULT");
    const DefEntry* first = file->first;
    if (first) {
        if (KeyIs(first, "Roads"))
            ReadFirstForm(first->next, script, section);
        else
            ReadSecondForm(first, script, section);
    }
    DefFileRelease(file);
}
