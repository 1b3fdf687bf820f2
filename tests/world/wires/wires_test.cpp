// Wires through a real "mission.cog", real ".aff" poles in the world registry and the
// real camera: reading groups, connection points, wire existence, cutting, the collision push,
// the sight test and the editor's chain operations.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/strings/colour_codes.h"
#include "game/view/player_view.h"
#include "platform/d3dx8_math.h"
#include "render/camera.h"
#include "scene/views/frustum_ray.h"
#include "tests/world/wires/wire_poles.h"

namespace {

class Wires : public wire_test::WirePoles {
protected:
    // A wire n between two new poles at the origin: "-n" at a on the first, "+n" at b on the second.
    ConObjGroup* Wire(const char* group, const char* profile, float fileWidth, Vector3 a, Vector3 b, int n = 0)
    {
        ConObjGroup* created = ConObjCreateGroup(group, profile, "", fileWidth, 0.0f, 1.0f, 1);
        const std::string tag = std::string(group) + std::to_string(m_count++);
        EXPECT_EQ(ConObjGroupAppendObject(created, AddPole(tag + "a", {{"-" + std::to_string(n), a}})), 1);
        EXPECT_EQ(ConObjGroupAppendObject(created, AddPole(tag + "b", {{"+" + std::to_string(n), b}})), 1);
        return created;
    }

    static void Call(const char* function, ScriptArgWord* args = nullptr)
    {
        const ScriptFunctionEntry* entry = ScriptFunctionTable::Find(function);
        ASSERT_NE(entry, nullptr) << function;
        entry->function(args);
    }

    // The viewer at the point, looking along +z.
    static void LookFrom(Vector3 eye)
    {
        CameraBuildViewMatrix(&g_camera.view, &g_camera.world, eye.x, eye.y, eye.z, 0.0f, 0.0f, 0.0f);
        D3DXMatrixPerspectiveFovLH(&g_camera.projection, D3DX_PI / 2, 4.0f / 3.0f, 0.2f, 1000.0f);
        CameraExtractAxes();
        FrustumBuildBox();
        float* view = GameGetViewPos();
        view[0] = eye.x;
        view[1] = eye.y;
        view[2] = eye.z;
    }

