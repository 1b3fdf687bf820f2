// Runs this test program again as a child in a folder of its own. The log opens "zintar.log" in the
// working folder before main, and every test process of a parallel run shares that folder; a child
// started in a fresh folder gets a log of its own that the parent can read back once it has ended.
//
// The child does one named job from a namespace-scope initialiser of a test file, before any test
// starts, and ends with the job's result as its exit code (unless the job ends the process itself).
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace child_job {

inline constexpr const char* kJobVariable = "ZINTAR_TEST_CHILD_JOB";

// Use as `const bool g_x = child_job::RunIfAsked("name", Function);` at namespace scope.
inline bool RunIfAsked(const char* job, int (*run)())
{
    const char* asked = std::getenv(kJobVariable);
    if (asked && std::strcmp(asked, job) == 0)
        std::exit(run());
    return false;
}

struct Result {
    bool exited = false;  // ended through exit, not by a signal
    int exitCode = -1;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs the job in the folder (headless) with stdout and stderr going to "stdout.txt" and "stderr.txt" there.
inline Result Run(const char* job, const std::filesystem::path& folder, const Environment& environment = {})
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        const int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
            _exit(126);
        setenv(kJobVariable, job, 1);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);  // no window or message box ever shows on a desktop
        for (const auto& [name, value] : environment)
            setenv(name.c_str(), value.c_str(), 1);
        execl("/proc/self/exe", "child", static_cast<char*>(nullptr));
        _exit(127);
    }
    Result result;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        result.exited = true;
        result.exitCode = WEXITSTATUS(status);
    }
    return result;
}

inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace child_job
