// No decoder is attached yet: every video is unplayable and full-screen playback returns at once.
#include "core/video.h"
#include "core/log.h"

void VideoInit()
{
    Log("Initializing video subsystem...");
    Log("done\n");
}

void VideoShutdown()
{
    Log("Destroying video subsystem...");
    Log("done\n");
}

void VideoPlayFullscreen(const char*) {}
