// The sun's lens-flare elements as the script "sun" describes them, read for a "sun" line of the
// object list.
#pragma once
#include "core/types.h"

struct SunFlareElement;

// Reads the subsections of the named section of the script "sun" (a missing section gives the root)
// into a new array of one element per subsection, in order; each "property <key> <value>" line sets
// one field. The element count; the array (null for none) is the caller's.
u32_t SunEffectLoad(const char* sectionName, SunFlareElement** out);
