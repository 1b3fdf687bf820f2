// One path resolver for every disk access of the engine. Paths may be written with '\' or '/';
// a component that does not exist with its exact spelling is matched without regard to case.
// A component longer than 63 characters names nothing.
#pragma once
#include <cstdio>
#include <string>

// The path as it exists on disk (or, for a file to be created, with the existing folders resolved
// and the rest as given). Returns false when the path cannot name anything.
bool PlatformResolvePath(const char* path, std::string& resolved);
// fopen through the resolver. Modes that write create missing folders on the way.
std::FILE* PlatformOpenFile(const char* path, const char* mode);
bool PlatformFileExists(const char* path);
bool PlatformIsDirectory(const char* path);
bool PlatformCreateDirectories(const char* path);
bool PlatformRemoveFile(const char* path);
