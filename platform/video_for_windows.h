// Our stand-in for the Video for Windows AVI file library: open the video stream of an AVI file,
// read its frame count and timing, and get any frame by index as a packed 24-bit DIB (header, then
// bottom-up rows of blue, green, red bytes, each row padded to four bytes). Backed by FFmpeg; the
// frame decoder seeks back to a key frame by itself when a frame lies behind it or far ahead.
// Failures return a negative HRESULT or null.
#pragma once
#include "platform/win32.h"

using ULONG = unsigned long;  // as the render device's interfaces count references

// Four-character codes as the AVI format stores them: the first character in the lowest byte.
constexpr DWORD AviFourCC(char a, char b, char c, char d)
{
    return static_cast<DWORD>(static_cast<BYTE>(a)) | (static_cast<DWORD>(static_cast<BYTE>(b)) << 8) |
           (static_cast<DWORD>(static_cast<BYTE>(c)) << 16) | (static_cast<DWORD>(static_cast<BYTE>(d)) << 24);
}
constexpr DWORD streamtypeVIDEO = AviFourCC('v', 'i', 'd', 's');

constexpr UINT OF_READ = 0;
constexpr DWORD BI_RGB = 0;

constexpr HRESULT AVIERR_OK = 0;
constexpr HRESULT AVIERR_BADPARAM = static_cast<HRESULT>(0x80044065u);
constexpr HRESULT AVIERR_MEMORY = static_cast<HRESULT>(0x80044067u);
constexpr HRESULT AVIERR_NODATA = static_cast<HRESULT>(0x80044071u);
constexpr HRESULT AVIERR_FILEOPEN = static_cast<HRESULT>(0x8004406Du);
constexpr HRESULT AVIERR_NOCOMPRESSOR = static_cast<HRESULT>(0x80044073u);

// The header of a device-independent bitmap (40 bytes). A positive height means bottom-up rows.
struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;  // colour-table entries (4 bytes each) between the header and the pixels
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "a DIB header is 40 bytes");

// What AVIStreamInfoA reports of a stream. A frame lasts dwScale / dwRate seconds.
struct AVISTREAMINFOA {
    DWORD fccType;
    DWORD fccHandler;  // the codec's four-character code
    DWORD dwFlags;
    DWORD dwCaps;
    WORD wPriority;
    WORD wLanguage;
    DWORD dwScale;
    DWORD dwRate;
    DWORD dwStart;
    DWORD dwLength;  // frames
    DWORD dwInitialFrames;
    DWORD dwSuggestedBufferSize;
    DWORD dwQuality;
    DWORD dwSampleSize;
    RECT rcFrame;
    DWORD dwEditCount;
    DWORD dwFormatChangeCount;
    char szName[64];
};
static_assert(sizeof(AVISTREAMINFOA) == 140, "the stream information is 140 bytes");

struct AviStream;
struct AviFrameDecoder;
using PAVISTREAM = AviStream*;
using PGETFRAME = AviFrameDecoder*;

// Start and end of the library; counted. Streams open and decode whether or not it is started.
void AVIFileInit();
void AVIFileExit();

// Opens the first stream of the given type (only streamtypeVIDEO is offered) in a file on disk;
// the path may be written with '\' and in any case. handler is ignored.
HRESULT AVIStreamOpenFromFileA(PAVISTREAM* stream, const char* fileName, DWORD type, LONG param, UINT mode,
                               const void* handler);
// Drops one reference; the stream closes when its frame decoders are closed as well. Returns the
// references left.
ULONG AVIStreamRelease(PAVISTREAM stream);
HRESULT AVIStreamInfoA(PAVISTREAM stream, AVISTREAMINFOA* info, LONG size);
// The number of frames; -1 for no stream.
LONG AVIStreamLength(PAVISTREAM stream);
// The start time of a frame in milliseconds (sample x 1000 x scale / rate, rounded down); -1 when
// the stream has no usable rate.
LONG AVIStreamSampleToTime(PAVISTREAM stream, LONG sample);

// A frame decoder that gives 24-bit bottom-up DIBs of the stream's size. wanted: null, or a header
// asking for exactly that format (24 bits, BI_RGB, the stream's width and a positive height or 0);
// anything else cannot be made (null). The DIB buffer is made here, once.
PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM stream, const BITMAPINFOHEADER* wanted);
// The frame at that index as a packed DIB owned by the decoder, valid until the next call; null
// for an index outside the stream or a frame that cannot be decoded.
void* AVIStreamGetFrame(PGETFRAME decoder, LONG position);
HRESULT AVIStreamGetFrameClose(PGETFRAME decoder);
