// AVI video playback: one player per video file, drawing frames into a texture for the GUI's video
// controls and for full-screen videos (the intro, mission cutscenes) that Escape or a click skips.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"
#include "platform/d3d8.h"
#include "platform/video_for_windows.h"

// One opened video: its stream, the frame decoder with its 24-bit bottom-up DIB, and a one-level
// managed texture whose sides are powers of two. Texel row r holds DIB row r, so row 0 is the
// picture's bottom line; a frame fills texels (0, 0) to (width - 1, height - 1).
class VideoPlayer {
public:
    VideoPlayer() = default;
    ~VideoPlayer();
    VideoPlayer(const VideoPlayer&) = delete;
    VideoPlayer& operator=(const VideoPlayer&) = delete;

    // Opens the stream and makes the frame decoder and the texture. A video without frames or with
    // less than a millisecond per frame cannot be played: false. Needs the render device.
    bool Open(const char* filePath);
    // Releases the texture, the frame decoder and the stream (each when present). The sizes, the
    // timing and the path stay, so that the player can be opened again.
    void Close();
    bool IsOpen() const { return frameDecoder && texture; }
    // Decodes the frame into the texture; null when it cannot be (the player is opened again first
    // when it was closed).
    IDirect3DTexture8* DrawFrame(s32_t frame);

    AVISTREAMINFOA streamInfo = {};
    PAVISTREAM stream = nullptr;
    PGETFRAME frameDecoder = nullptr;
    BITMAPINFOHEADER dibHeader = {};
    s32_t frameCount = 0;
    s32_t width = 0;
    s32_t height = 0;
    u32_t msPerFrame = 0;
    IDirect3DTexture8* texture = nullptr;
    D3DFORMAT textureFormat = D3DFMT_UNKNOWN;
    s32_t dibStride = 0;   // bytes per DIB row: three a pixel, rounded up to four
    float uExtent = 0.0f;  // the part of the texture the frame fills
    float vExtent = 0.0f;
    EngineString path;

private:
    bool CopyDibToTexture(const BITMAPINFOHEADER* dib);

    s32_t m_textureFrame = -1;  // the frame the texture holds
};

// The texture side for a frame side: the smallest power of two not below it (1 for 1 or less).
s32_t VideoTextureSide(s32_t side);
// Bytes per row of a 24-bit DIB.
s32_t VideoDibStride(s32_t width);

// "Initializing video subsystem..." and the AVI library.
void VideoInit();
// "Destroying video subsystem...": closes every player. The players themselves stay (GUI controls
// keep pointers to them across a mission's end) and open again when next used.
void VideoShutdown();
// The player of "component\gui\" + name + ".avi", opened on first use; names compare without
// regard to case. Null when the video cannot be played.
VideoPlayer* VideoOpenGui(const char* name);
inline VideoPlayer* VideoOpenGui(const EngineString& name)
{
    return VideoOpenGui(name.Text());
}
// Plays that GUI video over the whole screen until it ends or Escape or the left button is down,
// with the GUI sound "intro". Returns at once when the video cannot be played.
void VideoPlayFullscreen(const char* name);
// While set, VideoPlayFullscreen hands the name to the hook instead of playing (tests).
void VideoSetFullscreenHook(void (*hook)(const char* name));
