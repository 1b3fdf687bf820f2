#include "support/run_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <thread>

extern char** environ;

namespace {

// name=value entries of this process with the changes applied, new names at the end.
std::vector<std::string> ChildEnvironment(const ProgramEnvironment& changes)
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry)
        entries.emplace_back(*entry);
    for (const auto& [name, value] : changes) {
        const std::string prefix = name + "=";
        bool replaced = false;
        for (std::string& entry : entries) {
            if (entry.compare(0, prefix.size(), prefix) == 0) {
                entry = prefix + value;
                replaced = true;
            }
        }
        if (!replaced)
            entries.push_back(prefix + value);
    }
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ProgramResult RunProgram(const std::vector<std::string>& args, const ProgramEnvironment& environment,
                         const std::string& folder, std::chrono::milliseconds timeLimit)
{
    ProgramResult result;
    if (args.empty())
        return result;
    // Everything the child needs is made before the fork: the parent has threads (the GL driver's, the
    // sound library's), and the child may only make calls that take no lock until it execs.
    ProgramEnvironment headless = {
        {"SDL_VIDEODRIVER", "offscreen"}, {"SDL_AUDIODRIVER", "dummy"}, {"ALSOFT_DRIVERS", "null"}};
    headless.insert(headless.end(), environment.begin(), environment.end());
    std::vector<std::string> environmentTexts = ChildEnvironment(headless);
    std::vector<std::string> argumentTexts = args;
    std::vector<char*> environmentPointers = Pointers(environmentTexts);
    std::vector<char*> argumentPointers = Pointers(argumentTexts);

    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        const int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
            _exit(126);
        execve(argumentPointers[0], argumentPointers.data(), environmentPointers.data());
        _exit(127);
    }
    if (child < 0)
        return result;
    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    int status = 0;
    pid_t ended = 0;
    while ((ended = waitpid(child, &status, WNOHANG)) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (ended == child && WIFEXITED(status)) {
        result.exited = true;
        result.exitCode = WEXITSTATUS(status);
    }
    return result;
}

std::string ThisTestProgram()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string("/proc/self/exe");
}

namespace {

using ChildJobs = std::map<std::string, int (*)()>;

// Filled by static initialisers of any file: made on first use.
ChildJobs& Jobs()
{
    static ChildJobs jobs;
    return jobs;
}

}  // namespace

bool RegisterChildJob(const char* job, int (*run)())
{
    Jobs()[job] = run;
    return true;
}

const char* AskedChildJob()
{
    return std::getenv(kChildJobVariable);
}

int RunAskedChildJob()
{
    const char* asked = AskedChildJob();
    const auto job = asked ? Jobs().find(asked) : Jobs().end();
    return job == Jobs().end() ? 125 : job->second();
}

ProgramResult RunChildJob(const char* job, const std::string& folder, const ProgramEnvironment& environment,
                          std::chrono::milliseconds timeLimit)
{
    ProgramEnvironment withJob = environment;
    withJob.emplace_back(kChildJobVariable, job);
    return RunProgram({ThisTestProgram()}, withJob, folder, timeLimit);
}
