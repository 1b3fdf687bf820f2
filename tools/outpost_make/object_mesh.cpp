#include "tools/outpost_make/object_mesh.h"

#include <cmath>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <vector>

#include "tools/aff_make/aff_description.h"

namespace outpost {

namespace {

constexpr size_t kMaxPointName = 15;  // the box record's 16-byte name with its terminating zero

}  // namespace

bool ReadNumber(const std::string& word, float* out)
{
    const char* text = word.c_str();
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(value))
        return false;
    *out = static_cast<float>(value);
    return true;
}

bool ParseObjectMesh(const std::string& text, aff::AffFile* file, std::string* error)
{
    // The point lines are taken out here and left empty for the mesh reader, so that its messages
    // keep their line numbers.
    std::vector<aff::DummyBox> points;
    std::string meshText;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        std::string statement = line.substr(0, line.find('#'));
        std::istringstream wordStream(statement);
        const std::vector<std::string> words{std::istream_iterator<std::string>(wordStream),
                                             std::istream_iterator<std::string>()};
        if (words.empty() || words[0] != "point") {
            meshText += line + "\n";
            continue;
        }
        meshText += "\n";
        const auto fail = [&](const std::string& message) {
            *error = "line " + std::to_string(number) + ": " + message;
            return false;
        };
        if (words.size() != 5)
            return fail("'point' takes a name and a position (3 numbers)");
        aff::DummyBox box;
        box.name = words[1];
        if (box.name.size() > kMaxPointName)
            return fail("point name '" + box.name + "' is longer than 15 characters");
        for (const aff::DummyBox& other : points) {
            if (other.name == box.name)
                return fail("point '" + box.name + "' is described twice");
        }
        float* coordinates[3] = {&box.position.x, &box.position.y, &box.position.z};
        for (int i = 0; i < 3; ++i) {
            if (!ReadNumber(words[2 + i], coordinates[i]))
                return fail("'" + words[2 + i] + "' is not a number");
        }
        // The box's two vectors are held as read by the game: a box of no size round the point.
        box.first = box.second = box.position;
        points.push_back(box);
    }
    if (!aff::ParseAffDescription(meshText, file, error))
        return false;
    if (!points.empty())
        file->dummies = points;
    return true;
}

}  // namespace outpost
