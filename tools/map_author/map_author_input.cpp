// The description reader of the map authoring tool.
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/map_author/map_author.h"

namespace {

bool ReadFile(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace

bool MapAuthorParse(const std::string& text, const std::string& baseFolder, MapAuthorPlan& plan, std::string& error)
{
    plan = MapAuthorPlan{};
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    bool heightsGiven = false;
    auto fail = [&](const std::string& message) {
        error = "line " + std::to_string(number) + ": " + message;
        return false;
    };
    auto path = [&baseFolder](const std::string& name) { return (std::filesystem::path(baseFolder) / name).string(); };
    while (std::getline(lines, line)) {
        ++number;
        const size_t comment = line.find('#');
        if (comment != std::string::npos)
            line.erase(comment);
        std::istringstream words(line);
        std::string keyword;
        if (!(words >> keyword))
            continue;
        if (keyword == "land" || keyword == "mission") {
            std::string name;
            if (!(words >> name))
                return fail(keyword + " needs a name");
            (keyword == "land" ? plan.land : plan.mission) = name;
        } else if (keyword == "size") {
            if (!(words >> plan.size) || !(plan.size > 0.0f))
                return fail("size needs a positive side");
        } else if (keyword == "grid") {
            if (!(words >> plan.grid) || plan.grid < 2)
                return fail("grid needs a vertex count of at least 2");
            if (static_cast<long>(plan.grid) * plan.grid > MAP_AUTHOR_MAX_VERTICES)
                return fail("a land of more than 65536 vertices does not fit 16-bit indices");
        } else if (keyword == "heights") {
            std::string kind;
            words >> kind;
            heightsGiven = true;
            if (kind == "flat") {
                float h = 0.0f;
                words >> h;
                MapAuthorFlatHeights(plan, h);
            } else if (kind == "seed") {
                unsigned long seed = 0;
                float amplitude = 0.0f;
                if (!(words >> seed >> amplitude))
                    return fail("heights seed needs a seed and an amplitude");
                MapAuthorSeededHeights(plan, static_cast<std::uint32_t>(seed), amplitude);
            } else if (kind == "pgm") {
                std::string file, bytes;
                float scale = 1.0f;
                if (!(words >> file >> scale) || !ReadFile(path(file), bytes))
                    return fail("heights pgm needs a readable file and a scale");
                std::string message;
                if (!MapAuthorPgmHeights(plan, bytes, scale, message))
                    return fail(message);
                if (static_cast<long>(plan.grid) * plan.grid > MAP_AUTHOR_MAX_VERTICES)
                    return fail("a land of more than 65536 vertices does not fit 16-bit indices");
            } else if (kind == "rows") {
                plan.heights.clear();
                for (int row = 0; row < plan.grid; ++row) {
                    if (!std::getline(lines, line))
                        return fail("heights rows needs " + std::to_string(plan.grid) + " rows");
                    ++number;
                    std::istringstream values(line);
                    for (int column = 0; column < plan.grid; ++column) {
                        float h = 0.0f;
                        if (!(values >> h))
                            return fail("a row needs " + std::to_string(plan.grid) + " heights");
                        plan.heights.push_back(h);
                    }
                }
            } else {
                return fail("unknown heights kind '" + kind + "'");
            }
        } else if (keyword == "box") {
            std::string name, texture;
            float low[3], high[3];
            if (!(words >> name >> texture >> low[0] >> low[1] >> low[2] >> high[0] >> high[1] >> high[2]))
                return fail("box needs a name, a texture and two corners");
            plan.meshes.push_back(MapAuthorBox(name, texture == "-" ? "" : texture, low, high));
        } else if (keyword == "obj") {
            std::string name, texture, file, bytes;
            float offset[3] = {0, 0, 0};
            if (!(words >> name >> texture >> file))
                return fail("obj needs a name, a texture and a file");
            words >> offset[0] >> offset[1] >> offset[2];
            if (!ReadFile(path(file), bytes))
                return fail("cannot read " + file);
            MapAuthorMesh mesh;
            std::string message;
            if (!MapAuthorObj(name, texture == "-" ? "" : texture, bytes, offset, mesh, message))
                return fail(message);
            plan.meshes.push_back(std::move(mesh));
        } else if (keyword == "water") {
            if (!(words >> plan.waterHeight))
                return fail("water needs a height");
            plan.water = true;
        } else if (keyword == "mirror") {
            float s[3];
            if (!(words >> s[0] >> s[1] >> s[2]))
                return fail("mirror needs three scales");
            plan.mirror = std::to_string(s[0]) + " " + std::to_string(s[1]) + " " + std::to_string(s[2]);
        } else if (keyword == "rotate") {
            float degrees;
            if (!(words >> degrees))
                return fail("rotate needs an angle");
            plan.rotate = std::to_string(degrees);
        } else if (keyword == "layer") {
            MapAuthorLayer layer;
            if (!(words >> layer.texture >> layer.alpha >> layer.var))
                return fail("layer needs a texture, an alpha map and a value");
            std::string above;
            if (words >> above) {
                if (above != "above" || !(words >> layer.height))
                    return fail("a layer ends with nothing or 'above <height>'");
                layer.above = true;
            }
            plan.layers.push_back(layer);
        } else if (keyword == "road") {
            MapAuthorRoad road;
            if (!(words >> road.key >> road.texture >> road.width) || !(road.width > 0.0f))
                return fail("road needs a key, a texture and a positive width");
            std::array<float, 2> point;
            while (words >> point[0] >> point[1])
                road.points.push_back(point);
            if (road.points.size() < 2)
                return fail("road needs at least two points");
            plan.roads.push_back(road);
        } else if (keyword == "veg") {
            MapAuthorVegetation veg;
            if (!(words >> veg.slot >> veg.map >> veg.density >> veg.low >> veg.high) || veg.slot < 0 ||
                veg.slot > 31 || veg.density < 0 || veg.density > 255)
                return fail("veg needs a slot 0 to 31, a map, a density 0 to 255 and two heights");
            std::getline(words, veg.rest);
            const size_t first = veg.rest.find_first_not_of(" \t");
            if (first == std::string::npos)
                return fail("veg needs the layer's texture, radius, sizes and kind");
            veg.rest = veg.rest.substr(first, veg.rest.find_last_not_of(" \t\r") + 1 - first);
            plan.vegetation.push_back(veg);
        } else if (keyword == "line" || keyword == "config" || keyword == "define") {
            std::string rest;
            std::getline(words, rest);
            const size_t first = rest.find_first_not_of(" \t");
            if (first == std::string::npos)
                return fail(keyword + " needs a text");
            rest = rest.substr(first, rest.find_last_not_of(" \t\r") + 1 - first);
            (keyword == "line"     ? plan.landLines
             : keyword == "config" ? plan.configLines
                                   : plan.defineLines)
                .push_back(rest);
        } else {
            return fail("unknown keyword '" + keyword + "'");
        }
    }
    if (!heightsGiven || plan.heights.size() != static_cast<size_t>(plan.grid) * plan.grid)
        MapAuthorFlatHeights(plan, 0.0f);
    return true;
}
