#include "tools/bfs_pack/bfs_pack.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "core/files/uff_file.h"
#include "core/files/vfs.h"
#include "platform/file_system.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxNameLength = 63;
constexpr size_t kChunkSize = 256 * 1024;

bool CheckName(const std::string& name, std::string& error)
{
    if (name.empty() || name.size() > kMaxNameLength || name.find_first_of("\\/") != std::string::npos) {
        error = "cannot pack '" + name + "': a name must be one path component of 1 to 63 characters";
        return false;
    }
    return true;
}

bool CollectChildren(const fs::path& folder, const fs::path& skip, BfsNode& node, std::string& error)
{
    std::error_code failure;
    fs::directory_iterator it(folder, failure);
    for (; !failure && it != fs::directory_iterator(); it.increment(failure)) {
        const fs::directory_entry& entry = *it;
        std::error_code ignored;
        const std::string name = entry.path().filename().string();
        const bool isFolder = entry.is_directory(ignored);
        if (!isFolder && !entry.is_regular_file(ignored))
            continue;  // sockets, devices, broken links
        if (!isFolder && !skip.empty() && fs::weakly_canonical(entry.path(), ignored) == skip)
            continue;  // the archive being written
        if (!CheckName(name, error))
            return false;
        BfsNode child;
        child.name = name;
        child.isFolder = isFolder;
        if (isFolder) {
            if (!CollectChildren(entry.path(), skip, child, error))
                return false;
        } else {
            child.sourcePath = entry.path().string();
        }
        node.children.push_back(std::move(child));
    }
    if (failure) {
        error = "cannot read folder '" + folder.string() + "': " + failure.message();
        return false;
    }
    std::sort(node.children.begin(), node.children.end(),
              [](const BfsNode& a, const BfsNode& b) { return a.name < b.name; });
    return true;
}

}  // namespace

bool BfsCollectFolder(const std::string& folder, BfsNode& root, std::string& error, const std::string& skipFile)
{
    std::error_code failure;
    fs::path skip;
    if (!skipFile.empty()) {
        skip = fs::weakly_canonical(skipFile, failure);
        if (failure)
            skip.clear();
    }
    root = BfsNode{};
    root.name = "root";
    root.isFolder = true;
    if (!fs::is_directory(folder, failure)) {
        error = "'" + folder + "' is not a folder";
        return false;
    }
    return CollectChildren(folder, skip, root, error);
}

namespace {

void WriteScrambled(UffWriter& writer, u8_t* bytes, size_t count, u32_t& position)
{
    VFSScramble(bytes, static_cast<u32_t>(count), position);
    writer.Write(bytes, static_cast<u32_t>(count));
    position += static_cast<u32_t>(count);
}

bool WriteFileData(UffWriter& writer, const BfsNode& node, u8_t* chunk, std::string& error)
{
    u32_t position = 0;
    if (node.sourcePath.empty()) {
        for (size_t done = 0; done < node.data.size();) {
            const size_t count = std::min(kChunkSize, node.data.size() - done);
            std::copy_n(node.data.data() + done, count, chunk);
            WriteScrambled(writer, chunk, count, position);
            done += count;
        }
        return true;
    }
    std::FILE* source = std::fopen(node.sourcePath.c_str(), "rb");
    if (!source) {
        error = "cannot open '" + node.sourcePath + "'";
        return false;
    }
    size_t count;
    while ((count = std::fread(chunk, 1, kChunkSize, source)) > 0)
        WriteScrambled(writer, chunk, count, position);
    const bool failed = std::ferror(source) != 0;
    std::fclose(source);
    if (failed)
        error = "cannot read '" + node.sourcePath + "'";
    return !failed;
}

bool WriteNode(UffWriter& writer, const BfsNode& node, s32_t parent, u8_t* chunk, std::string& error)
{
    if (parent >= 0 && !CheckName(node.name, error))
        return false;
    const s32_t index = writer.BeginEntry(node.name.c_str(), parent);
    if (index < 0) {
        error = "cannot add entry '" + node.name + "'";
        return false;
    }
    const bool written = node.isFolder || WriteFileData(writer, node, chunk, error);
    writer.EndEntry();
    if (!written)
        return false;
    for (const BfsNode& child : node.children) {
        if (!WriteNode(writer, child, index, chunk, error))
            return false;
    }
    return true;
}

}  // namespace

void BfsCountNodes(const BfsNode& node, int& files, int& folders)
{
    for (const BfsNode& child : node.children) {
        if (child.isFolder) {
            ++folders;
            BfsCountNodes(child, files, folders);
        } else {
            ++files;
        }
    }
}

bool BfsWriteArchive(const std::string& archivePath, const BfsNode& root, std::string& error)
{
    int files = 0;
    int folders = 0;
    BfsCountNodes(root, files, folders);
    bool written;
    {
        UffWriter writer(archivePath.c_str());
        if (!writer.IsOpen()) {
            error = "cannot create '" + archivePath + "'";
            return false;
        }
        std::unique_ptr<u8_t[]> chunk(new u8_t[kChunkSize]);
        written = WriteNode(writer, root, -1, chunk.get(), error);
    }
    // The writer reports no failure of its own (a full disk, data past 4 GiB): read the result back.
    if (written) {
        UffFile check(archivePath.c_str());
        written = check.IsOpen() && check.EntryCount() == 1 + files + folders;
        if (!written)
            error = "'" + archivePath + "' could not be written completely";
    }
    // No half-written archive is left behind to be taken for a whole one.
    if (!written)
        PlatformRemoveFile(archivePath.c_str());
    return written;
}

bool BfsPackFolder(const std::string& folder, const std::string& archivePath, std::string& error)
{
    BfsNode root;
    return BfsCollectFolder(folder, root, error, archivePath) && BfsWriteArchive(archivePath, root, error);
}
