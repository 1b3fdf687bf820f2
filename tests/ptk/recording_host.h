// A host table of our own for the particle plug-in's sources: it serves script files from memory
// and records what the plug-in hands it (registrations, pins, particle records, console lines).
// The fixture binds it, sets the plug-in's clock and generator, and unloads everything afterwards.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/plugins/plugin_api.h"
#include "plugins/ptk/plugin_entry.h"

namespace ptk_test {

struct ConsoleLine {
    int console;
    std::string text;
};

struct PinRecord {
    void* object;  // null for a weapon pin
    std::string node;
    bool removed;
    float axes[9];
    float position[3];
};

struct RecordingHost {
    std::map<std::string, std::string> files;  // served by the VFS entries, keyed by full name
    std::vector<std::string> textures;
    std::vector<std::string> meshes;
    std::vector<ParticleInfo> infos;  // copies of this frame's records
    std::vector<const void*> infoAddresses;
    std::vector<ConsoleLine> lines;
    std::vector<PinRecord> pins;
    std::vector<std::int32_t> unregistered;  // pin indices in the order released
    float frameTime = 0.0f;
    std::uint32_t tick = 1000;
    float weaponAxes[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    float weaponPosition[3] = {0, 0, 0};
    bool withFileSystem = true;

    std::int32_t LivePins() const;
};

RecordingHost& Host();
HostCallbackBlock* HostBlock();

// Clears the records, binds the plug-in to the recording host, sets the clock and the generator.
class PtkFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Map load with the files given; the event's result.
    std::int32_t LoadMap();
    // A frame of the given seconds with the clock moved on by the same milliseconds; clears the
    // records of the last frame first.
    void Frame(float seconds, std::uint32_t tickStep);
    std::int32_t Spawn(const char* name, float x, float y, float z, float dx, float dy, float dz);
    std::int32_t Attach(const char* name, void* object);
};

// "object\gfx\<name>" + extension.
std::string GfxName(const std::string& name, const char* extension);
// A definition file with the Var entries, Func entries and settings given, and one texture.
std::string EmitterText(const std::string& vars, const std::string& settings, const std::string& funcs = "",
                        const std::string& textures = "smoke 0");
// A template with one emitter entry naming the definition.
std::string SystemText(const std::string& name, const std::string& def, const char* entry = "0 0.0 0.0 0.0");
// The three files of one effect: set <name> linking template <name> with emitter <name>.
void AddEffect(const std::string& name, const std::string& emitter, const char* link = "0.0 0.0 0.0 0");

}  // namespace ptk_test
