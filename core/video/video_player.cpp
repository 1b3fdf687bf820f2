// One video player: the stream, its frame decoder and the texture the frames are copied into.
#include <cstring>

#include "core/video/video.h"
#include "platform/d3dx8_texture.h"
#include "render/device/render_context.h"

namespace {

// Texels from the DIB's blue, green, red bytes. The copy keeps that byte order: an A8R8G8B8 texel
// is blue, green, red, alpha in memory.
void CopyRowArgb(BYTE* texels, const BYTE* pixels, s32_t count)
{
    for (s32_t i = 0; i < count; ++i, texels += 4, pixels += 3) {
        texels[0] = pixels[0];
        texels[1] = pixels[1];
        texels[2] = pixels[2];
        texels[3] = 0xFF;
    }
}

void CopyRowArgb1555(BYTE* texels, const BYTE* pixels, s32_t count)
{
    auto* out = reinterpret_cast<WORD*>(texels);
    for (s32_t i = 0; i < count; ++i, pixels += 3) {
        const unsigned blue = pixels[0], green = pixels[1], red = pixels[2];
        out[i] = static_cast<WORD>(0x8000u | ((red & 0xF8u) << 7) | ((green & 0xF8u) << 2) | (blue >> 3));
    }
}

}  // namespace

s32_t VideoTextureSide(s32_t side)
{
    s32_t texture = 1;
    while (texture < side)
        texture <<= 1;
    return texture;
}

s32_t VideoDibStride(s32_t width)
{
    return (3 * width + 3) & ~3;
}

VideoPlayer::~VideoPlayer()
{
    Close();
}

bool VideoPlayer::Open(const char* filePath)
{
    Close();
    if (!filePath)
        return false;
    if (path.Text() != filePath)
        path.Assign(filePath);
    if (AVIStreamOpenFromFileA(&stream, filePath, streamtypeVIDEO, 0, OF_READ, nullptr) != AVIERR_OK)
        return false;
    if (AVIStreamInfoA(stream, &streamInfo, sizeof streamInfo) != AVIERR_OK)
        return false;
    const s32_t streamWidth = streamInfo.rcFrame.right - streamInfo.rcFrame.left;
    const s32_t streamHeight = streamInfo.rcFrame.bottom - streamInfo.rcFrame.top;
    const s32_t streamFrames = AVIStreamLength(stream);
    // No frames, or frames shorter than the millisecond clock can tell apart: nothing to play, and
    // the frame number (elapsed time / milliseconds per frame) could not be worked out.
    if (streamFrames <= 0 || streamWidth <= 0 || streamHeight <= 0)
        return false;
    const LONG totalTime = AVIStreamSampleToTime(stream, streamFrames);
    if (totalTime < streamFrames)
        return false;
    // Only a playable video changes what a GUI control holding this player reads.
    width = streamWidth;
    height = streamHeight;
    frameCount = streamFrames;
    msPerFrame = static_cast<u32_t>(totalTime / streamFrames);

    dibStride = VideoDibStride(width);
    dibHeader = {};
    dibHeader.biSize = sizeof(BITMAPINFOHEADER);
    dibHeader.biWidth = width;
    dibHeader.biHeight = height;
    dibHeader.biPlanes = 1;
    dibHeader.biBitCount = 24;
    dibHeader.biCompression = BI_RGB;
    frameDecoder = AVIStreamGetFrameOpen(stream, &dibHeader);
    if (!frameDecoder)
        return false;

    const s32_t textureWidth = VideoTextureSide(width);
    const s32_t textureHeight = VideoTextureSide(height);
    uExtent = static_cast<float>(width) / static_cast<float>(textureWidth);
    vExtent = static_cast<float>(height) / static_cast<float>(textureHeight);
    if (!g_render.device ||
        FAILED(D3DXCreateTexture(g_render.device, static_cast<UINT>(textureWidth), static_cast<UINT>(textureHeight), 1,
                                 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture))) {
        texture = nullptr;
        return false;
    }
    D3DSURFACE_DESC level = {};
    if (FAILED(texture->GetLevelDesc(0, &level)))
        return false;
    textureFormat = level.Format;
    return textureFormat == D3DFMT_A8R8G8B8 || textureFormat == D3DFMT_A1R5G5B5;
}

void VideoPlayer::Close()
{
    m_textureFrame = -1;
    if (texture) {
        texture->Release();
        texture = nullptr;
    }
    if (frameDecoder) {
        AVIStreamGetFrameClose(frameDecoder);
        frameDecoder = nullptr;
    }
    if (stream) {
        AVIStreamRelease(stream);
        stream = nullptr;
    }
}

IDirect3DTexture8* VideoPlayer::DrawFrame(s32_t frame)
{
    if (!IsOpen() && !Open(path.Text())) {
        Close();
        return nullptr;
    }
    // Drawing passes often come faster than frames: the texture may hold this frame already.
    if (frame == m_textureFrame)
        return texture;
    m_textureFrame = -1;
    const auto* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frameDecoder, frame));
    if (!dib || !CopyDibToTexture(dib))
        return nullptr;
    m_textureFrame = frame;
    return texture;
}

bool VideoPlayer::CopyDibToTexture(const BITMAPINFOHEADER* dib)
{
    if (dib->biBitCount != 24 || dib->biWidth != width || dib->biHeight != height || !texture)
        return false;
    const BYTE* pixels = reinterpret_cast<const BYTE*>(dib) + dib->biSize + dib->biClrUsed * 4u;
    D3DLOCKED_RECT locked = {};
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0)))
        return false;
    auto* texels = static_cast<BYTE*>(locked.pBits);
    for (s32_t row = 0; row < height; ++row) {
        const BYTE* source = pixels + static_cast<size_t>(row) * static_cast<size_t>(dibStride);
        BYTE* target = texels + static_cast<size_t>(row) * static_cast<size_t>(locked.Pitch);
        if (textureFormat == D3DFMT_A8R8G8B8)
            CopyRowArgb(target, source, width);
        else
            CopyRowArgb1555(target, source, width);
    }
    return SUCCEEDED(texture->UnlockRect(0));
}
