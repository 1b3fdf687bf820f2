// The engine log "zintar.log", debugger output and the cursor switch.
#pragma once

// printf-style; written to "zintar.log" and flushed at once. Text past 1024 bytes is cut. Returns 0.
int Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
// printf-style; written to "zintar.log" and to stderr: for a failure that stops the program or leaves
// it with nothing to show, which a person at a terminal must see even where the log cannot be written.
int LogFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));
// printf-style; sent to the debugger output (stderr when ZINTAR_DEBUG is set). Text past 2048 bytes is cut.
int DebugPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Calls ShowCursor only when the wanted state differs from the last one handed to the system.
void SetCursorVisible(bool visible);
// True when "zintar.log" could be created.
bool LogIsOpen();