    int m_count = 0;
};

// An object whose geometry box is its position widened by a half-size on every axis.
class Body : public DynamicObject {
public:
    void GetGeometryBounds(float* box) override
    {
        const float p[3] = {at.x, at.y, at.z};
        for (int axis = 0; axis < 3; ++axis) {
            box[axis] = p[axis] - halfSize;
            box[axis + 3] = p[axis] + halfSize;
        }
    }
    Vector3 at;
    float halfSize = 0.5f;
};

TEST_F(Wires, GroupLinesReadProfileLengthsAndSegments)
{
    LoadCog(
        "group g1 CROSS 0.5 0.2 wire 3.0 4\n"
        "colour 1 2 3\n"
        "GROUP g2 yflat 1 x tape 2 99\n"
        "group g3 other 0 0 t 0 -1\n"
        "group g4 Cross 0 0 t 0 abc\n"
        "group g5 YFLAT 0 0 t 0 16\n"
        "group g6 CROSS\n");
    struct Expected {
        const char* name;
        u32_t profile;
        float width, sag, textureLength;
        u32_t segments;
    };
    const Expected expected[] = {
        {"g1", WIRE_PROFILE_CROSS, 5.0f, 2.0f, 30.0f, 4}, {"g2", WIRE_PROFILE_YFLAT, 10.0f, 0.0f, 20.0f, 16},
        {"g3", WIRE_PROFILE_CROSS, 0.0f, 0.0f, 0.0f, 16}, {"g4", WIRE_PROFILE_CROSS, 0.0f, 0.0f, 0.0f, 0},
        {"g5", WIRE_PROFILE_YFLAT, 0.0f, 0.0f, 0.0f, 16}, {"g6", WIRE_PROFILE_CROSS, 0.0f, 0.0f, 0.0f, 0},
    };
    ASSERT_EQ(WireGroupCount(), 6);
    for (int i = 0; i < 6; ++i) {
        const ConObjGroup& group = *WireGetGroup(i);
        const Expected& e = expected[i];
        EXPECT_STREQ(group.name.Text(), e.name);
        EXPECT_EQ(group.profile, e.profile) << e.name;
        EXPECT_FLOAT_EQ(group.width, e.width) << e.name;
        EXPECT_FLOAT_EQ(group.sag, e.sag) << e.name;
        EXPECT_FLOAT_EQ(group.textureLength, e.textureLength) << e.name;
        EXPECT_EQ(group.segments, e.segments) << e.name;
        EXPECT_EQ(group.pointSetCount, 0u);
    }
    // The short line is kept with what it gives, and said so.
    EXPECT_TRUE(Printed("WARNING: 'mission\\mission.cog' line 7: group 'g6' has 2 of 7 values\n"));

    // The script functions come with the file, with their return types.
    const std::pair<const char*, s32_t> functions[] = {
        {"EnableWireCut", TYP_VOID}, {"DisableWireCut", TYP_VOID}, {"WireCutEnabled", TYP_BOOL}, {"CutWire", TYP_VOID}};
    for (const auto& [name, type] : functions) {
        ASSERT_NE(ScriptFunctionTable::Find(name), nullptr) << name;
        EXPECT_EQ(ScriptFunctionTable::Find(name)->returnType, type) << name;
    }

    // A folder without the file changes nothing and registers nothing.
    ScriptFunctionTable::Clear();
    ConObjLoad("elsewhere");
    EXPECT_EQ(WireGroupCount(), 6);
    EXPECT_EQ(ScriptFunctionTable::Count(), 0);
    // Loading again replaces the groups.
    LoadCog("group only CROSS 0 0 t 0 1\n");
    ASSERT_EQ(WireGroupCount(), 1);
    EXPECT_STREQ(WireGetGroup(0)->name.Text(), "only");
}

TEST_F(Wires, BrokenLinesAreReportedAndSkipped)
{
    AddPole("pole", {{"-0", {0, 1, 0}}});
    AddPole("wide", {{"+16", {0, 1, 0}}, {"--1", {0, 1, 0}}, {"+2", {0, 2, 0}}, {"+lamp", {0, 3, 0}}});
    AddBare("bare");
    AddPole("hollow", {})->GetRootNode()->GetChild(0)->SetAnimMesh(nullptr);
    struct Case {
        const char* cog;
        const char* line;  // expected on console 0
        u32_t sets;        // in the last group
    };
    const Case cases[] = {
        {"group g CROSS 0 0 t 1 1\nadd ghost\nadd POLE\n", ERROR_COLOUR "Invalid connection object 'ghost'!\n", 1},
        {"group g CROSS 0 0 t 1 1\nadd bare\n", ERROR_COLOUR "Connection object 'bare' has no animation!\n", 0},
        {"group g CROSS 0 0 t 1 1\nadd hollow\n", ERROR_COLOUR "Connection object 'hollow' has no animation!\n", 0},
        {"add pole\ngroup g CROSS 0 0 t 1 1\n", ERROR_COLOUR "Connection object 'pole' is not in a group!\n", 0},
        {"group g CROSS 0 0 t 1 1\nadd wide\n", ERROR_COLOUR "'wide': max number of con. points is 16!\n", 1},
    };
    for (const Case& c : cases) {
        ConClear(0);
        LoadCog(c.cog);
        EXPECT_TRUE(Printed(c.line)) << c.cog;
        ASSERT_EQ(WireGroupCount(), 1) << c.cog;
        EXPECT_EQ(WireGetGroup(0)->pointSetCount, c.sets) << c.cog;
    }
    // Out-of-range boxes are skipped, the others kept; a name without a number is no point.
    const ConObjPointSet& wide = *WireGetGroup(0)->first;
    for (int n = 0; n < MAX_WIRE_POINTS; ++n)
        EXPECT_EQ(wide.present[n], n == 2 ? WIRE_POINT_PLUS : 0) << n;
    EXPECT_EQ(ConsoleLines().size(), 2u);  // one line per bad box: 16 and -1

    // Groups beyond the table are reported and skipped with their "add" lines.
    std::string cog;
    for (int g = 0; g <= MAX_WIRE_GROUPS; ++g)
        cog += "group g" + std::to_string(g) + " CROSS 0 0 t 1 1\n";
    cog += "add pole\n";
    ConClear(0);
    LoadCog(cog);
    EXPECT_EQ(WireGroupCount(), MAX_WIRE_GROUPS);
    EXPECT_EQ(WireGetGroup(MAX_WIRE_GROUPS - 1)->pointSetCount, 0u);
    EXPECT_EQ(ConsoleLines(),
              std::vector<std::string>{ERROR_COLOUR "Too many connection object groups (max 64), 'g64' skipped!\n"});
}

TEST_F(Wires, WiresRunFromMinusToTheNextPlusWhenBothEndsExist)
{
    // Poles a and b stand on the ground at x = 0 and x = 10 (given higher), c flies at height 7.
    GraphObj* a = AddPole("a", {{"-0", {0, 2, 0}}, {"-3", {0, 3, 0.5f}}, {"+4", {0, 1, 0}}}, {0, 5, 0});
    GraphObj* b = AddPole(
        "b", {{"+0", {0, 2, 0}}, {"+3", {0, 3, -0.5f}}, {"-3", {0, 3, 0.5f}}, {"+4", {0, 1, 0}}, {"-5", {0, 1, 0}}},
        {10, 5, 0});
    GraphObj* c = AddPole("c", {{"+3", {0, 3, -0.5f}}, {"-5", {0, 1, 0}}}, {20, 7, 0});
    c->fly = 1;
    AddPole("lone", {{"-0", {0, 1, 0}}});
    LoadCog("group chain CROSS 0 0 t 1 1\nadd a\nadd b\nadd c\ngroup single CROSS 0 0 t 1 1\nadd lone\n");

    EXPECT_EQ(a->GetPosition().y, 0.0f);
    EXPECT_EQ(a->placedOnce, 1);
    EXPECT_EQ(c->GetPosition().y, 7.0f);
    EXPECT_EQ(c->placedOnce, 0);

    const ConObjGroup& chain = *WireGetGroup(0);
    ASSERT_EQ(chain.pointSetCount, 3u);
    const ConObjPointSet* spans[] = {chain.first, chain.first->next, chain.last};
    EXPECT_EQ(spans[0]->owner, a);
    EXPECT_EQ(spans[1]->owner, b);
    EXPECT_EQ(spans[2]->owner, c);
    struct Case {
        int span, wire;
        bool exists;
    };
    const Case cases[] = {
        {0, 0, true},  {0, 3, true},   // both ends set
        {0, 4, false},                 // a has only "+4": the wire has no start
        {1, 3, true},  {1, 0, false},  // b carries "+3" and "-3"; c has no "+0"
        {1, 5, false},                 // c has only "-5": the wire has no end
        {2, 3, false},                 // the last object starts no span
    };
    for (const Case& k : cases)
        EXPECT_EQ(spans[k.span]->WireExists(k.wire), k.exists) << k.span << " " << k.wire;

    // Points are in world space: the box through the object's placement.
    const Vector3 from = spans[1]->minusPoints[3], to = spans[2]->plusPoints[3];
    EXPECT_FLOAT_EQ(from.x, 10.0f);
    EXPECT_FLOAT_EQ(from.y, 3.0f);
    EXPECT_FLOAT_EQ(to.x, 20.0f);
    EXPECT_FLOAT_EQ(to.y, 10.0f);
    EXPECT_FLOAT_EQ(to.z, -0.5f);
    for (int n = 0; n < MAX_WIRE_POINTS; ++n) {
        const float random = spans[1]->wireRandom[n];
        EXPECT_TRUE(spans[1]->present[n] ? random >= -0.5f && random <= 0.5f : random == 0.0f) << n;
    }
    EXPECT_GE(spans[0]->swayPhase, 0.0f);
    EXPECT_LE(spans[0]->swayPhase, 2.0f);

    // A chain of one object has no wire at all.
    const ConObjGroup& single = *WireGetGroup(1);
    ASSERT_EQ(single.pointSetCount, 1u);
    EXPECT_FALSE(single.first->WireExists(0));
}

TEST_F(Wires, CuttingNeedsTheSwitchOnlyForTheSightedWire)
{
    LoadCog("");  // registers the script functions
    LookFrom({5, 2, -10});
    ConObjGroup* fence = Wire("Fence", "CROSS", 0.0f, {0, 1, 0}, {10, 3, 2});
    ASSERT_NE(Wire("other", "CROSS", 0.0f, {0, 1, 50}, {10, 3, 52}), nullptr);
    ConObjPointSet* span = fence->first;

    ConObjSightTest();
    EXPECT_EQ(WireGetSighted().pointSet, span);
    EXPECT_EQ(WireGetSighted().wire, 0);
    EXPECT_FLOAT_EQ(WireGetSighted().boxMax.y, 3.0f);
    g_scriptResult.asBool = 1;
    Call("WireCutEnabled");
    EXPECT_EQ(g_scriptResult.asBool, 0);
    ConObjCutSightedWire();
    EXPECT_EQ(span->cut[0], 0);

    Body body;
    body.at = {5, 2, 1.5f};
    Vector3 position = body.at;
    ConObjCollideObject(&body, &position, 1.0f);
    EXPECT_GT(position.z, 1.5f);

    Call("EnableWireCut");
    Call("WireCutEnabled");
    EXPECT_EQ(g_scriptResult.asBool, 1);
    ConObjCutSightedWire();
    EXPECT_EQ(span->cut[0], 1);
    EXPECT_FALSE(span->WireIntact(0));
    // A cut wire is neither sighted nor pushes.
    ConObjSightTest();
    EXPECT_EQ(WireGetSighted().pointSet, nullptr);
    position = body.at;
    ConObjCollideObject(&body, &position, 1.0f);
    EXPECT_EQ(position.z, 1.5f);

    // "CutWire" (group, span, wire) cuts whatever the switch says; anything off the chain is ignored.
    Call("DisableWireCut");
    ConObjGroup* posts = Wire("posts", "CROSS", 0.0f, {0, 1, 0}, {10, 1, 0}, 7);
    const char* names[] = {"POSTS", "posts", "nope", "posts", "posts", "posts"};
    const s32_t spansAndWires[][2] = {{0, 7}, {2, 7}, {0, 7}, {0, 16}, {0, -1}, {-1, 7}};
    const u8_t expected[] = {1, 0, 0, 0, 0, 0};
    for (int i = 0; i < 6; ++i) {
        posts->first->cut[7] = 0;
        s32_t spanIndex = spansAndWires[i][0], wire = spansAndWires[i][1];
        ScriptArgWord args[3] = {const_cast<char*>(names[i]), &spanIndex, &wire};
        Call("CutWire", args);
        EXPECT_EQ(posts->first->cut[7], expected[i]) << i;
    }
    Call("CutWire", nullptr);
    ScriptArgWord missing[3] = {const_cast<char*>("posts"), nullptr, nullptr};
    Call("CutWire", missing);

    // The end of the mission forgets the sighted wire and switches cutting off.
    Call("EnableWireCut");
    ConObjSightTest();
    ConObjFreeAll();
    EXPECT_EQ(WireGetSighted().pointSet, nullptr);
    EXPECT_FALSE(WireCutEnabled());
    EXPECT_EQ(WireGroupCount(), 0);
}

TEST_F(Wires, WiresPushObjectsSidewaysToTheRadius)
{
    // Both run along x from (0, 1, 0) to (10, 1, 0); the band is 0.5 high each way.
    Wire("cross", "CROSS", 0.0f, {0, 1, 0}, {10, 1, 0});
    ConObjGroup* band = Wire("band", "YFLAT", 0.05f, {0, 1, 100}, {10, 1, 100});
    EXPECT_FLOAT_EQ(band->width, 0.5f);
    struct Case {
        float z0;  // the band's cases are shifted by 100 along z
        Vector3 from, to;
    };
    const float kDiagonal = 0.3f + 0.3f * (0.5f / std::sqrt(0.18f) - 1.0f);
    const Case cases[] = {
        // A thin wire: away from the nearest point of the wire, in x and z only.
        {0, {5, 1, 0.2f}, {5, 1, 0.5f}},
        {0, {5, 1, -0.2f}, {5, 1, -0.5f}},
        {0, {-0.3f, 1, 0}, {-0.5f, 1, 0}},           // beyond an end: away from the end
        {0, {5, 1.3f, 0.3f}, {5, 1.3f, kDiagonal}},  // the height stays, only z moves
        {0, {5, 1.3f, 0}, {5, 1.3f, 0}},             // straight above: nothing to move sideways
        {0, {5, 1, 0.6f}, {5, 1, 0.6f}},             // out of reach
        // A band: back to the radius on the side the object came from.
        {100, {5, 1, 0.2f}, {5, 1, 0.5f}},
        {100, {5, 1.4f, -0.1f}, {5, 1.4f, -0.5f}},
        {100, {10.2f, 1, 0.1f}, {10.2f, 1, 0.1f}},  // past the band's end
        {100, {5, 3, 0.1f}, {5, 3, 0.1f}},          // above the band
    };
    for (const Case& c : cases) {
        Body body;
        body.at = {c.from.x, c.from.y, c.from.z + c.z0};
        Vector3 position = body.at;
        ConObjCollideObject(&body, &position, 0.5f);
        EXPECT_NEAR(position.x, c.to.x, 1e-5f) << c.from.x << " " << c.from.y << " " << c.from.z << " band " << c.z0;
        EXPECT_EQ(position.y, c.to.y);
        EXPECT_NEAR(position.z, c.to.z + c.z0, 1e-4f) << c.from.x << " " << c.from.y << " " << c.from.z;
    }
    // The object's own box decides which wires are near.
    Body far;
    far.at = {50, 50, 50};
    Vector3 position = {5, 1, 0.2f};
    ConObjCollideObject(&far, &position, 0.5f);
    EXPECT_EQ(position.z, 0.2f);
}

TEST_F(Wires, TheNearestWireOnTheViewRayWithinThirtyUnitsIsSighted)
{
    LookFrom({0, 0, 0});
    D3DXVECTOR3 ray;
    FrustumCentreRay(&ray);
    EXPECT_NEAR(ray.x, 0.0f, 1e-6f);
    EXPECT_GT(ray.z, 0.0f);

    struct Case {
        std::vector<float> depths;  // wire centres on the view axis (x offset below)
        float x;
        int sighted;  // index into depths, -1 for none
    };
    const Case cases[] = {
        {{29.9f}, 0, 0},  {{30.1f}, 0, -1},  // squared distance above 900
        {{20, 10}, 0, 1},                    // the nearer one wins
        {{10, 10}, 0, 0},                    // on a tie the first stays
        {{10}, 5, -1},                       // within range but off the ray
    };
    for (const Case& c : cases) {
        ConObjFreeAll();
        std::vector<ConObjPointSet*> spans;
        for (float depth : c.depths) {
            const Vector3 a = {c.x - 1, -0.5f, depth - 0.5f}, b = {c.x + 1, 0.5f, depth + 0.5f};
            spans.push_back(Wire("w", "CROSS", 0.0f, a, b, 3)->first);
        }
        ConObjSightTest();
        const SightedWire& sighted = WireGetSighted();
        EXPECT_EQ(sighted.pointSet, c.sighted < 0 ? nullptr : spans[c.sighted]) << c.depths[0];
        if (c.sighted >= 0) {
            EXPECT_EQ(sighted.wire, 3);
            EXPECT_FLOAT_EQ(sighted.boxMin.z, c.depths[c.sighted] - 0.5f);
        }
        ConObjClearSightedWire();
        EXPECT_EQ(WireGetSighted().pointSet, nullptr);
    }
}

TEST_F(Wires, EditorOperationsKeepTheChainInOrder)
{
    std::vector<GraphObj*> poles;
    for (const char* name : {"p0", "p1", "p2", "p3", "p4"})
        poles.push_back(AddPole(name, {{"+1", {0, 1, 0}}, {"-1", {0, 1, 0}}}));
    ConObjGroup* group = ConObjCreateGroup("edit", "yflat", "", 0.1f, 0.2f, 0.3f, 40);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->profile, WIRE_PROFILE_YFLAT);
    EXPECT_FLOAT_EQ(group->width, 1.0f);
    EXPECT_EQ(group->segments, 16u);

