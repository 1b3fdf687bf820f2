// The vehicle object: construction, the definition parameters and the seats, entering and leaving,
// the axes and orientation, and the saved state.
#include "actors/vehicles/vehicle.h"

#include "core/frame_view.h"
#include "core/strings/text_case.h"

#include <cmath>
#include <cstring>

#include "actors/actor.h"
#include "core/files/byte_io.h"
#include "core/log.h"
#include "core/files/script_file.h"
#include "core/sound/sound_sets.h"
#include "core/sound/sound_source.h"
#include "game/mission/game_messages.h"
#include "game/game_state.h"
#include "gui/screens/gui.h"
#include "gui/texts/gui_locale.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/saved_object_state.h"

VehicleSwayState g_vehicleSway;

namespace {

constexpr int kAnyCount = 255;
// Far beyond any world: a saved value above it is damage.
constexpr float kLargestSavedValue = 1e9f;

enum VehicleKeyword {
    KEY_MASS,
    KEY_ANGLE,
    KEY_ENGINE_FORCE,
    KEY_MAX_ANGLE,
    KEY_MAX_SPEED,
    KEY_REVERSE_SPEED,
    KEY_STEER_SPEED,
    KEY_ACCEL_SPEED,
    KEY_BRAKE_SPEED,
    KEY_FINAL_STEER,
    KEY_SEAT,
    KEY_CAPACITY,
    KEY_INHIDE,
    KEY_INSHOW,
    KEY_HIND_HACK,
    KEY_TRAIL_PARTICLE,
};

struct VehicleParam {
    const char* name;
    int count;
    VehicleKeyword key;
};

const VehicleParam kParams[] = {
    {"mass", 1, KEY_MASS},
    {"angle", 1, KEY_ANGLE},
    {"engineforce", 1, KEY_ENGINE_FORCE},
    {"maxangle", 1, KEY_MAX_ANGLE},
    {"maxspeed", 1, KEY_MAX_SPEED},
    {"reversespeed", 1, KEY_REVERSE_SPEED},
    {"steerspeed", 1, KEY_STEER_SPEED},
    {"accelspeed", 1, KEY_ACCEL_SPEED},
    {"brakespeed", 1, KEY_BRAKE_SPEED},
    {"final_steer", 1, KEY_FINAL_STEER},
    {"seat", 4, KEY_SEAT},
    {"capacity", 1, KEY_CAPACITY},
    {"inhide", kAnyCount, KEY_INHIDE},
    {"inshow", kAnyCount, KEY_INSHOW},
    {"hind_hack", 1, KEY_HIND_HACK},
    {"trail_particle", 1, KEY_TRAIL_PARTICLE},
};

// The index of the named mesh in frame 0 of the mesh; -1 when the name is unknown.
s32_t MeshIndex(const AnimMesh* mesh, const char* name)
{
    const s32_t nameIndex = mesh ? mesh->FindName(name) : -1;
    return nameIndex < 0 ? -1 : mesh->FindMesh(static_cast<u32_t>(nameIndex), 0);
}

void StoreFloat(u8_t* p, float value)
{
    u32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    StoreU32(p, bits);
}

float LoadFloat(const u8_t* p)
{
    const u32_t bits = LoadU32(p);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void StoreVector(u8_t* p, const D3DXVECTOR3& v)
{
    StoreFloat(p, v.x);
    StoreFloat(p + 4, v.y);
    StoreFloat(p + 8, v.z);
}

D3DXVECTOR3 LoadVector(const u8_t* p)
{
    return {LoadFloat(p), LoadFloat(p + 4), LoadFloat(p + 8)};
}

}  // namespace

Vehicle::Vehicle() : orientation(new D3DXMATRIX)
{
    typeId = OBJECT_TYPE_VEHICLE;
    D3DXMatrixIdentity(orientation);
}

Vehicle::~Vehicle()
{
    // Seated actors outlive the vehicle only on foot, their bodies back under their own roots.
    for (s32_t i = 0; seats && i < seatCount; ++i) {
        if (Actor* occupant = seats[i].occupant) {
            GameUnlinkActorBody(occupant);
            occupant->inVehicle = false;
            occupant->vehicle = nullptr;
            occupant->seat = nullptr;
        }
    }
    GameForgetPlayerVehicle(this);
    FreeSeats();
    delete orientation;
    orientation = nullptr;
    StopEngineSounds();
    trailParticle.Clear();
}

void Vehicle::StopEngineSounds()
{
    if (!sound || !sound->soundTable)
        return;
    for (s32_t property : {SOUND_IDLE, SOUND_TURN, SOUND_ACCELERATE, SOUND_DECELERATE}) {
        if (SoundInstance* instance = sound->soundTable->Pick(property, false, 1))
            instance->Stop();
    }
}

D3DXVECTOR3 Vehicle::Normalized(float x, float y, float z)
{
    const D3DXVECTOR3 v(x, y, z);
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);
    return out;
}

