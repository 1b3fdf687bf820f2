// The engine's one assertion: logs, shows a message box titled "ERROR" and ends the program at once.
#pragma once

[[noreturn]] void AssertionFailed(const char* expression, const char* sourceFile, int line);

#define ENGINE_ASSERT(expression) \
    ((expression) ? (void)0 : AssertionFailed(#expression, __FILE__, __LINE__))
