// The frame decoder: any frame by index, converted into one 24-bit bottom-up DIB per decoder.
// Frames are decoded forward from where the decoder stands; a frame behind it, or far ahead, is
// reached by seeking back to the key frame at or before it and decoding forward from there.
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "platform/ffmpeg/avi_stream.h"

// Farther ahead than this many frames, seeking to a key frame is cheaper than decoding every frame.
constexpr int64_t kForwardDecodeLimit = 32;
// Frames larger than this on either side are not decoded: no video texture is that large, and a
// damaged header must not make the decoder allocate without bound.
constexpr int kLargestFrameSide = 4096;

struct AviFrameDecoder {
    AviStream* stream = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    // The newest decoded frame not past the one asked for, and a decoded frame past it that waits
    // for a later call. Index -1: none.
    AVFrame* held = nullptr;
    AVFrame* ahead = nullptr;
    int64_t heldIndex = -1;
    int64_t aheadIndex = -1;
    int64_t lastDecodedIndex = -1;  // numbers frames that carry no time stamp
    bool fresh = true;              // nothing read since opening or the last seek to the start
    bool draining = false;          // the file's end is reached; the decoder gives what it holds
    // The packed DIB handed out: header, then the rows.
    uint8_t* dib = nullptr;
    LONG stride = 0;
    int64_t shownIndex = -1;  // the frame whose pixels the DIB holds
};

