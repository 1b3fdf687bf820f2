// Puts a console variable's value back when the scope ends, so that a test that changes settings
// leaves none of them changed for the tests after it. A string variable's text is kept beside its value.
#pragma once
#include <vector>

#include "core/console/console_var.h"

class KeepVar {
public:
    explicit KeepVar(ConsoleVar& var) : m_var(var), m_value(var.value), m_text(var.stringValue) {}
    ~KeepVar()
    {
        m_var.value = m_value;
        m_var.stringValue = m_text;
    }
    KeepVar(const KeepVar&) = delete;
    KeepVar& operator=(const KeepVar&) = delete;

private:
    ConsoleVar& m_var;
    ConsoleVar::Value m_value;
    EngineString m_text;
};

// Keeps the value of every registered console variable and puts each back when the scope ends: for
// tests that run a whole load, whose scripts and resets may set any of them.
class KeepAllVars {
public:
    KeepAllVars()
    {
        for (ConsoleVar* var = CVarListHead(); var; var = var->next)
            m_kept.push_back({var, var->value, var->stringValue});
    }
    ~KeepAllVars()
    {
        for (const Kept& kept : m_kept) {
            kept.var->value = kept.value;
            kept.var->stringValue = kept.text;
        }
    }
    KeepAllVars(const KeepAllVars&) = delete;
    KeepAllVars& operator=(const KeepAllVars&) = delete;

private:
    struct Kept {
        ConsoleVar* var;
        ConsoleVar::Value value;
        EngineString text;
    };
    std::vector<Kept> m_kept;
};
