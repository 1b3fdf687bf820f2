// Our stand-in for the Direct3D 8 vocabulary the engine is written in: types, constants and the
// interfaces of the Direct3D object, the device and its resources. The implementation draws with
// OpenGL (platform/gl/); only what the engine calls is declared.
#pragma once
#include "platform/win32.h"

using FLOAT = float;
using D3DCOLOR = DWORD;
using ULONG = unsigned long;

constexpr UINT D3D_SDK_VERSION = 220;

// Results.
constexpr HRESULT D3D_OK = 0;
constexpr HRESULT D3DERR_WRONGTEXTUREFORMAT = static_cast<HRESULT>(0x88760818u);
constexpr HRESULT D3DERR_DRIVERINTERNALERROR = static_cast<HRESULT>(0x88760827u);
constexpr HRESULT D3DERR_NOTFOUND = static_cast<HRESULT>(0x88760866u);
constexpr HRESULT D3DERR_MOREDATA = static_cast<HRESULT>(0x88760867u);
constexpr HRESULT D3DERR_DEVICELOST = static_cast<HRESULT>(0x88760868u);
constexpr HRESULT D3DERR_DEVICENOTRESET = static_cast<HRESULT>(0x88760869u);
constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x8876086Au);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = static_cast<HRESULT>(0x8876017Cu);
constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086Cu);

constexpr DWORD MakeFourCC(char a, char b, char c, char d)
{
    return static_cast<DWORD>(static_cast<BYTE>(a)) | (static_cast<DWORD>(static_cast<BYTE>(b)) << 8) |
           (static_cast<DWORD>(static_cast<BYTE>(c)) << 16) | (static_cast<DWORD>(static_cast<BYTE>(d)) << 24);
}

enum D3DFORMAT : std::uint32_t {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8 = 20,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_R5G6B5 = 23,
    D3DFMT_X1R5G5B5 = 24,
    D3DFMT_A1R5G5B5 = 25,
    D3DFMT_A4R4G4B4 = 26,
    D3DFMT_R3G3B2 = 27,
    D3DFMT_A8 = 28,
    D3DFMT_A8R3G3B2 = 29,
    D3DFMT_X4R4G4B4 = 30,
    D3DFMT_A2B10G10R10 = 31,
    D3DFMT_G16R16 = 34,
    D3DFMT_A8P8 = 40,
    D3DFMT_P8 = 41,
    D3DFMT_L8 = 50,
    D3DFMT_A8L8 = 51,
    D3DFMT_A4L4 = 52,
    D3DFMT_V8U8 = 60,
    D3DFMT_L6V5U5 = 61,
    D3DFMT_X8L8V8U8 = 62,
    D3DFMT_Q8W8V8U8 = 63,
    D3DFMT_V16U16 = 64,
    D3DFMT_W11V11U10 = 65,
    D3DFMT_D16_LOCKABLE = 70,
    D3DFMT_D32 = 71,
    D3DFMT_D15S1 = 73,
    D3DFMT_D24S8 = 75,
    D3DFMT_D24X8 = 77,
    D3DFMT_D24X4S4 = 79,
    D3DFMT_D16 = 80,
    D3DFMT_VERTEXDATA = 100,
    D3DFMT_INDEX16 = 101,
    D3DFMT_INDEX32 = 102,
    D3DFMT_DXT1 = MakeFourCC('D', 'X', 'T', '1'),
    D3DFMT_DXT2 = MakeFourCC('D', 'X', 'T', '2'),
    D3DFMT_DXT3 = MakeFourCC('D', 'X', 'T', '3'),
    D3DFMT_DXT4 = MakeFourCC('D', 'X', 'T', '4'),
    D3DFMT_DXT5 = MakeFourCC('D', 'X', 'T', '5'),
};

enum D3DDEVTYPE : std::uint32_t { D3DDEVTYPE_HAL = 1, D3DDEVTYPE_REF = 2, D3DDEVTYPE_SW = 3 };
enum D3DMULTISAMPLE_TYPE : std::uint32_t { D3DMULTISAMPLE_NONE = 0 };
enum D3DSWAPEFFECT : std::uint32_t {
    D3DSWAPEFFECT_DISCARD = 1,
    D3DSWAPEFFECT_FLIP = 2,
    D3DSWAPEFFECT_COPY = 3,
    D3DSWAPEFFECT_COPY_VSYNC = 4,
};
enum D3DPOOL : std::uint32_t { D3DPOOL_DEFAULT = 0, D3DPOOL_MANAGED = 1, D3DPOOL_SYSTEMMEM = 2, D3DPOOL_SCRATCH = 3 };
enum D3DRESOURCETYPE : std::uint32_t {
    D3DRTYPE_SURFACE = 1,
    D3DRTYPE_VOLUME = 2,
    D3DRTYPE_TEXTURE = 3,
    D3DRTYPE_VOLUMETEXTURE = 4,
    D3DRTYPE_CUBETEXTURE = 5,
    D3DRTYPE_VERTEXBUFFER = 6,
    D3DRTYPE_INDEXBUFFER = 7,
};
enum D3DCUBEMAP_FACES : std::uint32_t {
    D3DCUBEMAP_FACE_POSITIVE_X = 0,
    D3DCUBEMAP_FACE_NEGATIVE_X = 1,
    D3DCUBEMAP_FACE_POSITIVE_Y = 2,
    D3DCUBEMAP_FACE_NEGATIVE_Y = 3,
    D3DCUBEMAP_FACE_POSITIVE_Z = 4,
    D3DCUBEMAP_FACE_NEGATIVE_Z = 5,
};
enum D3DBACKBUFFER_TYPE : std::uint32_t { D3DBACKBUFFER_TYPE_MONO = 0 };

