// The compiler of the mission's handler file "mission.hnd": a scan that reads only the handlers'
// headers into the handler list, the binding of the envelopes' own instances, then the compile of
// every template that nothing bound. Every message goes to the AI log.
#pragma once
#include "core/types.h"

class EventHandler;
class ScriptObject;

// The mission start's handler compile in the mission folder: false (after "ERROR compiling
// mission.hnd") when the file is missing or a header is wrong; failures of single handlers are only
// logged. The lists of an earlier compile are freed first, so whatever bound their handlers must be
// gone by then (the last mission's envelopes are).
bool HandlerCompileMission(const char* folder);
// The header scan of the file (folder with its separator at the end): templates in the handler list,
// bodies skipped. The file is marked finished when the scan succeeds.
bool LoadHandlerFile(const char* name, const char* folder);
// From a '{': moves just past its matching '}'. False (cursor somewhere inside) when the text ends
// first or no '{' stands at the cursor.
bool SkipBalancedBlock(const char*& cursor);
// Compiles a template whose "this" is the object held in `variable` when an event runs.
bool CompileHandler(EventHandler* handler, ScriptObject** variable);
// Compiles the body at the cursor ('{' ... '}') into the handler: members, time-out, events, remaps.
bool CompileHandlerBody(const char* cursor, EventHandler* handler);
// Fills the empty slots from the parent and applies the remaps; false when a handler it takes events
// from is not compiled.
bool ResolveHandlerInheritance(EventHandler* handler);
// A compiled and resolved instance of the template of that name (it must have a body) whose "this"
// is the owner, with one reference counted; null when there is no such template or its compile fails.
EventHandler* HandlerBindInstance(const char* name, ScriptObject* owner);
