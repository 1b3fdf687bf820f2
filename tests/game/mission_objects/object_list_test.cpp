// The object list loader and the template applier: the commands, the argument substitution with its
// defaults, template nesting, and the error lines on console 0 that name the file and the line.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "ai/soldier/ai_runtime.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/sound/sound.h"
#include "core/sound/sound_system.h"
#include "core/strings/text_case.h"
#include "core/files/vfs.h"
#include "game/game_cvars.h"
#include "game/mission_objects/object_factory.h"
#include "game/mission_objects/object_list.h"
#include "game/mission_objects/named_objects.h"
#include "map/meshes/collision_mesh.h"
#include "map/meshes/map_mesh.h"
#include "map/terrain/map_state.h"
#include "game/game_test_hooks.h"
#include "game/view/player_view.h"
#include "map/registry/world_registry.h"
#include "platform/audio.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/keep_var.h"
#include "support/temp_dir.h"
#include "support/wave_bytes.h"
#include "world/objects/dynamic_object.h"
#include "world/objects/structure.h"

namespace {

// A placed object that keeps every parameter line it is handed; "at x y z" places it (its geometry
// box reaches one unit round that point) and "bogus" is refused.
struct Marker : DynamicObject {
    Vector3 at = {};
    std::vector<std::string> seen;

    bool SetParam(const char* key, const EngineString* values, int count) override
    {
        std::string line = key;
        for (int i = 0; i < count; ++i)
            line += std::string(" ") + values[i].Text();
        seen.push_back(line);
        if (CompareNoCase(key, "at") == 0 && count == 3)
            at = {std::strtof(values[0].Text(), nullptr), std::strtof(values[1].Text(), nullptr),
                  std::strtof(values[2].Text(), nullptr)};
        return CompareNoCase(key, "bogus") != 0;
    }
    void GetGeometryBounds(float* box) override
    {
        const float corner[6] = {at.x - 1, at.y - 1, at.z - 1, at.x + 1, at.y + 1, at.z + 1};
        for (int i = 0; i < 6; ++i)
            box[i] = corner[i];
    }
    const char* GetObjectFolder() const override { return "object\\markers\\"; }
};

DynamicObject* MakeMarker(const char* classKeyword)
{
    return CompareNoCase(classKeyword, "marker") == 0 ? new Marker : nullptr;
}

class ObjectList : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        ConStartup();
        GameTestHooks hooks;
        hooks.createObject = MakeMarker;
        GameSetTestHooks(hooks);
        const float* view = GameGetViewPos();
        m_view = {view[0], view[1], view[2]};
        m_yaw = GameGetYaw();
        m_pitch = GameGetPitch();
    }
    void TearDown() override
    {
        DynObjectsDeleteAll();
        AIShutdown();
        GameObjectListReset();
        GameSetTestHooks({});
        float* view = GameGetViewPos();
        view[0] = m_view.x;
        view[1] = m_view.y;
        view[2] = m_view.z;
        GameSetYawPitch(m_yaw, m_pitch);
        DefFileFreeAll();
        ConShutdown();
        VFSShutdown();
        TempDirTest::TearDown();
    }

    // Runs the text as the list "list.def" with no arguments; the error lines it printed on console
    // 0, each without its colour bytes and line end.
    std::vector<std::string> Run(const std::string& text)
    {
        WriteFileBytes("list.def", text);
        DefFileFreeAll();
        ConClear(0);
        DefFile* file = DefFileLoad("list.def");
        EXPECT_NE(file, nullptr);
        GameLoadObjectList(file, nullptr, 0, nullptr);
        return ErrorLines();
    }
    static std::vector<std::string> ErrorLines()
    {
        std::vector<std::string> errors;
        for (const std::string& line : engine_log::ConsoleLines(0)) {
            EXPECT_EQ(line.rfind(ERROR_COLOUR, 0), 0u) << line;
            EXPECT_EQ(line.back(), '\n') << line;
            errors.push_back(line.substr(2, line.size() - 3));
        }
        return errors;
    }

    KeepVar m_maxSaves{gi_maxsaves};
    Vector3 m_view = {};
    float m_yaw = 0.0f, m_pitch = 0.0f;
};

using Lines = std::vector<std::string>;
// Broken lists: each fault of a line is reported and the run goes on.
using ObjectListRobustness = ObjectList;

