// The chain of input modes (handled once per poll) and the chain of debug overlays (drawn by the GUI frame).
#include "core/input/input_modes.h"

#include <gtest/gtest.h>

#include <string>

#include "core/input/input.h"

namespace {

std::string g_trace;

// Writes its letter for each operation: E enter, L leave, K handle keys, D draw, P push, O pop.
class TracingMode final : public InputMode {
public:
    explicit TracingMode(char name, bool handles = false) : m_name(name), m_handles(handles) {}
    bool Enter() override { return Note('E'); }
    bool Leave() override { return Note('L'); }
    bool HandleKeys(InputMode* owner) override
    {
        Note('K');
        m_owner = owner;
        return m_handles || InputMode::HandleKeys(owner);
    }
    InputMode* m_owner = nullptr;

private:
    bool Note(char what)
    {
        g_trace += m_name;
        g_trace += what;
        g_trace += ' ';
        return true;
    }
    char m_name;
    bool m_handles;
};

class TracingOverlay final : public DebugOverlay {
public:
    explicit TracingOverlay(char name) : m_name(name) {}
    bool Draw() override
    {
        g_trace += m_name;
        return DebugOverlay::Draw();
    }
    bool OnPush() override { return Note('P'); }
    bool OnPop() override { return Note('O'); }

private:
    bool Note(char what)
    {
        g_trace += m_name;
        g_trace += what;
        g_trace += ' ';
        return true;
    }
    char m_name;
};

class InputModesTest : public ::testing::Test {
protected:
    void SetUp() override { g_trace.clear(); }
    void TearDown() override { InputShutdown(); }
};

TEST_F(InputModesTest, EmptyChainsDoNothing)
{
    ASSERT_EQ(g_input.currentMode, nullptr);
    EXPECT_FALSE(InputModeCall());
    EXPECT_FALSE(DrawDebugOverlays());
    EXPECT_FALSE(PushDebugOverlay(nullptr));
    EXPECT_FALSE(PopDebugOverlay(nullptr));
    InputUpdate();  // the poll's call with nothing installed
    EXPECT_EQ(g_trace, "");
}

TEST_F(InputModesTest, ModesPushPopAndPassKeysDownTheChain)
{
    TracingMode base('a');
    TracingMode top('b');
    TracingMode middle('c', true);

    InputModeSwitchTo(&base);
    EXPECT_EQ(g_trace, "aE ");
    EXPECT_FALSE(InputModeCall());  // the last mode passes on to nothing

    g_trace.clear();
    EXPECT_TRUE(base.Push(&top, nullptr));  // without owner: top becomes current, entered once
    EXPECT_EQ(g_input.currentMode, &top);
    EXPECT_EQ(top.Next(), &base);
    EXPECT_EQ(g_trace, "bE ");

    g_trace.clear();
    EXPECT_TRUE(base.Push(&middle, &top));  // between top and base
    EXPECT_EQ(top.Next(), &middle);
    EXPECT_EQ(middle.Next(), &base);
    EXPECT_TRUE(InputModeCall());  // middle handles the keys: base never sees them
    EXPECT_EQ(g_trace, "cE bK cK ");
    EXPECT_EQ(top.m_owner, nullptr);
    EXPECT_EQ(middle.m_owner, &top);

    g_trace.clear();
    EXPECT_TRUE(middle.Pop(&top));
    EXPECT_EQ(top.Next(), &base);
    EXPECT_TRUE(top.Pop(nullptr));
    EXPECT_EQ(g_input.currentMode, &base);
    EXPECT_EQ(g_trace, "cL bL ");  // the mode behind is not entered again

    EXPECT_FALSE(base.Push(&base, nullptr));
    EXPECT_FALSE(base.Push(nullptr, nullptr));
    base.SetNext(&base);
    EXPECT_EQ(base.Next(), nullptr);
    base.SetNext(&top);
    EXPECT_EQ(base.Next(), &top);
}

TEST_F(InputModesTest, OverlaysDrawFromTheTopAndPopFromAnywhere)
{
    TracingOverlay a('a');
    TracingOverlay b('b');
    TracingOverlay c('c');
    for (TracingOverlay* overlay : {&a, &b, &c})
        EXPECT_TRUE(PushDebugOverlay(overlay));
    EXPECT_EQ(g_trace, "aP bP cP ");
    EXPECT_EQ(g_input.topOverlay, &c);
    EXPECT_EQ(b.Previous(), &c);
    EXPECT_EQ(b.Next(), &a);

    // A second push would make the chain loop: refused.
    EXPECT_FALSE(PushDebugOverlay(&c));
    EXPECT_FALSE(PushDebugOverlay(&a));

    g_trace.clear();
    EXPECT_TRUE(DrawDebugOverlays());
    EXPECT_EQ(g_trace, "cba");

    g_trace.clear();
    EXPECT_TRUE(PopDebugOverlay(&b));  // not the top: the top stays, the rest stays linked
    EXPECT_EQ(g_input.topOverlay, &c);
    EXPECT_EQ(c.Next(), &a);
    EXPECT_EQ(a.Previous(), &c);
    EXPECT_EQ(b.Next(), nullptr);
    EXPECT_EQ(b.Previous(), nullptr);
    EXPECT_FALSE(PopDebugOverlay(&b));  // no longer in the chain
    EXPECT_TRUE(DrawDebugOverlays());
    EXPECT_EQ(g_trace, "bO ca");

    g_trace.clear();
    EXPECT_TRUE(PopDebugOverlay(&c));
    EXPECT_EQ(g_input.topOverlay, &a);
    EXPECT_TRUE(PopDebugOverlay(&a));
    EXPECT_EQ(g_input.topOverlay, nullptr);
    EXPECT_FALSE(DrawDebugOverlays());
    EXPECT_EQ(g_trace, "cO aO ");
    EXPECT_TRUE(PushDebugOverlay(&b));  // a popped overlay can come back
    EXPECT_EQ(g_input.topOverlay, &b);
}

}  // namespace
