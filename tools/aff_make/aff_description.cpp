#include "tools/aff_make/aff_description.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace aff {

namespace {

constexpr u32_t kMaxFrames = 1000;
constexpr size_t kMaxNameLength = 63;

struct Placed {
    enum Kind { Box, Dummy } kind;
    std::string name;
    Vector3 size;
    std::string texture;  // empty: none
    Vector3 first;
    Vector3 last;
};

struct ZoneLine {
    std::string name;
    std::string parent;
    bool inside = false;
    std::vector<Vector3> points;
};

class Parser {
public:
    bool Parse(const std::string& text, AffFile* file, std::string* error)
    {
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            ++m_line;
            const size_t comment = line.find('#');
            if (comment != std::string::npos)
                line.erase(comment);
            std::istringstream wordStream(line);
            m_words.assign(std::istream_iterator<std::string>(wordStream), std::istream_iterator<std::string>());
            if (m_words.empty())
                continue;
            if (!Statement())
                return Fail(error);
        }
        if (m_placed.empty()) {
            m_message = "no box or dummy described";
            m_line = 0;
            return Fail(error);
        }
        Build(file);
        return true;
    }

private:
    bool Fail(std::string* error) const
    {
        if (error)
            *error = m_line > 0 ? "line " + std::to_string(m_line) + ": " + m_message : m_message;
        return false;
    }

    bool Error(const std::string& message)
    {
        m_message = message;
        return false;
    }

    bool Number(size_t index, float* out)
    {
        if (index >= m_words.size())
            return Error("'" + m_words[0] + "' needs more values");
        const char* text = m_words[index].c_str();
        char* end = nullptr;
        const double value = std::strtod(text, &end);
        if (end == text || *end != '\0' || !std::isfinite(value))
            return Error("'" + m_words[index] + "' is not a number");
        *out = static_cast<float>(value);
        return true;
    }

    bool Point(size_t index, Vector3* out)
    {
        return Number(index, &out->x) && Number(index + 1, &out->y) && Number(index + 2, &out->z);
    }

    bool Name(size_t index, std::string* out)
    {
        if (index >= m_words.size())
            return Error("'" + m_words[0] + "' needs a name");
        if (m_words[index].size() > kMaxNameLength)
            return Error("name '" + m_words[index] + "' is longer than 63 characters");
        *out = m_words[index];
        return true;
    }

    bool Statement()
    {
        const std::string& keyword = m_words[0];
        if (keyword == "frames")
            return Frames();
        if (keyword == "box" || keyword == "dummy")
            return Mesh(keyword == "box" ? Placed::Box : Placed::Dummy);
        if (keyword == "zone")
            return Zone();
        return Error("unknown statement '" + keyword + "'");
    }

    bool Frames()
    {
        if (m_frameCount)
            return Error("'frames' given twice");
        if (!m_placed.empty())
            return Error("'frames' must come before the boxes and dummies");
        if (m_words.size() != 2 && m_words.size() != 3)
            return Error("'frames' takes a count and an optional rate");
        float count = 0.0f;
        if (!Number(1, &count))
            return false;
        if (count < 1.0f || count > static_cast<float>(kMaxFrames) || count != std::floor(count))
            return Error("the frame count must be a whole number from 1 to 1000");
        if (m_words.size() == 3) {
            if (!Number(2, &m_rate))
                return false;
            if (!(m_rate > 0.0f))
                return Error("the frame rate must be above 0");
        }
        m_frameCount = static_cast<u32_t>(count);
        return true;
    }

    bool Mesh(Placed::Kind kind)
    {
        if (!m_frameCount)
            return Error("'frames' must come before the boxes and dummies");
        Placed placed{kind, {}, {}, {}, {}, {}};
        if (!Name(1, &placed.name))
            return false;
        for (const Placed& other : m_placed) {
            if (other.name == placed.name)
                return Error("'" + placed.name + "' is described twice");
        }
        size_t next = 2;
        if (kind == Placed::Box) {
            if (!Point(2, &placed.size))
                return false;
            if (!(placed.size.x > 0.0f && placed.size.y > 0.0f && placed.size.z > 0.0f))
                return Error("the sizes of box '" + placed.name + "' must be above 0");
            if (m_words.size() <= 5)
                return Error("box '" + placed.name + "' needs a texture name or none");
            if (m_words[5] != "none")
                placed.texture = m_words[5];
            next = 6;
        }
        const size_t values = m_words.size() - next;
        if (values != 3 && values != 6)
            return Error("'" + placed.name + "' needs a first placement and an optional last one (3 or 6 numbers)");
        if (!Point(next, &placed.first))
            return false;
        placed.last = placed.first;
        if (values == 6 && !Point(next + 3, &placed.last))
            return false;
        m_placed.push_back(placed);
        return true;
    }

