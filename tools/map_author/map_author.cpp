#include "tools/map_author/map_author.h"

#include <algorithm>
#include <utility>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/files/byte_io.h"
#include "core/files/uff_file.h"

namespace fs = std::filesystem;

namespace {

std::uint32_t NextRandom(std::uint32_t& state)
{
    state = state * 214013u + 2531011u;
    return (state >> 16) & 0x7FFF;
}

void Normalise(float* v)
{
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0.0f) {
        v[0] /= length;
        v[1] /= length;
        v[2] /= length;
    }
}

float Coordinate(const MapAuthorPlan& plan, int index)
{
    return -plan.size / 2 + plan.size * static_cast<float>(index) / static_cast<float>(plan.grid - 1);
}

std::string VertexBytes(const std::vector<MapAuthorVertex>& vertices)
{
    std::string bytes(vertices.size() * 32, '\0');
    ByteBufferWriter out(bytes.data(), bytes.size());
    for (const MapAuthorVertex& v : vertices) {
        for (float value :
             {v.position[0], v.position[1], v.position[2], v.uv[0], v.uv[1], v.normal[0], v.normal[1], v.normal[2]})
            out.WriteF32(value);
    }
    return bytes;
}

std::string FaceBytes(const std::vector<std::array<std::uint16_t, 3>>& faces)
{
    std::string bytes(faces.size() * 6, '\0');
    ByteBufferWriter out(bytes.data(), bytes.size());
    for (const auto& face : faces) {
        for (std::uint16_t index : face)
            out.WriteU16(index);
    }
    return bytes;
}

void WriteEntry(UffWriter& writer, const char* name, s32_t parent, const std::string& data)
{
    writer.BeginEntry(name, parent);
    writer.Write(data.data(), static_cast<u32_t>(data.size()));
    writer.EndEntry();
}

bool WriteText(const fs::path& path, const std::string& text, std::string& error)
{
    std::error_code code;
    fs::create_directories(path.parent_path(), code);
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) {
        error = "cannot write " + path.string();
        return false;
    }
    return true;
}

// The land section in the script text, replacing an earlier section of the same land.
std::string WithLandSection(std::string script, const MapAuthorPlan& plan)
{
    const std::string open = "<" + plan.land + ">", close = "</" + plan.land + ">";
    const size_t begin = script.find(open);
    if (begin != std::string::npos) {
        const size_t end = script.find(close, begin);
        if (end != std::string::npos) {
            // The line break after the section goes with it, so that rewriting adds no empty lines.
            size_t stop = end + close.size();
            if (stop < script.size() && script[stop] == '\n')
                ++stop;
            script.erase(begin, stop - begin);
        }
    }
    std::ostringstream section;
    section << open << "\n    mesh " << plan.land << ";\n";
    if (!plan.mirror.empty())
        section << "    mirror " << plan.mirror << ";\n";
    if (!plan.rotate.empty())
        section << "    rotate " << plan.rotate << ";\n";
    if (plan.water)
        section << "    water0 " << plan.land << "_water water " << plan.waterHeight << " 0;\n";
    if (!plan.layers.empty()) {
        section << "    <layer>\n";
        for (const MapAuthorLayer& layer : plan.layers)
            section << "        " << layer.texture << " " << layer.alpha << " " << layer.var << ";\n";
        section << "    </layer>\n";
    }
    for (const MapAuthorVegetation& veg : plan.vegetation)
        section << "    sveg" << veg.slot << " " << veg.map << " " << veg.rest << ";\n";
    for (const std::string& line : plan.landLines)
        section << "    " << line << ";\n";
    section << close << "\n";
    if (!script.empty() && script.back() != '\n')
        script += '\n';
    return script + section.str();
}

