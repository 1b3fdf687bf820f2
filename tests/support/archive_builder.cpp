#include "support/archive_builder.h"

#include <map>

#include "core/uff_file.h"

namespace {

std::vector<std::string> SplitPath(const std::string& path, bool& endsInSeparator)
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

BfsNode& ChildFolder(BfsNode& parent, const std::string& name)
{
    for (BfsNode& child : parent.children) {
        if (child.isFolder && child.name == name)
            return child;
    }
    BfsNode folder;
    folder.name = name;
    folder.isFolder = true;
    parent.children.push_back(folder);
    return parent.children.back();
}

}  // namespace

BfsNode BuildArchiveTree(const std::vector<TestFile>& files)
{
    BfsNode root;
    root.name = "root";
    root.isFolder = true;
    for (const TestFile& file : files) {
        bool folderOnly = false;
        const std::vector<std::string> components = SplitPath(file.path, folderOnly);
        if (components.empty())
            continue;
        BfsNode* node = &root;
        const size_t folders = folderOnly ? components.size() : components.size() - 1;
        for (size_t i = 0; i < folders; ++i)
            node = &ChildFolder(*node, components[i]);
        if (folderOnly)
            continue;
        BfsNode leaf;
        leaf.name = components.back();
        leaf.data = file.data;
        node->children.push_back(leaf);
    }
    return root;
}

bool WriteTestArchive(const std::string& archivePath, const std::vector<TestFile>& files)
{
    std::string error;
    return BfsWriteArchive(archivePath, BuildArchiveTree(files), error);
}

bool WriteTestUff(const std::string& uffPath, const std::vector<TestFile>& entries)
{
    UffWriter writer(uffPath.c_str());
    if (!writer.IsOpen())
        return false;
    std::map<std::string, s32_t> indexByPath;
    for (const TestFile& file : entries) {
        bool folderOnly = false;
        const std::vector<std::string> components = SplitPath(file.path, folderOnly);
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
                writer.Write(file.data.data(), static_cast<u32_t>(file.data.size()));
            writer.EndEntry();
            indexByPath[prefix] = index;
            parent = index;
        }
    }
    return true;
}
