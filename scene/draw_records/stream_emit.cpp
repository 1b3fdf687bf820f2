#include "scene/draw_records/stream_emit.h"

#include <cmath>
#include <cstring>

#include "map/terrain/map_grid.h"
#include "platform/d3d8.h"

void MatrixSetIdentity(D3DMATRIX* matrix)
{
    std::memset(matrix, 0, sizeof(*matrix));
    matrix->_11 = matrix->_22 = matrix->_33 = matrix->_44 = 1.0f;
}

float GridSampleBilinear(const MapGrid* grid, float a, float b)
{
    if (!grid || !grid->data || grid->size == 0 || !std::isfinite(a) || !std::isfinite(b))
        return 0.0f;
    const u32_t side = grid->size;
    a += 0.5f / float(side);
    b += 0.5f / float(side);
    // The cell is the whole part wrapped round the side, the weights the parts past it (for
    // coordinates within the grid: the integer part and a - i0, b - j0).
    auto cell = [side](float coordinate) {
        const double whole = std::floor(static_cast<double>(coordinate));
        double wrapped = std::fmod(whole, static_cast<double>(side));
        if (wrapped < 0.0)
            wrapped += static_cast<double>(side);
        const u32_t index = static_cast<u32_t>(wrapped);
        return index < side ? index : 0u;
    };
    const u32_t i0 = cell(a), j0 = cell(b);
    const u32_t i1 = i0 + 1 < side ? i0 + 1 : i0;
    const u32_t j1 = j0 + 1 < side ? j0 + 1 : j0;
    const float fa = a - std::floor(a), fb = b - std::floor(b);
    const u8_t* data = grid->data;
    const float top = float(data[j0 * side + i0]) * (1.0f - fa) + float(data[j0 * side + i1]) * fa;
    const float bottom = float(data[j1 * side + i0]) * (1.0f - fa) + float(data[j1 * side + i1]) * fa;
    return top * (1.0f - fb) + bottom * fb;
}
