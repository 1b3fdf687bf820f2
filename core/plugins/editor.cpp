// Editor mode: the program loads the editor library, hands it the event "Editor" and the interface
// record, and blocks until the library signals the event.
#include "core/plugins/editor.h"

#include <cstring>

#include "core/plugins/editor_interface.h"
#include "core/log.h"
#include "core/winos.h"
#include "platform/file_system.h"
#include "platform/win32.h"

namespace {

constexpr const char* kEditorLibrary = "pravlin.so";

// The library beside the program, else in the working folder (or the system's library folders).
HMODULE LoadEditorLibrary()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length > 0 && length < sizeof path) {
        char* folderEnd = std::strrchr(path, '/');
        const size_t folderLength = folderEnd ? static_cast<size_t>(folderEnd - path + 1) : 0;
        if (folderEnd && folderLength + std::strlen(kEditorLibrary) < sizeof path) {
            std::strcpy(folderEnd + 1, kEditorLibrary);
            if (PlatformFileExists(path)) {
                if (HMODULE library = LoadLibraryA(path))
                    return library;
            }
        }
    }
    return LoadLibraryA(kEditorLibrary);
}

}  // namespace

bool RunEditorSession()
{
    Log("Loading %s...", kEditorLibrary);
    HMODULE library = LoadEditorLibrary();
    if (!library) {
        Log("\n");
        LogFailure(
            "ERROR : Cannot load the editor library \"%s\" (looked beside the program and in the working "
            "folder)\n",
            kEditorLibrary);
        return false;
    }
    Log("done\n");
    Log("Initializing editor collaboration...");
    auto initialize = reinterpret_cast<EditorInitializeFn>(GetProcAddress(library, "Initialize"));
    if (!initialize) {
        Log("\n");
        LogFailure("ERROR : The editor library \"%s\" has no function \"Initialize\"\n", kEditorLibrary);
        FreeLibrary(library);
        return false;
    }
    Log("done\n");

    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, "Editor");
    g_program.editorMode = 1;
    void** record = new void*[EDITOR_RECORD_SLOTS];
    EditorFillInterface(record);
    Log("Providing zintar interface...");
    initialize(event, record);
    Log("done\n");

    WaitForSingleObject(event, INFINITE);

    delete[] record;
    Log("Releasing %s...", kEditorLibrary);
    FreeLibrary(library);
    CloseHandle(event);
    Log("done\n");
    return true;
}
