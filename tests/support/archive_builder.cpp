#include "support/archive_builder.h"

namespace {

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
        const std::vector<std::string> components = SplitUffPath(file.path, folderOnly);
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
    return WriteUffChunks(uffPath, entries);
}
