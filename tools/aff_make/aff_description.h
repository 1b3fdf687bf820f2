// Animated meshes from a plain-text description: textured boxes and dummies placed over a number of
// frames, and zone records. One statement per line; words are separated by blanks; '#' starts a
// comment that runs to the end of the line.
//
//   frames <count> [<rate>]
//       The frame count (1 to 1000) and the frame rate in frames per second (default 25). Once, before
//       the first box or dummy.
//   box <name> <size x> <size y> <size z> <texture | none> <x> <y> <z> [<x> <y> <z>]
//       A box mesh of that size centred on the first placement in the first frame and on the last
//       placement (default: the first) in the last frame; frames between lie on the straight line.
//       Each face carries the whole texture.
//   dummy <name> <x> <y> <z> [<x> <y> <z>]
//       A dummy: a three-vertex mesh at the placement, with its axes X = +z, Y = +y, Z = +x, as
//       graphic nodes hang on them. Placed over the frames like a box.
//   zone <name> [parent <zone>] [inside] <x> <y> <z> ...
//       A zone record: its points (at least one), hung under an earlier zone or at the top. An inside
//       zone (one that routes may enter) is a zone whose name contains "cross": "inside" adds
//       "_cross" to a name without it, and a name with it must say "inside".
//
// Names of boxes and dummies are unique, at most 63 characters; meshes keep the order of the lines.
#pragma once
#include <string>

#include "tools/aff_make/aff_writer.h"

namespace aff {

// Reads a description into a file record. False, with a message that names the line, for any fault.
bool ParseAffDescription(const std::string& text, AffFile* file, std::string* error);
// Reads the description file and writes the ".aff" file. False, with a message, when either fails.
bool MakeAffFromDescription(const std::string& descriptionPath, const std::string& outputPath, std::string* error);

}  // namespace aff
