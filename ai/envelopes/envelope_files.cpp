#include "ai/envelopes/envelope_files.h"

#include <cstdio>
#include <string>
#include <vector>

#include "actors/tesk_actor.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/camera_envelope.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_markers.h"
#include "ai/envelopes/envelope_table.h"
#include "ai/envelopes/mission_cameras.h"
#include "ai/envelopes/shape_envelopes.h"
#include "ai/envelopes/zone_envelope.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/frame_view.h"
#include "core/strings/text_case.h"
#include "gui/texts/gui_locale.h"
#include "map/terrain/terrain_height.h"
#include "map/registry/world_registry.h"
#include "render/render_cvars.h"
#include "world/objects/dynamic_object.h"

namespace {

constexpr s32_t kZoneLeastVertices = 3;
// A zone line: kind, name, parent, flag, vertex count, then three values per vertex.
constexpr s32_t kZoneFirstVertexValue = 5;
constexpr s32_t kValuesPerZoneVertex = 3;

// What a "create" line of each kind carries: the values it reads (the kind and the name included;
// the handler follows them only when the line has exactly one more), and where its parent stands
// (-1: the kind has none).
struct CreateLayout {
    const char* kind;
    s32_t values;
    s32_t parent;
};
constexpr CreateLayout kDobj = {"dobj", 4, 3};
constexpr CreateLayout kBox = {"aabox", 9, 2};
constexpr CreateLayout kVirtual = {"virtual", 3, 2};
constexpr CreateLayout kCode = {"code", 2, -1};
constexpr CreateLayout kPoint = {"point", 7, 2};
constexpr CreateLayout kZone = {"zone", kZoneFirstVertexValue, 2};  // plus the vertices
constexpr CreateLayout kCamera = {"camera", 4, 3};

// An envelope made by this reading and the parent its line names.
struct Created {
    Envelope* envelope;
    std::string parent;
};

bool IsKey(const DefEntry* entry, const char* key)
{
    return CompareNoCase(entry->key.Text(), key) == 0;
}

float FloatValue(const DefEntry* entry, int index)
{
    return index < entry->valueCount ? entry->values[index].ToFloat() : 0.0f;
}

s32_t IntValue(const DefEntry* entry, int index)
{
    return index < entry->valueCount ? entry->values[index].ToInt() : 0;
}

Vector3 PointValue(const DefEntry* entry, int first)
{
    return {FloatValue(entry, first), FloatValue(entry, first + 1), FloatValue(entry, first + 2)};
}

bool TableHasRoom()
{
    for (const Envelope* envelope : g_ai.envelopes) {
        if (!envelope)
            return true;
    }
    return false;
}

// A line short of the values its kind reads would leave the envelope without a name, a place or a
// vertex: it is reported and skipped.
bool HasValues(const DefEntry* entry, const char* kind, long long needed)
{
    if (entry->valueCount >= needed)
        return true;
    ConPrint(0, ERROR_COLOUR "mission.env line %d: a '%s' envelope needs %lld values, the line has %d; skipped\n",
             entry->line, kind, needed, entry->valueCount);
    return false;
}

// The vertex count of a zone line, or -1 (reported) when the line cannot make a zone.
s32_t ZoneVertexCount(const DefEntry* entry)
{
    const s32_t count = IntValue(entry, 4);
    if (count < kZoneLeastVertices) {
        ConPrint(0, ERROR_COLOUR "mission.env line %d: zone '%s' has %d vertices, a zone needs %d; skipped\n",
                 entry->line, entry->Value(1), count, kZoneLeastVertices);
        return -1;
    }
    const long long needed = kZoneFirstVertexValue + static_cast<long long>(kValuesPerZoneVertex) * count;
    return HasValues(entry, kZone.kind, needed) ? count : -1;
}

ZoneEnvelope* MakeZone(const DefEntry* entry, s32_t vertexCount)
{
    std::vector<float> vertices(static_cast<size_t>(vertexCount) * 2);
    for (s32_t i = 0; i < vertexCount; ++i) {
        const int first = kZoneFirstVertexValue + kValuesPerZoneVertex * i;
        vertices[2 * i] = FloatValue(entry, first);
        vertices[2 * i + 1] = FloatValue(entry, first + 1);
    }
    const u8_t inside = IntValue(entry, 3) != 0 ? 1 : 0;
    return CreateZoneEnvelope(entry->Value(1), vertices.data(), static_cast<u32_t>(vertexCount), inside);
}

// The envelope of one "create" line, or null (reported where the line is at fault). layout and
// handlerAt receive where the line's parent and handler stand.
Envelope* CreateFromLine(const DefEntry* entry, const CreateLayout** layout, s32_t* handlerAt)
{
    const char* kind = entry->Value(0);
    const char* name = entry->Value(1);
    static const CreateLayout* const kLayouts[] = {&kDobj, &kBox, &kVirtual, &kCode, &kPoint, &kZone, &kCamera};
    const CreateLayout* found = nullptr;
    for (const CreateLayout* candidate : kLayouts) {
        if (CompareNoCase(kind, candidate->kind) == 0)
            found = candidate;
    }
    // Other kinds make nothing.
    if (!found)
        return nullptr;
    if (!HasValues(entry, found->kind, found->values))
        return nullptr;
    s32_t values = found->values;
    s32_t zoneVertices = 0;
    if (found == &kZone) {
        zoneVertices = ZoneVertexCount(entry);
        if (zoneVertices < 0)
            return nullptr;
        values += kValuesPerZoneVertex * zoneVertices;
    }
    if (!TableHasRoom()) {
        ConPrint(0, ERROR_COLOUR "mission.env line %d: the envelope table holds %u envelopes; '%s' skipped\n",
                 entry->line, ENVELOPE_TABLE_SLOTS, name);
        return nullptr;
    }
    *layout = found;
    *handlerAt = values;
    if (found == &kDobj) {
        DynamicObject* object = DynObjectFind(entry->Value(2));
        if (!object) {
            // A friendly soldier whom the solo campaign's start took out is gone on purpose: his
            // envelope goes with him, without an error.
            if (!EnvelopeObjectRemovedByStart(entry->Value(2)))
                ConPrint(0, ERROR_COLOUR "Could not find object '%s' for envelope '%s'!\n", entry->Value(2), name);
            return nullptr;
        }
        DOEnvelope* envelope = new DOEnvelope(name);
        envelope->Attach(object);
        object->envelope = envelope;
        return envelope;
    }
    if (found == &kCamera) {
        CameraEnvelope* envelope = new CameraEnvelope(name);
        MissionCamera* camera = MissionCameraFind(entry->Value(2));
        if (camera)
            CameraEnvelopeLink(envelope, camera);
        else
            ConPrint(0, ERROR_COLOUR "Could not find camera '%s' for envelope '%s'", entry->Value(2), name);
        return envelope;
    }
    if (found == &kBox)
        return new AABoxEnvenlope(name, PointValue(entry, 3), PointValue(entry, 6));
    if (found == &kVirtual)
        return new VirtualEnvelope(name);
    if (found == &kCode)
        return new CodeEnvelope(name);
    if (found == &kPoint) {
        const float x = FloatValue(entry, 3);
        const float z = FloatValue(entry, 5);
        const Vector3 point = {x, MapTerrainHeight(x, z, nullptr, nullptr), z};
        return new PointEnvelope(name, point, FloatValue(entry, 6));
    }
    return MakeZone(entry, zoneVertices);
}

// An "oz" line: a marker record. One place stays free for the default record.
void AddMarker(const DefEntry* entry)
{
    if (EnvelopeMarkerCount() + 1 >= ENVELOPE_MARKER_SLOTS) {
        ConPrint(0, ERROR_COLOUR "mission.env line %d: the marker table holds %u markers; '%s' skipped\n", entry->line,
                 ENVELOPE_MARKER_SLOTS, entry->Value(0));
        return;
    }
    unsigned int word = 0;
    if (std::sscanf(entry->Value(3), "%x", &word) != 1)
        word = 0;
    EnvelopeMarkerAdd(entry->Value(0), FloatValue(entry, 1), FloatValue(entry, 2), word);
}

// The display name: the localised text of "envelopes." + name when there is one, else empty (a
// DOEnvelope then speaks with its object's name).
void GiveDisplayName(Envelope* envelope)
{
    const EngineString key(("envelopes." + std::string(envelope->name.Text())).c_str());
    EngineString text;
    GuiLocalize(key, &text);
    const bool localised = text.Length() != key.Length() || std::string(text.Text()) != key.Text();
    envelope->SetDisplayName(localised ? text.Text() : "");
}

void ResolveParents(const std::vector<Created>& created)
{
    for (const Created& entry : created) {
        if (CompareNoCase(entry.parent.c_str(), "root") == 0)
            continue;
        Envelope* parent = EnvelopeFind(entry.parent.c_str());
        if (!parent) {
            ConPrint(0, ERROR_COLOUR "Invalid parent '%s' for envelope '%s'!\n", entry.parent.c_str(),
                     entry.envelope->name.Text());
            continue;
        }
        parent->AddChild(entry.envelope);
        entry.envelope->parent = parent;
    }
}

// The Tesk team's actor: the first of the world. The player assembly names it; until it keeps the
// pointer, the registry is asked.
DynamicObject* FindTeskActor()
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        if (dynamic_cast<TeskActor*>(objects[i]))
            return objects[i];
    }
    return nullptr;
}

}  // namespace

