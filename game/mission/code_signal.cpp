#include "game/mission/code_signal.h"

#include <cstdio>

#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "core/strings/text_case.h"
#include "game/mission/game_messages.h"
#include "platform/win32.h"

CodeCountdown g_codeCountdowns[CODE_SIGNAL_COUNT];

namespace {

constexpr u32_t kStepMs = 1000;

struct CodeTexts {
    const char* envelope;
    const char* started;
    const char* executed;
};
constexpr CodeTexts kCodes[CODE_SIGNAL_COUNT] = {
    {"codered", "messages._gm_exe5_code_red", "messages._gm_exec_code_red"},
    {"codegreen", "messages._gm_exe5_code_green", "messages._gm_exec_code_green"},
    {"codeblue", "messages._gm_exe5_code_blue", "messages._gm_exec_code_blue"},
};

bool AnyActive()
{
    for (const CodeCountdown& code : g_codeCountdowns) {
        if (code.active)
            return true;
    }
    return false;
}

Envelope* FindCodeEnvelope(const char* name)
{
    for (Envelope* envelope : g_ai.envelopes) {
        if (envelope && CompareNoCase(envelope->name.Text(), name) == 0)
            return envelope;
    }
    return nullptr;
}

}  // namespace

void GameCodeReset()
{
    for (CodeCountdown& code : g_codeCountdowns)
        code = CodeCountdown();
}

void GameCodeCountdown(s32_t code, bool start)
{
    if (code < 0 || code >= CODE_SIGNAL_COUNT)
        return;
    CodeCountdown& state = g_codeCountdowns[code];
    if (start) {
        if (AnyActive())
            return;
        const u32_t now = GetTickCount();
        // A tick count of 0 would read as "not counting".
        state.active = now ? now : 1;
        state.lastTick = now;
        state.count = CODE_COUNTDOWN_START;
        GameShowMessage(nullptr, kCodes[code].started);
        return;
    }
    if (Envelope* envelope = FindCodeEnvelope(kCodes[code].envelope)) {
        if (envelope->Interact())
            GameShowMessage(nullptr, kCodes[code].executed);
    }
    // Without its envelope a code that kept counting would go below zero and hold back every other
    // code for good: it stops in every case.
    state.active = 0;
}

void GameCodeFrame()
{
    const u32_t now = GetTickCount();
    for (s32_t code = 0; code < CODE_SIGNAL_COUNT; ++code) {
        CodeCountdown& state = g_codeCountdowns[code];
        if (!state.active || now - state.lastTick < kStepMs)
            continue;
        state.lastTick = now;
        const s32_t count = state.count;
        if (count != 0) {
            char key[48];
            std::snprintf(key, sizeof key, "messages._gm_count%d", static_cast<int>(count));
            GameShowMessage(nullptr, key);
        }
        state.count = count - 1;
        if (count == 0)
            GameCodeCountdown(code, false);
    }
}
