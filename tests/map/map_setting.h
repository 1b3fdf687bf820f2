// A map setting by name for the tests: the registered variable when the map settings declare it,
// else one registered for the test alone; its value is put back (or the variable removed) after.
#pragma once
#include <memory>

#include "core/console/console_var.h"

namespace map_test {

class ScopedSetting {
public:
    ScopedSetting(const char* name, ConsoleVarType type, const char* value)
    {
        m_var = CVarListFind(name);
        if (!m_var) {
            m_own = std::make_unique<ConsoleVar>(name, type, value);
            m_var = m_own.get();
        }
        m_saved = m_var->value;
        m_var->SetFromText(value);
    }
    ~ScopedSetting() { m_var->value = m_saved; }
    ScopedSetting(const ScopedSetting&) = delete;
    ScopedSetting& operator=(const ScopedSetting&) = delete;

    void Set(const char* value) { m_var->SetFromText(value); }

private:
    ConsoleVar* m_var = nullptr;
    std::unique_ptr<ConsoleVar> m_own;
    ConsoleVar::Value m_saved{};
};

}  // namespace map_test
