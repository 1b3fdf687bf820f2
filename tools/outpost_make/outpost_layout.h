// The layout of a mission's placed objects, in plain text, and the mission files it makes: the
// object lines of "mission.def" (each object set on the land at its place), the clustered groups of
// "mission.ctr" and the wire chains of "mission.cog". One statement per line; words are separated
// by blanks; '#' starts a comment that runs to the end of the line.
//
//   object <class> <name> <template> <x> <z> [<turn>]
//       "create <class> <name>", "template <template>", and the root's place at (x, land height,
//       z) in world units (written in tenths, as "pos" reads them); the turn, in degrees about the
//       vertical axis, as "rot" in radians.
//   weapon <definition> <model> <x> <z> [<turn>]
//       a weapon lying on the land: "create weapon <definition>" (the definition of object/weapons
//       that a soldier carries it by), its place as an object's, its turn, and the model line
//       "anim <model> torso : xhand_r ..\weapon\<model> : x1", which hangs the model from a
//       soldier's hand. A weapon has no such node: the line records the
//       placement (the object list reports it as an invalid command) and the mission start makes a
//       dynamic weapon of the definition lying at that place.
//   cluster <name> <distance>
//       opens a clustered group in "mission.ctr" (the distance as that file reads it).
//   wire <name> <profile> <width> <sag> <texture> <texture length> <segments>
//       opens a wire chain in "mission.cog" (the values as that file reads them).
//   add <name>
//       adds an object described before to the group or chain opened last.
#pragma once
#include <string>

#include "tools/map_author/map_author.h"

namespace outpost {

struct OutpostFiles {
    std::string objects;   // the object lines of "mission.def", its first line the marker below
    std::string clusters;  // "mission.ctr"
    std::string wires;     // "mission.cog"
};

// The line that opens the object lines in "mission.def"; whatever stands before it is kept.
extern const char* const kObjectsMarker;

// Reads a layout over the land of the plan. False, with a message that names the line, for any fault.
bool MakeOutpost(const std::string& layout, const MapAuthorPlan& land, OutpostFiles* files, std::string* error);
// The mission definition with its object lines replaced by the given ones (appended when it has none).
std::string MissionWithObjects(const std::string& mission, const std::string& objects);

}  // namespace outpost