// A 32-bit uncompressed TGA of n x n pixels over the land whose alpha is `on` (255 by default) where
// the land height at the pixel's centre passes the test, 0 elsewhere; red, green and blue all grey.
template <class Test>
std::string LandMask(const MapAuthorPlan& plan, int n, std::uint8_t grey, Test passes, int on = 0xFF)
{
    std::string bytes(18 + static_cast<size_t>(n) * n * 4, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(n & 0xFF);
    bytes[13] = static_cast<char>(n >> 8);
    bytes[14] = static_cast<char>(n & 0xFF);
    bytes[15] = static_cast<char>(n >> 8);
    bytes[16] = 32;
    bytes[17] = 8;
    for (int row = 0; row < n; ++row) {
        // File rows run from the bottom (max z) up.
        const int gridRow = n - 1 - row;
        for (int column = 0; column < n; ++column) {
            const float x = -plan.size / 2 + plan.size * (static_cast<float>(column) + 0.5f) / static_cast<float>(n);
            const float z = -plan.size / 2 + plan.size * (static_cast<float>(gridRow) + 0.5f) / static_cast<float>(n);
            char* pixel = &bytes[18 + (static_cast<size_t>(row) * n + column) * 4];
            pixel[0] = pixel[1] = pixel[2] = static_cast<char>(grey);
            pixel[3] = static_cast<char>(passes(MapAuthorLandHeight(plan, x, z)) ? on : 0x00);
        }
    }
    return bytes;
}

// The water mask: 255 where the land lies below the water.
std::string WaterMask(const MapAuthorPlan& plan)
{
    return LandMask(plan, plan.waterMaskSize, 0x40, [&plan](float height) { return height < plan.waterHeight; });
}

// A layer's alpha map: 255 where the land is at or above the layer's height (everywhere without one).
// Its colour is white: the layer pass multiplies the layer's texture by the alpha map's colour.
std::string LayerMask(const MapAuthorPlan& plan, const MapAuthorLayer& layer)
{
    return LandMask(plan, plan.waterMaskSize, 0xFF,
                    [&layer](float height) { return !layer.above || height >= layer.height; });
}

// A vegetation density map: the density where the land height lies between low and high.
std::string VegetationMask(const MapAuthorPlan& plan, const MapAuthorVegetation& veg)
{
    return LandMask(
        plan, plan.waterMaskSize, 0x40, [&veg](float height) { return height >= veg.low && height <= veg.high; },
        veg.density);
}

std::string Number(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

// "mission.rds" in its second form: each road a strip of cross-sections along its points, lying on
// the land, u across the road and v along it.
std::string RoadFile(const MapAuthorPlan& plan)
{
    std::ostringstream out;
    out << "type DEFAULT\n";
    for (const MapAuthorRoad& road : plan.roads) {
        out << "road " << road.key << "\n";
        float along = 0.0f;
        for (size_t i = 0; i < road.points.size(); ++i) {
            const auto& before = road.points[i == 0 ? 0 : i - 1];
            const auto& after = road.points[i + 1 < road.points.size() ? i + 1 : i];
            float dx = after[0] - before[0], dz = after[1] - before[1];
            const float length = std::sqrt(dx * dx + dz * dz);
            if (length > 0.0f) {
                dx /= length;
                dz /= length;
            }
            if (i > 0) {
                const float sx = road.points[i][0] - road.points[i - 1][0],
                            sz = road.points[i][1] - road.points[i - 1][1];
                along += std::sqrt(sx * sx + sz * sz) / road.width;
            }
            const float half = road.width / 2;
            const float ax = road.points[i][0] - dz * half, az = road.points[i][1] + dx * half;
            const float bx = road.points[i][0] + dz * half, bz = road.points[i][1] - dx * half;
            out << "vert " << Number(ax) << " " << Number(MapAuthorLandHeight(plan, ax, az) + road.lift) << " "
                << Number(az) << " " << Number(along) << " 0 " << Number(bx) << " "
                << Number(MapAuthorLandHeight(plan, bx, bz) + road.lift) << " " << Number(bz) << " " << Number(along)
                << " 1\n";
        }
    }
    return out.str();
}

// The road types of script "roads": the section "DEFAULT" naming each road's texture.
std::string RoadTypes(const MapAuthorPlan& plan)
{
    std::string text = "<DEFAULT>\n    mip_filter LINEAR;\n    mm_filter LINEAR;\n";
    for (const MapAuthorRoad& road : plan.roads)
        text += "    " + road.key + " " + road.texture + ";\n";
    return text + "</DEFAULT>\n";
}

}  // namespace

void MapAuthorFlatHeights(MapAuthorPlan& plan, float height)
{
    plan.heights.assign(static_cast<size_t>(plan.grid) * plan.grid, height);
}

void MapAuthorSeededHeights(MapAuthorPlan& plan, std::uint32_t seed, float amplitude)
{
    std::uint32_t state = seed;
    float phase[6], frequency[6];
    for (int i = 0; i < 6; ++i) {
        phase[i] = static_cast<float>(NextRandom(state)) / 32767.0f * 6.2831853f;
        frequency[i] = (1.0f + static_cast<float>(NextRandom(state) % 7)) * 6.2831853f / plan.size;
    }
    plan.heights.resize(static_cast<size_t>(plan.grid) * plan.grid);
    for (int j = 0; j < plan.grid; ++j) {
        for (int i = 0; i < plan.grid; ++i) {
            const float x = Coordinate(plan, i), z = Coordinate(plan, j);
            float h = 0.0f;
            for (int k = 0; k < 3; ++k)
                h += std::sin(x * frequency[k] + phase[k]) * std::cos(z * frequency[k + 3] + phase[k + 3]);
            plan.heights[static_cast<size_t>(j) * plan.grid + i] = amplitude * h / 3.0f;
        }
    }
}

bool MapAuthorPgmHeights(MapAuthorPlan& plan, const std::string& bytes, float scale, std::string& error)
{
    std::istringstream in(bytes);
    std::string magic;
    int width = 0, height = 0, maxValue = 0;
    auto readNumber = [&in](int& value) {
        in >> std::ws;
        while (in.peek() == '#') {
            std::string comment;
            std::getline(in, comment);
            in >> std::ws;
        }
        return static_cast<bool>(in >> value);
    };
    in >> magic;
    if ((magic != "P2" && magic != "P5") || !readNumber(width) || !readNumber(height) || !readNumber(maxValue) ||
        width != height || width < 2 || maxValue <= 0 || maxValue > 65535) {
        error = "not a square PGM image";
        return false;
    }
    plan.grid = width;
    plan.heights.resize(static_cast<size_t>(width) * width);
    if (magic == "P2") {
        for (float& h : plan.heights) {
            int value = 0;
            if (!readNumber(value)) {
                error = "PGM image too short";
                return false;
            }
            h = static_cast<float>(value) / static_cast<float>(maxValue) * scale;
        }
        return true;
    }
    in.get();  // the one blank after the maximum
    const size_t sample = maxValue > 255 ? 2 : 1;
    const size_t start = static_cast<size_t>(in.tellg());
    if (bytes.size() < start + plan.heights.size() * sample) {
        error = "PGM image too short";
        return false;
    }
    for (size_t k = 0; k < plan.heights.size(); ++k) {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data() + start + k * sample);
        const int value = sample == 2 ? (p[0] << 8) | p[1] : p[0];
        plan.heights[k] = static_cast<float>(value) / static_cast<float>(maxValue) * scale;
    }
    return true;
}

