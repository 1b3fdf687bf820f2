// Opening a video stream and reading its header: frame count, timing and size.
#include <cstdarg>
#include <cstdint>
#include <climits>
#include <cstring>
#include <string>

#include "platform/ffmpeg/avi_stream.h"
#include "platform/file_system.h"

namespace {

int g_aviLibraryStarts = 0;

// FFmpeg's messages go to the debugger output with everything else the program does not log.
void ForwardLibraryMessage(void* object, int level, const char* format, va_list arguments)
{
    if (level > AV_LOG_WARNING)
        return;
    char line[512];
    int prefix = 1;
    av_log_format_line2(object, level, format, arguments, line, sizeof line, &prefix);
    OutputDebugStringA(line);
}

void RouteLibraryMessages()
{
    static const bool routed = [] {
        av_log_set_callback(ForwardLibraryMessage);
        return true;
    }();
    (void)routed;
}

bool IsUsableRate(AVRational rate)
{
    return rate.num > 0 && rate.den > 0;
}

// Seconds per frame: the stream's average rate, else its base rate, else one tick of its clock.
AVRational FrameDurationOf(const AVStream* stream)
{
    if (IsUsableRate(stream->avg_frame_rate))
        return av_inv_q(stream->avg_frame_rate);
    if (IsUsableRate(stream->r_frame_rate))
        return av_inv_q(stream->r_frame_rate);
    return stream->time_base;
}

LONG ClampToLong(int64_t value)
{
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<LONG>(value);
}

LONG FrameCountOf(const AVStream* stream, AVRational frameDuration)
{
    if (stream->nb_frames > 0)
        return ClampToLong(stream->nb_frames);
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0 && IsUsableRate(frameDuration))
        return ClampToLong(av_rescale_q(stream->duration, stream->time_base, frameDuration));
    return 0;
}

// The index of the stream that is the number-th video stream of the file, or -1.
int FindVideoStream(const AVFormatContext* format, LONG number)
{
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        if (stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO)
            continue;
        if (stream->disposition & AV_DISPOSITION_ATTACHED_PIC)
            continue;
        if (number-- == 0)
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

void AVIFileInit()
{
    RouteLibraryMessages();
    ++g_aviLibraryStarts;
}

void AVIFileExit()
{
    if (g_aviLibraryStarts > 0)
        --g_aviLibraryStarts;
}

HRESULT AVIStreamOpenFromFileA(PAVISTREAM* stream, const char* fileName, DWORD type, LONG param, UINT mode,
                               const void* /*handler*/)
{
    if (!stream)
        return AVIERR_BADPARAM;
    *stream = nullptr;
    if (!fileName || type != streamtypeVIDEO || param < 0 || mode != OF_READ)
        return AVIERR_BADPARAM;
    RouteLibraryMessages();

    std::string path;
    if (!PlatformResolvePath(fileName, path) || !PlatformFileExists(path.c_str()))
        return AVIERR_FILEOPEN;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return AVIERR_FILEOPEN;
    if (avformat_find_stream_info(format, nullptr) < 0) {
        avformat_close_input(&format);
        return AVIERR_NODATA;
    }
    const int index = FindVideoStream(format, param);
    if (index < 0) {
        avformat_close_input(&format);
        return AVIERR_NODATA;
    }
    const AVStream* found = format->streams[index];
    const AVCodecParameters* parameters = found->codecpar;
    if (parameters->width <= 0 || parameters->height <= 0) {
        avformat_close_input(&format);
        return AVIERR_NODATA;
    }

    auto* opened = new AviStream();
    opened->format = format;
    opened->streamIndex = index;
    opened->timeBase = found->time_base;
    opened->frameDuration = FrameDurationOf(found);
    opened->startTime = found->start_time != AV_NOPTS_VALUE ? found->start_time : 0;
    opened->frameCount = FrameCountOf(found, opened->frameDuration);
    opened->width = parameters->width;
    opened->height = parameters->height;
    opened->codecTag = parameters->codec_tag;
    *stream = opened;
    return AVIERR_OK;
}

ULONG AviStreamDropReference(AviStream* stream)
{
    if (!stream || stream->references == 0)
        return 0;
    const ULONG left = --stream->references;
    if (left == 0) {
        avformat_close_input(&stream->format);
        delete stream;
    }
    return left;
}

ULONG AVIStreamRelease(PAVISTREAM stream)
{
    return AviStreamDropReference(stream);
}

HRESULT AVIStreamInfoA(PAVISTREAM stream, AVISTREAMINFOA* info, LONG size)
{
    if (!stream || !info || size < static_cast<LONG>(sizeof(AVISTREAMINFOA)))
        return AVIERR_BADPARAM;
    std::memset(info, 0, sizeof *info);
    info->fccType = streamtypeVIDEO;
    info->fccHandler = stream->codecTag;
    // A rate that does not fit the header's 32-bit words is reduced until it does.
    AVRational rate = av_inv_q(stream->frameDuration);
    if (rate.num <= 0 || rate.den <= 0)
        rate = {0, 1};
    av_reduce(&rate.num, &rate.den, rate.num, rate.den, INT_MAX);
    info->dwRate = static_cast<DWORD>(rate.num);
    info->dwScale = static_cast<DWORD>(rate.den);
    info->dwLength = static_cast<DWORD>(stream->frameCount);
    info->dwQuality = 0xFFFFFFFFu;
    info->rcFrame = {0, 0, stream->width, stream->height};
    info->dwSuggestedBufferSize = static_cast<DWORD>(AviDibStride(stream->width)) * static_cast<DWORD>(stream->height);
    return AVIERR_OK;
}

LONG AVIStreamLength(PAVISTREAM stream)
{
    return stream ? stream->frameCount : -1;
}

LONG AVIStreamSampleToTime(PAVISTREAM stream, LONG sample)
{
    if (!stream || !IsUsableRate(stream->frameDuration))
        return -1;
    const int64_t scaled =
        av_rescale_rnd(sample, int64_t{1000} * stream->frameDuration.num, stream->frameDuration.den, AV_ROUND_DOWN);
    return ClampToLong(scaled);
}

int64_t AviFrameIndexOf(const AviStream& stream, int64_t timeStamp)
{
    return av_rescale_q_rnd(timeStamp - stream.startTime, stream.timeBase, stream.frameDuration,
                            static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
}

int64_t AviTimeStampOf(const AviStream& stream, int64_t frameIndex)
{
    return stream.startTime + av_rescale_q(frameIndex, stream.frameDuration, stream.timeBase);
}