// Device creation flags.
constexpr DWORD D3DCREATE_FPU_PRESERVE = 0x02;
constexpr DWORD D3DCREATE_MULTITHREADED = 0x04;
constexpr DWORD D3DCREATE_PUREDEVICE = 0x10;
constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;
constexpr DWORD D3DCREATE_MIXED_VERTEXPROCESSING = 0x80;
constexpr UINT D3DADAPTER_DEFAULT = 0;
constexpr DWORD D3DENUM_NO_WHQL_LEVEL = 0x02;

constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0;
constexpr UINT D3DPRESENT_INTERVAL_ONE = 1;
constexpr UINT D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u;
constexpr UINT D3DPRESENT_RATE_DEFAULT = 0;

// Resource usage and lock flags.
constexpr DWORD D3DUSAGE_RENDERTARGET = 0x001;
constexpr DWORD D3DUSAGE_DEPTHSTENCIL = 0x002;
constexpr DWORD D3DUSAGE_WRITEONLY = 0x008;
constexpr DWORD D3DUSAGE_SOFTWAREPROCESSING = 0x010;
constexpr DWORD D3DUSAGE_DONOTCLIP = 0x020;
constexpr DWORD D3DUSAGE_POINTS = 0x040;
constexpr DWORD D3DUSAGE_DYNAMIC = 0x200;
constexpr DWORD D3DLOCK_READONLY = 0x0010;
constexpr DWORD D3DLOCK_NOSYSLOCK = 0x0800;
constexpr DWORD D3DLOCK_NOOVERWRITE = 0x1000;
constexpr DWORD D3DLOCK_DISCARD = 0x2000;
constexpr DWORD D3DLOCK_NO_DIRTY_UPDATE = 0x8000;

constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;
constexpr DWORD D3DCLEAR_STENCIL = 0x4;

// Flexible vertex format.
constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_XYZRHW = 0x004;
constexpr DWORD D3DFVF_XYZB1 = 0x006;
constexpr DWORD D3DFVF_XYZB2 = 0x008;
constexpr DWORD D3DFVF_XYZB3 = 0x00A;
constexpr DWORD D3DFVF_XYZB4 = 0x00C;
constexpr DWORD D3DFVF_XYZB5 = 0x00E;
constexpr DWORD D3DFVF_POSITION_MASK = 0x00E;
constexpr DWORD D3DFVF_NORMAL = 0x010;
constexpr DWORD D3DFVF_PSIZE = 0x020;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_SPECULAR = 0x080;
constexpr DWORD D3DFVF_TEXCOUNT_MASK = 0xF00;
constexpr DWORD D3DFVF_TEXCOUNT_SHIFT = 8;
constexpr DWORD D3DFVF_TEX0 = 0x000;
constexpr DWORD D3DFVF_TEX1 = 0x100;
constexpr DWORD D3DFVF_TEX2 = 0x200;
constexpr DWORD D3DFVF_TEX3 = 0x300;
constexpr DWORD D3DFVF_TEX4 = 0x400;
constexpr DWORD D3DFVF_TEX5 = 0x500;
constexpr DWORD D3DFVF_TEX6 = 0x600;
constexpr DWORD D3DFVF_TEX7 = 0x700;
constexpr DWORD D3DFVF_TEX8 = 0x800;
constexpr DWORD D3DFVF_LASTBETA_UBYTE4 = 0x1000;
constexpr DWORD D3DFVF_TEXTUREFORMAT1 = 3;
constexpr DWORD D3DFVF_TEXTUREFORMAT2 = 0;
constexpr DWORD D3DFVF_TEXTUREFORMAT3 = 1;
constexpr DWORD D3DFVF_TEXTUREFORMAT4 = 2;
constexpr DWORD D3DFVF_TEXCOORDSIZE1(int index)
{
    return D3DFVF_TEXTUREFORMAT1 << (index * 2 + 16);
}
constexpr DWORD D3DFVF_TEXCOORDSIZE2(int)
{
    return D3DFVF_TEXTUREFORMAT2;
}
constexpr DWORD D3DFVF_TEXCOORDSIZE3(int index)
{
    return D3DFVF_TEXTUREFORMAT3 << (index * 2 + 16);
}
constexpr DWORD D3DFVF_TEXCOORDSIZE4(int index)
{
    return D3DFVF_TEXTUREFORMAT4 << (index * 2 + 16);
}