MapAuthorMesh MapAuthorBox(const std::string& name, const std::string& texture, const float* low, const float* high)
{
    MapAuthorMesh mesh;
    mesh.name = name;
    mesh.texture = texture;
    // Each side: its normal axis and sign, then its four corners as bit masks (x 4, y 2, z 1).
    struct Side {
        int axis;
        float sign;
        int corners[4];
    };
    const Side sides[6] = {{0, -1, {0, 1, 3, 2}}, {0, 1, {4, 6, 7, 5}},  {1, -1, {0, 4, 5, 1}},
                           {1, 1, {2, 3, 7, 6}},  {2, -1, {0, 2, 6, 4}}, {2, 1, {1, 5, 7, 3}}};
    const float uvs[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const Side& side : sides) {
        const auto base = static_cast<std::uint16_t>(mesh.vertices.size());
        for (int k = 0; k < 4; ++k) {
            const int c = side.corners[k];
            MapAuthorVertex v = {{(c & 4) ? high[0] : low[0], (c & 2) ? high[1] : low[1], (c & 1) ? high[2] : low[2]},
                                 {uvs[k][0], uvs[k][1]},
                                 {0, 0, 0}};
            v.normal[side.axis] = side.sign;
            mesh.vertices.push_back(v);
        }
        // The corners run clockwise seen from outside; the faces take them the other way round.
        mesh.faces.push_back({base, static_cast<std::uint16_t>(base + 2), static_cast<std::uint16_t>(base + 1)});
        mesh.faces.push_back({base, static_cast<std::uint16_t>(base + 3), static_cast<std::uint16_t>(base + 2)});
    }
    return mesh;
}