bool EnvelopeLoadMission(const char* folder)
{
    const std::string fileName = std::string(folder ? folder : "") + "\\mission.env";
    DefFile* file = DefFileLoad(fileName.c_str());
    if (!file)
        return false;
    std::vector<Created> created;
    for (const DefEntry* entry = file->first; entry; entry = entry->next) {
        if (IsKey(entry, "oz")) {
            AddMarker(entry);
            continue;
        }
        if (!IsKey(entry, "create"))
            continue;
        const CreateLayout* layout = nullptr;
        s32_t handlerAt = 0;
        Envelope* envelope = CreateFromLine(entry, &layout, &handlerAt);
        if (!envelope)
            continue;
        envelope->handlerName.Assign(entry->valueCount == handlerAt + 1 ? entry->Value(handlerAt) : "");
        EnvelopeRegister(envelope);
        created.push_back({envelope, layout->parent >= 0 ? entry->Value(layout->parent) : ""});
        GiveDisplayName(envelope);
    }
    DefFileRelease(file);
    EnvelopeMarkerAddDefault();
    ResolveParents(created);
    if (gbteskenable.Bool()) {
        if (DynamicObject* tesk = FindTeskActor())
            EnvelopeGiveOutside(&g_ai.teskEnvelope, tesk, "Tesk", "hDravnikSniper");
    }
    if (g_frameView.player)
        EnvelopeGiveOutside(&g_ai.playerEnvelope, g_frameView.player, "Player", "");
    return true;
}