enum D3DPRIMITIVETYPE : std::uint32_t {
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST = 2,
    D3DPT_LINESTRIP = 3,
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
    D3DPT_TRIANGLEFAN = 6,
};

enum D3DTRANSFORMSTATETYPE : std::uint32_t {
    D3DTS_VIEW = 2,
    D3DTS_PROJECTION = 3,
    D3DTS_TEXTURE0 = 16,
    D3DTS_TEXTURE1 = 17,
    D3DTS_TEXTURE2 = 18,
    D3DTS_TEXTURE3 = 19,
    D3DTS_TEXTURE4 = 20,
    D3DTS_TEXTURE5 = 21,
    D3DTS_TEXTURE6 = 22,
    D3DTS_TEXTURE7 = 23,
    D3DTS_WORLD = 256,
};

enum D3DRENDERSTATETYPE : std::uint32_t {
    D3DRS_ZENABLE = 7,
    D3DRS_FILLMODE = 8,
    D3DRS_SHADEMODE = 9,
    D3DRS_LINEPATTERN = 10,
    D3DRS_ZWRITEENABLE = 14,
    D3DRS_ALPHATESTENABLE = 15,
    D3DRS_LASTPIXEL = 16,
    D3DRS_SRCBLEND = 19,
    D3DRS_DESTBLEND = 20,
    D3DRS_CULLMODE = 22,
    D3DRS_ZFUNC = 23,
    D3DRS_ALPHAREF = 24,
    D3DRS_ALPHAFUNC = 25,
    D3DRS_DITHERENABLE = 26,
    D3DRS_ALPHABLENDENABLE = 27,
    D3DRS_FOGENABLE = 28,
    D3DRS_SPECULARENABLE = 29,
    D3DRS_ZVISIBLE = 30,
    D3DRS_FOGCOLOR = 34,
    D3DRS_FOGTABLEMODE = 35,
    D3DRS_FOGSTART = 36,
    D3DRS_FOGEND = 37,
    D3DRS_FOGDENSITY = 38,
    D3DRS_EDGEANTIALIAS = 40,
    D3DRS_ZBIAS = 47,
    D3DRS_RANGEFOGENABLE = 48,
    D3DRS_STENCILENABLE = 52,
    D3DRS_STENCILFAIL = 53,
    D3DRS_STENCILZFAIL = 54,
    D3DRS_STENCILPASS = 55,
    D3DRS_STENCILFUNC = 56,
    D3DRS_STENCILREF = 57,
    D3DRS_STENCILMASK = 58,
    D3DRS_STENCILWRITEMASK = 59,
    D3DRS_TEXTUREFACTOR = 60,
    D3DRS_WRAP0 = 128,
    D3DRS_WRAP7 = 135,
    D3DRS_CLIPPING = 136,
    D3DRS_LIGHTING = 137,
    D3DRS_AMBIENT = 139,
    D3DRS_FOGVERTEXMODE = 140,
    D3DRS_COLORVERTEX = 141,
    D3DRS_LOCALVIEWER = 142,
    D3DRS_NORMALIZENORMALS = 143,
    D3DRS_DIFFUSEMATERIALSOURCE = 145,
    D3DRS_SPECULARMATERIALSOURCE = 146,
    D3DRS_AMBIENTMATERIALSOURCE = 147,
    D3DRS_EMISSIVEMATERIALSOURCE = 148,
    D3DRS_VERTEXBLEND = 151,
    D3DRS_CLIPPLANEENABLE = 152,
    D3DRS_SOFTWAREVERTEXPROCESSING = 153,
    D3DRS_POINTSIZE = 154,
    D3DRS_POINTSIZE_MIN = 155,
    D3DRS_POINTSPRITEENABLE = 156,
    D3DRS_POINTSCALEENABLE = 157,
    D3DRS_POINTSCALE_A = 158,
    D3DRS_POINTSCALE_B = 159,
    D3DRS_POINTSCALE_C = 160,
    D3DRS_MULTISAMPLEANTIALIAS = 161,
    D3DRS_MULTISAMPLEMASK = 162,
    D3DRS_PATCHEDGESTYLE = 163,
    D3DRS_PATCHSEGMENTS = 164,
    D3DRS_DEBUGMONITORTOKEN = 165,
    D3DRS_POINTSIZE_MAX = 166,
    D3DRS_INDEXEDVERTEXBLENDENABLE = 167,
    D3DRS_COLORWRITEENABLE = 168,
    D3DRS_TWEENFACTOR = 170,
    D3DRS_BLENDOP = 171,
    D3DRS_POSITIONORDER = 172,
    D3DRS_NORMALORDER = 173,
};
// One past the highest render-state id the device keeps.
constexpr UINT D3DRS_COUNT = 174;
// D3DRS_CLIPPLANEENABLE bits: plane i cuts away the points where a.x + b.y + c.z + d.w < 0.
constexpr DWORD D3DCLIPPLANE0 = 1u << 0;
constexpr DWORD D3DCLIPPLANE1 = 1u << 1;
constexpr DWORD D3DCLIPPLANE2 = 1u << 2;
constexpr DWORD D3DCLIPPLANE3 = 1u << 3;
constexpr DWORD D3DCLIPPLANE4 = 1u << 4;
constexpr DWORD D3DCLIPPLANE5 = 1u << 5;