bool MapAuthorObj(const std::string& name, const std::string& texture, const std::string& text, const float* offset,
                  MapAuthorMesh& mesh, std::string& error)
{
    mesh = MapAuthorMesh{};
    mesh.name = name;
    mesh.texture = texture;
    std::vector<std::array<float, 2>> uvs;
    std::istringstream lines(text);
    std::string line;
    auto resolve = [](long index, size_t count) -> long {
        return index < 0 ? static_cast<long>(count) + index : index - 1;
    };
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "v") {
            MapAuthorVertex v = {};
            words >> v.position[0] >> v.position[1] >> v.position[2];
            for (int a = 0; a < 3; ++a)
                v.position[a] += offset ? offset[a] : 0.0f;
            if (mesh.vertices.size() >= MAP_AUTHOR_MAX_VERTICES) {
                error = "OBJ " + name + " has more than 65536 vertices";
                return false;
            }
            mesh.vertices.push_back(v);
        } else if (keyword == "vt") {
            std::array<float, 2> uv = {0, 0};
            words >> uv[0] >> uv[1];
            uvs.push_back(uv);
        } else if (keyword == "f") {
            std::vector<long> corners;
            std::string corner;
            while (words >> corner) {
                long vertex = 0, uv = 0;
                const int got = std::sscanf(corner.c_str(), "%ld/%ld", &vertex, &uv);
                const long v = resolve(vertex, mesh.vertices.size());
                if (got < 1 || v < 0 || v >= static_cast<long>(mesh.vertices.size())) {
                    error = "OBJ " + name + ": a face names a vertex that is not there";
                    return false;
                }
                const long t = got == 2 ? resolve(uv, uvs.size()) : -1;
                if (t >= 0 && t < static_cast<long>(uvs.size())) {
                    mesh.vertices[static_cast<size_t>(v)].uv[0] = uvs[static_cast<size_t>(t)][0];
                    mesh.vertices[static_cast<size_t>(v)].uv[1] = uvs[static_cast<size_t>(t)][1];
                }
                corners.push_back(v);
            }
            for (size_t k = 2; k < corners.size(); ++k)
                mesh.faces.push_back({static_cast<std::uint16_t>(corners[0]),
                                      static_cast<std::uint16_t>(corners[k - 1]),
                                      static_cast<std::uint16_t>(corners[k])});
        }
    }
    for (const auto& face : mesh.faces) {
        const float* a = mesh.vertices[face[0]].position;
        const float* b = mesh.vertices[face[1]].position;
        const float* c = mesh.vertices[face[2]].position;
        const float e[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, f[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        const float n[3] = {e[1] * f[2] - e[2] * f[1], e[2] * f[0] - e[0] * f[2], e[0] * f[1] - e[1] * f[0]};
        for (std::uint16_t index : face) {
            for (int axis = 0; axis < 3; ++axis)
                mesh.vertices[index].normal[axis] += n[axis];
        }
    }
    for (MapAuthorVertex& v : mesh.vertices)
        Normalise(v.normal);
    // An OBJ face winds counter-clockwise seen from its front in a right-handed frame, so it looks
    // clockwise here: turned round to the game's winding.
    for (auto& face : mesh.faces)
        std::swap(face[1], face[2]);
    return true;
}

float MapAuthorLandHeight(const MapAuthorPlan& plan, float x, float z)
{
    const int n = plan.grid;
    const float cell = plan.size / static_cast<float>(n - 1);
    const float fx = std::clamp((x + plan.size / 2) / cell, 0.0f, static_cast<float>(n - 1) - 1e-4f);
    const float fz = std::clamp((z + plan.size / 2) / cell, 0.0f, static_cast<float>(n - 1) - 1e-4f);
    const int i = static_cast<int>(fx), j = static_cast<int>(fz);
    const float s = fx - static_cast<float>(i), t = fz - static_cast<float>(j);
    auto h = [&](int a, int b) { return plan.heights[static_cast<size_t>(b) * n + a]; };
    // Faces (a, c, d) and (a, d, b): the cut runs from a (i, j) to d (i + 1, j + 1).
    if (t >= s)
        return h(i, j) + s * (h(i + 1, j + 1) - h(i, j + 1)) + t * (h(i, j + 1) - h(i, j));
    return h(i, j) + s * (h(i + 1, j) - h(i, j)) + t * (h(i + 1, j + 1) - h(i + 1, j));
}

bool MapAuthorLandMesh(const MapAuthorPlan& plan, MapAuthorMesh& land, std::string& error)
{
    const int n = plan.grid;
    if (n < 2 || static_cast<long>(n) * n > MAP_AUTHOR_MAX_VERTICES) {
        error = "a land of " + std::to_string(n) + " x " + std::to_string(n) + " vertices does not fit 16-bit indices";
        return false;
    }
    if (plan.heights.size() != static_cast<size_t>(n) * n) {
        error = "the height grid does not hold " + std::to_string(n) + " x " + std::to_string(n) + " heights";
        return false;
    }
    land = MapAuthorMesh{};
    land.name = "land0";
    const float cell = plan.size / static_cast<float>(n - 1);
    auto h = [&](int i, int j) {
        i = std::clamp(i, 0, n - 1);
        j = std::clamp(j, 0, n - 1);
        return plan.heights[static_cast<size_t>(j) * n + i];
    };
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            MapAuthorVertex v = {
                {Coordinate(plan, i), h(i, j), Coordinate(plan, j)},
                {static_cast<float>(i) / static_cast<float>(n - 1), static_cast<float>(j) / static_cast<float>(n - 1)},
                {-(h(i + 1, j) - h(i - 1, j)), 2.0f * cell, -(h(i, j + 1) - h(i, j - 1))}};
            Normalise(v.normal);
            land.vertices.push_back(v);
        }
    }
    for (int j = 0; j + 1 < n; ++j) {
        for (int i = 0; i + 1 < n; ++i) {
            const auto a = static_cast<std::uint16_t>(j * n + i), b = static_cast<std::uint16_t>(a + 1),
                       c = static_cast<std::uint16_t>(a + n), d = static_cast<std::uint16_t>(c + 1);
            land.faces.push_back({a, d, c});
            land.faces.push_back({a, b, d});
        }
    }
    return true;
}

