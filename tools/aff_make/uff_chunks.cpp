#include "tools/aff_make/uff_chunks.h"

#include <map>

#include "core/files/uff_file.h"

std::vector<std::string> SplitUffPath(const std::string& path, bool& endsInSeparator)
{
    std::vector<std::string> components;
    std::string current;
    for (char c : path) {
        if (c == '/' || c == '\\') {
            if (!current.empty())
                components.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    endsInSeparator = current.empty() && !path.empty();
    if (!current.empty())
        components.push_back(current);
    return components;
}

bool WriteUffChunks(const std::string& uffPath, const std::vector<UffChunk>& entries)
{
    UffWriter writer(uffPath.c_str());
    if (!writer.IsOpen())
        return false;
    std::map<std::string, s32_t> indexByPath;
    for (const UffChunk& entry : entries) {
        bool folderOnly = false;
        const std::vector<std::string> components = SplitUffPath(entry.path, folderOnly);
        s32_t parent = -1;
        std::string prefix;
        for (size_t i = 0; i < components.size(); ++i) {
            prefix += "/" + components[i];
            const bool last = i + 1 == components.size();
            auto known = indexByPath.find(prefix);
            if (known != indexByPath.end() && !(last && !folderOnly)) {
                parent = known->second;
                continue;
            }
            const s32_t index = writer.BeginEntry(components[i].c_str(), parent);
            if (index < 0)
                return false;
            if (last && !folderOnly)
                writer.Write(entry.data.data(), static_cast<u32_t>(entry.data.size()));
            writer.EndEntry();
            indexByPath[prefix] = index;
            parent = index;
        }
    }
    return true;
}
