#include "tools/sky_make/sky_description.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/files/byte_io.h"

namespace sky {

namespace {

constexpr int kMaxSize = 1024;
const char* const kSuffixes[] = {"rt", "lf", "up", "dn", "bk", "fr"};

bool KnownSuffix(const std::string& suffix)
{
    for (const char* known : kSuffixes) {
        if (suffix == known)
            return true;
    }
    return false;
}

// The colour at a position between the stops.
void ColourAt(const SkyFace& face, float position, float* rgb)
{
    const std::vector<ColourStop>& stops = face.stops;
    const ColourStop* below = &stops.front();
    const ColourStop* above = &stops.back();
    for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
        if (position >= stops[i].position && position <= stops[i + 1].position) {
            below = &stops[i];
            above = &stops[i + 1];
            break;
        }
    }
    if (position <= stops.front().position)
        above = below = &stops.front();
    else if (position >= stops.back().position)
        below = above = &stops.back();
    const float span = above->position - below->position;
    const float t = span > 0.0f ? (position - below->position) / span : 0.0f;
    const int from[3] = {below->red, below->green, below->blue};
    const int to[3] = {above->red, above->green, above->blue};
    for (int c = 0; c < 3; ++c)
        rgb[c] = from[c] + (to[c] - from[c]) * t;
}

u8_t Channel(float value)
{
    return static_cast<u8_t>(std::lround(std::min(255.0f, std::max(0.0f, value))));
}

bool SideFace(const SkyFace& face)
{
    return face.suffix == "rt" || face.suffix == "lf" || face.suffix == "bk" || face.suffix == "fr";
}

// What the faces of a whole box meet at: per row, the mean colour of the four side faces' rows.
struct EdgeColours {
    bool ring = false;        // all six faces, the four sides vertical gradients
    std::vector<float> rows;  // three channels a row, top row first
};

EdgeColours RingEdgeColours(const SkyDescription& description)
{
    EdgeColours edges;
    std::vector<const SkyFace*> sides;
    bool up = false, down = false;
    for (const SkyFace& face : description.faces) {
        if (SideFace(face) && !face.radial)
            sides.push_back(&face);
        up = up || face.suffix == "up";
        down = down || face.suffix == "dn";
    }
    if (sides.size() != 4 || !up || !down)
        return edges;
    edges.ring = true;
    const int size = description.size;
    edges.rows.assign(std::size_t(size) * 3, 0.0f);
    for (int y = 0; y < size; ++y) {
        for (const SkyFace* side : sides) {
            float rgb[3];
            ColourAt(*side, (y + 0.5f) / size, rgb);
            for (int c = 0; c < 3; ++c)
                edges.rows[std::size_t(y) * 3 + c] += rgb[c] * 0.25f;
        }
    }
    return edges;
}

// 0 on the edge texels, rising smoothly to 1 an eighth of the face in.
float EdgeWeight(int toEdge, int size)
{
    const float margin = std::max(1.0f, size / 8.0f);
    const float t = std::min(1.0f, toEdge / margin);
    return t * t * (3.0f - 2.0f * t);
}

}  // namespace