namespace {

BITMAPINFOHEADER* DibHeader(AviFrameDecoder* decoder)
{
    return reinterpret_cast<BITMAPINFOHEADER*>(decoder->dib);
}

uint8_t* DibPixels(AviFrameDecoder* decoder)
{
    return decoder->dib + sizeof(BITMAPINFOHEADER);
}

bool WantedFormatIsOffered(const AviStream& stream, const BITMAPINFOHEADER* wanted)
{
    if (!wanted)
        return true;
    return wanted->biSize >= sizeof(BITMAPINFOHEADER) && wanted->biBitCount == 24 && wanted->biCompression == BI_RGB &&
           wanted->biWidth == stream.width && (wanted->biHeight == stream.height || wanted->biHeight == 0);
}

void Forget(AVFrame* frame, int64_t& index)
{
    av_frame_unref(frame);
    index = -1;
}

// Decodes the next frame of the stream into `ahead`; false at the end of the data.
bool DecodeNext(AviFrameDecoder* decoder)
{
    for (;;) {
        int result = avcodec_receive_frame(decoder->codec, decoder->ahead);
        if (result == 0) {
            const int64_t timeStamp = decoder->ahead->best_effort_timestamp;
            decoder->aheadIndex = timeStamp == AV_NOPTS_VALUE ? decoder->lastDecodedIndex + 1
                                                              : AviFrameIndexOf(*decoder->stream, timeStamp);
            decoder->lastDecodedIndex = decoder->aheadIndex;
            return true;
        }
        if (result != AVERROR(EAGAIN) || decoder->draining)
            return false;
        decoder->fresh = false;
        result = av_read_frame(decoder->stream->format, decoder->packet);
        if (result < 0) {
            decoder->draining = true;
            avcodec_send_packet(decoder->codec, nullptr);
            continue;
        }
        // A damaged packet is refused by the decoder and simply dropped.
        if (decoder->packet->stream_index == decoder->stream->streamIndex)
            avcodec_send_packet(decoder->codec, decoder->packet);
        av_packet_unref(decoder->packet);
    }
}

// Decodes forward until `held` is the frame asked for or the newest one before it (when the stream
// skips that index). False when the data ends first or no frame at or before it comes.
bool DecodeForward(AviFrameDecoder* decoder, int64_t index)
{
    while (decoder->heldIndex != index) {
        if (decoder->aheadIndex < 0 && !DecodeNext(decoder))
            return false;
        if (decoder->aheadIndex > index)
            return decoder->heldIndex >= 0 && decoder->heldIndex < index;
        std::swap(decoder->held, decoder->ahead);
        decoder->heldIndex = decoder->aheadIndex;
        Forget(decoder->ahead, decoder->aheadIndex);
    }
    return true;
}

// Moves the demuxer to the key frame at or before the frame and empties the decoder.
bool SeekBackTo(AviFrameDecoder* decoder, int64_t index)
{
    const AviStream& stream = *decoder->stream;
    if (av_seek_frame(stream.format, stream.streamIndex, AviTimeStampOf(stream, index), AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(decoder->codec);
    Forget(decoder->held, decoder->heldIndex);
    Forget(decoder->ahead, decoder->aheadIndex);
    decoder->lastDecodedIndex = index - 1;
    decoder->draining = false;
    decoder->fresh = index == 0;
    return true;
}

bool Reach(AviFrameDecoder* decoder, int64_t index)
{
    const int64_t from = decoder->heldIndex;
    const bool forward = from >= 0 ? index >= from && index - from <= kForwardDecodeLimit
                                   : decoder->fresh && index <= kForwardDecodeLimit;
    if (forward && DecodeForward(decoder, index))
        return true;
    // Back to the key frame before it; when the demuxer lands past the frame, back to the start.
    if (SeekBackTo(decoder, index) && DecodeForward(decoder, index))
        return true;
    return SeekBackTo(decoder, 0) && DecodeForward(decoder, index);
}

// Converts `held` into the DIB: the picture's bottom line becomes row 0.
bool ConvertHeld(AviFrameDecoder* decoder)
{
    const AVFrame* frame = decoder->held;
    const AviStream& stream = *decoder->stream;
    if (frame->width <= 0 || frame->height <= 0 || frame->format < 0)
        return false;
    decoder->scaler =
        sws_getCachedContext(decoder->scaler, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                             stream.width, stream.height, AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!decoder->scaler)
        return false;
    const size_t stride = static_cast<size_t>(decoder->stride);
    uint8_t* lastRow = DibPixels(decoder) + static_cast<size_t>(stream.height - 1) * stride;
    uint8_t* const target[4] = {lastRow, nullptr, nullptr, nullptr};
    const int targetStride[4] = {-static_cast<int>(decoder->stride), 0, 0, 0};
    return sws_scale(decoder->scaler, frame->data, frame->linesize, 0, frame->height, target, targetStride) > 0;
}

void FreeDecoder(AviFrameDecoder* decoder)
{
    sws_freeContext(decoder->scaler);
    av_frame_free(&decoder->held);
    av_frame_free(&decoder->ahead);
    av_packet_free(&decoder->packet);
    avcodec_free_context(&decoder->codec);
    delete[] decoder->dib;
    AviStreamDropReference(decoder->stream);
    delete decoder;
}

}  // namespace

PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM stream, const BITMAPINFOHEADER* wanted)
{
    if (!stream || !WantedFormatIsOffered(*stream, wanted))
        return nullptr;
    if (stream->width > kLargestFrameSide || stream->height > kLargestFrameSide)
        return nullptr;
    const AVCodecParameters* parameters = stream->format->streams[stream->streamIndex]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    if (!codec)
        return nullptr;

    auto* decoder = new AviFrameDecoder();
    decoder->stream = stream;
    ++stream->references;
    decoder->codec = avcodec_alloc_context3(codec);
    decoder->packet = av_packet_alloc();
    decoder->held = av_frame_alloc();
    decoder->ahead = av_frame_alloc();
    if (!decoder->codec || !decoder->packet || !decoder->held || !decoder->ahead ||
        avcodec_parameters_to_context(decoder->codec, parameters) < 0) {
        FreeDecoder(decoder);
        return nullptr;
    }
    // The engine runs on one thread; frame threads would also hold frames back.
    decoder->codec->thread_count = 1;
    decoder->codec->pkt_timebase = stream->timeBase;
    if (avcodec_open2(decoder->codec, codec, nullptr) < 0) {
        FreeDecoder(decoder);
        return nullptr;
    }

    decoder->stride = AviDibStride(stream->width);
    const size_t imageSize = static_cast<size_t>(decoder->stride) * static_cast<size_t>(stream->height);
    decoder->dib = new (std::nothrow) uint8_t[sizeof(BITMAPINFOHEADER) + imageSize]();
    if (!decoder->dib) {
        FreeDecoder(decoder);
        return nullptr;
    }
    BITMAPINFOHEADER* header = DibHeader(decoder);
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = stream->width;
    header->biHeight = stream->height;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    header->biSizeImage = static_cast<DWORD>(imageSize);
    return decoder;
}

void* AVIStreamGetFrame(PGETFRAME decoder, LONG position)
{
    if (!decoder || position < 0 || position >= decoder->stream->frameCount)
        return nullptr;
    if (position == decoder->shownIndex)
        return decoder->dib;
    decoder->shownIndex = -1;
    if (!Reach(decoder, position) || !ConvertHeld(decoder))
        return nullptr;
    decoder->shownIndex = position;
    return decoder->dib;
}

HRESULT AVIStreamGetFrameClose(PGETFRAME decoder)
{
    if (!decoder)
        return AVIERR_BADPARAM;
    FreeDecoder(decoder);
    return AVIERR_OK;
}
