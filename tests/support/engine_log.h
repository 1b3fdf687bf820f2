// The engine's text outputs as tests read them: the log "zintar.log" from a byte on, and the lines of
// a console.
#pragma once
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/console.h"

namespace engine_log {

// The folder the process started in, where the engine log lives. Taken while the statics are built,
// as the log itself is opened: a test that moves into a folder of its own and asks first must not
// make every later test read a log that is not there.
inline const std::string g_startFolder = std::filesystem::current_path().string();

inline const std::string& StartFolder()
{
    return g_startFolder;
}

inline std::string LogText()
{
    std::ifstream in(StartFolder() + "/zintar.log", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline size_t LogSize()
{
    return LogText().size();
}

inline std::string LogFrom(size_t offset)
{
    const std::string text = LogText();
    return offset < text.size() ? text.substr(offset) : std::string();
}

inline std::vector<std::string> ConsoleLines(int console = 0)
{
    std::vector<std::string> lines;
    char** slots = ConLines(console);
    for (int i = 0; slots && i < ConLineCapacity(console); ++i) {
        if (slots[i])
            lines.emplace_back(slots[i]);
    }
    return lines;
}

}  // namespace engine_log