    bool Zone()
    {
        ZoneLine zone;
        if (!Name(1, &zone.name))
            return false;
        size_t next = 2;
        if (next < m_words.size() && m_words[next] == "parent") {
            if (!Name(next + 1, &zone.parent))
                return false;
            if (FindZone(zone.parent) < 0)
                return Error("zone '" + zone.parent + "' is not described before '" + zone.name + "'");
            next += 2;
        }
        if (next < m_words.size() && m_words[next] == "inside") {
            zone.inside = true;
            ++next;
        }
        const bool crossName = zone.name.find("cross") != std::string::npos;
        if (crossName && !zone.inside)
            return Error("zone '" + zone.name + "' has \"cross\" in its name but is not inside");
        if (zone.inside && !crossName)
            zone.name += "_cross";
        if (FindZone(zone.name) >= 0)
            return Error("zone '" + zone.name + "' is described twice");
        const size_t values = m_words.size() - next;
        if (values == 0 || values % 3 != 0)
            return Error("zone '" + zone.name + "' needs points of 3 numbers each");
        if (values / 3 > 0xFFFF)
            return Error("zone '" + zone.name + "' has too many points");
        for (size_t i = next; i < m_words.size(); i += 3) {
            Vector3 point;
            if (!Point(i, &point))
                return false;
            zone.points.push_back(point);
        }
        m_zones.push_back(zone);
        return true;
    }

    s32_t FindZone(const std::string& name) const
    {
        for (size_t i = 0; i < m_zones.size(); ++i) {
            if (m_zones[i].name == name)
                return static_cast<s32_t>(i);
        }
        return -1;
    }

    Vector3 At(const Placed& placed, u32_t frame) const
    {
        const float t = m_frameCount > 1 ? static_cast<float>(frame) / static_cast<float>(m_frameCount - 1) : 0.0f;
        return {placed.first.x + (placed.last.x - placed.first.x) * t,
                placed.first.y + (placed.last.y - placed.first.y) * t,
                placed.first.z + (placed.last.z - placed.first.z) * t};
    }

    static void AddBoxFace(aff::Mesh& mesh, const Vector3& centre, const Vector3& half, int axis, float sign)
    {
        // The face's normal n and two tangents u, v with u x v = n. The corners are laid out
        // (-u-v), (+u-v), (+u+v), (-u+v); the triangles take them in the reverse order, so that seen
        // from the front they wind counter-clockwise, as the game's meshes do: the mesh passes cull
        // clockwise faces and the ray, sphere and shadow tests take the same side as front.
        Vector3 n{}, u{}, v{};
        const int a = (axis + 1) % 3;
        const int b = (axis + 2) % 3;
        float* pn = &n.x;
        float* pu = &u.x;
        float* pv = &v.x;
        pn[axis] = sign;
        if (sign > 0.0f) {
            pu[a] = 1.0f;
            pv[b] = 1.0f;
        } else {
            pu[b] = 1.0f;
            pv[a] = 1.0f;
        }
        const float* h = &half.x;
        const u16_t base = static_cast<u16_t>(mesh.positions.size());
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        const float uv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
        for (int c = 0; c < 4; ++c) {
            Vector3 p = centre;
            float* pp = &p.x;
            for (int k = 0; k < 3; ++k)
                pp[k] += pn[k] * h[k] + pu[k] * corners[c][0] * h[k] + pv[k] * corners[c][1] * h[k];
            mesh.positions.push_back(p);
            mesh.normals.push_back(
                {static_cast<s8_t>(pn[0] * 127), static_cast<s8_t>(pn[1] * 127), static_cast<s8_t>(pn[2] * 127)});
            mesh.uvs.push_back({uv[c][0], uv[c][1]});
        }
        for (u16_t i : {0, 2, 1, 0, 3, 2})
            mesh.indices.push_back(static_cast<u16_t>(base + i));
    }

