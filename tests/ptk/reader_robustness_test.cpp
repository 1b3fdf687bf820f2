// Damaged particle files through the plug-in's readers at map load: every truncation of a sample
// definition, template and set, and a fixed-seed mutation loop over them, then a frame and an
// unload. Nothing may crash, overrun or leak (run under the sanitizer build).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/ptk/recording_host.h"

using namespace ptk_test;

namespace {

const char* const kEmitter =
    "Layer l\n{\n  emiter_def e\n  {\n"
    "    Var { Lifetime = 300.0 PtkLife = 200.0 Freq = 1.0 Quant = 3.0 Dir = (0.0,1.0,0.0) RGB = (1.0,0.5,0.2) }\n"
    "    Func { A = Curve1D { 0 : 1.0 2 : 0.5 2 : 0.5 5 : 0.0 } Vel = Sin { Var { Amp = 2.0 } Func { Per = "
    "Exp { } } }\n"
    "           Dir = Linear3D { 0 : (0.0,1.0,0.0) 3 : (1.0,0.0,0.0) } Texture = Step { 0 : 1 } RGB = Color { 0 : "
    "(1.0,1.0,1.0) } }\n"
    "  }\n"
    "  { Srcblend = 4 Destblend = 1 EmtType = 5 PtkType = 4 TexScale = 2 Color = 0 Alpha = 0 Dir = 0 RVel = 0.5 "
    "RLife = 10.0 }\n"
    "  Objects { \"bolt\" }\n"
    "  Textures { a 0 b 1 }\n"
    "  float extra 1.0\n"
    "  Func { extra = Linear1D { 0 : 1.0 } }\n"
    "}\n";
const char* const kSystem =
    "name t\ntype emit_exec\n{\n  e { emit_exec 0 0.0 1.0 0.0 }\n  e { emit_exec 50 0.0 0.0 0.5 }\n}\n";
const char* const kSet = "name s\n{\n  link t 0.0 0.0 0.0 0\n  link t node 20\n}\n";

struct FileSet {
    std::string emitter = kEmitter;
    std::string system = kSystem;
    std::string set = kSet;
};

class PtkReaderRobustness : public PtkFixture {
protected:
    // Loads, runs a few frames of the set on an object and at a place, and unloads.
    void Exercise(const FileSet& files)
    {
        Host().files.clear();
        Host().files[GfxName("e", ".emt")] = files.emitter;
        Host().files[GfxName("t", ".pst")] = files.system;
        Host().files[GfxName("s", ".set")] = files.set;
        LoadMap();
        int object = 0;
        Attach("s", &object);
        Spawn("s", 1, 2, 3, 0, 1, 0);
        for (int i = 0; i < 3; ++i)
            Frame(0.02f, 20);
        HookProc(HookParticlesMapUnloaded, 0);
        EXPECT_EQ(Host().LivePins(), 0);
    }
};

TEST_F(PtkReaderRobustness, EveryTruncationOfEachFile)
{
    const FileSet whole;
    const std::string* texts[] = {&whole.emitter, &whole.system, &whole.set};
    for (int which = 0; which < 3; ++which) {
        for (std::size_t length = 0; length <= texts[which]->size(); ++length) {
            FileSet files;
            std::string* target = which == 0 ? &files.emitter : (which == 1 ? &files.system : &files.set);
            target->resize(length);
            Exercise(files);
        }
    }
}

TEST_F(PtkReaderRobustness, MutatedFilesWithAFixedSeed)
{
    std::mt19937 random(61);
    const char kBytes[] = "{}()=:,.\"#-+0123456789 \n\xA0\x80xeSinExpVar";
    for (int round = 0; round < 600; ++round) {
        FileSet files;
        std::string* target = round % 3 == 0 ? &files.emitter : (round % 3 == 1 ? &files.system : &files.set);
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !target->empty(); ++e) {
            const std::size_t at = random() % target->size();
            switch (random() % 3) {
                case 0:
                    (*target)[at] = kBytes[random() % (sizeof kBytes - 1)];
                    break;
                case 1:
                    target->erase(at, 1 + random() % 8);
                    break;
                default:
                    target->insert(at, target->substr(random() % target->size(), 1 + random() % 16));
                    break;
            }
        }
        Exercise(files);
    }
}

}  // namespace
