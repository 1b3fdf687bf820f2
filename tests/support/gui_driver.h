// Drives the front end as a player would: each step waits until its screen is current (checked at
// the start of every GUI frame, no sleeping), then clicks the middle of a control of that screen (its
// GetRect), presses keys or types text, through the platform's injected input. Steps run in order,
// each once.
#pragma once
#include <string>
#include <vector>

namespace gui_test {

class GuiDriver {
public:
    // Installs itself as the GUI's frame observer; one driver at a time.
    GuiDriver();
    ~GuiDriver();
    GuiDriver(const GuiDriver&) = delete;
    GuiDriver& operator=(const GuiDriver&) = delete;

    // Screen names are compared without regard to case.
    void ClickWhen(const char* screen, const char* control);
    void PressWhen(const char* screen, std::vector<int> keyCodes);
    // Clicks the field, then types the text and Enter as characters once the click has given it the
    // focus (a few frames later).
    void TypeWhen(const char* screen, const char* control, const std::string& text);
    bool Done() const { return m_next == m_steps.size(); }
    // What went wrong (a control not found), empty when nothing did.
    const std::string& Error() const { return m_error; }

private:
    struct Step {
        std::string screen;
        std::string control;
        std::vector<int> keys;
        std::string text;
        int framesBefore = 0;
    };
    static void OnFrame();
    void Act();

    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    int m_waited = 0;
    std::string m_error;
};

}  // namespace gui_test
