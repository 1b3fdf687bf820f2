#include "core/files/vfs_disk_index.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace {

constexpr size_t kMaxComponentLength = 63;
constexpr size_t kPathBufferSize = 1024;

// A folder listing with the folder's identity and change stamps at the time it was read.
struct FolderListing {
    PlatformFolderStamp stamp;
    bool read = false;
    std::vector<std::pair<std::string, std::string>> names;  // (lower case, as on disk), sorted
};

// Lookups by string_view, so that a folder path needs no std::string.
struct PathHash {
    using is_transparent = void;
    size_t operator()(std::string_view path) const { return std::hash<std::string_view>{}(path); }
};
using ListingMap = std::unordered_map<std::string, FolderListing, PathHash, std::equal_to<>>;

// Made on first use: loaders may read files from static initialisers, before any dynamic
// initialisation of this file would have run.
ListingMap* g_listings = nullptr;

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// The listing of a folder, read again when the folder changed; null when it cannot be read.
const FolderListing* ListingOf(const char* folder, size_t length)
{
    PlatformFolderStamp stamp;
    if (!PlatformFolderStampOf(folder, &stamp))
        return nullptr;
    if (!g_listings)
        g_listings = new ListingMap;
    const std::string_view key(folder, length);
    auto found = g_listings->find(key);
    if (found == g_listings->end())
        found = g_listings->emplace(std::string(key), FolderListing{}).first;
    FolderListing& listing = found->second;
    if (listing.read && listing.stamp == stamp)
        return &listing;
    std::vector<std::string> onDisk;
    if (!PlatformListFolder(folder, onDisk)) {
        g_listings->erase(found);
        return nullptr;
    }
    listing.names.clear();
    for (std::string& name : onDisk) {
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
        listing.names.emplace_back(std::move(lower), std::move(name));
    }
    std::sort(listing.names.begin(), listing.names.end());
    listing.stamp = stamp;
    listing.read = true;
    return &listing;
}

inline bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

}  // namespace

bool VFSDiskMayHold(const char* path)
{
    // Absolute paths and empty names are left to the platform.
    if (!path || !*path || IsSeparator(*path))
        return true;
    // A file spelt as on disk (the usual loose file) is there at the cost of one stat.
    char exact[kPathBufferSize];
    size_t exactLength = 0;
    for (const char* p = path; *p && exactLength + 1 < sizeof exact; ++p)
        exact[exactLength++] = *p == '\\' ? '/' : *p;
    exact[exactLength] = '\0';
    if (PlatformPathExistsAsWritten(exact))
        return true;
    char folder[kPathBufferSize] = ".";
    size_t folderLength = 1;
    char lower[kMaxComponentLength + 1];
    const char* p = path;
    while (*p) {
        size_t length = 0;
        for (; *p && !IsSeparator(*p); ++p) {
            if (length == kMaxComponentLength)
                return false;  // no disk name is looked up past this length
            lower[length++] = LowerAscii(*p);
        }
        while (IsSeparator(*p))
            ++p;
        const std::string_view component(lower, length);
        if (component == "." || component == "..")
            return true;
        const FolderListing* listing = ListingOf(folder, folderLength);
        if (!listing)
            return true;
        auto first = std::lower_bound(listing->names.begin(), listing->names.end(), component,
                                      [](const auto& name, std::string_view key) { return name.first < key; });
        if (first == listing->names.end() || first->first != component)
            return false;
        if (!*p)
            return true;
        // Two spellings of one name: which one the platform takes is its business.
        if (first + 1 != listing->names.end() && (first + 1)->first == component)
            return true;
        const std::string& name = first->second;
        if (folderLength + 1 + name.size() >= sizeof folder)
            return true;
        folder[folderLength++] = '/';
        std::memcpy(folder + folderLength, name.c_str(), name.size() + 1);
        folderLength += name.size();
    }
    return true;
}

void VFSDiskIndexClear()
{
    delete g_listings;
    g_listings = nullptr;
}
