#include "core/strings/engine_string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(EngineStringTest, TextBelow128CharactersStaysInlineLongerGoesToTheHeap)
{
    struct Case {
        size_t length;
        bool onHeap;
    };
    for (const Case& c : {Case{0, false}, Case{127, false}, Case{128, true}, Case{300, true}}) {
        SCOPED_TRACE(c.length);
        const std::string text(c.length, 'a');
        EngineString original(text.c_str());
        EngineString copy(original);

        for (const EngineString* s : {&original, &copy}) {
            EXPECT_EQ(s->Length(), c.length);
            EXPECT_EQ(s->IsOnHeap(), c.onHeap);
            EXPECT_EQ(s->Text(), text);
        }
        // A copy owns its text: changing the original leaves it alone.
        if (c.length > 0)
            original.Data()[0] = 'b';
        EXPECT_EQ(copy.Text(), text);
    }
}

TEST(EngineStringTest, AssignReplacesTextOfAnySize)
{
    struct Case {
        size_t from, to;
    };
    for (const Case& c : {Case{300, 200}, Case{200, 300}, Case{300, 5}, Case{5, 300}, Case{5, 100}}) {
        SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
        const std::string target(c.to, 'n');
        EngineString s(std::string(c.from, 'o').c_str());
        const EngineString other(target.c_str());

        s = other;
        EXPECT_EQ(s.Length(), c.to);
        EXPECT_EQ(s.Text(), target);

        s.Assign(std::string(c.from, 'o').c_str());
        s.Assign(target.c_str());
        EXPECT_EQ(s.Text(), target);
    }
}

TEST(EngineStringTest, AssigningItselfOrItsOwnTextKeepsTheText)
{
    for (size_t length : {10u, 300u}) {
        SCOPED_TRACE(length);
        std::string text(length, 'x');
        text[0] = 'a';
        EngineString s(text.c_str());

        s = *&s;
        EXPECT_EQ(s.Text(), text);
        s.Assign(s.Text());
        EXPECT_EQ(s.Text(), text);
        // A tail of its own text: the source overlaps the place it is copied to.
        s.Assign(s.Text() + 1);
        EXPECT_EQ(s.Text(), text.substr(1));
        s.SetChars(s.Text() + 1, 5);
        EXPECT_EQ(s.Text(), text.substr(2, 5));
    }
}

TEST(EngineStringTest, ClearKeepsInlineCharactersButEmptiesTheLength)
{
    EngineString inlineText("abc");
    inlineText.Clear();
    EXPECT_EQ(inlineText.Length(), 0u);
    EXPECT_STREQ(inlineText.Text(), "abc");

    // After a heap block the inline area held the pointer: it must read as an empty text.
    EngineString heapText(std::string(200, 'h').c_str());
    heapText.Clear();
    EXPECT_EQ(heapText.Length(), 0u);
    EXPECT_FALSE(heapText.IsOnHeap());
    EXPECT_STREQ(heapText.Text(), "");
}

TEST(EngineStringTest, SetCharsTakesExactlyCountCharacters)
{
    const std::string source = std::string(250, 'q') + "tail";
    for (u32_t count : {0u, 3u, 127u, 128u, 250u}) {
        SCOPED_TRACE(count);
        EngineString s;
        s.SetChars(source.c_str(), count);
        EXPECT_EQ(s.Length(), count);
        EXPECT_EQ(s.Text(), source.substr(0, count));
    }
}

TEST(EngineStringTest, ReserveGivesRoomForTheCallerToFill)
{
    for (u32_t length : {10u, 200u}) {
        SCOPED_TRACE(length);
        EngineString s = EngineString::Reserve(length);
        ASSERT_EQ(s.Length(), length);
        EXPECT_EQ(s.IsOnHeap(), length >= 128);
        EXPECT_EQ(s.Text()[length], '\0');
        std::string filled(length, 'r');
        filled.copy(s.Data(), length);
        EXPECT_EQ(s.Text(), filled);
    }
}

TEST(EngineStringTest, NullTextIsEmpty)
{
    EngineString fromNull(nullptr);
    EXPECT_EQ(fromNull.Length(), 0u);
    EXPECT_STREQ(fromNull.Text(), "");

    EngineString s(std::string(200, 'z').c_str());
    s.Assign(static_cast<const char*>(nullptr));
    EXPECT_EQ(s.Length(), 0u);
    EXPECT_STREQ(s.Text(), "");
}

}  // namespace
