// The program key: only state that changes the generated code, normalised so that states the
// program ignores (arguments an operation does not read, stages after the first disabled one)
// do not make new programs.
#include "platform/gl/d3d8_fixed_function.h"
#include "platform/gl/d3d8_fixed_function_bits.h"
#include "platform/gl/d3d8_vertex_format.h"

namespace {

bool ArgumentIsTexture(DWORD argument)
{
    return (argument & D3DTA_SELECTMASK) == D3DTA_TEXTURE;
}

// How many of arg1, arg2, arg0 an operation reads (bit 0 arg1, bit 1 arg2, bit 2 arg0).
unsigned ArgumentsRead(DWORD op)
{
    switch (op) {
        case D3DTOP_DISABLE:
            return 0;
        case D3DTOP_SELECTARG1:
            return 1;
        case D3DTOP_SELECTARG2:
            return 2;
        case D3DTOP_BUMPENVMAP:
        case D3DTOP_BUMPENVMAPLUMINANCE:
            return 0;
        case D3DTOP_MULTIPLYADD:
        case D3DTOP_LERP:
            return 7;
        default:
            return 3;
    }
}

bool OperationReadsTextureAlpha(DWORD op)
{
    return op == D3DTOP_BLENDTEXTUREALPHA || op == D3DTOP_BLENDTEXTUREALPHAPM;
}

DWORD KnownOperation(DWORD op)
{
    return (op >= D3DTOP_DISABLE && op <= D3DTOP_LERP) ? op : D3DTOP_DISABLE;
}

}  // namespace

std::size_t FixedFunctionKeyHash::operator()(const FixedFunctionKey& key) const
{
    // 64-bit FNV-1a over the words of the key.
    std::uint64_t hash = 0xcbf29ce484222325ull;
    auto mix = [&hash](std::uint64_t word) {
        hash ^= word;
        hash *= 0x100000001b3ull;
    };
    mix(key.vertexFormat);
    mix(key.vertexState);
    mix(key.lightTypes);
    mix(key.pixelState);
    for (std::uint64_t stage : key.stages)
        mix(stage);
    return static_cast<std::size_t>(hash ^ (hash >> 32));
}

