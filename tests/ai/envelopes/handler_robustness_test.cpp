// Damaged handler files: each scans, compiles and fires, or fails with its lines; none crashes, reads
// past its text or hangs.
#include <gtest/gtest.h>

#include <string>

#include "core/random.h"
#include "handler_fixture.h"
#include "support/text_mutation.h"

namespace {

const char kHandlers[] =
    "\n# the mission's handlers (a comment starts after a blank)\n"
    "Gate{ timeout 5 OnFrame{ Enable(); } OnCollision{ Mark(data); } }\n"
    "Base;\n"
    "Door : Base{ timeout = 0x10 int opened = 0; float speed = 1.5; str label = \"door\";\n"
    "  OnInteract{ opened++; Mark(opened); if (Yes()) { Mark(sender); } }\n"
    "  OnHit : Base.OnInit ; OnFrame : Gate;\n"
    "}\n"
    "Base{ OnInit{ Mark(1); } OnFrame{ Mark(2); } /* } */ }\n"
    "Lone;\n";

class HandlerRobustness : public HandlerTest {
protected:
    // Compiles the text as the mission start does, binds an instance of every template, and fires
    // every slot of each.
    void ReadDamaged(const std::string& text)
    {
        ScriptObject owner;
        HandlerSetEventObject(&owner);
        if (CompileMission(text)) {
            EventHandlerList* list = HandlerList();
            for (s32_t i = 0; i < list->Count(); ++i) {
                EventHandler* instance = HandlerBindInstance(list->At(i)->Name(), &owner);
                for (s32_t slot = -1; slot <= HANDLER_EVENT_SLOTS; ++slot) {
                    Fire(list->At(i), slot, &owner);
                    Fire(instance, slot, &owner);
                }
                delete instance;
            }
        }
        ScriptDestroyRegistries();
        HandlerSetEventObject(nullptr);
    }
};

TEST_F(HandlerRobustness, TruncationsAndNamedDamages)
{
    const std::string text = kHandlers;
    ReadDamaged(text);
    for (const char* line : {"Gate OK\n", "Base OK\n", "Door OK\n", "ERROR : Lone Has no bodystart\n"})
        EXPECT_TRUE(LogHas(line)) << line << LogText();
    for (size_t n = 0; n <= text.size(); ++n)
        ReadDamaged(text.substr(0, n));
    for (const test_support::TextDamage& damage : test_support::CommonTextDamages()) {
        SCOPED_TRACE(damage.what);
        ReadDamaged(damage.make(text));
    }
    const test_support::TextDamage own[] = {
        {"a '#' glued to every word",
         [](const std::string& o) {
             std::string d;
             for (char c : o)
                 d += c == ' ' ? std::string("#") : std::string(1, c);
             return d;
         }},
        {"bodies never closed",
         [](const std::string& o) {
             std::string d = o;
             for (char& c : d)
                 if (c == '}')
                     c = ' ';
             return d;
         }},
        {"braces only", [](const std::string& o) { return std::string(o.size(), '{'); }},
    };
    for (const test_support::TextDamage& damage : own) {
        SCOPED_TRACE(damage.what);
        ReadDamaged(damage.make(text));
    }
}

TEST_F(HandlerRobustness, MutatedTexts)
{
    const u32_t seed = EngineRandState();
    EngineSRand(5317);
    for (int round = 0; round < 1500; ++round)
        ReadDamaged(test_support::MutateText(kHandlers));
    EngineSRand(seed);
}

}  // namespace
