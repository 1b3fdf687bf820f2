// Directory search with wildcard patterns such as "plugins\*.plg". Names are matched without regard
// to case and reported sorted, so that whatever is loaded from a listing loads in a stable order.
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/file_system.h"
#include "platform/win32.h"

namespace {

struct FindSearch {
    std::vector<WIN32_FIND_DATAA> entries;
    std::size_t next = 0;
};

// Live searches, so that a stale or foreign handle is refused instead of followed.
std::mutex g_searchesMutex;
std::unordered_set<FindSearch*> g_searches;

FindSearch* LookUpSearch(HANDLE handle)
{
    std::lock_guard<std::mutex> lock(g_searchesMutex);
    auto* search = static_cast<FindSearch*>(handle);
    return g_searches.count(search) != 0 ? search : nullptr;
}

bool SameLetter(char a, char b)
{
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

bool MatchWildcard(const char* pattern, const char* name)
{
    // Iterative '*' matching with one back-track point: linear in practice, no recursion.
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name != '\0') {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || SameLetter(*pattern, *name)) {
            ++pattern;
            ++name;
        } else if (starPattern != nullptr) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*') {
        ++pattern;
    }
    return *pattern == '\0';
}

// A pattern ending in ".*" also matches names without an extension ("*.*" matches every name).
bool MatchFilePattern(const std::string& pattern, const char* name)
{
    if (MatchWildcard(pattern.c_str(), name)) {
        return true;
    }
    const std::size_t length = pattern.size();
    if (length >= 2 && pattern[length - 2] == '.' && pattern[length - 1] == '*' && std::strchr(name, '.') == nullptr) {
        return MatchWildcard(pattern.substr(0, length - 2).c_str(), name);
    }
    return false;
}

bool NameLess(const WIN32_FIND_DATAA& a, const WIN32_FIND_DATAA& b)
{
    const int folded = ::strcasecmp(a.cFileName, b.cFileName);
    return folded != 0 ? folded < 0 : std::strcmp(a.cFileName, b.cFileName) < 0;
}

void FillEntry(const std::string& folder, const char* name, WIN32_FIND_DATAA& entry)
{
    std::memset(&entry, 0, sizeof entry);
    std::strncpy(entry.cFileName, name, MAX_PATH - 1);
    std::string full = folder;
    if (full.back() != '/') {
        full.push_back('/');
    }
    full += name;
    struct stat info;
    const bool known = ::stat(full.c_str(), &info) == 0;
    if (known && S_ISDIR(info.st_mode)) {
        entry.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    } else {
        entry.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
        entry.nFileSizeLow = known ? static_cast<DWORD>(info.st_size) : 0;
    }
}

}  // namespace

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* found)
{
    if (pattern == nullptr || found == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string text = pattern;
    std::replace(text.begin(), text.end(), '\\', '/');
    const std::size_t slash = text.rfind('/');
    const std::string namePattern = slash == std::string::npos ? text : text.substr(slash + 1);
    std::string folderText = slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
    if (namePattern.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::string folder;
    if (folderText.empty()) {
        folder = ".";
    } else if (!PlatformResolvePath(folderText.c_str(), folder)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto* search = new FindSearch;
    while (const dirent* entry = ::readdir(dir)) {
        if (MatchFilePattern(namePattern, entry->d_name)) {
            search->entries.emplace_back();
            FillEntry(folder, entry->d_name, search->entries.back());
        }
    }
    ::closedir(dir);
    if (search->entries.empty()) {
        delete search;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::sort(search->entries.begin(), search->entries.end(), NameLess);
    *found = search->entries[0];
    search->next = 1;
    {
        std::lock_guard<std::mutex> lock(g_searchesMutex);
        g_searches.insert(search);
    }
    return search;
}

BOOL FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* found)
{
    FindSearch* search = LookUpSearch(handle);
    if (search == nullptr || found == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (search->next >= search->entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    *found = search->entries[search->next++];
    return TRUE;
}

BOOL FindClose(HANDLE handle)
{
    std::lock_guard<std::mutex> lock(g_searchesMutex);
    auto* search = static_cast<FindSearch*>(handle);
    if (g_searches.erase(search) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete search;
    return TRUE;
}
