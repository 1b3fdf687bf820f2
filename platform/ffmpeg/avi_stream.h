// The records behind PAVISTREAM and PGETFRAME. Internal to platform/avi_*.cpp.
#pragma once
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "platform/video_for_windows.h"

// An opened video stream: the demuxer over the file and what the stream header says. Counted
// references: the opener's and one per open frame decoder.
struct AviStream {
    AVFormatContext* format = nullptr;
    int streamIndex = -1;
    AVRational frameDuration = {0, 1};  // seconds per frame
    AVRational timeBase = {0, 1};       // of the packets' time stamps
    int64_t startTime = 0;              // the time stamp of frame 0
    LONG frameCount = 0;
    int width = 0;
    int height = 0;
    DWORD codecTag = 0;
    ULONG references = 1;
};

// Drops one reference and frees the stream with the last.
ULONG AviStreamDropReference(AviStream* stream);
// The frame index of a time stamp of the stream, rounded to the nearest frame.
int64_t AviFrameIndexOf(const AviStream& stream, int64_t timeStamp);
// The time stamp at which the frame starts.
int64_t AviTimeStampOf(const AviStream& stream, int64_t frameIndex);
// Stride of a 24-bit DIB row: three bytes a pixel, rounded up to four bytes.
inline LONG AviDibStride(LONG width)
{
    return (3 * width + 3) & ~3;
}
