// bfs_pack <folder> <archive.bfs>: packs a folder tree into an archive that the engine reads.
#include <cstdio>
#include <string>

#include "tools/bfs_pack/bfs_pack.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bfs_pack <folder> <archive.bfs>\n");
        return 2;
    }
    BfsNode root;
    std::string error;
    if (!BfsCollectFolder(argv[1], root, error, argv[2]) || !BfsWriteArchive(argv[2], root, error)) {
        std::fprintf(stderr, "bfs_pack: %s\n", error.c_str());
        return 1;
    }
    int files = 0;
    int folders = 0;
    BfsCountNodes(root, files, folders);
    std::printf("bfs_pack: %d files in %d folders packed into %s\n", files, folders, argv[2]);
    return 0;
}
