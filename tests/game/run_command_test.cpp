// The run command (scripts/run) started a second time beside a zintar already running from the same
// run folder: the running program must keep its own plug-in, archive, videos and log. The command
// runs in a copy of the source tree whose setup, build, packer and program are small stand-ins.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// A program of the stand-in tree: a shell script, executable.
void Script(const TempDir& root, const std::string& relative, const std::string& body)
{
    const std::string path = root.Write(relative, "#!/bin/sh\n" + body);
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
}

// The stand-ins' inputs of one round: the packer copies "content" of the sample folder into the
// archive; the program writes its log from the plug-in it finds.
void Sources(const TempDir& root, const std::string& round)
{
    root.Write("data/sample/content", "archive " + round);
    root.Write("data/sample/component/gui/intro.avi", "video " + round);
    root.Write("build-run/bin/plugins/ptk.plg", "plugin " + round);
}

// What a file descriptor opened before reads now, from its start.
std::string ReadHeld(int descriptor)
{
    std::string bytes;
    char buffer[256];
    off_t at = 0;
    for (ssize_t got; (got = pread(descriptor, buffer, sizeof(buffer), at)) > 0; at += got)
        bytes.append(buffer, static_cast<size_t>(got));
    return bytes;
}

std::string ReadPath(const std::string& path)
{
    const int descriptor = open(path.c_str(), O_RDONLY);
    if (descriptor < 0)
        return "(missing)";
    std::string bytes = ReadHeld(descriptor);
    close(descriptor);
    return bytes;
}

TEST(RunCommand, ARunningProgramKeepsItsOwnFilesWhenTheCommandRunsAgain)
{
    TempDir root;
    fs::create_directories(root / "scripts");
    fs::copy_file(ZINTAR_TEST_DATA_DIR "/../../scripts/run", root / "scripts/run");
    Script(root, "scripts/setup", "exit 0\n");
    Script(root, "scripts/build", "exit 0\n");
    Script(root, "build-run/bin/bfs_pack", "cat \"$1/content\" > \"$2\"\n");
    Script(root, "build-run/bin/zintar", "echo \"log of $(cat plugins/ptk.plg)\" > zintar.log\n");
    const std::string command = "bash '" + (root / "scripts/run") + "' >/dev/null 2>&1";

    Sources(root, "1");
    ASSERT_EQ(std::system(command.c_str()), 0);
    // The first program holds its files open, as a running zintar does.
    const char* const kFiles[] = {"run/main.bfs", "run/plugins/ptk.plg", "run/component/gui/intro.avi",
                                  "run/zintar.log"};
    const std::string kFirst[] = {"archive 1", "plugin 1", "video 1", "log of plugin 1\n"};
    int held[4];
    for (int i = 0; i < 4; ++i) {
        held[i] = open((root / kFiles[i]).c_str(), O_RDONLY);
        ASSERT_GE(held[i], 0) << kFiles[i];
        EXPECT_EQ(ReadHeld(held[i]), kFirst[i]) << kFiles[i];
    }

    Sources(root, "2");
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string kSecond[] = {"archive 2", "plugin 2", "video 2", "log of plugin 2\n"};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(kFiles[i]);
        EXPECT_EQ(ReadHeld(held[i]), kFirst[i]) << "the running program's copy";
        EXPECT_EQ(ReadPath(root / kFiles[i]), kSecond[i]) << "the new program's";
        close(held[i]);
    }
    // The first program's log is still there to read; no half-installed file is left behind.
    EXPECT_EQ(ReadPath(root / "run/zintar.log.old"), kFirst[3]);
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / "run"))
        if (entry.is_regular_file())
            names.insert(fs::relative(entry.path(), root / "run").string());
    EXPECT_EQ(names, (std::set<std::string>{"main.bfs", "plugins/ptk.plg", "component/gui/intro.avi", "zintar.log",
                                            "zintar.log.old"}));
}

}  // namespace
