#include "core/input/input_modes.h"
#include "core/input/input.h"

bool InputMode::Enter()
{
    return true;
}

bool InputMode::Leave()
{
    return true;
}

bool InputMode::HandleKeys(InputMode*)
{
    return m_next ? m_next->HandleKeys(this) : false;
}

void InputMode::SetNext(InputMode* mode)
{
    if (mode != this)
        m_next = mode;
}

bool InputMode::Push(InputMode* mode, InputMode* owner)
{
    if (!mode || mode == this)
        return false;
    // The new mode is entered once, also when it becomes current.
    if (owner)
        owner->m_next = mode;
    else
        g_input.currentMode = mode;
    mode->m_next = this;
    mode->Enter();
    return true;
}

bool InputMode::Pop(InputMode* owner)
{
    Leave();
    // The mode behind this one was never left, so it is not entered again.
    if (owner)
        owner->m_next = m_next;
    else
        g_input.currentMode = m_next;
    return true;
}

void InputModeSwitchTo(InputMode* mode)
{
    g_input.currentMode = mode;
    if (mode)
        mode->Enter();
}

bool InputModeCall()
{
    return g_input.currentMode ? g_input.currentMode->HandleKeys(nullptr) : false;
}

bool DebugOverlay::Draw()
{
    return m_next ? m_next->Draw() : true;
}

bool DebugOverlay::OnPush()
{
    return true;
}

bool DebugOverlay::OnPop()
{
    return true;
}

namespace {
bool InChain(const DebugOverlay* overlay)
{
    return overlay == g_input.topOverlay || overlay->Previous() || overlay->Next();
}
}  // namespace

bool PushDebugOverlay(DebugOverlay* overlay)
{
    // Linking an overlay twice would make the chain loop.
    if (!overlay || InChain(overlay))
        return false;
    overlay->m_next = g_input.topOverlay;
    if (g_input.topOverlay)
        g_input.topOverlay->m_previous = overlay;
    overlay->OnPush();
    g_input.topOverlay = overlay;
    return true;
}

bool PopDebugOverlay(DebugOverlay* overlay)
{
    if (!overlay || !InChain(overlay))
        return false;
    DebugOverlay* previous = overlay->m_previous;
    DebugOverlay* next = overlay->m_next;
    if (previous)
        previous->m_next = next;
    if (next)
        next->m_previous = previous;
    overlay->m_previous = nullptr;
    overlay->m_next = nullptr;
    overlay->OnPop();
    if (g_input.topOverlay == overlay)
        g_input.topOverlay = next;
    return true;
}

bool DrawDebugOverlays()
{
    return g_input.topOverlay ? g_input.topOverlay->Draw() : false;
}
