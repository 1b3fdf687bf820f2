// The particle runtime driven through HookProc with the recording host, a fixed generator state and
// set frame times: event codes, frame milliseconds, emission counts, emitter ends, atlas frames,
// random directions, the record handed to the host, pins, the running lists and spawn directions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "plugins/ptk/particle_runtime.h"
#include "tests/ptk/recording_host.h"

using namespace ptk_test;

namespace {

class PtkRuntime : public PtkFixture {
protected:
    std::int32_t Running() const { return ptk::g_running.instances ? ptk::g_running.instances->Count() : -1; }
};

TEST_F(PtkRuntime, CodesOutsideTheGroupAnswerTheirDistanceFromIt)
{
    LoadMap();
    struct Case {
        std::uint32_t code;
        std::int32_t result;
    };
    for (const Case& c : {Case{0x40000, -0x20000}, Case{0x60007, 7}, Case{0x5FFFF, -1}, Case{0x70003, 0x10003}}) {
        EXPECT_EQ(HookProc(c.code, 0), c.result) << std::hex << c.code;
    }
    EXPECT_EQ(Running(), 0);
}

TEST_F(PtkRuntime, TheMapLoadAnswersWhetherTheHostFoundAnySet)
{
    EXPECT_EQ(LoadMap(), 0) << "no set in the folder";
    AddEffect("loop", EmitterText("Lifetime = 100.0", "Loop = 1"));
    EXPECT_EQ(LoadMap(), 1);
}

TEST_F(PtkRuntime, TheFrameTimeIsTruncatedToWholeMilliseconds)
{
    AddEffect("loop", EmitterText("Lifetime = 100.0", "Loop = 1"));
    LoadMap();
    struct Case {
        float seconds;
        std::int32_t ms;
    };
    for (const Case& c : {Case{0.0004f, 0}, Case{0.0159f, 15}, Case{0.001f, 1}, Case{0.0f, 0}, Case{-1.0f, 0}}) {
        ASSERT_EQ(Spawn("loop", 0, 0, 0, 0, 1, 0), 0);
        Frame(c.seconds, 0);
        EXPECT_EQ(*ptk::g_running.ages->At(0), c.ms) << c.seconds;
        HookProc(HookParticlesReset, 0);
    }
}

TEST_F(PtkRuntime, QuantIsTruncatedBeforeSpawning)
{
    struct Case {
        const char* quant;
        std::size_t particles;
    };
    for (const Case& c : {Case{"0.9", 0}, Case{"1.9", 1}, Case{"2.0", 2}, Case{"-3.0", 0}}) {
        Host().files.clear();
        AddEffect("puff",
                  EmitterText(std::string("Lifetime = 1000.0 PtkLife = 1000.0 Freq = 1000.0 Quant = ") + c.quant, ""));
        LoadMap();
        ASSERT_EQ(Spawn("puff", 0, 0, 0, 0, 1, 0), 0);
        Frame(0.01f, 1);  // starts the emitter, which emits at once
        Frame(0.01f, 1);  // no second emission within Freq
        EXPECT_EQ(Host().infos.size(), c.particles) << c.quant;
    }
}

TEST_F(PtkRuntime, EmittersEndAfterTheirLifetimeUnlessTheyLoop)
{
    struct Case {
        const char* vars;
        const char* settings;
        std::uint32_t firstTick;  // clock step of the frame that starts the emitter
        bool runsAfterOneMs;
        bool runsLater;
    };
    const Case cases[] = {
        {"Lifetime = 0.0", "", 0, false, false},  // finishes at the first step 1 ms after its start
        {"Lifetime = 0.0", "", 5, false, false},
        {"Lifetime = 50.0 PtkLife = 20.0 Freq = 5.0", "", 0, true, false},
        {"Lifetime = 50.0 PtkLife = 20.0 Freq = 5.0", "Loop = 1", 0, true, true},
        {"Lifetime = 0.0", "Loop = 1", 0, true, true},
    };
    for (const Case& c : cases) {
        Host().files.clear();
        AddEffect("e", EmitterText(c.vars, c.settings));
        LoadMap();
        ASSERT_EQ(Spawn("e", 0, 0, 0, 0, 1, 0), 0);
        Frame(0.0f, c.firstTick);
        EXPECT_EQ(Running(), 1) << c.vars << c.settings;  // the start tick itself is no later than the start
        Frame(0.001f, 1);
        EXPECT_EQ(Running(), c.runsAfterOneMs ? 1 : 0) << c.vars << c.settings;
        for (int i = 0; i < 200; ++i)
            Frame(0.01f, 10);
        EXPECT_EQ(Running(), c.runsLater ? 1 : 0) << c.vars << c.settings;
    }
}

TEST_F(PtkRuntime, AtlasFramesCountFromTheBottomLeftCell)
{
    AddEffect("atlas", EmitterText("Lifetime = 1000.0 PtkLife = 1000.0 Freq = 1000.0 Quant = 17.0",
                                   "PtkType = 4 TexScale = 4", "", "atlas_a 0 atlas_b 0"));
    LoadMap();
    ASSERT_EQ(Spawn("atlas", 0, 0, 0, 0, 1, 0), 0);
    Frame(0.01f, 1);
    Frame(0.01f, 1);
    ASSERT_EQ(Host().infos.size(), 17u);
    struct Case {
        std::size_t particle;  // 0-based: the frame is (particle + 1) modulo 16
        float rect[4];
    };
    const Case cases[] = {
        {16, {0.25f, 0.5f, 0.75f, 1.0f}},  // the 17th particle: frame 1
        {14, {0.75f, 1.0f, 0.0f, 0.25f}},  // frame 15: the last column of the fourth row
        {3, {0.0f, 0.25f, 0.5f, 0.75f}},   // frame 4: second row
        {15, {0.0f, 0.25f, 0.75f, 1.0f}},  // frame 0
    };
    for (const Case& c : cases) {
        const ParticleInfo& info = Host().infos[c.particle];
        EXPECT_EQ(info.kind, 4u);
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(info.rect[i], c.rect[i]) << c.particle << " " << i;
        EXPECT_EQ(info.textureIndex, 10u);  // the texture at index Texture, not a frame
    }
}

TEST_F(PtkRuntime, AtlasIndicesOutsideTheTextureListGiveNoTexture)
{
    struct Case {
        const char* vars;
        const char* settings;
        const char* textures;
        std::uint32_t firstHandle;
    };
    const Case cases[] = {
        // TexScale 1 cycles through Texture textures: the first particle shows frame 1.
        {"Texture = 3", "PtkType = 4 TexScale = 1", "a 0 b 0", 11},
        {"Texture = 3", "PtkType = 4 TexScale = 1", "a 0", 0},       // frame 1 of one listed texture
        {"Texture = 0", "PtkType = 4 TexScale = 0", "a 0 b 0", 10},  // a grid below 1 counts as 1
        {"Texture = -4", "PtkType = 4 TexScale = 1", "a 0 b 0", 10},
        {"Texture = 5", "PtkType = 0", "a 0 b 0", 0},  // past the list: no texture
        {"Texture = -1", "PtkType = 0", "a 0 b 0", 0},
    };
    for (const Case& c : cases) {
        Host().files.clear();
        Host().textures.clear();  // handles count from 10 again
        AddEffect("t",
                  EmitterText(std::string("Lifetime = 1000.0 PtkLife = 1000.0 Freq = 1000.0 Quant = 1.0 ") + c.vars,
                              c.settings, "", c.textures));
        LoadMap();
        ASSERT_EQ(Spawn("t", 0, 0, 0, 0, 1, 0), 0);
        Frame(0.01f, 1);
        Frame(0.01f, 1);
        ASSERT_EQ(Host().infos.size(), 1u) << c.vars;
        const ParticleInfo& info = Host().infos[0];
        EXPECT_EQ(info.textureIndex, c.firstHandle) << c.vars << c.settings;
        for (float v : info.rect)
            EXPECT_TRUE(std::isfinite(v)) << c.vars;
    }
}

TEST_F(PtkRuntime, AZeroDirectionGivesUnnormalisedRandomDirections)
{
    AddEffect("burst", EmitterText("Lifetime = 1000.0 PtkLife = 1000.0 Freq = 1000.0 Quant = 60.0", "PtkType = 2"));
    LoadMap();
    ASSERT_EQ(Spawn("burst", 0, 0, 0, 0, 1, 0), 0);
    Frame(0.01f, 1);
    Frame(0.01f, 1);
    ASSERT_EQ(Host().infos.size(), 60u);
    bool shortOne = false;
    for (const ParticleInfo& info : Host().infos) {
        for (float v : info.vector) {
            EXPECT_GE(v, -1.0f);
            EXPECT_LE(v, 1.0f);
        }
        const float length = std::sqrt(info.vector[0] * info.vector[0] + info.vector[1] * info.vector[1] +
                                       info.vector[2] * info.vector[2]);
        shortOne = shortOne || length < 0.9f;
    }
    EXPECT_TRUE(shortOne);
}

// The plug-in's generator, to know the birth angle of the fixture's first particle.
float Draw(std::uint32_t& state)
{
    state = state * 214013u + 2531011u;
    return static_cast<float>((state >> 16) & 0x7FFFu);
}

template <typename T>
void Put(std::vector<std::uint8_t>& bytes, std::size_t offset, T value)
{
    std::memcpy(&bytes[offset], &value, sizeof value);
}

TEST_F(PtkRuntime, TheRecordHandedToTheHostHoldsTheParticle)
{
    AddEffect("fixture", EmitterText("Lifetime = 1000.0 PtkLife = 1000.0 Freq = 1000.0 Quant = 1.0 Dir = (0.0,1.0,0.0) "
                                     "Scale = 1.5 MinSiz = 2.0 MaxSiz = 2.0 RGB = (1.0,0.5,0.25) A = 0.5",
                                     "Srcblend = 4 Destblend = 5 Alphatest = 1 Colorbyenv = 1"));
    LoadMap();
    ASSERT_EQ(Spawn("fixture", 1.0f, 2.0f, 3.0f, 0, 1, 0), 0);
    Frame(0.0f, 1);
    Frame(0.0f, 1);
    ASSERT_EQ(Host().infos.size(), 1u);
    // Draws from 12345: the definition's rotation sign, then the particle's birth angle.
    std::uint32_t state = 12345;
    Draw(state);
    const float angle = 0.0f + Draw(state) * (1.0f / 32767.0f) * 6.2831855f;
    std::vector<std::uint8_t> expected(76, 0);
    Put<std::uint32_t>(expected, 0, 0);  // kind 0
    expected[4] = 1;                     // Colorbyenv
    Put(expected, 8, 1.0f);
    Put(expected, 12, 2.0f);
    Put(expected, 16, 3.0f);
    Put(expected, 20, 1.5f);  // 1.5 * 2 * 0.5
    Put(expected, 52, angle);
    Put<std::uint32_t>(expected, 56, 10);  // the handle of the first texture
    expected[60] = 1;                      // Alphatest
    Put<std::uint32_t>(expected, 64, 0x7FFF7F3Fu);
    Put<std::uint32_t>(expected, 68, 5);  // D3DBLEND_SRCALPHA
    Put<std::uint32_t>(expected, 72, 6);  // D3DBLEND_INVSRCALPHA
    std::vector<std::uint8_t> got(76);
    std::memcpy(got.data(), &Host().infos[0], 76);
    EXPECT_EQ(got, expected);
}

TEST_F(PtkRuntime, BlendIndicesBecomeBlendFactors)
{
    struct Case {
        int source;
        int destination;
        std::uint32_t sourceBlend;
        std::uint32_t destinationBlend;
    };
    const Case cases[] = {{0, 0, 1, 1}, {2, 2, 9, 3}, {3, 3, 10, 4}, {8, 8, 11, 1}, {9, 9, 1, 1}, {-1, 7, 1, 8}};
    for (const Case& c : cases) {
        Host().files.clear();
        AddEffect("b", EmitterText(
                           "Lifetime = 1000.0 PtkLife = 1000.0 Freq = 1000.0 Quant = 1.0",
                           "Srcblend = " + std::to_string(c.source) + " Destblend = " + std::to_string(c.destination)));
        LoadMap();
        ASSERT_EQ(Spawn("b", 0, 0, 0, 0, 1, 0), 0);
        Frame(0.0f, 1);
        Frame(0.0f, 1);
        ASSERT_EQ(Host().infos.size(), 1u);
        EXPECT_EQ(Host().infos[0].sourceBlend, c.sourceBlend) << c.source;
        EXPECT_EQ(Host().infos[0].destinationBlend, c.destinationBlend) << c.destination;
    }
}

TEST_F(PtkRuntime, EndingOnePinnedInstanceLeavesTheOtherOnItsOwnPins)
{
    Host().files[GfxName("short", ".emt")] = EmitterText("Lifetime = 0.0", "");
    Host().files[GfxName("long", ".emt")] =
        EmitterText("Lifetime = 100.0 PtkLife = 1000.0 Freq = 1.0 Quant = 1.0 Dir = (0.0,1.0,0.0)", "Loop = 1");
    Host().files[GfxName("short", ".pst")] = SystemText("short", "short");
    Host().files[GfxName("long", ".pst")] = SystemText("long", "long", "0 1.0 0.0 0.0");
    Host().files[GfxName("short", ".set")] = "name short { link short node 0 }";
    Host().files[GfxName("long", ".set")] = "name long { link long node 0 }";
    LoadMap();
    int objectA = 0;
    int objectB = 0;
    EXPECT_EQ(Attach("short", &objectA), 0);
    EXPECT_EQ(Attach("long", &objectB), 1);
    ASSERT_EQ(Host().pins.size(), 2u);
    EXPECT_EQ(Host().pins[0].object, &objectA);
    EXPECT_EQ(Host().pins[1].object, &objectB);
    Host().pins[1].position[0] = 10.0f;
    Frame(0.0f, 0);
    Frame(0.0f, 2);  // the short instance ends
    EXPECT_EQ(Running(), 1);
    EXPECT_EQ(Host().unregistered, std::vector<std::int32_t>{0});
    Host().pins[1].position[0] = 20.0f;
    Frame(0.0f, 2);
    ASSERT_FALSE(Host().infos.empty());
    EXPECT_FLOAT_EQ(Host().infos.back().position[0], 21.0f);  // the pin's place plus the offset
    HookProc(HookParticlesReset, 0);
    EXPECT_EQ(Host().unregistered, (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(Attach("long", nullptr), 0);  // no object: nothing starts
    EXPECT_EQ(Running(), 0);
}

TEST_F(PtkRuntime, ARemovedPinKeepsTheLastTransform)
{
    Host().files[GfxName("long", ".emt")] =
        EmitterText("Lifetime = 100.0 PtkLife = 1000.0 Freq = 1.0 Quant = 1.0 Dir = (0.0,1.0,0.0)", "Loop = 1");
    Host().files[GfxName("long", ".pst")] = SystemText("long", "long");
    Host().files[GfxName("long", ".set")] = "name long { link long node 0 }";
    LoadMap();
    int object = 0;
    ASSERT_EQ(Attach("long", &object), 0);
    Host().pins[0].position[2] = 7.0f;
    Frame(0.0f, 0);
    Frame(0.0f, 2);
    Host().pins[0].removed = true;  // the host emptied the pin: its object was deleted
    Host().pins[0].position[2] = 99.0f;
    Frame(0.0f, 2);
    ASSERT_FALSE(Host().infos.empty());
    EXPECT_FLOAT_EQ(Host().infos.back().position[2], 7.0f);
}

TEST_F(PtkRuntime, ResetEmptiesTheThreeRunningLists)
{
    AddEffect("e", EmitterText("Lifetime = 100.0", "Loop = 1"), "node 0");
    LoadMap();
    int object = 0;
    HookProc(HookParticlesReset, 0);  // nothing running: nothing happens
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Attach("e", &object), i);
    EXPECT_EQ(Spawn("e", 1, 2, 3, 0, 1, 0), 3);
    EXPECT_EQ(Spawn("nothing", 1, 2, 3, 0, 1, 0), -1);
    HookProc(HookParticlesReset, 0);
    EXPECT_EQ(ptk::g_running.instances->Count(), 0);
    EXPECT_EQ(ptk::g_running.ages->Count(), 0);
    EXPECT_EQ(ptk::g_running.placements->Count(), 0);
    EXPECT_EQ(Host().unregistered, (std::vector<std::int32_t>{2, 1, 0}));  // last first, each once
    EXPECT_EQ(Host().LivePins(), 0);
}

TEST_F(PtkRuntime, TheInstanceBeyondTheListLeavesNoPin)
{
    AddEffect("e", EmitterText("Lifetime = 100.0", "Loop = 1"), "node 0");
    LoadMap();
    int object = 0;
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(Attach("e", &object), i);
    EXPECT_EQ(Attach("e", &object), -1);
    EXPECT_EQ(Host().pins.size(), 101u);
    EXPECT_EQ(Host().LivePins(), 100);
    EXPECT_TRUE(Host().pins[100].removed);
    HookProc(HookParticlesMapUnloaded, 0);
    EXPECT_EQ(Host().LivePins(), 0);
}

TEST_F(PtkRuntime, WeaponStartsPinEveryNamedLinkToTheWeapon)
{
    Host().files[GfxName("e", ".emt")] = EmitterText("Lifetime = 100.0", "Loop = 1");
    Host().files[GfxName("e", ".pst")] = SystemText("e", "e");
    Host().files[GfxName("w", ".set")] = "name w { link e barrel 0 link e 0.0 0.0 0.0 0 link e grip 0 }";
    LoadMap();
    ParticleValueEvent event = {"w"};
    EXPECT_EQ(HookProc(HookParticlesValue, reinterpret_cast<PluginWord>(&event)), 0);
    ASSERT_EQ(Host().pins.size(), 2u);
    EXPECT_EQ(Host().pins[0].object, nullptr);
    EXPECT_EQ(Host().pins[0].node, "barrel");
    EXPECT_EQ(Host().pins[1].node, "grip");
    ASSERT_EQ(Host().lines.size(), 2u);
    for (const ConsoleLine& line : Host().lines) {
        EXPECT_EQ(line.console, 4);
        EXPECT_EQ(line.text, "fsdfa\n");
    }
}

TEST_F(PtkRuntime, UpMapsOntoTheSpawnDirection)
{
    AddEffect("jet", EmitterText("Lifetime = 1000.0 PtkLife = 1000.0 Freq = 1000.0 Quant = 1.0 Dir = (0.0,1.0,0.0)",
                                 "PtkType = 2"));
    LoadMap();
    struct Case {
        float d[3];
    };
    const Case cases[] = {
        {{1, 0, 0}},
        {{0, 0, 1}},
        {{0, 0, -1}},
        {{0.6f, 0.8f, 0}},
        {{0, -1, 0}},
        {{0, 1, 0}},
        {{-0.48f, 0.6f, 0.64f}},
        {{0, 1.0000001f, 0}},  // rounded above unit length: acos must stay in its range
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Spawn("jet", 0, 0, 0, c.d[0], c.d[1], c.d[2]), 0);
        Frame(0.0f, 1);
        Frame(0.0f, 1);
        ASSERT_EQ(Host().infos.size(), 1u);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(Host().infos[0].vector[i], c.d[i], 1e-5f) << c.d[0] << " " << c.d[1] << " " << c.d[2];
        HookProc(HookParticlesReset, 0);
    }
}

TEST_F(PtkRuntime, ParticlesMoveAlongTheirDirectionAndAge)
{
    AddEffect("move", EmitterText("Lifetime = 1000.0 PtkLife = 45.0 Freq = 1000.0 Quant = 1.0 Vel = 2.0 "
                                  "Dir = (1.0,0.0,0.0) Grav = 10.0",
                                  "PtkType = 3"));
    LoadMap();
    ASSERT_EQ(Spawn("move", 0, 5, 0, 0, 1, 0), 0);
    Frame(0.0f, 1);
    Frame(0.0f, 1);  // born at x 0, updated by 0 s
    ASSERT_EQ(Host().infos.size(), 1u);
    Frame(0.5f, 1);  // direction y -0.5 * 10, x += 0.5 * 2 * 1, ground kind: y 0
    ASSERT_EQ(Host().infos.size(), 1u);
    EXPECT_FLOAT_EQ(Host().infos[0].position[0], 1.0f);
    EXPECT_FLOAT_EQ(Host().infos[0].position[1], 0.0f);
    Frame(0.02f, 1);  // age 500 capped at 45: removed at the next step
    Frame(0.02f, 1);
    EXPECT_TRUE(Host().infos.empty());
}

}  // namespace

