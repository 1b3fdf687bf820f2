// The video list: every player opened by name, kept until the program ends.
#include "core/video/video.h"

#include <cstdio>
#include <cstring>
#include "core/strings/text_case.h"

#include "core/strings/grow_array.h"
#include "core/log.h"
#include "platform/win32.h"

namespace {

// Two parallel arrays, the players and their names as asked for. Records are never taken out
// while the program runs: GUI controls keep player pointers across VideoShutdown.
struct VideoList {
    GrowArray<VideoPlayer*> players{1};
    GrowArray<EngineString*> names{1};

    // At the program's end the device is gone: a player still open leaves its texture to it.
    ~VideoList()
    {
        for (s32_t i = 0; i < players.count; ++i) {
            players[i]->texture = nullptr;
            delete players[i];
            delete names[i];
        }
    }
};

VideoList g_videos;

VideoPlayer* FindPlayer(const char* name)
{
    const size_t length = std::strlen(name);
    for (s32_t i = 0; i < g_videos.names.count; ++i) {
        const EngineString* known = g_videos.names[i];
        if (known->Length() == length && CompareNoCase(known->Text(), name) == 0)
            return g_videos.players[i];
    }
    return nullptr;
}

}  // namespace

void VideoInit()
{
    Log("Initializing video subsystem...");
    AVIFileInit();
    Log("done\n");
}

void VideoShutdown()
{
    Log("Destroying video subsystem...");
    for (s32_t i = 0; i < g_videos.players.count; ++i)
        g_videos.players[i]->Close();
    AVIFileExit();
    Log("done\n");
}

VideoPlayer* VideoOpenGui(const char* name)
{
    if (!name)
        return nullptr;
    if (VideoPlayer* known = FindPlayer(name)) {
        if (known->IsOpen() || known->Open(known->path.Text()))
            return known;
        known->Close();
        return nullptr;
    }
    char path[MAX_PATH];
    const int length = std::snprintf(path, sizeof path, "component\\gui\\%s.avi", name);
    if (length < 0 || length >= static_cast<int>(sizeof path))
        return nullptr;
    auto* player = new VideoPlayer();
    if (!player->Open(path)) {
        delete player;
        return nullptr;
    }
    if (g_videos.players.Append(player) < 0) {
        delete player;
        return nullptr;
    }
    auto* copy = new EngineString(name);
    if (g_videos.names.Append(copy) < 0) {
        // Keeps the two arrays parallel: the player goes again.
        --g_videos.players.count;
        delete copy;
        delete player;
        return nullptr;
    }
    return player;
}
