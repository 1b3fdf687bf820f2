// The player's use of objects: while "quickmode" is held the weapon is lowered and a "fire" click
// uses what lies under the cursor. A near object (closer than 50 units) gets its "OnInteract" and
// the plug-ins the object-use event; a soldier is picked for an order, however far; a click on
// nothing looks for a wire in sight and cuts it while wire cutting is on.
#pragma once
#include "core/types.h"

class DynamicObject;
class Envelope;

// The envelope event index of "OnInteract", and the action code of the object-use event.
constexpr s32_t kEventOnInteract = 8;
// Squared distance from which an object is too far to use.
constexpr float kObjectUseRangeSq = 2500.0f;

// Once per frame from the player controls.
void ObjectUseUpdate();
// A picked soldier asks for an order when his envelope's handler holds the member
// "defaultcondition": the use is then pending, and the command menu's pending target selection
// becomes that of the menu item whose index the member holds (none for an empty slot). False, and
// nothing changed, when the envelope asks for none.
bool ObjectUseDefaultCondition(const Envelope* envelope);
// The object the envelope is bound to, or null.
DynamicObject* ObjectUseBoundObject(const Envelope* envelope);
// Clears both highlights of the envelope's object (nothing for null).
void ObjectUseClearHighlights(const Envelope* envelope);
