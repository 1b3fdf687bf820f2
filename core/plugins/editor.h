// Editor mode: hands the program over to the external scene editor library "pravlin.so".
#pragma once

// The whole editor session; called before any window exists. Loads the library from the program's
// folder (else the working folder), hands it the event "Editor" and the interface record, waits
// until the library signals the event, then unloads it. False, with a line in the log and on stderr,
// when the library or its "Initialize" cannot be found.
bool RunEditorSession();
// Fills an interface record of EDITOR_RECORD_SLOTS slots (core/plugins/editor_interface.h).
void EditorFillInterface(void** record);
