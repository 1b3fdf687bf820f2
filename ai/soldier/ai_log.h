// The AI log "log.txt": every message of the script reader and compiler, and the compiler's echo of
// what it reads. Each piece is written and flushed at once. Nothing is written while no log is open.
#pragma once

// Opens (truncating) the log at `path`; false when it cannot be created. A log already open is closed first.
bool AILogOpen(const char* path);
void AILogClose();
bool AILogIsOpen();
void AILogWrite(const char* text);
void AILogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