enum D3DTEXTURESTAGESTATETYPE : std::uint32_t {
    D3DTSS_COLOROP = 1,
    D3DTSS_COLORARG1 = 2,
    D3DTSS_COLORARG2 = 3,
    D3DTSS_ALPHAOP = 4,
    D3DTSS_ALPHAARG1 = 5,
    D3DTSS_ALPHAARG2 = 6,
    D3DTSS_BUMPENVMAT00 = 7,
    D3DTSS_BUMPENVMAT01 = 8,
    D3DTSS_BUMPENVMAT10 = 9,
    D3DTSS_BUMPENVMAT11 = 10,
    D3DTSS_TEXCOORDINDEX = 11,
    D3DTSS_ADDRESSU = 13,
    D3DTSS_ADDRESSV = 14,
    D3DTSS_BORDERCOLOR = 15,
    D3DTSS_MAGFILTER = 16,
    D3DTSS_MINFILTER = 17,
    D3DTSS_MIPFILTER = 18,
    D3DTSS_MIPMAPLODBIAS = 19,
    D3DTSS_MAXMIPLEVEL = 20,
    D3DTSS_MAXANISOTROPY = 21,
    D3DTSS_BUMPENVLSCALE = 22,
    D3DTSS_BUMPENVLOFFSET = 23,
    D3DTSS_TEXTURETRANSFORMFLAGS = 24,
    D3DTSS_ADDRESSW = 25,
    D3DTSS_COLORARG0 = 26,
    D3DTSS_ALPHAARG0 = 27,
    D3DTSS_RESULTARG = 28,
};
constexpr UINT D3DTSS_COUNT = 29;  // one past the highest stage-state type
constexpr UINT D3DMAX_TEXTURE_STAGES = 8;

// Texture coordinate index: the low word picks the vertex's coordinate set, the high word a generator.
constexpr DWORD D3DTSS_TCI_PASSTHRU = 0x00000;
constexpr DWORD D3DTSS_TCI_CAMERASPACENORMAL = 0x10000;
constexpr DWORD D3DTSS_TCI_CAMERASPACEPOSITION = 0x20000;
constexpr DWORD D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR = 0x30000;

enum D3DTEXTUREOP : std::uint32_t {
    D3DTOP_DISABLE = 1,
    D3DTOP_SELECTARG1 = 2,
    D3DTOP_SELECTARG2 = 3,
    D3DTOP_MODULATE = 4,
    D3DTOP_MODULATE2X = 5,
    D3DTOP_MODULATE4X = 6,
    D3DTOP_ADD = 7,
    D3DTOP_ADDSIGNED = 8,
    D3DTOP_ADDSIGNED2X = 9,
    D3DTOP_SUBTRACT = 10,
    D3DTOP_ADDSMOOTH = 11,
    D3DTOP_BLENDDIFFUSEALPHA = 12,
    D3DTOP_BLENDTEXTUREALPHA = 13,
    D3DTOP_BLENDFACTORALPHA = 14,
    D3DTOP_BLENDTEXTUREALPHAPM = 15,
    D3DTOP_BLENDCURRENTALPHA = 16,
    D3DTOP_PREMODULATE = 17,
    D3DTOP_MODULATEALPHA_ADDCOLOR = 18,
    D3DTOP_MODULATECOLOR_ADDALPHA = 19,
    D3DTOP_MODULATEINVALPHA_ADDCOLOR = 20,
    D3DTOP_MODULATEINVCOLOR_ADDALPHA = 21,
    D3DTOP_BUMPENVMAP = 22,
    D3DTOP_BUMPENVMAPLUMINANCE = 23,
    D3DTOP_DOTPRODUCT3 = 24,
    D3DTOP_MULTIPLYADD = 25,
    D3DTOP_LERP = 26,
};

