// The engine's one assertion: logs, shows a message box titled "ERROR" and ends the program at once.
#pragma once

[[noreturn]] void AssertionFailed(const char* expression, const char* sourceFile, int line);

// Reports the condition as it is written.
#define ENGINE_ASSERT(expression) ((expression) ? (void)0 : AssertionFailed(#expression, __FILE__, __LINE__))

// Reports a fixed text (a C string) in place of the condition: the message the program has always
// given stays exact while the condition is written with the code's own names.
#define ENGINE_ASSERT_TEXT(condition, text) ((condition) ? (void)0 : AssertionFailed((text), __FILE__, __LINE__))
