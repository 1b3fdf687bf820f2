// Sky-box faces from a plain-text description: each face a gradient of colour stops, running down the
// face (vertical) or out from its centre (radial). Lines:
//   size <edge in pixels>                           (default 64, 1 to 1024)
//   face <suffix> vertical|radial <stop> <stop> ... (a stop: <position 0..1> <red> <green> <blue>, 0..255)
// '#' starts a comment. The suffixes are those the environment maps are loaded by: rt, lf, up, dn, bk,
// fr; a face is written as "env_<suffix>.tga", row 0 at the top (for a side face the sky above).
// Vertical positions run from the top row (0) to the bottom row (1); radial ones from the centre (0)
// to the middle of an edge (1), and the corners take the last stop's colour.
// A whole box (the four sides vertical, with "up" and "dn") has no seams: every face fades, over an
// eighth of its width, into what it meets at its edges. The sides' edge columns take the mean of the
// four sides' rows there, the sides' top rows and the top face's rim the mean of their top rows,
// the sides' bottom rows and the bottom face's rim the mean of their bottom rows.
#pragma once
#include <string>
#include <vector>

namespace sky {

struct ColourStop {
    float position = 0.0f;
    int red = 0, green = 0, blue = 0;
};

struct SkyFace {
    std::string suffix;
    bool radial = false;
    std::vector<ColourStop> stops;  // positions rising
};

struct SkyDescription {
    int size = 64;
    std::vector<SkyFace> faces;
};

// False with a message that names the line when the text is not a description.
bool ParseSkyDescription(const std::string& text, SkyDescription* out, std::string* error);
// The face as an uncompressed 32-bit TGA (opaque, square, as the texture loader takes alpha maps
// from), top row first.
std::string FaceImage(const SkyDescription& description, const SkyFace& face);
// Writes every face as folder/env_<suffix>.tga.
bool MakeSkyFromDescription(const std::string& descriptionPath, const std::string& folder, std::string* error);

}  // namespace sky
