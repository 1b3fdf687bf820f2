// A quick answer to "can this path exist on disk?" for the file system's disk-first rule. Most
// files live only in archives, and a full case-insensitive miss on disk costs several system
// calls; this keeps the names of the folders it has looked into and answers a miss with one
// stat per path level. Listings are refreshed whenever their folder has changed.
#pragma once

// False only when some component of the path matches no name (without regard to case) in its
// folder, so the path certainly names nothing on disk. True whenever it cannot tell.
bool VFSDiskMayHold(const char* path);
// Forgets every listing.
void VFSDiskIndexClear();