// Texture arguments.
constexpr DWORD D3DTA_SELECTMASK = 0x0F;
constexpr DWORD D3DTA_DIFFUSE = 0x00;
constexpr DWORD D3DTA_CURRENT = 0x01;
constexpr DWORD D3DTA_TEXTURE = 0x02;
constexpr DWORD D3DTA_TFACTOR = 0x03;
constexpr DWORD D3DTA_SPECULAR = 0x04;
constexpr DWORD D3DTA_TEMP = 0x05;
constexpr DWORD D3DTA_COMPLEMENT = 0x10;
constexpr DWORD D3DTA_ALPHAREPLICATE = 0x20;

enum D3DTEXTUREFILTERTYPE : std::uint32_t {
    D3DTEXF_NONE = 0,
    D3DTEXF_POINT = 1,
    D3DTEXF_LINEAR = 2,
    D3DTEXF_ANISOTROPIC = 3,
    D3DTEXF_FLATCUBIC = 4,
    D3DTEXF_GAUSSIANCUBIC = 5,
};
enum D3DTEXTUREADDRESS : std::uint32_t {
    D3DTADDRESS_WRAP = 1,
    D3DTADDRESS_MIRROR = 2,
    D3DTADDRESS_CLAMP = 3,
    D3DTADDRESS_BORDER = 4,
    D3DTADDRESS_MIRRORONCE = 5,
};
enum D3DTEXTURETRANSFORMFLAGS : std::uint32_t {
    D3DTTFF_DISABLE = 0,
    D3DTTFF_COUNT1 = 1,
    D3DTTFF_COUNT2 = 2,
    D3DTTFF_COUNT3 = 3,
    D3DTTFF_COUNT4 = 4,
    D3DTTFF_PROJECTED = 256,
};
enum D3DBLEND : std::uint32_t {
    D3DBLEND_ZERO = 1,
    D3DBLEND_ONE = 2,
    D3DBLEND_SRCCOLOR = 3,
    D3DBLEND_INVSRCCOLOR = 4,
    D3DBLEND_SRCALPHA = 5,
    D3DBLEND_INVSRCALPHA = 6,
    D3DBLEND_DESTALPHA = 7,
    D3DBLEND_INVDESTALPHA = 8,
    D3DBLEND_DESTCOLOR = 9,
    D3DBLEND_INVDESTCOLOR = 10,
    D3DBLEND_SRCALPHASAT = 11,
    D3DBLEND_BOTHSRCALPHA = 12,
    D3DBLEND_BOTHINVSRCALPHA = 13,
};
enum D3DBLENDOP : std::uint32_t {
    D3DBLENDOP_ADD = 1,
    D3DBLENDOP_SUBTRACT = 2,
    D3DBLENDOP_REVSUBTRACT = 3,
    D3DBLENDOP_MIN = 4,
    D3DBLENDOP_MAX = 5,
};
enum D3DCMPFUNC : std::uint32_t {
    D3DCMP_NEVER = 1,
    D3DCMP_LESS = 2,
    D3DCMP_EQUAL = 3,
    D3DCMP_LESSEQUAL = 4,
    D3DCMP_GREATER = 5,
    D3DCMP_NOTEQUAL = 6,
    D3DCMP_GREATEREQUAL = 7,
    D3DCMP_ALWAYS = 8,
};
enum D3DSTENCILOP : std::uint32_t {
    D3DSTENCILOP_KEEP = 1,
    D3DSTENCILOP_ZERO = 2,
    D3DSTENCILOP_REPLACE = 3,
    D3DSTENCILOP_INCRSAT = 4,
    D3DSTENCILOP_DECRSAT = 5,
    D3DSTENCILOP_INVERT = 6,
    D3DSTENCILOP_INCR = 7,
    D3DSTENCILOP_DECR = 8,
};
enum D3DCULL : std::uint32_t { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };
enum D3DFILLMODE : std::uint32_t { D3DFILL_POINT = 1, D3DFILL_WIREFRAME = 2, D3DFILL_SOLID = 3 };
enum D3DSHADEMODE : std::uint32_t { D3DSHADE_FLAT = 1, D3DSHADE_GOURAUD = 2, D3DSHADE_PHONG = 3 };
enum D3DFOGMODE : std::uint32_t { D3DFOG_NONE = 0, D3DFOG_EXP = 1, D3DFOG_EXP2 = 2, D3DFOG_LINEAR = 3 };
enum D3DZBUFFERTYPE : std::uint32_t { D3DZB_FALSE = 0, D3DZB_TRUE = 1, D3DZB_USEW = 2 };
enum D3DMATERIALCOLORSOURCE : std::uint32_t { D3DMCS_MATERIAL = 0, D3DMCS_COLOR1 = 1, D3DMCS_COLOR2 = 2 };
enum D3DLIGHTTYPE : std::uint32_t { D3DLIGHT_POINT = 1, D3DLIGHT_SPOT = 2, D3DLIGHT_DIRECTIONAL = 3 };
enum D3DVERTEXBLENDFLAGS : std::uint32_t { D3DVBF_DISABLE = 0 };

