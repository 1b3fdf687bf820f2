#include "tools/outpost_make/outpost_layout.h"

#include "tools/outpost_make/object_mesh.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <set>
#include <sstream>
#include <vector>

namespace outpost {

const char* const kObjectsMarker = "# The placed objects, made by scripts/sample_objects: do not edit below this line";

namespace {

constexpr float kPosScale = 10.0f;  // "pos" multiplies its values by this
constexpr float kPi = 3.14159265f;

// A number with at most three decimals and no trailing zeros.
std::string Format(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(value));
    std::string out = text;
    while (!out.empty() && out.back() == '0')
        out.pop_back();
    if (!out.empty() && out.back() == '.')
        out.pop_back();
    return out == "-0" ? "0" : out;
}

std::string Join(const std::vector<std::string>& words, size_t from)
{
    std::string out;
    for (size_t i = from; i < words.size(); ++i)
        out += (i > from ? " " : "") + words[i];
    return out;
}

// A weapon lying on the land ("weapon" in outpost_layout.h): its object lines, appended to *lines.
bool AddPlacedWeapon(const std::vector<std::string>& words, const MapAuthorPlan& land, std::string* lines,
                     std::string* message)
{
    if (words.size() != 5 && words.size() != 6) {
        *message = "'weapon' takes a definition, a model, x, z and an optional turn";
        return false;
    }
    float x = 0.0f, z = 0.0f, turn = 0.0f;
    for (size_t i = 3; i < words.size(); ++i) {
        float* value = i == 3 ? &x : i == 4 ? &z : &turn;
        if (!ReadNumber(words[i], value)) {
            *message = "'" + words[i] + "' is not a number";
            return false;
        }
    }
    const float half = land.size * 0.5f;
    if (std::fabs(x) > half || std::fabs(z) > half) {
        *message = "'" + words[1] + "' lies outside the land";
        return false;
    }
    *lines += "create weapon " + words[1] + "\n";
    *lines += "pos root " + Format(x / kPosScale) + " " + Format(MapAuthorLandHeight(land, x, z) / kPosScale) + " " +
              Format(z / kPosScale) + "\n";
    *lines += "rot root 0 " + Format(turn * kPi / 180.0f) + " 0\n";
    *lines += "anim " + words[2] + " torso : xhand_r ..\\weapon\\" + words[2] + " : x1\n";
    return true;
}

}  // namespace

bool MakeOutpost(const std::string& layout, const MapAuthorPlan& land, OutpostFiles* files, std::string* error)
{
    OutpostFiles out;
    out.objects = std::string(kObjectsMarker) + "\n";
    std::set<std::string> objects;
    enum class Open { None, Cluster, Wire } open = Open::None;
    std::istringstream lines(layout);
    std::string line;
    int number = 0;
    const auto fail = [&](const std::string& message) {
        *error = "line " + std::to_string(number) + ": " + message;
        return false;
    };
    while (std::getline(lines, line)) {
        ++number;
        std::istringstream wordStream(line.substr(0, line.find('#')));
        const std::vector<std::string> words{std::istream_iterator<std::string>(wordStream),
                                             std::istream_iterator<std::string>()};
        if (words.empty())
            continue;
        const std::string& keyword = words[0];
        if (keyword == "weapon") {
            std::string message;
            if (!AddPlacedWeapon(words, land, &out.objects, &message))
                return fail(message);
            continue;
        }
        if (keyword == "object") {
            if (words.size() != 6 && words.size() != 7)
                return fail("'object' takes a class, a name, a template, x, z and an optional turn");
            float x = 0.0f, z = 0.0f, turn = 0.0f;
            for (size_t i = 4; i < words.size(); ++i) {
                float* value = i == 4 ? &x : i == 5 ? &z : &turn;
                if (!ReadNumber(words[i], value))
                    return fail("'" + words[i] + "' is not a number");
            }
            const float half = land.size * 0.5f;
            if (std::fabs(x) > half || std::fabs(z) > half)
                return fail("'" + words[2] + "' lies outside the land");
            if (!objects.insert(words[2]).second)
                return fail("'" + words[2] + "' is described twice");
            const float height = MapAuthorLandHeight(land, x, z);
            out.objects += "create " + words[1] + " " + words[2] + "\n";
            out.objects += "template " + words[3] + "\n";
            out.objects += "pos root " + Format(x / kPosScale) + " " + Format(height / kPosScale) + " " +
                           Format(z / kPosScale) + "\n";
            if (words.size() == 7)
                out.objects += "rot root 0 " + Format(turn * kPi / 180.0f) + " 0\n";
        } else if (keyword == "cluster") {
            if (words.size() != 3)
                return fail("'cluster' takes a name and a distance");
            out.clusters += "cluster " + Join(words, 1) + "\n";
            open = Open::Cluster;
        } else if (keyword == "wire") {
            if (words.size() != 8)
                return fail("'wire' takes a name, profile, width, sag, texture, texture length and segments");
            out.wires += "group " + Join(words, 1) + "\n";
            open = Open::Wire;
        } else if (keyword == "add") {
            if (words.size() != 2)
                return fail("'add' takes an object name");
            if (open == Open::None)
                return fail("'add' before any 'cluster' or 'wire'");
            if (!objects.count(words[1]))
                return fail("'" + words[1] + "' is no object described before");
            (open == Open::Cluster ? out.clusters : out.wires) += "add " + words[1] + "\n";
        } else {
            return fail("unknown statement '" + keyword + "'");
        }
    }
    *files = out;
    return true;
}

std::string MissionWithObjects(const std::string& mission, const std::string& objects)
{
    size_t cut = mission.find(kObjectsMarker);
    // Only a marker that starts a line counts.
    while (cut != std::string::npos && cut > 0 && mission[cut - 1] != '\n')
        cut = mission.find(kObjectsMarker, cut + 1);
    std::string kept = mission.substr(0, cut);
    if (!kept.empty() && kept.back() != '\n')
        kept += "\n";
    return kept + objects;
}

}  // namespace outpost
