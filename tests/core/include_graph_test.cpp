// The include check over a small stand-in tree: a file in a subfolder belongs to the floor of its
// top folder, and every breach still fails the check wherever in the subfolders it stands.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/temp_dir.h"

namespace {

struct IncludeCase {
    const char* name;
    const char* file;     // the including file, relative to the tree
    const char* include;  // what it includes
    const char* allowed;  // the allow list's body
    bool passes;
    const char* errorText;  // a text the failing run prints
};

const IncludeCase kCases[] = {
    {"DownwardFromASubfolder", "game/mission/load.cpp", "core/files/vfs.h", "", true, ""},
    {"HeaderUpwardFromASubfolder", "core/files/vfs.h", "game/mission/load.h", "", false,
     "ERROR: core/files/vfs.h: header includes upward (game/mission/load.h)"},
    {"SourceUpwardWithoutAReason", "map/trace/walk.cpp", "scene/passes/pass.h", "", false,
     "ERROR: map/trace/walk.cpp: upward include of scene/passes/pass.h"},
    {"SourceUpwardUnderAReason", "map/trace/walk.cpp", "scene/passes/pass.h",
     "reason: the walk calls the pass\nmap/trace/walk.cpp -> scene/passes/pass.h\n", true, ""},
    {"AReasonForTheOldPlaceDoesNotCoverTheNew", "map/trace/walk.cpp", "scene/passes/pass.h",
     "reason: the walk calls the pass\nmap/walk.cpp -> scene/pass.h\n", false, "gives no reason"},
    {"SystemHeaderInASubfolder", "world/nodes/node.cpp", "<thread>", "", false,
     "ERROR: world/nodes/node.cpp: system include <thread>"},
};

// Runs the check over the tree; its exit status and what it printed.
int RunCheck(const TempDir& tree, std::string& output)
{
    const std::string command =
        "bash '" ZINTAR_TEST_DATA_DIR "/../../scripts/include_graph' '" + tree.Path() + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return -1;
    char buffer[512];
    for (size_t got; (got = fread(buffer, 1, sizeof(buffer), pipe)) > 0;)
        output.append(buffer, got);
    return pclose(pipe);
}

TEST(IncludeGraph, SubfoldersBelongToTheirFloorAndEveryBreachStillFails)
{
    for (const IncludeCase& c : kCases) {
        SCOPED_TRACE(c.name);
        TempDir tree;
        const std::string include = c.include[0] == '<' ? std::string(c.include) : "\"" + std::string(c.include) + "\"";
        tree.Write(c.file, "#include " + include + "\n");
        if (c.include[0] != '<')
            tree.Write(c.include, "// included\n");
        tree.Write("scripts/include_allowed", c.allowed);
        std::string output;
        const int status = RunCheck(tree, output);
        EXPECT_EQ(status == 0, c.passes) << output;
        if (!c.passes) {
            EXPECT_NE(output.find(c.errorText), std::string::npos) << output;
        }
    }
}

}  // namespace