constexpr DWORD D3DCOLORWRITEENABLE_RED = 1;
constexpr DWORD D3DCOLORWRITEENABLE_GREEN = 2;
constexpr DWORD D3DCOLORWRITEENABLE_BLUE = 4;
constexpr DWORD D3DCOLORWRITEENABLE_ALPHA = 8;

constexpr D3DCOLOR D3DCOLOR_ARGB(DWORD a, DWORD r, DWORD g, DWORD b)
{
    return ((a & 0xFF) << 24) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}
constexpr D3DCOLOR D3DCOLOR_XRGB(DWORD r, DWORD g, DWORD b)
{
    return D3DCOLOR_ARGB(0xFF, r, g, b);
}

// Records.
struct D3DVECTOR {
    float x, y, z;
};
struct D3DCOLORVALUE {
    float r, g, b, a;
};
struct D3DMATRIX {
    union {
        struct {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };
};
struct D3DRECT {
    LONG x1, y1, x2, y2;
};
struct D3DVIEWPORT8 {
    DWORD X, Y, Width, Height;
    float MinZ, MaxZ;
};
struct D3DMATERIAL8 {
    D3DCOLORVALUE Diffuse, Ambient, Specular, Emissive;
    float Power;
};
struct D3DLIGHT8 {
    D3DLIGHTTYPE Type;
    D3DCOLORVALUE Diffuse, Specular, Ambient;
    D3DVECTOR Position, Direction;
    float Range, Falloff, Attenuation0, Attenuation1, Attenuation2, Theta, Phi;
};
struct D3DDISPLAYMODE {
    UINT Width, Height, RefreshRate;
    D3DFORMAT Format;
};
struct D3DPRESENT_PARAMETERS {
    UINT BackBufferWidth, BackBufferHeight;
    D3DFORMAT BackBufferFormat;
    UINT BackBufferCount;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    D3DSWAPEFFECT SwapEffect;
    HWND hDeviceWindow;
    BOOL Windowed;
    BOOL EnableAutoDepthStencil;
    D3DFORMAT AutoDepthStencilFormat;
    DWORD Flags;
    UINT FullScreen_RefreshRateInHz;
    UINT FullScreen_PresentationInterval;
};
struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2, Data3;
    std::uint8_t Data4[8];
};
using REFGUID = const GUID&;
struct D3DADAPTER_IDENTIFIER8 {
    char Driver[512];
    char Description[512];
    // The driver version: product and version in the high part, sub-version and build in the low part.
    std::uint32_t DriverVersionLowPart;
    std::int32_t DriverVersionHighPart;
    DWORD VendorId, DeviceId, SubSysId, Revision;
    GUID DeviceIdentifier;
    DWORD WHQLLevel;
};
// The capabilities the engine reads.
struct D3DCAPS8 {
    D3DDEVTYPE DeviceType;
    UINT AdapterOrdinal;
    DWORD MaxTextureWidth, MaxTextureHeight;
    DWORD MaxTextureBlendStages, MaxSimultaneousTextures;
    DWORD MaxActiveLights, MaxUserClipPlanes;
    DWORD MaxPrimitiveCount, MaxVertexIndex, MaxStreams;
    float MaxPointSize;
    DWORD MaxAnisotropy;
    DWORD VertexShaderVersion, MaxVertexShaderConst;
    DWORD PixelShaderVersion;
    float MaxPixelShaderValue;
};
constexpr DWORD D3DVS_VERSION(DWORD major, DWORD minor)
{
    return 0xFFFE0000u | (major << 8) | minor;
}
constexpr DWORD D3DPS_VERSION(DWORD major, DWORD minor)
{
    return 0xFFFF0000u | (major << 8) | minor;
}

struct D3DSURFACE_DESC {
    D3DFORMAT Format;
    D3DRESOURCETYPE Type;
    DWORD Usage;
    D3DPOOL Pool;
    UINT Size;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    UINT Width, Height;
};
struct D3DVERTEXBUFFER_DESC {
    D3DFORMAT Format;
    D3DRESOURCETYPE Type;
    DWORD Usage;
    D3DPOOL Pool;
    UINT Size;
    DWORD FVF;
};
struct D3DINDEXBUFFER_DESC {
    D3DFORMAT Format;
    D3DRESOURCETYPE Type;
    DWORD Usage;
    D3DPOOL Pool;
    UINT Size;
};
struct D3DLOCKED_RECT {
    int Pitch;
    void* pBits;
};