    aff::Mesh MakeMesh(const Placed& placed, u32_t nameIndex, u32_t frame, u32_t meshIndex) const
    {
        aff::Mesh mesh;
        mesh.name = nameIndex;
        const Vector3 at = At(placed, frame);
        if (placed.kind == Placed::Box) {
            const Vector3 half{placed.size.x * 0.5f, placed.size.y * 0.5f, placed.size.z * 0.5f};
            for (int axis = 0; axis < 3; ++axis) {
                AddBoxFace(mesh, at, half, axis, 1.0f);
                AddBoxFace(mesh, at, half, axis, -1.0f);
            }
            mesh.material.textureWord = placed.texture.empty() ? 0xFFFFu : TextureIndex(placed.texture);
        } else {
            mesh = aff::TriangleMesh(nameIndex, at, {at.x, at.y, at.z + 2.0f}, {at.x + 1.0f, at.y, at.z});
        }
        if (frame > 0) {
            // What does not move is kept once, in the first frame.
            const s32_t first = AnimRef(0, meshIndex);
            mesh.materialRef = first;
            mesh.texCoordRef = first;
            mesh.faceRef = first;
            const Vector3 start = At(placed, 0);
            if (at.x == start.x && at.y == start.y && at.z == start.z)
                mesh.vertexRef = first;
        }
        return mesh;
    }

    static s32_t AnimRef(u32_t frame, u32_t mesh) { return static_cast<s32_t>((frame << 16) | (mesh & 0xFFFF)); }

    u32_t TextureIndex(const std::string& name) const
    {
        for (size_t i = 0; i < m_textures.size(); ++i) {
            if (m_textures[i] == name)
                return static_cast<u32_t>(i);
        }
        return 0xFFFFu;
    }

    void Build(AffFile* file)
    {
        for (const Placed& placed : m_placed) {
            if (!placed.texture.empty() && TextureIndex(placed.texture) == 0xFFFFu)
                m_textures.push_back(placed.texture);
        }
        *file = AffFile();
        file->frameRate = m_rate;
        file->textures = m_textures;
        for (const Placed& placed : m_placed)
            file->strings.push_back(placed.name);
        for (u32_t frame = 0; frame < m_frameCount; ++frame) {
            aff::Frame out;
            for (u32_t m = 0; m < m_placed.size(); ++m)
                out.meshes.push_back(MakeMesh(m_placed[m], m, frame, m));
            file->frames.push_back(std::move(out));
        }
        if (!m_zones.empty()) {
            std::vector<aff::Zone> zones;
            for (const ZoneLine& line : m_zones) {
                aff::Zone zone;
                zone.name = line.name;
                zone.parent = line.parent.empty() ? -1 : FindZone(line.parent);
                // The file keeps the points with their second and third components swapped.
                for (const Vector3& p : line.points)
                    zone.points.push_back({p.x, p.z, p.y});
                zones.push_back(zone);
            }
            file->zones = zones;
        }
    }

    std::vector<std::string> m_words;
    int m_line = 0;
    std::string m_message;
    u32_t m_frameCount = 0;
    float m_rate = 25.0f;
    std::vector<Placed> m_placed;
    std::vector<ZoneLine> m_zones;
    std::vector<std::string> m_textures;
};

}  // namespace

bool ParseAffDescription(const std::string& text, AffFile* file, std::string* error)
{
    Parser parser;
    return parser.Parse(text, file, error);
}

bool MakeAffFromDescription(const std::string& descriptionPath, const std::string& outputPath, std::string* error)
{
    std::ifstream in(descriptionPath, std::ios::binary);
    if (!in) {
        if (error)
            *error = "cannot read " + descriptionPath;
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    AffFile file;
    std::string message;
    if (!ParseAffDescription(text, &file, &message)) {
        if (error)
            *error = descriptionPath + ": " + message;
        return false;
    }
    if (!WriteAff(outputPath, file)) {
        if (error)
            *error = "cannot write " + outputPath;
        return false;
    }
    return true;
}

}  // namespace aff