namespace {

TEST_F(PtkRuntime, MeshParticlesTurnAboutTheDiagonalAxis)
{
    AddEffect("chips",
              EmitterText("Lifetime = 1000.0 PtkLife = 1000.0 Freq = 1000.0 Quant = 1.0 Scale = 2.0 "
                          "Dir = (0.0,1.0,0.0)",
                          "PtkType = 7 Colorbyenv = 1"),
              "0.0 0.0 0.0 0");
    // A mesh particle's definition names its mesh.
    Host().files[GfxName("chips", ".emt")] =
        "Layer l { emiter_def e { Var { Lifetime = 1000.0 PtkLife = 1000.0 Freq = 1000.0 Quant = 1.0 Scale = 2.0 "
        "Dir = (0.0,1.0,0.0) } } { PtkType = 7 Colorbyenv = 1 } Objects { \"chip\" } Textures { } }";
    LoadMap();
    ASSERT_EQ(Host().meshes, std::vector<std::string>{"chip"});
    ASSERT_EQ(Spawn("chips", 3.0f, 4.0f, 5.0f, 0, 1, 0), 0);
    Frame(0.0f, 1);
    ASSERT_EQ(Host().infos.size(), 1u);
    ParticleMeshInfo mesh;
    std::memcpy(&mesh, &Host().infos[0], sizeof mesh);
    EXPECT_EQ(mesh.kind, 7u);
    EXPECT_EQ(mesh.environmentColour, 1);
    EXPECT_EQ(mesh.animIndex, 20u);  // the handle the host gave the mesh
    std::uint32_t state = 12345;
    Draw(state);  // the definition's rotation sign
    const float angle = Draw(state) * (1.0f / 32767.0f) * 6.2831855f;
    const float* m = mesh.matrix;
    // The axis (1, 1, 1) is kept and scaled; the turn's trace is 1 + 2 cos(angle); then the place.
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(m[c] + m[4 + c] + m[8 + c], 2.0f, 1e-5f) << c;
    EXPECT_NEAR((m[0] + m[5] + m[10]) / 2.0f, 1.0f + 2.0f * std::cos(angle), 1e-5f);
    EXPECT_NEAR(m[1] - m[4], 2.0f * 2.0f * std::sin(angle) / std::sqrt(3.0f), 1e-5f);
    EXPECT_FLOAT_EQ(m[12], 3.0f);
    EXPECT_FLOAT_EQ(m[13], 4.0f);
    EXPECT_FLOAT_EQ(m[14], 5.0f);
    EXPECT_EQ(m[15], 1.0f);
}

TEST_F(PtkRuntime, CarriedParticlesMoveWithTheirEmitter)
{
    struct Case {
        const char* settings;
        float shift;
    };
    for (const Case& c : {Case{"Transform = 0", 0.0f}, Case{"Transform = 1", 5.0f}}) {
        Host().files.clear();
        Host().pins.clear();
        AddEffect(
            "e",
            EmitterText("Lifetime = 1000.0 PtkLife = 1000.0 Freq = 1000.0 Quant = 1.0 Dir = (0.0,1.0,0.0)", c.settings),
            "node 0");
        LoadMap();
        int object = 0;
        ASSERT_EQ(Attach("e", &object), 0);
        Frame(0.0f, 1);
        ASSERT_EQ(Host().infos.size(), 1u);
        const float before = Host().infos[0].position[0];
        Host().pins[0].position[0] += 5.0f;
        Frame(0.0f, 1);
        ASSERT_EQ(Host().infos.size(), 1u);
        EXPECT_FLOAT_EQ(Host().infos[0].position[0], before + c.shift) << c.settings;
    }
}

TEST_F(PtkRuntime, PerParticleControllersFollowTheParticlesAge)
{
    struct Case {
        const char* settings;
        std::uint32_t youngAlpha;
    };
    // Two particles born 500 ms apart. A per-emitter alpha follows the emitter's time (key 5 of 10
    // for both); a per-particle one each particle's own age (0 for the young one).
    for (const Case& c : {Case{"Alpha = 1", 0x7Fu}, Case{"Alpha = 0", 0xFFu}}) {
        Host().files.clear();
        AddEffect("e", EmitterText("Lifetime = 1000.0 PtkLife = 2000.0 Freq = 100.0 Quant = 1.0 Dir = (0.0,1.0,0.0)",
                                   c.settings, "A = Linear1D { 0 : 1.0 10 : 0.0 }"));
        LoadMap();
        ASSERT_EQ(Spawn("e", 0, 0, 0, 0, 1, 0), 0);
        Frame(0.5f, 1);    // the first particle, 500 ms old after its update
        Frame(0.0f, 200);  // the second, newborn
        ASSERT_EQ(Host().infos.size(), 2u);
        EXPECT_EQ(Host().infos[0].colour >> 24, 0x7Fu) << c.settings;
        EXPECT_EQ(Host().infos[1].colour >> 24, c.youngAlpha) << c.settings;
        HookProc(HookParticlesReset, 0);
    }
}

}  // namespace

