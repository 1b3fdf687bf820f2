#include "support/gui_driver.h"

#include "core/text_case.h"
#include "gui/gui.h"
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
    m_steps.push_back({screen, control, {}});
}

void GuiDriver::PressWhen(const char* screen, std::vector<int> keyCodes)
{
    m_steps.push_back({screen, "", std::move(keyCodes)});
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
    ++m_next;
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
