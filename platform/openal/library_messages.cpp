// Keeping the sound libraries' own error printing off the terminal. Without a sound card the system
// device's backends report every failed attempt on stderr (OpenAL's log and the ALSA library's error
// handler); the game already says once in its log that sound is off, so both are turned down here:
// OpenAL's log level before the library first starts, and ALSA's error handler in the ALSA library
// that OpenAL opens by the same name.
#include <dlfcn.h>

#include <cstdlib>

#include "platform/audio.h"

namespace {

using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int error, const char* format, ...);
using AlsaSetErrorHandler = int (*)(AlsaErrorHandler handler);

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Held for the whole run: the handler lives in the loaded library, which must stay loaded.
void* g_alsa = nullptr;

}  // namespace

void AudioQuietLibraryMessages()
{
    // A level the user set (to see what the library tries) is kept.
    setenv("ALSOFT_LOGLEVEL", "0", 0);
    if (g_alsa)
        return;
    g_alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
    if (!g_alsa)
        return;  // no ALSA library: nothing of it can print
    auto setHandler = reinterpret_cast<AlsaSetErrorHandler>(dlsym(g_alsa, "snd_lib_error_set_handler"));
    if (setHandler)
        setHandler(IgnoreAlsaError);
}
