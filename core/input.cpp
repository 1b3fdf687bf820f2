// The devices are not read yet: the action tables stay clear.
#include "core/input.h"
#include "core/log.h"

u8_t g_actionDown[256];
u8_t g_actionReleased[256];
u8_t g_actionPrevious[256];
bool g_inputGuiMode = false;

int InputInit(HWND, bool)
{
    Log("Initializing input...");
    Log("done\n");
    return 0;
}

void InputShutdown()
{
    Log("Destroying input...");
    Log("done\n");
}

void InputUpdate() {}

LRESULT InputWindowMessage(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}