s32_t ZoneLoadMission(const char* folder)
{
    const std::string fileName = std::string(folder ? folder : "") + "\\mission.zns";
    DefFile* file = DefFileLoad(fileName.c_str());
    if (!file)
        return 0;
    const bool hasLines = file->first != nullptr;
    EnvelopeObjectList* current = nullptr;
    for (const DefEntry* entry = file->first; entry; entry = entry->next) {
        if (IsKey(entry, "zone")) {
            // The objects that follow belong to this zone alone: a zone that cannot take them drops
            // them rather than handing them to the zone before.
            current = nullptr;
            Envelope* envelope = EnvelopeFind(entry->Value(0));
            const s32_t capacity = IntValue(entry, 1);
            if (!envelope) {
                ConPrint(0, ERROR_COLOUR "mission.zns line %d: no envelope '%s'; its objects are skipped\n",
                         entry->line, entry->Value(0));
            } else if (capacity < 0 || capacity > MAX_DYNAMIC_OBJECTS) {
                ConPrint(0, ERROR_COLOUR "mission.zns line %d: zone '%s' cannot hold %d objects; skipped\n",
                         entry->line, entry->Value(0), capacity);
            } else {
                current = envelope->CreateObjectList(static_cast<u32_t>(capacity));
            }
        } else if (IsKey(entry, "obj")) {
            DynamicObject* object = DynObjectFind(entry->Value(0));
            if (object && current && current->Add(object))
                current->current = current->Count() - 1;
        }
    }
    DefFileRelease(file);
    return hasLines ? 1 : 0;
}

void EnvelopeNoteObjectRemovedByStart(const char* name)
{
    g_ai.removedObjects.emplace_back(name ? name : "");
}

bool EnvelopeObjectRemovedByStart(const char* name)
{
    for (const std::string& removed : g_ai.removedObjects) {
        if (CompareNoCase(removed.c_str(), name ? name : "") == 0)
            return true;
    }
    return false;
}

void EnvelopeForgetRemovedObjects()
{
    g_ai.removedObjects.clear();
}