class IDirect3DDevice8;
class IDirect3DBaseTexture8;

// Reference counted like the objects they stand for: Release of the last reference destroys.
class IUnknown8 {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown8() = default;
};

class IDirect3DResource8 : public IUnknown8 {
public:
    virtual HRESULT GetDevice(IDirect3DDevice8** device) = 0;
    // Private data is copied in and out whole; an entry is replaced by a new one of the same GUID.
    virtual HRESULT SetPrivateData(REFGUID guid, const void* data, DWORD size, DWORD flags) = 0;
    virtual HRESULT GetPrivateData(REFGUID guid, void* data, DWORD* size) = 0;
    virtual HRESULT FreePrivateData(REFGUID guid) = 0;
    virtual D3DRESOURCETYPE GetType() = 0;
};

class IDirect3DSurface8 : public IUnknown8 {
public:
    virtual HRESULT GetDevice(IDirect3DDevice8** device) = 0;
    virtual HRESULT GetDesc(D3DSURFACE_DESC* desc) = 0;
    // Rows from the top. Colour surfaces can be read back, render targets included.
    virtual HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect() = 0;
};

class IDirect3DBaseTexture8 : public IDirect3DResource8 {
public:
    // The most detailed level sampled; clamped to the level count. Returns the previous value.
    virtual DWORD SetLOD(DWORD lod) = 0;
    virtual DWORD GetLOD() = 0;
    virtual DWORD GetLevelCount() = 0;
};

class IDirect3DTexture8 : public IDirect3DBaseTexture8 {
public:
    virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
    virtual HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) = 0;
    virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect(UINT level) = 0;
};

class IDirect3DCubeTexture8 : public IDirect3DBaseTexture8 {
public:
    virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
    virtual HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface8** surface) = 0;
    virtual HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                             DWORD flags) = 0;
    virtual HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) = 0;
};

class IDirect3DVertexBuffer8 : public IDirect3DResource8 {
public:
    // offset and size in bytes; size 0 locks the whole buffer from offset.
    virtual HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
    virtual HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) = 0;
};

class IDirect3DIndexBuffer8 : public IDirect3DResource8 {
public:
    virtual HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
    virtual HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) = 0;
};

// Vertex shader declarations: tokens that name the stream and, for each vertex register it feeds,
// the data type (the registers take the stream's fields in order), optionally constants to load
// into the constant registers, and an end token.
enum D3DVSDT_TYPE : DWORD {
    D3DVSDT_FLOAT1 = 0,
    D3DVSDT_FLOAT2 = 1,
    D3DVSDT_FLOAT3 = 2,
    D3DVSDT_FLOAT4 = 3,
    D3DVSDT_D3DCOLOR = 4,
    D3DVSDT_UBYTE4 = 5,
    D3DVSDT_SHORT2 = 6,
    D3DVSDT_SHORT4 = 7,
};
enum D3DVSD_TOKENTYPE : DWORD {
    D3DVSD_TOKEN_NOP = 0,
    D3DVSD_TOKEN_STREAM = 1,
    D3DVSD_TOKEN_STREAMDATA = 2,
    D3DVSD_TOKEN_TESSELLATOR = 3,
    D3DVSD_TOKEN_CONSTMEM = 4,
    D3DVSD_TOKEN_EXT = 5,
    D3DVSD_TOKEN_END = 7,
};
constexpr DWORD D3DVSD_TOKENTYPESHIFT = 29;
constexpr DWORD D3DVSD_STREAM(DWORD stream)
{
    return (DWORD(D3DVSD_TOKEN_STREAM) << D3DVSD_TOKENTYPESHIFT) | stream;
}
constexpr DWORD D3DVSD_REG(DWORD vertexRegister, DWORD type)
{
    return (DWORD(D3DVSD_TOKEN_STREAMDATA) << D3DVSD_TOKENTYPESHIFT) | (type << 16) | vertexRegister;
}
// Skips count DWORDs of the stream's vertex.
constexpr DWORD D3DVSD_SKIP(DWORD count)
{
    return (DWORD(D3DVSD_TOKEN_STREAMDATA) << D3DVSD_TOKENTYPESHIFT) | 0x10000000u | (count << 16);
}
// Followed by count x 4 floats for the constant registers from address on.
constexpr DWORD D3DVSD_CONST(DWORD address, DWORD count)
{
    return (DWORD(D3DVSD_TOKEN_CONSTMEM) << D3DVSD_TOKENTYPESHIFT) | (count << 25) | address;
}
constexpr DWORD D3DVSD_NOP()
{
    return 0;
}
constexpr DWORD D3DVSD_END()
{
    return 0xFFFFFFFFu;
}

class IDirect3D8;

