// Puts a console variable's value back when the scope ends, so that a test that changes settings
// leaves none of them changed for the tests after it.
#pragma once
#include <string>
#include <vector>

#include "core/console_var.h"

class KeepVar {
public:
    explicit KeepVar(ConsoleVar& var) : m_var(var), m_value(var.value), m_text(var.String()) {}
    ~KeepVar()
    {
        m_var.value = m_value;
        m_var.SetString(m_text.c_str());
    }
    KeepVar(const KeepVar&) = delete;
    KeepVar& operator=(const KeepVar&) = delete;

private:
    ConsoleVar& m_var;
    ConsoleVar::Value m_value;
    std::string m_text;  // a text variable's value is held beside the value union
};

// Keeps the value of every registered console variable and puts each back when the scope ends: for
// tests that run a whole load, whose scripts and resets may set any of them.
class KeepAllVars {
public:
    KeepAllVars()
    {
        for (ConsoleVar* var = CVarListHead(); var; var = var->next)
            m_kept.push_back({var, var->value, var->String()});
    }
    ~KeepAllVars()
    {
        for (const Kept& kept : m_kept) {
            kept.var->value = kept.value;
            kept.var->SetString(kept.text.c_str());
        }
    }
    KeepAllVars(const KeepAllVars&) = delete;
    KeepAllVars& operator=(const KeepAllVars&) = delete;

private:
    struct Kept {
        ConsoleVar* var;
        ConsoleVar::Value value;
        std::string text;
    };
    std::vector<Kept> m_kept;
};