bool MapAuthorWriteLff(const MapAuthorPlan& plan, const std::string& path, std::string& error)
{
    MapAuthorMesh land;
    if (!MapAuthorLandMesh(plan, land, error))
        return false;
    std::error_code code;
    fs::create_directories(fs::path(path).parent_path(), code);
    {
        UffWriter writer(path.c_str());
        if (!writer.IsOpen()) {
            error = "cannot write " + path;
            return false;
        }
        const s32_t root = writer.BeginEntry("root", -1);
        writer.EndEntry();
        const s32_t landEntry = writer.BeginEntry("land0", root);
        writer.EndEntry();
        WriteEntry(writer, "vertex-array", landEntry, VertexBytes(land.vertices));
        WriteEntry(writer, "face-array", landEntry, FaceBytes(land.faces));
        for (const MapAuthorMesh& mesh : plan.meshes) {
            const s32_t entry = writer.BeginEntry(mesh.name.c_str(), root);
            writer.EndEntry();
            WriteEntry(writer, "vertex-array", entry, VertexBytes(mesh.vertices));
            WriteEntry(writer, "face-array", entry, FaceBytes(mesh.faces));
            if (!mesh.texture.empty())
                WriteEntry(writer, "texture", entry, mesh.texture);
        }
    }
    UffFile check(path.c_str());
    if (!check.IsOpen()) {
        error = "the written file " + path + " does not read back";
        return false;
    }
    return true;
}