    auto owners = [&] {
        std::vector<GraphObj*> order, backwards;
        for (ConObjPointSet* set = group->first; set; set = set->next)
            order.push_back(set->owner);
        for (ConObjPointSet* set = group->last; set; set = set->prev)
            backwards.insert(backwards.begin(), set->owner);
        EXPECT_EQ(order, backwards);
        EXPECT_EQ(order.size(), group->pointSetCount);
        return order;
    };
    EXPECT_EQ(ConObjGroupAppendObject(group, poles[0]), 1);
    EXPECT_EQ(ConObjGroupAppendObject(group, poles[1]), 1);
    EXPECT_EQ(ConObjGroupInsertObject(group, poles[2], 0), 1);
    EXPECT_EQ(ConObjGroupInsertObject(group, poles[3], 2), 1);
    EXPECT_EQ(ConObjGroupInsertObject(group, poles[4], 9), 1);
    EXPECT_EQ(owners(), (std::vector<GraphObj*>{poles[2], poles[0], poles[3], poles[1], poles[4]}));
    EXPECT_EQ(ConObjGroupRemoveAt(group, 3), 1);  // found from the tail
    EXPECT_EQ(ConObjGroupRemoveAt(group, 0), 1);
    EXPECT_EQ(ConObjGroupRemoveAt(group, 3), 0);
    EXPECT_EQ(owners(), (std::vector<GraphObj*>{poles[0], poles[3], poles[4]}));
    EXPECT_EQ(ConObjGroupAppendObject(group, AddBare("bare")), 0);

