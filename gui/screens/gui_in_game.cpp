#include "gui/screens/gui_in_game.h"

#include <cstdio>
#include <cstring>

#include "core/strings/engine_string.h"
#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "core/core_cvars.h"
#include "game/game_cvars.h"
#include "gui/screens/gui.h"
#include "gui/lists/gui_list_box.h"
#include "gui/texts/gui_locale.h"
#include "gui/screens/mission_screen_lines.h"
#include "platform/win32.h"

namespace {

void Show(GuiMessageSlot& slot, u32_t durationMs)
{
    slot.shown = 1;
    slot.start = GetTickCount();
    slot.duration = durationMs;
}

// A script's duration; a negative one shows nothing rather than for about 50 days.
u32_t Duration(const s32_t* durationMs)
{
    return durationMs && *durationMs > 0 ? static_cast<u32_t>(*durationMs) : 0;
}

void PlayMessageSound(const char* name)
{
    if (!name || !*name)
        return;
    if (SoundInstance* sound = FindMessageSound(EngineString(name)))
        sound->Play(false, false);
}

}  // namespace

void GuiShowSubtitle(const char* sender, const char* textKey, u32_t durationMs)
{
    GuiScreen* layer = GuiFindLoadedScreen("LAYER10");
    GuiControl* control = layer ? layer->FindControl("subtitles") : nullptr;
    if (!control)
        return;
    const char* key = textKey ? textKey : "";
    EngineString text;
    GuiLocalize(EngineString(key), &text);
    char line[1024];
    if (sender)
        std::snprintf(line, sizeof line, "%s:  %s", sender, text.Text());
    else
        std::snprintf(line, sizeof line, "global:  %s", text.Text());
    // The oldest line leaves when the layer holds its two already.
    if (g_gui.subtitleLineCount == GUI_SUBTITLE_LINES) {
        g_gui.subtitleLines[0] = g_gui.subtitleLines[1];
        g_gui.subtitleLineCount = 1;
    }
    g_gui.subtitleLines[g_gui.subtitleLineCount++].Assign(line);
    if (auto* list = dynamic_cast<GuiListBox*>(control)) {
        if (list->ItemCount() >= GUI_SUBTITLE_LINES)
            list->RemoveItem(0);
        list->AddString(line);
    }
    g_gui.subtitleSpeaker.Assign(sender ? sender : "");
    g_gui.subtitleKey.Assign(key);
    ++g_gui.subtitleCount;
    const char* dot = std::strrchr(key, '.');
    PlayMessageSound(dot ? dot + 1 : key);
    Show(g_gui.subtitleSlot, durationMs);
}

void GuiShowCaption(const char* name, u32_t durationMs)
{
    if (!GuiFindLoadedScreen("layer11"))
        return;
    char sound[256];
    std::snprintf(sound, sizeof sound, "_gm_%s", name ? name : "");
    if (char* cut = std::strrchr(sound, '_'))
        *cut = '\0';
    if (SoundInstance* voice = FindMessageSound(EngineString(sound))) {
        voice->Play(false, false);
        g_gui.captionSound.Assign(sound);
    }
    Show(g_gui.captionSlot, durationMs);
}

void GuiShowCaption(u32_t durationMs)
{
    GuiShowCaption(dsmap.String(), durationMs);
}

void GuiShowRecord(u32_t durationMs)
{
    if (!GuiFindLoadedScreen("layer12"))
        return;
    PlayMessageSound(gs_records.String());
    Show(g_gui.recordSlot, durationMs);
}

void GuiShowResponse(u32_t durationMs)
{
    if (!GuiFindLoadedScreen("layer13"))
        return;
    PlayMessageSound(gs_response.String());
    Show(g_gui.responseSlot, durationMs);
}

void Gui_AddRecord(const s32_t* durationMs)
{
    if (!durationMs) {
        GuiShowRecord(GUI_DEFAULT_LINE_TIME);
        return;
    }
    g_gui.recordDue = 1;
    g_gui.recordStamp = GetTickCount();
    g_gui.recordDuration = Duration(durationMs);
}

void Gui_AddResponse(const s32_t* durationMs)
{
    GuiShowResponse(durationMs ? Duration(durationMs) : GUI_DEFAULT_LINE_TIME);
}
