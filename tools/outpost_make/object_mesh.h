// Meshes of placed objects: an aff_make description (see tools/aff_make/aff_description.h) with one
// statement more,
//   point <name> <x> <y> <z>
//       a named box of the mesh file at that position, such as the connection points "+0" and "-0"
//       from which wires hang (at most 15 characters, unique).
#pragma once
#include <string>

#include "tools/aff_make/aff_writer.h"

namespace outpost {

// A whole word read as a finite number; false for anything else.
bool ReadNumber(const std::string& word, float* out);

// Reads a description into a file record. False, with a message that names the line, for any fault.
bool ParseObjectMesh(const std::string& text, aff::AffFile* file, std::string* error);

}  // namespace outpost