    // A moved object's points follow it.
    poles[3]->SetPosition({4, 0, 6});
    EXPECT_EQ(ConObjGroupRefreshObject(group, poles[3]), 1);
    const Vector3 moved = group->first->next->plusPoints[1];
    EXPECT_FLOAT_EQ(moved.x, 4.0f);
    EXPECT_FLOAT_EQ(moved.z, 6.0f);
    EXPECT_FLOAT_EQ(group->first->plusPoints[1].x, 0.0f);

    // Setting a group up again renames and reshapes it; its chain stays.
    EXPECT_EQ(ConObjGroupSetup(group, "renamed", "Cross", "", 0.5f, 0.25f, 2.0f, -3), 1);
    EXPECT_STREQ(group->name.Text(), "renamed");
    EXPECT_EQ(group->profile, WIRE_PROFILE_CROSS);
    EXPECT_FLOAT_EQ(group->width, 5.0f);
    EXPECT_FLOAT_EQ(group->sag, 2.5f);
    EXPECT_FLOAT_EQ(group->textureLength, 20.0f);
    EXPECT_EQ(group->segments, 16u);
    EXPECT_EQ(owners(), (std::vector<GraphObj*>{poles[0], poles[3], poles[4]}));
    EXPECT_EQ(ConObjGroupSetup(nullptr, "none", "CROSS", "", 0, 0, 0, 1), 0);

