#include "support/gui_driver.h"

#include "core/strings/text_case.h"
#include "gui/screens/gui.h"
#include "gui/gui_test_hooks.h"
#include "platform/test_input.h"

namespace gui_test {

namespace {
GuiDriver* g_driver = nullptr;
}  // namespace

GuiDriver::GuiDriver()
{
    g_driver = this;
    GuiSetFrameObserver(OnFrame);
}

GuiDriver::~GuiDriver()
{
    GuiSetFrameObserver(nullptr);
    g_driver = nullptr;
}

void GuiDriver::ClickWhen(const char* screen, const char* control)
{
    m_steps.push_back({screen, control, {}, "", 0});
}

void GuiDriver::PressWhen(const char* screen, std::vector<int> keyCodes)
{
    m_steps.push_back({screen, "", std::move(keyCodes), "", 0});
}

void GuiDriver::TypeWhen(const char* screen, const char* control, const std::string& text)
{
    ClickWhen(screen, control);
    // The press and the release are seen in frames of their own before the field has the focus.
    constexpr int kFramesForTheClick = 5;
    m_steps.push_back({screen, "", {}, text + '\r', kFramesForTheClick});
}

void GuiDriver::OnFrame()
{
    if (g_driver)
        g_driver->Act();
}

void GuiDriver::Act()
{
    if (Done() || !g_gui.currentScreen)
        return;
    const Step& step = m_steps[m_next];
    if (CompareNoCase(g_gui.currentScreen->name.Text(), step.screen.c_str()) != 0)
        return;
    if (m_waited < step.framesBefore) {
        ++m_waited;
        return;
    }
    m_waited = 0;
    ++m_next;
    if (!step.text.empty()) {
        PlatformInjectText(step.text.c_str());
        return;
    }
    if (!step.control.empty()) {
        const GuiControl* control = g_gui.currentScreen->FindControl(step.control.c_str());
        if (!control) {
            m_error = "no control " + step.control + " on " + step.screen;
            return;
        }
        RECT rect = {};
        control->GetRect(&rect);
        PlatformInjectMouseMoveTo((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        PlatformInjectMouseButton(0, true);
        PlatformInjectMouseButton(0, false);
        return;
    }
    for (int key : step.keys) {
        PlatformInjectKey(key, true);
        PlatformInjectKey(key, false);
    }
}

}  // namespace gui_test