TEST_F(ObjectListRobustness, EachFaultOfALineIsReportedWithItsFileAndLineAndTheRunGoesOn)
{
    WriteFileBytes("object/markers/self.def", "template self\n");
    // The file reader makes "$x" the two values "$" and "x": a dollar sign without digits.
    WriteFileBytes("object/markers/counted.def", "max_saves $\n");
    struct Case {
        const char* what;
        const char* list;
        Lines errors;
        s32_t maxSaves;  // gi_maxsaves afterwards (it starts at 77)
    };
    const Case cases[] = {
        {"a create with one value is a parameter line: no object yet",
         "create marker\n",
         {"list.def:1 Invalid number of arguments: 1 (should be 2)", "list.def:1 No current object"},
         77},
        {"a create with one value goes to the current object, which refuses it",
         "create marker a\ncreate marker\nbogus 1\n",
         {"list.def:2 Invalid number of arguments: 1 (should be 2)", "list.def:3 X Invalid command"},
         77},
        {"mission.def has no arguments: $0 is out of range and reads 0",
         "max_saves $0\n",
         {"list.def:1 Invalid argument number: 0 (valid range is $0 - $-1)"},
         0},
        {"a dollar sign without digits is argument 0", "create marker a\ntemplate counted 12\n", {}, 12},
        {"a parameter line before any create", "\nat 1 2 3\n", {"list.def:2 No current object"}, 77},
        {"a failed create leaves no current object",
         "create marker a\ncreate nothing b\nat 1 2 3\nloddist 1 2 3\ntemplate self\n",
         {"list.def:2 Failed to create object of class nothing", "list.def:3 No current object",
          "list.def:4 No current object", "list.def:5 No current object"},
         77},
        {"a template that does not exist is named with the line",
         "create marker a\n\ntemplate missing 1 2\n",
         {"object\\markers\\missing.def:3 No such template"},
         77},
        {"a template that runs itself stops at the nesting limit, once",
         "create marker a\ntemplate self\nmax_saves 5\n",
         {"object\\markers\\self.def:1 Infinite recursion found"},
         5},
        {"a default needs an argument at its position", "default 0 x\n", {"list.def:1 Bad default param index: 0"}, 77},
        {"setcamera stops at the first name it cannot find",
         "setcamera nowhere neither\n",
         {"list.def:1 Cannot find object: nowhere"},
         77},
        {"setcamera names the second when only that is missing",
         "create marker a\nsetcamera a neither\n",
         {"list.def:2 Cannot find object: neither"},
         77},
        {"commands compare without regard to case; a wrong count of max_saves is a parameter line",
         "MAX_SAVES 9\nMax_Saves 1 2\n",
         {"list.def:2 Invalid number of arguments: 2 (should be 1)", "list.def:2 No current object"},
         9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gi_maxsaves.SetInt(77);
        GameObjectListReset();
        EXPECT_EQ(Run(c.list), c.errors);
        EXPECT_EQ(gi_maxsaves.Int(), c.maxSaves);
        DynObjectsDeleteAll();
    }
    // The nesting counter came back to 0: a template still runs after the self-including one.
    EXPECT_EQ(Run("create marker b\ntemplate counted 4\n"), Lines{});
    EXPECT_EQ(gi_maxsaves.Int(), 4);
}

// "create" names the object and puts it in the world; its parameter lines, its template with
// arguments and defaults and the template's "loddist" all reach it; after the template the object
// list goes on with the same current object.
TEST_F(ObjectList, CreatedObjectsTakeTheirParameterLinesAndTemplates)
{
    WriteFileBytes("object/markers/hut.def",
                   "default 1 fallback\n"
                   "roof $0 $1\n"
                   "walls $2\n"
                   "loddist $0 20 30\n"
                   "template ..\\shared\\paint $0\n");
    WriteFileBytes("object/shared/paint.def", "colour $0 done\n");
    ASSERT_EQ(Run("create Marker hut\n"
                  "at 1 2 3\n"
                  "template hut 15 - -\n"
                  "door open\n"
                  "create marker shed\n"),
              Lines{});
    Marker* hut = dynamic_cast<Marker*>(DynObjectFind("HUT"));
    ASSERT_NE(hut, nullptr);
    EXPECT_STREQ(hut->name.Text(), "hut");
    EXPECT_EQ(DynObjectFindIndex("shed"), 1);
    EXPECT_EQ(hut->seen, (Lines{"at 1 2 3", "roof 15 fallback", "walls -", "colour 15 done", "door open"}));
    EXPECT_EQ(hut->at.y, 2.0f);
    EXPECT_EQ(hut->hasOwnLodDistances, 1);
    EXPECT_EQ(hut->lodDistances[0], 15.0f);
    EXPECT_EQ(hut->lodDistances[2], 30.0f);
    // The last create made the current object; the class is the keyword as the line wrote it.
    EXPECT_EQ(GameGetCurrentObject(), DynObjectFind("shed"));
    EXPECT_STREQ(GameGetCurrentClass(), "marker");
    EXPECT_STREQ(GameGetCurrentObjectListFile()->name.Text(), "list.def");
}

// A structure of the factory, placed by its root node, with a template from its own folder.
TEST_F(ObjectList, AStructureIsPlacedByItsParameterLines)
{
    WriteFileBytes("object/structures/barn.def", "energy $0\n");
    ASSERT_EQ(Run("create structure barn\npos root 1 2 3\ntemplate barn 40\n"), Lines{});
    Structure* barn = dynamic_cast<Structure*>(DynObjectFind("barn"));
    ASSERT_NE(barn, nullptr);
    EXPECT_EQ(barn->GetPosition().x, 10.0f);
    EXPECT_EQ(barn->GetPosition().z, 30.0f);
    EXPECT_EQ(barn->energy, 40.0f);
}

// A line of more than 64 values hands on its first 64; the values past them are not looked at.
TEST_F(ObjectListRobustness, ALineHandsOnAtMost64Values)
{
    std::string line = "many";
    for (int i = 0; i < 70; ++i)
        line += i < 60 ? " v" + std::to_string(i) : std::string(" $9");
    ASSERT_EQ(Run("create marker m\n" + line + "\n"),
              Lines(4, "list.def:2 Invalid argument number: 9 (valid range is $0 - $-1)"));
    Marker* marker = dynamic_cast<Marker*>(DynObjectFind("m"));
    ASSERT_NE(marker, nullptr);
    ASSERT_EQ(marker->seen.size(), 1u);
    std::string expected = "many";
    for (int i = 0; i < 64; ++i)
        expected += i < 60 ? " v" + std::to_string(i) : std::string(" 0");
    EXPECT_EQ(marker->seen[0], expected);
}

// "setcamera" puts the viewer at the first object's centre, levels the view and turns it towards
// the second; two objects at the same place give yaw 0.
TEST_F(ObjectList, SetCameraLooksFromOneObjectAtAnother)
{
    struct Case {
        Vector3 to;
        float yaw;
    };
    const float halfPi = 1.5707964f;
    const Case cases[] = {
        {{0.0f, 2.0f, 5.0f}, std::atan2(5.0f, -5.0f) - halfPi},
        {{15.0f, 2.0f, 0.0f}, -halfPi},
        {{5.0f, 2.0f, -10.0f}, std::atan2(-10.0f, 0.0f) - halfPi},
        {{5.0f, 2.005f, 0.0f}, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.yaw);
        GameSetYawPitch(1.0f, 0.5f);
        const std::string list = "create marker from\nat 5 2 0\ncreate marker to\nat " + std::to_string(c.to.x) + " " +
                                 std::to_string(c.to.y) + " " + std::to_string(c.to.z) + "\nsetcamera FROM to\n";
        EXPECT_EQ(Run(list), Lines{});
        const float* view = GameGetViewPos();
        EXPECT_EQ(view[0], 5.0f);
        EXPECT_EQ(view[1], 2.0f);
        EXPECT_EQ(view[2], 0.0f);
        EXPECT_NEAR(GameGetYaw(), c.yaw, 1e-6f);
        EXPECT_EQ(GameGetPitch(), 0.0f);
        DynObjectsDeleteAll();
    }
}

// A map object is found by name (without regard to case) before a dynamic object of the same name:
// the middle of its mesh's box; a dynamic object alone gives its box's centre.
TEST_F(ObjectList, ANamedMapObjectComesBeforeADynamicObject)
{
    CollisionMesh shape;
    shape.boxMin = {10.0f, 0.0f, 20.0f};
    shape.boxMax = {14.0f, 8.0f, 30.0f};
    MapMesh tower;
    tower.name.Assign("Tower");
    tower.collision = &shape;
    const u32_t meshCount = g_map.meshCount;
    g_map.meshes[g_map.meshCount++] = &tower;
    EXPECT_EQ(Run("create marker tower\nat 1 2 3\ncreate marker crate\nat 5 6 7\n"), Lines{});
    struct Case {
        const char* name;
        bool found;
        Vector3 at;
    };
    const Case cases[] = {
        {"TOWER", true, {12.0f, 4.0f, 25.0f}}, {"crate", true, {5.0f, 6.0f, 7.0f}}, {"nothing", false, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Vector3 at = {-1.0f, -1.0f, -1.0f};
        ASSERT_EQ(GameGetNamedObjectPosition(c.name, &at), c.found);
        if (c.found) {
            EXPECT_EQ(at.x, c.at.x);
            EXPECT_EQ(at.y, c.at.y);
            EXPECT_EQ(at.z, c.at.z);
        }
    }
    g_map.meshes[meshCount] = nullptr;
    g_map.meshCount = meshCount;
    tower.collision = nullptr;
}

// The applier: arguments from the template line, nested templates that pass on their substituted
// values, no defaults, and a nesting limit past 32.
TEST_F(ObjectList, TheApplierSubstitutesTheTemplateLinesArguments)
{
    WriteFileBytes("object/outer.def", "size $0 $1\ntemplate ..\\inner $1\nbogus\n");
    WriteFileBytes("object/inner.def", "default 0 x\ncolour $0\n");
    WriteFileBytes("object/loop.def", "template loop\n");
    Marker marker;
    DefFile* line = DefFileParse("line", "template outer big -\n", 21);
    ASSERT_NE(line, nullptr);
    ConClear(0);
    EXPECT_TRUE(GameApplyTemplateToObject("outer", &marker, line->first));
    EXPECT_EQ(marker.seen, (Lines{"size big -", "default 0 x", "colour -", "bogus"}));
    EXPECT_EQ(ErrorLines(), Lines{"object\\outer.def:3 X Invalid command"});

    // Without a template line the values are taken as written.
    marker.seen.clear();
    EXPECT_TRUE(GameApplyTemplateToObject("inner", &marker));
    EXPECT_EQ(marker.seen, (Lines{"default 0 x", "colour $0"}));

    // With too few arguments "$1" is reported and reads 0.
    marker.seen.clear();
    ConClear(0);
    DefFile* shortLine = DefFileParse("line", "template outer big\n", 19);
    EXPECT_TRUE(GameApplyTemplateToObject("outer", &marker, shortLine->first));
    EXPECT_EQ(marker.seen, (Lines{"size big 0", "default 0 x", "colour 0", "bogus"}));
    EXPECT_EQ(ErrorLines(), (Lines{"object\\outer.def:1 Invalid argument number: 1 (valid range is $0 - $0)",
                                   "object\\outer.def:2 Invalid argument number: 1 (valid range is $0 - $0)",
                                   "object\\outer.def:3 X Invalid command"}));

    ConClear(0);
    EXPECT_TRUE(GameApplyTemplateToObject("loop", &marker));
    EXPECT_EQ(ErrorLines(), Lines{"object\\loop.def:1 Infinite recursion found"});
    EXPECT_FALSE(GameApplyTemplateToObject("absent", &marker));
    DefFileRelease(line);
    DefFileRelease(shortLine);
}

// "sound" places an ambient emitter with the sound and its numbered variants up to the first missing
// one; eight values make it repeat at random intervals. "envsound" names the music.
class ObjectListSound : public ObjectList {
protected:
    void SetUp() override
    {
        ObjectList::SetUp();
        for (const char* name : {"bird", "bird_0", "bird_1", "bird_3"})
            WriteFileBytes(std::string("sound/") + name + ".wav", ShortWaveBytes());
        AudioChooseDevice(AudioDeviceChoice::Loopback);
        ASSERT_TRUE(SoundInit(nullptr));
    }
    void TearDown() override
    {
        SoundShutdown();
        AudioChooseDevice(AudioDeviceChoice::System);
        ObjectList::TearDown();
    }
};

TEST_F(ObjectListSound, SoundLinesPlaceSpatialSoundsAndTheMusic)
{
    ASSERT_EQ(Run("sound bird 1 2 3 4 50\n"
                  "sound bird 5 6 7 8 90 2000 5000\n"
                  "sound bird 1 2\n"
                  "envsound bird\n"),
              Lines{});
    ASSERT_EQ(SoundSpatialCount(), 3);
    const SoundSource& looping = *g_sound.spatial[0];
    EXPECT_EQ(looping.ownSet.Count(0), 3);  // bird, bird_0 and bird_1: bird_2 is missing
    EXPECT_EQ(looping.repeatMode, 0);
    EXPECT_EQ(looping.position.z, 3.0f);
    EXPECT_EQ(looping.maxDistance, 50.0f);
    const SoundSource& repeating = *g_sound.spatial[1];
    EXPECT_EQ(repeating.ownSet.Count(0), 3);
    EXPECT_EQ(repeating.repeatMode, 1);
    EXPECT_EQ(repeating.shortestInterval, 2000);
    EXPECT_EQ(repeating.longestInterval, 5000);
    EXPECT_EQ(repeating.minDistance, 8.0f);
    // Another count of values: no sounds; the values the line lacks read as 0.
    EXPECT_EQ(g_sound.spatial[2]->ownSet.Count(0), 0);
    EXPECT_EQ(g_sound.spatial[2]->position.z, 0.0f);
    ASSERT_NE(g_sound.music, nullptr);
    EXPECT_STREQ(g_sound.music->wave->name.Text(), "bird.wav");

    // More sounds than the table holds: the rest are left out, and the program goes on.
    std::string many;
    for (int i = 0; i < MAX_SPATIAL_SOUNDS; ++i)
        many += "sound bird 0 0 0 1 2\n";
    EXPECT_EQ(Run(many), Lines{});
    EXPECT_EQ(SoundSpatialCount(), MAX_SPATIAL_SOUNDS - 1);
}

}  // namespace
