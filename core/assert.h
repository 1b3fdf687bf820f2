// The engine's one assertion: logs, shows a message box titled "ERROR" and ends the program at once.
#pragma once

[[noreturn]] void AssertionFailed(const char* expression, const char* sourceFile, int line);

#define ENGINE_ASSERT(expression) \
    ((expression) ? (void)0 : AssertionFailed(#expression, __FILE__, __LINE__))

// The same check with a fixed message text in place of the expression: the text is part of what the
// program prints, while the code keeps its own names.
#define ENGINE_ASSERT_TEXT(expression, text) \
    ((expression) ? (void)0 : AssertionFailed(text, __FILE__, __LINE__))