namespace {

bool Warned(const char* key)
{
    for (const ConsoleLine& line : Host().lines)
        if (line.text.find("WARNING") != std::string::npos && line.text.find(key) != std::string::npos)
            return true;
    return false;
}

// An effect file's counts are bounded: a huge "Quant" spawns the limit per emission, a huge
// "TexScale" makes a grid of the limit's side; each with a warning line, and none within the limits.
TEST_F(PtkRuntime, QuantAndTexScaleAboveTheirLimitsAreTakenAsTheLimitWithAWarning)
{
    struct Case {
        const char* vars;
        const char* settings;
        std::size_t particles;
        float cell;  // the atlas cell's width of the first particle
        const char* warnedKey;
    };
    const Case cases[] = {
        {"Quant = 1000.0", "PtkType = 4 TexScale = 2", 1000, 0.5f, nullptr},
        {"Quant = 2000000.0", "PtkType = 4 TexScale = 2", 1000, 0.5f, "Quant"},
        {"Quant = 1.0", "PtkType = 4 TexScale = 64", 1, 1.0f / 64.0f, nullptr},
        {"Quant = 1.0", "PtkType = 4 TexScale = 46341", 1, 1.0f / 64.0f, "TexScale"},
        {"Quant = 1.0", "PtkType = 4 TexScale = 2147483647", 1, 1.0f / 64.0f, "TexScale"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.vars) + " " + c.settings);
        Host().files.clear();
        Host().lines.clear();
        AddEffect("many", EmitterText(std::string("Lifetime = 1000.0 PtkLife = 1000.0 Freq = 1000.0 ") + c.vars,
                                      c.settings, "", "a 0"));
        LoadMap();
        ASSERT_EQ(Spawn("many", 0, 0, 0, 0, 1, 0), 0);
        Frame(0.01f, 1);
        Frame(0.01f, 1);
        ASSERT_EQ(Host().infos.size(), c.particles);
        const ParticleInfo& info = Host().infos[0];
        EXPECT_FLOAT_EQ(info.rect[1] - info.rect[0], c.cell);
        for (float v : info.rect)
            EXPECT_TRUE(std::isfinite(v));
        EXPECT_EQ(Warned("Quant"), c.warnedKey && std::string(c.warnedKey) == "Quant");
        EXPECT_EQ(Warned("TexScale"), c.warnedKey && std::string(c.warnedKey) == "TexScale");
        HookProc(HookParticlesReset, 0);
    }
}