class IDirect3DDevice8 : public IUnknown8 {
public:
    virtual HRESULT TestCooperativeLevel() = 0;
    virtual HRESULT GetDirect3D(IDirect3D8** direct3d) = 0;
    virtual HRESULT GetDeviceCaps(D3DCAPS8* caps) = 0;
    virtual HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) = 0;
    virtual HRESULT ResourceManagerDiscardBytes(DWORD bytes) = 0;
    // Fails while default-pool resources are alive, and while the device is lost.
    virtual HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) = 0;
    virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND overrideWindow,
                            const void* dirtyRegion) = 0;
    virtual HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** surface) = 0;
    // Copies the last presented frame into an A8R8G8B8 image surface (CreateImageSurface); windowed,
    // the surface stands for the desktop and the frame lands at the window's place on it.
    virtual HRESULT GetFrontBuffer(IDirect3DSurface8* destination) = 0;

    virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DTexture8** texture) = 0;
    virtual HRESULT CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DCubeTexture8** texture) = 0;
    virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer8** buffer) = 0;
    virtual HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer8** buffer) = 0;
    virtual HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                              D3DMULTISAMPLE_TYPE multiSample, IDirect3DSurface8** surface) = 0;
    virtual HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) = 0;

    virtual HRESULT SetRenderTarget(IDirect3DSurface8* renderTarget, IDirect3DSurface8* depthStencil) = 0;
    virtual HRESULT GetRenderTarget(IDirect3DSurface8** renderTarget) = 0;
    virtual HRESULT GetDepthStencilSurface(IDirect3DSurface8** depthStencil) = 0;

    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) = 0;

    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
    virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) = 0;
    virtual HRESULT SetViewport(const D3DVIEWPORT8* viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT8* viewport) = 0;
    virtual HRESULT SetMaterial(const D3DMATERIAL8* material) = 0;
    virtual HRESULT GetMaterial(D3DMATERIAL8* material) = 0;
    virtual HRESULT SetLight(DWORD index, const D3DLIGHT8* light) = 0;
    virtual HRESULT GetLight(DWORD index, D3DLIGHT8* light) = 0;
    virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
    virtual HRESULT SetClipPlane(DWORD index, const float* plane) = 0;

    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) = 0;
    virtual HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) = 0;
    virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
    virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) = 0;

    // A vertex shader handle that is a flexible vertex format selects the fixed-function pipeline;
    // the handles CreateVertexShader gives are odd, which no vertex format is.
    virtual HRESULT SetVertexShader(DWORD handle) = 0;
    virtual HRESULT GetVertexShader(DWORD* handle) = 0;
    // Shaders from assembled vs.1.0/1.1 and ps.1.0-1.4 tokens (D3DXAssembleShader). Constants are
    // 4-float registers: 96 for vertex shaders, 8 for pixel shaders. Pixel shader 0 selects the
    // texture-stage pipeline.
    virtual HRESULT CreateVertexShader(const DWORD* declaration, const DWORD* function, DWORD* handle, DWORD usage) = 0;
    virtual HRESULT DeleteVertexShader(DWORD handle) = 0;
    virtual HRESULT SetVertexShaderConstant(DWORD firstRegister, const void* data, DWORD count) = 0;
    virtual HRESULT GetVertexShaderConstant(DWORD firstRegister, void* data, DWORD count) = 0;
    virtual HRESULT CreatePixelShader(const DWORD* function, DWORD* handle) = 0;
    virtual HRESULT DeletePixelShader(DWORD handle) = 0;
    virtual HRESULT SetPixelShader(DWORD handle) = 0;
    virtual HRESULT GetPixelShader(DWORD* handle) = 0;
    virtual HRESULT SetPixelShaderConstant(DWORD firstRegister, const void* data, DWORD count) = 0;
    virtual HRESULT GetPixelShaderConstant(DWORD firstRegister, void* data, DWORD count) = 0;
    virtual HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) = 0;
    virtual HRESULT SetIndices(IDirect3DIndexBuffer8* buffer, UINT baseVertexIndex) = 0;

    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) = 0;
    virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT startIndex,
                                         UINT primitiveCount) = 0;
    // Draws from memory; stream 0 is unbound afterwards.
    virtual HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) = 0;
    virtual HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT primitiveCount,
                                           const void* indices, D3DFORMAT indexFormat, const void* vertices,
                                           UINT stride) = 0;
};

class IDirect3D8 : public IUnknown8 {
public:
    virtual UINT GetAdapterCount() = 0;
    virtual HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* identifier) = 0;
    virtual UINT GetAdapterModeCount(UINT adapter) = 0;
    virtual HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) = 0;
    virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) = 0;
    virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) = 0;
    virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviourFlags,
                                 D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) = 0;
};

// Null when the version is not the one the engine was written for.
IDirect3D8* Direct3DCreate8(UINT sdkVersion);
