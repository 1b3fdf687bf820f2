// Texture loading as the texture manager does it (file in memory -> managed texture with a full
// mip chain, through the real device on SDL's offscreen driver unless a display is given), per
// kind of file: DDS DXT1 and DXT5 with their chains, 32-bit TGA and RGBA PNG (chains filtered on
// load). Reports the file bytes read per second; the DXT codec is measured on its own as well.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "bench/bench_window.h"
#include "core/random.h"
#include "platform/gl/d3d8_formats.h"
#include "platform/d3dx8_texture.h"
#include "platform/d3dx/d3dx8_texture_pixels.h"
#include "platform/d3dx/dds_file.h"
#include "platform/d3dx/dxt_codec.h"
#include "platform/win32.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#endif
#include <stb/stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

constexpr UINT kSide = 256;

IDirect3DDevice8* Device()
{
    static IDirect3DDevice8* device = [] {
        IDirect3DDevice8* created = nullptr;
        HWND window = OpenBenchWindow("zintar texture bench", "texture bench", 64, 64);
        IDirect3D8* direct3d = window ? Direct3DCreate8(D3D_SDK_VERSION) : nullptr;
        if (!direct3d)
            return created;
        D3DPRESENT_PARAMETERS parameters = {};
        parameters.BackBufferWidth = 64;
        parameters.BackBufferHeight = 64;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.BackBufferCount = 1;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.hDeviceWindow = window;
        parameters.Windowed = TRUE;
        direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                               &parameters, &created);
        return created;
    }();
    return device;
}

// A picture with smooth ramps and some noise, so that neither compressor has it easy.
const ArgbImage& Picture()
{
    static const ArgbImage picture = [] {
        ArgbImage image;
        image.Resize(kSide, kSide);
        EngineSRand(99);
        for (UINT y = 0; y < kSide; ++y) {
            for (UINT x = 0; x < kSide; ++x) {
                const DWORD noise = static_cast<DWORD>(EngineRand() & 31);
                image.Row(y)[x] = ((x + y) / 2) << 24 | (x ^ noise) << 16 | (y ^ noise) << 8 | ((x * y) >> 8);
            }
        }
        return image;
    }();
    return picture;
}

std::vector<BYTE> DdsFile(D3DFORMAT format)
{
    std::vector<BYTE> file;
    const UINT levels = FullLevelCount(kSide, kSide);
    DdsWriteHeader(format, kSide, kSide, levels, file);
    ArgbImage level = Picture(), smaller;
    for (UINT i = 0; i < levels; ++i) {
        const std::size_t at = file.size();
        file.resize(at + DdsLevelBytes(format, kSide, kSide, i));
        DxtEncodeImage(format, level.pixels.data(), level.width, level.width, level.height, file.data() + at,
                       PixelRowPitch(format, level.width));
        ResampleImage(level, LevelExtent(level.width, 1), LevelExtent(level.height, 1), D3DX_FILTER_BOX, smaller);
        std::swap(level, smaller);
    }
    return file;
}

std::vector<BYTE> TgaFile()
{
    std::vector<BYTE> file(18, 0);
    file[2] = 2;  // true colour, uncompressed
    file[12] = kSide & 0xFF;
    file[13] = kSide >> 8;
    file[14] = kSide & 0xFF;
    file[15] = kSide >> 8;
    file[16] = 32;
    file[17] = 0x28;  // 8 alpha bits, rows from the top
    for (DWORD pixel : Picture().pixels)
        for (int shift = 0; shift < 32; shift += 8)
            file.push_back(static_cast<BYTE>(pixel >> shift));
    return file;
}

void AppendBytes(void* context, void* data, int size)
{
    auto* file = static_cast<std::vector<BYTE>*>(context);
    file->insert(file->end(), static_cast<BYTE*>(data), static_cast<BYTE*>(data) + size);
}

std::vector<BYTE> PngFile()
{
    std::vector<BYTE> rgba;
    for (DWORD pixel : Picture().pixels) {
        rgba.push_back(static_cast<BYTE>(pixel >> 16));
        rgba.push_back(static_cast<BYTE>(pixel >> 8));
        rgba.push_back(static_cast<BYTE>(pixel));
        rgba.push_back(static_cast<BYTE>(pixel >> 24));
    }
    std::vector<BYTE> file;
    stbi_write_png_to_func(AppendBytes, &file, kSide, kSide, 4, rgba.data(), kSide * 4);
    return file;
}

void LoadFile(benchmark::State& state, const std::vector<BYTE>& file)
{
    IDirect3DDevice8* device = Device();
    if (!device) {
        state.SkipWithError("no render device");
        return;
    }
    for (auto _ : state) {
        IDirect3DTexture8* texture = nullptr;
        if (FAILED(D3DXCreateTextureFromFileInMemoryEx(
                device, file.data(), static_cast<UINT>(file.size()), D3DX_DEFAULT, D3DX_DEFAULT, 0, 0, D3DFMT_UNKNOWN,
                D3DPOOL_MANAGED, D3DX_FILTER_TRIANGLE, D3DX_FILTER_BOX, 0, nullptr, nullptr, &texture))) {
            state.SkipWithError("load failed");
            return;
        }
        texture->Release();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
    state.counters["textures/s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_LoadDdsDxt1(benchmark::State& state)
{
    LoadFile(state, DdsFile(D3DFMT_DXT1));
}
void BM_LoadDdsDxt5(benchmark::State& state)
{
    LoadFile(state, DdsFile(D3DFMT_DXT5));
}
void BM_LoadTga(benchmark::State& state)
{
    LoadFile(state, TgaFile());
}
void BM_LoadPng(benchmark::State& state)
{
    LoadFile(state, PngFile());
}
BENCHMARK(BM_LoadDdsDxt1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadDdsDxt5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadTga)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadPng)->Unit(benchmark::kMicrosecond);

// The codec alone over one 256 x 256 level; bytes are the A8R8G8B8 texels.
void BM_DxtDecode(benchmark::State& state)
{
    const D3DFORMAT format = state.range(0) == 1 ? D3DFMT_DXT1 : D3DFMT_DXT5;
    std::vector<BYTE> blocks(DdsLevelBytes(format, kSide, kSide, 0));
    DxtEncodeImage(format, Picture().pixels.data(), kSide, kSide, kSide, blocks.data(), PixelRowPitch(format, kSide));
    std::vector<DWORD> pixels(kSide * kSide);
    for (auto _ : state) {
        DxtDecodeImage(format, blocks.data(), PixelRowPitch(format, kSide), kSide, kSide, pixels.data(), kSide);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * kSide * kSide * 4);
}

void BM_DxtEncode(benchmark::State& state)
{
    const D3DFORMAT format = state.range(0) == 1 ? D3DFMT_DXT1 : D3DFMT_DXT5;
    std::vector<BYTE> blocks(DdsLevelBytes(format, kSide, kSide, 0));
    for (auto _ : state) {
        DxtEncodeImage(format, Picture().pixels.data(), kSide, kSide, kSide, blocks.data(),
                       PixelRowPitch(format, kSide));
        benchmark::DoNotOptimize(blocks.data());
    }
    state.SetBytesProcessed(state.iterations() * kSide * kSide * 4);
}
BENCHMARK(BM_DxtDecode)->Arg(1)->Arg(5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DxtEncode)->Arg(1)->Arg(5)->Unit(benchmark::kMicrosecond);

}  // namespace