// A looping emitter's curves run again from their start with every lifetime: its per-emitter alpha
// (1.0 falling to 0.0 over the 1000 ms lifetime) is read at the instance's age modulo the lifetime.
TEST_F(PtkRuntime, ALoopingEmittersCurvesStartAgainWithEachLifetime)
{
    AddEffect("pulse", EmitterText("Lifetime = 1000.0 PtkLife = 5000.0 Freq = 1000.0 Quant = 1.0 Dir = (0.0,1.0,0.0)",
                                   "Loop = 1 Alpha = 1", "A = Linear1D { 0 : 1.0 10 : 0.0 }"));
    LoadMap();
    ASSERT_EQ(Spawn("pulse", 0, 0, 0, 0, 1, 0), 0);
    Frame(0.0f, 1);  // started and emitted at age 0
    struct Step {
        float seconds;  // the instance's age grows by this after the frame's curves are read
        std::int32_t ageRead;
        std::uint32_t alpha;
    };
    // Read at ages 0, 500, 1000, 1500, 2200: curve keys 0, 5, 0, 5, 2.
    const Step steps[] = {
        {0.5f, 0, 0xFFu}, {0.5f, 500, 0x7Fu}, {0.5f, 1000, 0xFFu}, {0.7f, 1500, 0x7Fu}, {0.1f, 2200, 0xCCu}};
    for (const Step& s : steps) {
        Frame(s.seconds, 1);
        ASSERT_EQ(Host().infos.size(), 1u);
        EXPECT_NEAR(static_cast<int>(Host().infos[0].colour >> 24), static_cast<int>(s.alpha), 1)
            << "read at age " << s.ageRead;
    }
}

