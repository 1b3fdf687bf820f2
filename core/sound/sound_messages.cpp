// Message voices: the voice file of each game message, named by the "messages.asc" files of the
// common locale and of the current language, found by message key.
#include <cstdio>
#include <cstring>
#include "core/strings/text_case.h"

#include "core/assert.h"
#include "core/console/console_var.h"
#include "core/core_cvars.h"
#include "core/files/def_file.h"
#include "core/frame_view.h"
#include "core/sound/sound_system.h"

namespace {

void LowerAscii(char* text)
{
    for (; *text; ++text)
        if (*text >= 'A' && *text <= 'Z')
            *text = static_cast<char>(*text - 'A' + 'a');
}

s32_t FindKey(const char* key)
{
    const size_t length = std::strlen(key);
    for (s32_t i = 0; i < g_sound.messageCount; ++i) {
        const EngineString& stored = g_sound.messages[i].key;
        if (stored.Length() == length && CompareNoCase(stored.Text(), key) == 0)
            return i;
    }
    return -1;
}

SoundInstance* LoadVoice(const char* folder, const char* fileName)
{
    char name[MAX_PATH];
    const int length = std::snprintf(name, sizeof(name), "%s%s", folder, fileName);
    if (length < 0 || length >= static_cast<int>(sizeof(name)))
        return nullptr;
    return SoundLoad(nullptr, name, SOUND_MODE_VOICE);
}

void Append(const char* key, SoundInstance* instance)
{
    ENGINE_ASSERT_TEXT(g_sound.messageCount < MAX_GAME_MSG_SOUNDS - 1, "game_msg_snds_c < MAX_GAME_MSG_SOUNDS - 1");
    MessageSound& slot = g_sound.messages[g_sound.messageCount++];
    slot.instance = instance;
    slot.key.Assign(key);
}

// A key naming a campaign mission ("..m_c0..") belongs to the map whose name holds it.
bool KeyFitsMap(const char* key, const char* mapName)
{
    if (!std::strstr(key, "m_c0"))
        return true;
    return std::strlen(key) >= 2 && std::strstr(mapName, key + 2) != nullptr;
}

// Reads one "messages.asc": the folder carries over from list to list.
void LoadList(const char* fileName, char* folder, size_t folderSize, bool localized)
{
    DefFile* file = DefFileLoad(fileName);
    if (!file)
        return;
    char* mapName = g_frameView.mapName.Data();
    LowerAscii(mapName);
    for (DefEntry* entry = file->first; entry; entry = entry->next) {
        if (CompareNoCase(entry->key.Text(), "sounddir") == 0) {
            if (entry->valueCount >= 1)
                std::snprintf(folder, folderSize, "%s\\", entry->Value(0));
            continue;
        }
        // The first value is the message text; a line without a voice file has nothing to load.
        if (entry->valueCount < 2)
            continue;
        char key[256];
        const int keyLength = std::snprintf(key, sizeof(key), "%s", entry->key.Text());
        if (keyLength < 0 || keyLength >= static_cast<int>(sizeof(key)))
            continue;
        LowerAscii(key);
        const s32_t existing = FindKey(key);
        if (existing >= 0) {
            if (!localized || !sb_forcelocalesnd.Bool())
                continue;
            if (SoundInstance* voice = LoadVoice(folder, entry->Value(1)))
                g_sound.messages[existing].instance = voice;
            continue;
        }
        if (!localized && !KeyFitsMap(key, mapName))
            continue;
        if (SoundInstance* voice = LoadVoice(folder, entry->Value(1)))
            Append(key, voice);
    }
    DefFileRelease(file);
}

}  // namespace

void LoadMessageSounds()
{
    SoundFreeMessageSounds();
    char folder[MAX_PATH] = "voice\\_common\\";
    LoadList("locale\\_common\\messages.asc", folder, sizeof(folder), false);

    const ConsoleVar* language = CVarListFind("language");
    if (!language || language->String()[0] == 0)
        return;
    char fileName[MAX_PATH];
    const int length = std::snprintf(fileName, sizeof(fileName), "locale\\%s\\messages.asc", language->String());
    if (length > 0 && length < static_cast<int>(sizeof(fileName)))
        LoadList(fileName, folder, sizeof(folder), true);
}

void ClearMessageSounds()
{
    g_sound.messageCount = 0;
}

void SoundFreeMessageSounds()
{
    for (MessageSound& slot : g_sound.messages)
        slot.instance = nullptr;
    g_sound.messageCount = 0;
}

s32_t SoundMessageCount()
{
    return g_sound.messageCount;
}

SoundInstance* FindMessageSound(const EngineString& key)
{
    // The search ends at the first empty slot, not at the count: leaving a mission only zeroes the
    // count, so its voices are still found (their instances live until shutdown) until the next
    // load empties the slots.
    for (s32_t i = 0; i < MAX_GAME_MSG_SOUNDS && g_sound.messages[i].instance; ++i) {
        const EngineString& stored = g_sound.messages[i].key;
        if (stored.Length() == key.Length() && CompareNoCase(stored.Text(), key.Text()) == 0)
            return g_sound.messages[i].instance;
    }
    return nullptr;
}
