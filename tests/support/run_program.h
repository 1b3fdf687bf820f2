// Runs a program as a child process of its own: the program itself, the test editor setups, or this
// test program again for one job. The engine opens its log "zintar.log" in the working folder, so a
// child started in a fresh folder leaves a log of its own that the test reads back once it has ended.
#pragma once
#include <chrono>
#include <string>
#include <utility>
#include <vector>

struct ProgramResult {
    bool exited = false;  // ended through exit within the time limit (not by a signal, not killed)
    int exitCode = -1;
};

using ProgramEnvironment = std::vector<std::pair<std::string, std::string>>;

// Runs args[0] with the other arguments in the folder, with stdout and stderr going to "stdout.txt" and
// "stderr.txt" there. It runs headless (no display, no sound card) with the environment given on top.
// A run that has not ended within the time limit is killed.
ProgramResult RunProgram(const std::vector<std::string>& args, const ProgramEnvironment& environment,
                         const std::string& folder, std::chrono::milliseconds timeLimit);

// This test program, to run it again as a child.
std::string ThisTestProgram();

// Child jobs: this test program run again to do one named job instead of its tests, when a test needs a
// process of its own (a log of its own, a process that ends). The main of the test programs runs the
// job once every static initialiser has run and ends with the job's result as the exit code (unless the
// job ends the process itself).
inline constexpr const char* kChildJobVariable = "ZINTAR_TEST_CHILD_JOB";

// Registers a job; use it at namespace scope: `const bool g_x = RegisterChildJob("name", Function);`.
bool RegisterChildJob(const char* job, int (*run)());
// The job this process was started for; null in a test run.
const char* AskedChildJob();
// Runs the job this process was started for; 125 when no job has that name.
int RunAskedChildJob();
// Runs this program again in the folder for the job.
ProgramResult RunChildJob(const char* job, const std::string& folder, const ProgramEnvironment& environment = {},
                          std::chrono::milliseconds timeLimit = std::chrono::seconds(120));
