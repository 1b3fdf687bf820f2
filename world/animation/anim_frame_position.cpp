#include "world/animation/anim_frame_position.h"

#include <cmath>

#include "world/animation/anim_mesh.h"

AnimFramePosition AnimFrameAt(const AnimMesh* mesh, float frame)
{
    const u32_t frames = mesh ? mesh->frames_c : 0;
    if (frames < 2 || !std::isfinite(frame))
        return {0, 0, 0.0f};
    // Whole frames cycle through frames - 1 steps, so that index + 1 is always a stored frame.
    const double cycle = static_cast<double>(frames - 1);
    const double whole = std::floor(static_cast<double>(frame));
    double wrapped = std::fmod(whole, cycle);
    if (wrapped < 0.0)
        wrapped += cycle;
    const u32_t index = static_cast<u32_t>(wrapped);
    return {index, index + 1, static_cast<float>(static_cast<double>(frame) - whole)};
}
