// The ".aff" writer of the tools (tools/aff_make/aff_writer.h) under the world tests' own name, and
// the "mission.ctr" cluster lists of the clustered-mesh tests.
#pragma once
#include <string>
#include <vector>

#include "support/archive_builder.h"
#include "tools/aff_make/aff_writer.h"

namespace aff_test {

using namespace aff;

struct ClusterEntry {
    std::string name;
    std::string distance;  // empty: no value
    std::vector<std::string> objects;
};
// Writes a "mission.ctr" definition file into the folder.
bool WriteMissionCtr(const std::string& folder, const std::vector<ClusterEntry>& clusters);

}  // namespace aff_test
