// Plain "UFF 1.0" files from entries held in memory: each entry a path of names separated by '/' or
// '\' and its bytes. Made with the engine's own UFF writer, unscrambled (archives are scrambled by
// the archive packer instead).
#pragma once
#include <string>
#include <vector>

// A path with '/' or '\' separators and its bytes. A path that ends in a separator names an entry
// that holds only children.
struct UffChunk {
    std::string path;
    std::string data;
};

// Every path is an entry (missing parents are added first, without data), in list order. Paths
// without a separator are top-level entries; the first entry is the root. False when the file
// cannot be written.
bool WriteUffChunks(const std::string& uffPath, const std::vector<UffChunk>& entries);
// The path split into its names; endsInSeparator tells whether the path ends in a separator.
std::vector<std::string> SplitUffPath(const std::string& path, bool& endsInSeparator);