FixedFunctionKey BuildFixedFunctionKey(const FixedFunctionState& state)
{
    using namespace ffbits;
    const DWORD* rs = state.renderStates;
    FixedFunctionKey key;
    key.vertexFormat = state.fvf & ~D3DFVF_LASTBETA_UBYTE4;

    const bool pretransformed = (state.fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    const bool hasDiffuse = (state.fvf & D3DFVF_DIFFUSE) != 0;
    const bool hasSpecular = (state.fvf & D3DFVF_SPECULAR) != 0;
    const bool lighting = rs[D3DRS_LIGHTING] != 0 && !pretransformed;

    std::uint32_t vertex = 0;
    if (lighting) {
        vertex |= kLighting;
        if (rs[D3DRS_SPECULARENABLE])
            vertex |= kSpecularLighting;
        if (rs[D3DRS_LOCALVIEWER])
            vertex |= kLocalViewer;
        if (rs[D3DRS_NORMALIZENORMALS])
            vertex |= kNormalizeNormals;
        // A vertex colour serves as a material colour only when the vertex has it.
        auto source = [&](D3DRENDERSTATETYPE which) -> std::uint32_t {
            if (!rs[D3DRS_COLORVERTEX])
                return D3DMCS_MATERIAL;
            const DWORD wanted = rs[which];
            if (wanted == D3DMCS_COLOR1 && hasDiffuse)
                return D3DMCS_COLOR1;
            if (wanted == D3DMCS_COLOR2 && hasSpecular)
                return D3DMCS_COLOR2;
            return D3DMCS_MATERIAL;
        };
        vertex |= source(D3DRS_DIFFUSEMATERIALSOURCE) << kDiffuseSourceShift;
        vertex |= source(D3DRS_AMBIENTMATERIALSOURCE) << kAmbientSourceShift;
        vertex |= source(D3DRS_SPECULARMATERIALSOURCE) << kSpecularSourceShift;
        vertex |= source(D3DRS_EMISSIVEMATERIALSOURCE) << kEmissiveSourceShift;
        for (int i = 0; i < 8; ++i)
            key.lightTypes |= static_cast<std::uint32_t>(state.lightTypes[i] & 3) << (2 * i);
    }
    if (rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT)
        vertex |= kFlatShading;
    // User clip planes cut what the device transforms, and only while clipping is on; screen
    // vertices are never clipped.
    if (!pretransformed && rs[D3DRS_CLIPPING])
        vertex |= (rs[D3DRS_CLIPPLANEENABLE] & 0x3Fu) << kClipPlaneShift;

    std::uint32_t pixel = 0;
    if (rs[D3DRS_ALPHATESTENABLE] && rs[D3DRS_ALPHAFUNC] != D3DCMP_ALWAYS && rs[D3DRS_ALPHAFUNC] >= D3DCMP_NEVER &&
        rs[D3DRS_ALPHAFUNC] <= D3DCMP_ALWAYS)
        pixel |= rs[D3DRS_ALPHAFUNC] << kAlphaFuncShift;
    if (rs[D3DRS_SPECULARENABLE])
        pixel |= kSpecularAdd;
    if (rs[D3DRS_FOGENABLE]) {
        const DWORD table = rs[D3DRS_FOGTABLEMODE] & 3;
        const DWORD vertexMode = rs[D3DRS_FOGVERTEXMODE] & 3;
        if (table != D3DFOG_NONE) {
            pixel |= (kFogTable << kFogKindShift) | (table << kFogModeShift);
            if (state.affineProjection)
                pixel |= kFogDeviceDepth;
        } else if (vertexMode != D3DFOG_NONE && !pretransformed) {
            pixel |= (kFogVertex << kFogKindShift) | (vertexMode << kFogModeShift);
            if (rs[D3DRS_RANGEFOGENABLE])
                vertex |= kRangeFog;
        } else {
            pixel |= kFogFromSpecular << kFogKindShift;
        }
    }
    key.vertexState = vertex;
    key.pixelState = pixel;

    for (UINT s = 0; s < D3DMAX_TEXTURE_STAGES; ++s) {
        const DWORD* ts = state.stageStates[s];
        const DWORD colourOp = KnownOperation(ts[D3DTSS_COLOROP]);
        if (colourOp == D3DTOP_DISABLE)
            break;
        const DWORD alphaOp = KnownOperation(ts[D3DTSS_ALPHAOP]);
        const unsigned colourArgs = ArgumentsRead(colourOp);
        const unsigned alphaArgs = ArgumentsRead(alphaOp);
        const DWORD colour1 = (colourArgs & 1) ? ts[D3DTSS_COLORARG1] & kArgMask : 0;
        const DWORD colour2 = (colourArgs & 2) ? ts[D3DTSS_COLORARG2] & kArgMask : 0;
        const DWORD colour0 = (colourArgs & 4) ? ts[D3DTSS_COLORARG0] & kArgMask : 0;
        const DWORD alpha1 = (alphaArgs & 1) ? ts[D3DTSS_ALPHAARG1] & kArgMask : 0;
        const DWORD alpha2 = (alphaArgs & 2) ? ts[D3DTSS_ALPHAARG2] & kArgMask : 0;
        const DWORD alpha0 = (alphaArgs & 4) ? ts[D3DTSS_ALPHAARG0] & kArgMask : 0;

        std::uint64_t bits = 0;
        bits |= std::uint64_t(colourOp) << kColourOpShift;
        bits |= std::uint64_t(colour1) << kColourArg1Shift;
        bits |= std::uint64_t(colour2) << kColourArg2Shift;
        bits |= std::uint64_t(colour0) << kColourArg0Shift;
        bits |= std::uint64_t(alphaOp) << kAlphaOpShift;
        bits |= std::uint64_t(alpha1) << kAlphaArg1Shift;
        bits |= std::uint64_t(alpha2) << kAlphaArg2Shift;
        bits |= std::uint64_t(alpha0) << kAlphaArg0Shift;
        if ((ts[D3DTSS_RESULTARG] & D3DTA_SELECTMASK) == D3DTA_TEMP)
            bits |= kResultTemp;

        const bool samples =
            (colourArgs & 1 && ArgumentIsTexture(colour1)) || (colourArgs & 2 && ArgumentIsTexture(colour2)) ||
            (colourArgs & 4 && ArgumentIsTexture(colour0)) || (alphaArgs & 1 && ArgumentIsTexture(alpha1)) ||
            (alphaArgs & 2 && ArgumentIsTexture(alpha2)) || (alphaArgs & 4 && ArgumentIsTexture(alpha0)) ||
            OperationReadsTextureAlpha(colourOp) || OperationReadsTextureAlpha(alphaOp);
        if (samples) {
            bits |= kStageSamples;
            const std::uint64_t kind = state.textureKinds[s] & 3;
            bits |= kind << kTextureKindShift;
            if (kind != kTextureNone) {
                const DWORD index = ts[D3DTSS_TEXCOORDINDEX];
                bits |= std::uint64_t(index & 7) << kTexCoordSetShift;
                bits |= std::uint64_t((index >> 16) & 3) << kTexCoordGenShift;
                const DWORD flags = ts[D3DTSS_TEXTURETRANSFORMFLAGS];
                const DWORD count = flags & 7;
                if (!pretransformed && count >= D3DTTFF_COUNT1 && count <= D3DTTFF_COUNT4) {
                    bits |= std::uint64_t(count) << kTransformCountShift;
                    if (flags & D3DTTFF_PROJECTED)
                        bits |= kTransformProjected;
                }
            }
        }
        key.stages[s] = bits;
    }
    return key;
}