namespace {

// The mission's vegetation clip mask: a grid of 256 x 256 cells (one per vegetation cell of the
// land), every cell full, so that the layers alone decide where plants stand. Little-endian words:
// the side, a word kept as it is, then one kind byte per cell.
std::string VegetationClipFile()
{
    constexpr std::uint32_t kSide = 256;
    constexpr char kFullCell = 1;
    std::string bytes;
    for (std::uint32_t word : {kSide, 0u}) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<char>((word >> shift) & 0xFF));
    }
    bytes.append(static_cast<std::size_t>(kSide) * kSide, kFullCell);
    return bytes;
}

}  // namespace

bool MapAuthorWrite(const MapAuthorPlan& plan, const std::string& folder, std::string& error)
{
    const fs::path root(folder);
    if (!MapAuthorWriteLff(plan, (root / "component" / "land" / (plan.land + ".lff")).string(), error))
        return false;
    const fs::path scriptPath = root / "script" / "land.scr";
    std::string script;
    {
        std::ifstream in(scriptPath, std::ios::binary);
        if (in)
            script.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (!WriteText(scriptPath, WithLandSection(script, plan), error))
        return false;
    if (plan.water && !WriteText(root / "component" / "land" / (plan.land + "_water.tga"), WaterMask(plan), error))
        return false;
    for (const MapAuthorLayer& layer : plan.layers) {
        if (!WriteText(root / "component" / "land" / (layer.alpha + ".tga"), LayerMask(plan, layer), error))
            return false;
    }
    for (const MapAuthorVegetation& veg : plan.vegetation) {
        if (!WriteText(root / "component" / "land" / (veg.map + ".tga"), VegetationMask(plan, veg), error))
            return false;
    }
    if (!plan.mission.empty()) {
        const fs::path mission = root / "mission" / plan.mission;
        std::string config = "mfrange = 1500.0\nmffogstart = 1000.0\n";
        for (const std::string& line : plan.configLines)
            config += line + "\n";
        std::string definition = "land " + plan.land + "\n";
        for (const std::string& line : plan.defineLines)
            definition += line + "\n";
        if (!WriteText(mission / "mission.def", definition, error) ||
            !WriteText(mission / "mission.cfg", config, error) ||
            !WriteText(mission / "vegclip.dat", VegetationClipFile(), error))
            return false;
        if (!plan.roads.empty() && (!WriteText(mission / "mission.rds", RoadFile(plan), error) ||
                                    !WriteText(root / "script" / "roads.scr", RoadTypes(plan), error)))
            return false;
    }
    return true;
}
