// Puts a console variable's value back when the scope ends, so that a test that changes settings
// leaves none of them changed for the tests after it.
#pragma once
#include "core/console_var.h"

class KeepVar {
public:
    explicit KeepVar(ConsoleVar& var) : m_var(var), m_value(var.value) {}
    ~KeepVar() { m_var.value = m_value; }
    KeepVar(const KeepVar&) = delete;
    KeepVar& operator=(const KeepVar&) = delete;

private:
    ConsoleVar& m_var;
    ConsoleVar::Value m_value;
};