    // Deleting a group moves the last one into its slot and forgets a sighted wire inside it.
    ConObjGroup* second = ConObjCreateGroup("second", "CROSS", "", 0, 0, 0, 1);
    ConObjGroup* third = ConObjCreateGroup("third", "CROSS", "", 0, 0, 0, 1);
    ASSERT_NE(second, nullptr);
    LookFrom({0, 1, -5});
    ConObjSightTest();
    ASSERT_EQ(WireGetSighted().pointSet, group->first);
    EXPECT_EQ(ConObjDeleteGroup(group), 1);
    EXPECT_EQ(WireGetSighted().pointSet, nullptr);
    EXPECT_EQ(WireGroupCount(), 2);
    EXPECT_EQ(WireGetGroup(0), third);
    EXPECT_EQ(WireGetGroup(1), second);
    EXPECT_EQ(ConObjDeleteGroup(group), 0);
    EXPECT_EQ(ConObjGroupAppendObject(group, poles[0]), 0);
}

}  // namespace

namespace {

// Lines made of the file's own words and numbers in any order and count: every group stays within
// its limits, and nothing reads or writes beyond them (the sanitizer build runs this suite).
class WiresRobustness : public wire_test::WirePoles {};

TEST_F(WiresRobustness, ScrambledMissionFilesLoadWithinTheLimits)
{
    AddPole("p", {{"-0", {0, 1, 0}}, {"+0", {0, 1, 0}}, {"+15", {0, 2, 0}}, {"-99", {0, 1, 0}}});
    AddBare("q");
    const char* words[] = {"group", "add", "GROUP", "p",    "q",  "CROSS", "yflat", "-1", "99",  "1e39",
                           "nan",   "0.5", "x",     "-0.3", "16", "17",    "",      "+3", "tex", "2147483648"};
    u32_t state = 12345;
    auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
    for (int round = 0; round < 20; ++round) {
        std::string cog;
        const u32_t lines = next() % 120;
        for (u32_t l = 0; l < lines; ++l) {
            const u32_t count = next() % 10;
            for (u32_t w = 0; w < count; ++w)
                cog += std::string(words[next() % 20]) + " ";
            cog += "\n";
        }
        LoadCog(cog);
        ASSERT_LE(WireGroupCount(), MAX_WIRE_GROUPS);
        for (s32_t g = 0; g < WireGroupCount(); ++g) {
            const ConObjGroup& group = *WireGetGroup(g);
            EXPECT_LE(group.segments, static_cast<u32_t>(MAX_WIRE_SEGMENTS));
            EXPECT_TRUE(std::isfinite(group.width) && std::isfinite(group.sag) && std::isfinite(group.textureLength));
        }
        ConObjBuildShadows();
        Vector3 position = {0, 1, 0.1f};
        ConObjCollideObject(nullptr, &position, 0.5f);
        EXPECT_TRUE(std::isfinite(position.x) && std::isfinite(position.z));
    }
}

}  // namespace
