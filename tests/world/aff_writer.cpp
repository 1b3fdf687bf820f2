#include "tests/world/aff_writer.h"

namespace aff_test {

bool WriteMissionCtr(const std::string& folder, const std::vector<ClusterEntry>& clusters)
{
    std::string text;
    for (const ClusterEntry& cluster : clusters) {
        text += "cluster";
        if (!cluster.name.empty())
            text += " " + cluster.name;
        if (!cluster.distance.empty())
            text += " " + cluster.distance;
        text += "\n";
        for (const std::string& object : cluster.objects)
            text += "add " + object + "\n";
    }
    return WriteFileBytes(folder + "/mission.ctr", text);
}

}  // namespace aff_test
