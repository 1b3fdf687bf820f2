// The engine's text outputs as tests read them: the log "zintar.log" from a byte on, and the lines of
// a console.
#pragma once
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "core/console/console.h"

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

// The log's size and its text from a byte on, read without the part before it: a long run's log
// grows to tens of megabytes, and tests ask for its end many times.
inline size_t LogSize()
{
    std::error_code error;
    const auto size = std::filesystem::file_size(StartFolder() + "/zintar.log", error);
    return error ? 0 : static_cast<size_t>(size);
}

inline std::string LogFrom(size_t offset)
{
    std::ifstream in(StartFolder() + "/zintar.log", std::ios::binary);
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::streamoff>(offset) >= size)
        return std::string();
    in.seekg(static_cast<std::streamoff>(offset));
    std::string text(static_cast<size_t>(size) - offset, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return text;
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