// ---- definition parameters ----

bool Vehicle::SetParam(const char* keyword, const EngineString* values, int count)
{
    if (GraphObj::SetParam(keyword, values, count))
        return true;
    if (!keyword)
        return false;
    const VehicleParam* param = nullptr;
    for (const VehicleParam& entry : kParams) {
        if (CompareNoCase(entry.name, keyword) == 0) {
            param = &entry;
            break;
        }
    }
    if (!param || (param->count != kAnyCount && param->count != count))
        return false;
    switch (param->key) {
        case KEY_MASS:
            mass = values[0].ToFloat();
            return true;
        case KEY_ANGLE:
            steerAngle = values[0].ToFloat();
            return true;
        case KEY_ENGINE_FORCE:
            engineForce = values[0].ToFloat();
            return true;
        case KEY_MAX_ANGLE:
            maxSteerAngle = values[0].ToFloat();
            return true;
        case KEY_MAX_SPEED:
            maxSpeed = values[0].ToFloat();
            return true;
        case KEY_REVERSE_SPEED:
            reverseSpeed = values[0].ToFloat();
            return true;
        case KEY_STEER_SPEED:
            steerSpeed = values[0].ToFloat();
            return true;
        case KEY_ACCEL_SPEED:
            accelSpeed = values[0].ToFloat();
            return true;
        case KEY_BRAKE_SPEED:
            brakeForce = values[0].ToFloat();
            return true;
        case KEY_FINAL_STEER:
            finalSteer = values[0].ToFloat();
            return true;
        case KEY_SEAT:
            return !m_applyingSeat && SetSeatParam(values);
        case KEY_CAPACITY: {
            if (m_applyingSeat)
                return false;
            // A capacity beyond the 16-bit field or below 0 makes no seats.
            const s32_t value = values[0].ToInt();
            capacity = static_cast<u16_t>(value < 0 || value > 0xFFFF ? 0 : value);
            AllocateSeats();
            return true;
        }
        case KEY_INHIDE:
            return SetPartSwitchParam(true, values, count);
        case KEY_INSHOW:
            return SetPartSwitchParam(false, values, count);
        case KEY_HIND_HACK:
            loweredBody = values[0].ToInt() != 0;
            return true;
        case KEY_TRAIL_PARTICLE:
            trailParticle.Assign(values[0]);
            return true;
    }
    return false;
}

void Vehicle::FreeSeats()
{
    for (u16_t i = 0; seats && i < m_seatSlots; ++i) {
        for (VehiclePartSwitch* partSwitch : seats[i].partSwitches)
            delete partSwitch;
    }
    delete[] seats;
    seats = nullptr;
    m_seatSlots = 0;
    seatCount = 0;
}

void Vehicle::AllocateSeats()
{
    FreeSeats();
    seats = capacity > 0 ? new VehicleSeat[capacity] : nullptr;
    m_seatSlots = capacity;
}

