// AVI video playback: GUI videos and full-screen videos.
#pragma once

void VideoInit();
void VideoShutdown();
// Plays "component\gui\" + name + ".avi" over the whole screen; Escape or a click skips it.
void VideoPlayFullscreen(const char* name);