bool ParseSkyDescription(const std::string& text, SkyDescription* out, std::string* error)
{
    SkyDescription description;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& message) {
        *error = "line " + std::to_string(number) + ": " + message;
        return false;
    };
    while (std::getline(lines, line)) {
        ++number;
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.resize(hash);
        std::istringstream words(line);
        std::string keyword;
        if (!(words >> keyword))
            continue;
        if (keyword == "size") {
            if (!(words >> description.size) || description.size < 1 || description.size > kMaxSize)
                return fail("size wants an edge of 1 to 1024 pixels");
        } else if (keyword == "face") {
            SkyFace face;
            std::string kind;
            if (!(words >> face.suffix) || !KnownSuffix(face.suffix))
                return fail("face wants one of the suffixes rt, lf, up, dn, bk, fr");
            if (!(words >> kind) || (kind != "vertical" && kind != "radial"))
                return fail("face wants vertical or radial");
            face.radial = kind == "radial";
            ColourStop stop;
            while (words >> stop.position) {
                if (!(words >> stop.red >> stop.green >> stop.blue))
                    return fail("a colour stop is a position and three channels");
                if (stop.red < 0 || stop.red > 255 || stop.green < 0 || stop.green > 255 || stop.blue < 0 ||
                    stop.blue > 255)
                    return fail("channels run from 0 to 255");
                if (!face.stops.empty() && stop.position < face.stops.back().position)
                    return fail("stop positions must rise");
                face.stops.push_back(stop);
            }
            if (!words.eof())
                return fail("a colour stop is a position and three channels");
            if (face.stops.empty())
                return fail("a face needs at least one colour stop");
            description.faces.push_back(face);
        } else {
            return fail("unknown keyword '" + keyword + "'");
        }
    }
    *out = description;
    return true;
}

std::string FaceImage(const SkyDescription& description, const SkyFace& face)
{
    const int size = description.size;
    std::string bytes(18 + std::size_t(size) * size * 4, '\0');
    ByteBufferWriter writer(bytes.data(), bytes.size());
    writer.WriteU8(0);  // no image id
    writer.WriteU8(0);  // no colour map
    writer.WriteU8(2);  // uncompressed true colour
    for (int i = 0; i < 5; ++i)
        writer.WriteU8(0);  // colour map fields
    writer.WriteU16(0);     // x origin
    writer.WriteU16(0);     // y origin
    writer.WriteU16(static_cast<u16_t>(size));
    writer.WriteU16(static_cast<u16_t>(size));
    writer.WriteU8(32);
    writer.WriteU8(0x28);  // top row first, 8 alpha bits
    const EdgeColours edges = RingEdgeColours(description);
    const bool side = SideFace(face);
    const float half = size * 0.5f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float position;
            if (face.radial) {
                const float dx = (x + 0.5f - half) / half, dy = (y + 0.5f - half) / half;
                position = std::sqrt(dx * dx + dy * dy);
            } else {
                position = (y + 0.5f) / size;
            }
            float rgb[3];
            ColourAt(face, position, rgb);
            if (edges.ring) {
                // Towards its edges a face fades into the colour its neighbours have there: a side
                // face into the ring's mean of its row, the top and bottom faces into the ring's
                // top and bottom rows.
                const int toEdge = std::min(std::min(x, size - 1 - x), std::min(y, size - 1 - y));
                const float w = EdgeWeight(toEdge, size);
                const float* edge = side                  ? &edges.rows[std::size_t(y) * 3]
                                    : face.suffix == "up" ? &edges.rows[0]
                                                          : &edges.rows[std::size_t(size - 1) * 3];
                for (int c = 0; c < 3; ++c)
                    rgb[c] = edge[c] + (rgb[c] - edge[c]) * w;
            }
            const u8_t bgra[4] = {Channel(rgb[2]), Channel(rgb[1]), Channel(rgb[0]), 255};
            writer.WriteBytes(bgra, 4);
        }
    }
    return bytes;
}

bool MakeSkyFromDescription(const std::string& descriptionPath, const std::string& folder, std::string* error)
{
    std::ifstream in(descriptionPath, std::ios::binary);
    if (!in) {
        *error = "cannot read " + descriptionPath;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    SkyDescription description;
    if (!ParseSkyDescription(text.str(), &description, error))
        return false;
    for (const SkyFace& face : description.faces) {
        const std::string path = folder + "/env_" + face.suffix + ".tga";
        const std::string image = FaceImage(description, face);
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ByteFileWriter writer(file);
        writer.WriteBytes(image.data(), image.size());
        const bool closed = file && std::fclose(file) == 0;
        if (!writer.Ok() || !closed) {
            *error = "cannot write " + path;
            return false;
        }
    }
    return true;
}

}  // namespace sky