bool Vehicle::SetSeatParam(const EngineString* values)
{
    GraphNode* meshNode = FindChild(values[1].Text());
    GraphNode* attachNode = FindChild(values[3].Text());
    if (!meshNode || !attachNode || !seats || seatCount >= capacity || seatCount >= m_seatSlots)
        return false;
    VehicleSeat& seat = seats[seatCount++];
    seat.attachNode = attachNode;
    seat.driver = 0;
    seat.screen = nullptr;
    seat.hideShadow = 0;
    seat.attachMesh = MeshIndex(meshNode->GetAnimMesh(), values[2].Text());
    if (seat.attachMesh == -1) {
        seat = VehicleSeat();
        --seatCount;
        return false;
    }
    ScriptFile* script = GetScriptFile("seats", false);
    ScriptSection* section = script ? script->FindSection(values[0].Text()) : nullptr;
    // A dotted path that does not lead to its last name ends short of it: the section is missing.
    const char* wanted = std::strrchr(values[0].Text(), '.');
    wanted = wanted ? wanted + 1 : values[0].Text();
    if (!section || !section->parent || CompareNoCase(section->Name(), wanted) != 0)
        return false;
    for (const ScriptCommand& entry : section->commands) {
        const char* key = entry.Keyword();
        const int words = entry.WordCount() - 1;
        if (std::strcmp(key, "step_out") == 0 && words >= 3) {
            seat.stepOut = {entry.words[1]->ToFloat(), entry.words[2]->ToFloat(), entry.words[3]->ToFloat()};
        } else if (std::strcmp(key, "actor_anim") == 0 && words >= 1) {
            seat.actorAnim.Assign(entry.Word(1));
        } else if (std::strcmp(key, "tab_desc") == 0 && words >= 1) {
            GuiLocalize(*entry.words[1], &seat.description);
        } else if (std::strcmp(key, "driver") == 0 && words >= 1) {
            seat.driver = entry.words[1]->ToInt() != 0;
        } else if (std::strcmp(key, "gui_screen") == 0 && words >= 1) {
            seat.screen = GuiFindScreen(entry.Word(1));
        } else if (std::strcmp(key, "shadow") == 0 && words >= 1) {
            seat.hideShadow = entry.words[1]->ToInt() != 0;
        } else {
            // Any other entry is a parameter of the vehicle itself (a kind's own included).
            std::vector<EngineString> entryValues;
            entryValues.reserve(static_cast<size_t>(words > 0 ? words : 0));
            for (int i = 1; i <= words; ++i)
                entryValues.emplace_back(entry.Word(i));
            m_applyingSeat = true;
            const bool taken = SetParam(key, entryValues.data(), words);
            m_applyingSeat = false;
            if (!taken)
                return false;
        }
    }
    return true;
}

bool Vehicle::SetPartSwitchParam(bool hide, const EngineString* values, int count)
{
    if (count < 1 || seatCount < 1)
        return false;
    GraphNode* node = FindChild(values[0].Text());
    AnimMesh* mesh = node ? node->GetAnimMesh() : nullptr;
    if (!mesh)
        return false;
    VehiclePartSwitch* partSwitch = new VehiclePartSwitch;
    partSwitch->hide = hide;
    partSwitch->node = node;
    for (int i = 1; i < count; ++i)
        partSwitch->meshes.push_back(MeshIndex(mesh, values[i].Text()));
    seats[seatCount - 1].partSwitches.push_back(partSwitch);
    return true;
}

// ---- seats ----

VehicleSeat* Vehicle::FindFreeSeat()
{
    for (s32_t i = 0; seats && i < seatCount; ++i) {
        if (!seats[i].occupant)
            return &seats[i];
    }
    return nullptr;
}

void Vehicle::ApplyPartSwitches(const VehicleSeat& seat, bool invert)
{
    for (const VehiclePartSwitch* partSwitch : seat.partSwitches) {
        MeshSettings* settings = partSwitch->node ? partSwitch->node->GetMeshSettings() : nullptr;
        if (!settings)
            continue;
        const u32_t meshCount = partSwitch->node->FrameZeroMeshCount();
        const u8_t hidden = invert ? !partSwitch->hide : partSwitch->hide;
        for (s32_t mesh : partSwitch->meshes) {
            if (mesh < 0 || static_cast<u32_t>(mesh) >= meshCount)
                continue;
            MeshSettings& entry = settings[mesh];
            if (entry.lodTagged) {
                entry.lodHidden[0] = hidden;
            } else {
                for (u8_t& flag : entry.lodHidden)
                    flag = hidden;
            }
        }
    }
}

void Vehicle::EnterSeat(Actor* actor)
{
    // The caller stores the chosen seat in the actor first; without one there is nothing to enter.
    if (!actor || !actor->seat)
        return;
    if (++occupantCount > capacity) {
        occupantCount = capacity;
        return;
    }
    VehicleSeat* seat = actor->seat;
    seat->occupant = actor;
    if (actor == g_frameView.player) {
        ApplyPartSwitches(*seat, false);
        // The seat turns the player's view to face ahead.
        g_frameView.yaw = 0.0f;
        g_frameView.pitch = 0.0f;
    }
    if (seat->hideShadow)
        actor->SetCastsShadow(false);
}

void Vehicle::LeaveSeat(Actor* actor)
{
    if (!actor)
        return;
    if (occupantCount > 0)
        --occupantCount;
    VehicleSeat* seat = actor->seat;
    if (seat) {
        seat->occupant = nullptr;
        if (actor == g_frameView.player)
            ApplyPartSwitches(*seat, true);
        if (seat->hideShadow)
            actor->SetCastsShadow(true);
    }
    StopEngineSounds();
}