// "Loop" starts the emitter again once its time has passed the lifetime, not when it reaches it: at
// exactly the lifetime the old run neither emits nor restarts.
TEST_F(PtkRuntime, ALoopStartsAgainOnlyAfterTheLifetimeHasPassed)
{
    AddEffect("loop",
              EmitterText("Lifetime = 100.0 PtkLife = 5000.0 Freq = 1.0 Quant = 1.0 Dir = (0.0,1.0,0.0)", "Loop = 1"));
    LoadMap();
    ASSERT_EQ(Spawn("loop", 0, 0, 0, 0, 1, 0), 0);
    struct Step {
        std::uint32_t tickStep;
        std::size_t particles;
        const char* what;
    };
    const Step steps[] = {
        {1, 1, "start: emits at once"},         {99, 2, "99 ms: emits"},
        {1, 2, "at the lifetime: nothing"},     {1, 2, "past it: starts again"},
        {1, 3, "1 ms into the new run: emits"},
    };
    for (const Step& s : steps) {
        Frame(0.0f, s.tickStep);
        EXPECT_EQ(Host().infos.size(), s.particles) << s.what;
    }
}

// Kinds 0 to 4 leave along the emitter's direction (the definition's "Dir" turned by the spawn
// direction), the others along the definition's own; only kind 3 stays on the ground.
TEST_F(PtkRuntime, TheKindChoosesTheDirectionAndTheGround)
{
    struct Case {
        int kind;
        float x, y;  // after half a second at speed 2
    };
    const Case cases[] = {{0, 1.0f, 5.0f}, {2, 1.0f, 5.0f}, {3, 1.0f, 0.0f}, {4, 1.0f, 5.0f}, {5, 0.0f, 6.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind));
        Host().files.clear();
        AddEffect("k", EmitterText("Lifetime = 1000.0 PtkLife = 5000.0 Freq = 1000.0 Quant = 1.0 Vel = 2.0 "
                                   "Dir = (0.0,1.0,0.0)",
                                   "PtkType = " + std::to_string(c.kind), "", "a 0"));
        LoadMap();
        // The spawn direction turns up onto +x.
        ASSERT_EQ(Spawn("k", 0, 5, 0, 1, 0, 0), 0);
        Frame(0.0f, 1);
        Frame(0.5f, 1);
        ASSERT_EQ(Host().infos.size(), 1u);
        EXPECT_NEAR(Host().infos[0].position[0], c.x, 1e-5f);
        EXPECT_NEAR(Host().infos[0].position[1], c.y, 1e-5f);
        HookProc(HookParticlesReset, 0);
    }
}

}  // namespace
