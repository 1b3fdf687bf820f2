// Builds archives and UFF files for tests from files held in memory.
#pragma once
#include <string>
#include <vector>

#include "support/files.h"
#include "tools/aff_make/uff_chunks.h"
#include "tools/bfs_pack/bfs_pack.h"

// A path with '/' or '\' separators and its bytes. A path that ends in a separator names an
// empty folder.
using TestFile = UffChunk;

// The archive tree of the files, folders made on the way, children in list order.
BfsNode BuildArchiveTree(const std::vector<TestFile>& files);
// An archive as the packer makes it (scrambled data), children in list order.
bool WriteTestArchive(const std::string& archivePath, const std::vector<TestFile>& files);
// A plain UFF file: every path is an entry (missing parents are added first, without data), in list
// order, with its bytes unscrambled. Paths without a separator are top-level entries; the first
// entry is the root.
bool WriteTestUff(const std::string& uffPath, const std::vector<TestFile>& entries);
