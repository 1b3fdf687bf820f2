// Only the library road exists yet: without an interface record there is nothing to hand over,
// so a library that loads is released again at once.
#include "core/editor.h"
#include "core/log.h"
#include "platform/win32.h"

void RunEditorSession()
{
    Log("Loading pravlin.so...");
    HMODULE library = LoadLibraryA("pravlin.so");
    if (!library)
        return;
    Log("done\n");
    FreeLibrary(library);
}
