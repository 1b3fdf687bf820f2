// Packs files into a ".bfs" archive: a UFF file whose first entry is the root, whose folders are
// entries with children and whose files are entries holding their scrambled bytes.
#pragma once
#include <string>
#include <vector>

struct BfsNode {
    std::string name;
    bool isFolder = false;
    std::string data;        // the file's bytes, when sourcePath is empty
    std::string sourcePath;  // else the disk file the bytes are read from while packing
    std::vector<BfsNode> children;
};

// Reads a folder tree from disk into root (a folder node); files are referred to by their disk
// paths. Children are sorted by name so that the same tree always packs to the same bytes.
// skipFile, when given, is left out (an archive being written into the folder it packs).
bool BfsCollectFolder(const std::string& folder, BfsNode& root, std::string& error, const std::string& skipFile = "");
// Writes the archive: the root entry first, then every node depth-first under its parent, in the
// order of the children. Names must be single components of at most 63 characters.
bool BfsWriteArchive(const std::string& archivePath, const BfsNode& root, std::string& error);
// Both in one.
bool BfsPackFolder(const std::string& folder, const std::string& archivePath, std::string& error);
// Files and folders under the node, for reports.
void BfsCountNodes(const BfsNode& node, int& files, int& folders);
