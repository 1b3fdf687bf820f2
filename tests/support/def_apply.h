// Applies a definition file to an object as the mission's object loader does: every entry, in file
// order, handed to the object's SetParam (at most 64 values), with the file's name kept as the
// definition being applied.
#pragma once
#include <vector>

class DynamicObject;

// The SetParam results in entry order; empty when the file cannot be read.
std::vector<bool> ApplyDefFile(const char* fileName, DynamicObject* object);