void Vehicle::UpdateOccupants()
{
    for (s32_t i = 0; seats && i < seatCount; ++i) {
        if (seats[i].occupant)
            seats[i].occupant->FollowSeatPoint();
    }
}

// ---- axes ----

void Vehicle::ComputeAxes()
{
    const D3DXVECTOR3 a = points[3] - points[2];
    const D3DXVECTOR3 b = points[2] - points[0];
    D3DXVECTOR3 n;
    D3DXVec3Cross(&n, &a, &b);
    D3DXVec3Normalize(&normalAxis, &n);
    D3DXVec3Normalize(&lateralAxis, &a);
    D3DXVECTOR3 length;
    D3DXVec3Cross(&length, &n, &a);
    D3DXVec3Normalize(&lengthAxis, &length);
}

void Vehicle::BuildOrientation()
{
    D3DXMATRIX& m = *orientation;
    D3DXMatrixIdentity(&m);
    const D3DXVECTOR3 columns[3] = {-lateralAxis, normalAxis, lengthAxis};
    for (int c = 0; c < 3; ++c) {
        m.m[0][c] = columns[c].x;
        m.m[1][c] = columns[c].y;
        m.m[2][c] = columns[c].z;
    }
}

// ---- saved state ----

void Vehicle::SaveState(SavedObjectState* state)
{
    if (!state)
        return;
    u8_t* area = state->kindArea;
    StoreFloat(area + VEHICLE_STATE_SPEED, speed);
    StoreFloat(area + VEHICLE_STATE_ANGLE, steerAngle);
    for (int i = 0; i < 4; ++i)
        StoreVector(area + VEHICLE_STATE_POINTS + 12 * i, points[i]);
    StoreVector(area + VEHICLE_STATE_DIRECTION, direction);
    // Names stop at the first free seat. A name is cut to fit its field with its terminator, and no
    // more than the 16 fields are written; the fields not written are zeros.
    std::memset(area + VEHICLE_STATE_NAMES, 0, VEHICLE_STATE_NAME_SIZE * VEHICLE_STATE_NAME_COUNT);
    for (s32_t i = 0; seats && i < seatCount && i < static_cast<s32_t>(VEHICLE_STATE_NAME_COUNT); ++i) {
        if (!seats[i].occupant)
            break;
        const EngineString& occupantName = seats[i].occupant->name;
        u32_t length = occupantName.Length();
        if (length > VEHICLE_STATE_NAME_SIZE - 1)
            length = VEHICLE_STATE_NAME_SIZE - 1;
        std::memcpy(area + VEHICLE_STATE_NAMES + VEHICLE_STATE_NAME_SIZE * i, occupantName.Text(), length);
    }
    StoreU32(area + VEHICLE_STATE_OCCUPANTS, occupantCount);
    area[VEHICLE_STATE_GEAR] = forwardGear;
    // The rest of the area holds nothing of the vehicle's.
    std::memset(area + VEHICLE_STATE_SIZE, 0, SAVED_OBJECT_KIND_AREA_SIZE - VEHICLE_STATE_SIZE);
}

void Vehicle::LoadState(SavedObjectState* state)
{
    if (!state)
        return;
    const u8_t* area = state->kindArea;
    // A damaged record (a value that is not a number, or one so large that the settling overflows)
    // would carry NaN into every position: the vehicle keeps its state.
    for (u32_t at = VEHICLE_STATE_SPEED; at < VEHICLE_STATE_NAMES; at += 4) {
        const float value = LoadFloat(area + at);
        if (!std::isfinite(value) || std::fabs(value) > kLargestSavedValue) {
            Log("WARNING: damaged saved state of vehicle %s\n", name.Text());
            return;
        }
    }
    speed = LoadFloat(area + VEHICLE_STATE_SPEED);
    steerAngle = LoadFloat(area + VEHICLE_STATE_ANGLE);
    for (int i = 0; i < 4; ++i)
        points[i] = LoadVector(area + VEHICLE_STATE_POINTS + 12 * i);
    direction = LoadVector(area + VEHICLE_STATE_DIRECTION);
    forwardGear = area[VEHICLE_STATE_GEAR] != 0;
    float heights[4];
    for (int i = 0; i < 4; ++i)
        heights[i] = VehicleTerrainHeight(points[i].x, points[i].z);
    SettleOnGround(heights[0], heights[1], heights[2], heights[3]);
    ComputeAxes();
    BuildOrientation();
}
