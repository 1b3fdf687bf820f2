// The script class registry, script objects and their calls by name.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ai/script_fixture.h"

namespace {

class Adder : public ScriptObject {
public:
    Adder()
    {
        scriptClass = ScriptClassRegistry::RegisterClass("Adder");
        AddMethod(ScriptMethodOf(&Adder::Add), "Add", TYP_INT);
        AddMethod(static_cast<ScriptMethodPtr>(&ScriptObject::Hold), "Hold", TYP_VOID);
        AddMethod(static_cast<ScriptMethodPtr>(&ScriptObject::GetHealth), "GetHealth", TYP_FLOAT);
        AddMethod(ScriptMethodOf(&Adder::CountArgs), "CountArgs", TYP_INT);
        AddMember(&sitValue, "sit_val", TYP_FLOAT);
    }
    void Add(ScriptArgWord* args)
    {
        g_scriptResult.asInt = *static_cast<s32_t*>(args[0]) + *static_cast<s32_t*>(args[1]);
    }
    void CountArgs(ScriptArgWord* args) { g_scriptResult.asInt = args ? 1 : 0; }
    void Hold(ScriptArgWord*) override { ++holds; }

    float sitValue = 0.0f;
    int holds = 0;
};

// A derived class that overrides a slot its base registered.
class Sentry : public Adder {
public:
    void Hold(ScriptArgWord*) override { ++sentryHolds; }
    int sentryHolds = 0;
};

using ScriptRegistry = ScriptTest;

TEST_F(ScriptRegistry, FirstRegistrationWinsAndNamesAreExact)
{
    ScriptClass* first = ScriptClassRegistry::RegisterClass("Guard");
    EXPECT_EQ(ScriptClassRegistry::RegisterClass("Guard"), first);
    EXPECT_EQ(ScriptClassRegistry::FindClass("guard"), nullptr);

    ScriptMethodPtr hold = static_cast<ScriptMethodPtr>(&ScriptObject::Hold);
    ScriptMethodPtr fire = static_cast<ScriptMethodPtr>(&ScriptObject::Fire);
    ScriptMethod* record = first->methods.Add(hold, "Hold", TYP_VOID);
    EXPECT_EQ(first->methods.Add(fire, "Hold", TYP_BOOL), record);
    EXPECT_TRUE(record->method == hold);
    EXPECT_EQ(record->returnType, TYP_VOID);
    EXPECT_EQ(first->methods.Find("hold"), nullptr);
}

TEST_F(ScriptRegistry, TheHundredAndFirstMethodAndClassAreRefused)
{
    std::vector<std::string> names;
    for (int i = 0; i < 101; ++i)
        names.push_back("C" + std::to_string(i));
    for (int i = 0; i < 100; ++i)
        ASSERT_NE(ScriptClassRegistry::RegisterClass(names[i].c_str()), nullptr);
    EXPECT_EQ(ScriptClassRegistry::RegisterClass(names[100].c_str()), nullptr);
    EXPECT_EQ(ScriptClassRegistry::Count(), 100);

    ScriptClass* cls = ScriptClassRegistry::FindClass("C0");
    for (int i = 0; i < 100; ++i)
        ASSERT_NE(cls->methods.Add(ScriptMethodOf(&Adder::Add), names[i].c_str(), TYP_INT), nullptr);
    EXPECT_EQ(cls->methods.Add(ScriptMethodOf(&Adder::Add), names[100].c_str(), TYP_INT), nullptr);
    ASSERT_NE(cls->methods.Find("C99"), nullptr);
}

TEST_F(ScriptRegistry, CallsByNameReachTheRealClassAndLeaveResultsAlone)
{
    Adder adder;
    ASSERT_TRUE(adder.CallMethodByName("Add", "(2,3)"));
    EXPECT_EQ(g_scriptResult.asInt, 5);

    // The base registered "Hold" through its slot: the derived class's override runs.
    Sentry sentry;
    ASSERT_TRUE(sentry.CallMethodByName("Hold", "()"));
    EXPECT_EQ(sentry.sentryHolds, 1);
    EXPECT_EQ(sentry.holds, 0);

    // A slot no class overrides does nothing: the cells keep the last results.
    g_scriptResult = {1, 77, 2.5f};
    ASSERT_TRUE(adder.CallMethodByName("GetHealth", "()"));
    EXPECT_EQ(g_scriptResult.asBool, 1);
    EXPECT_EQ(g_scriptResult.asInt, 77);
    EXPECT_EQ(g_scriptResult.asFloat, 2.5f);

    ASSERT_TRUE(adder.CallMethodByName("CountArgs", "()"));
    EXPECT_EQ(g_scriptResult.asInt, 0) << "no arguments pass a null pointer";

    g_scriptResult.asInt = 9;
    EXPECT_FALSE(adder.CallMethodByName("Subtract", "(2,3)"));
    EXPECT_FALSE(adder.CallMethodByName("Add", "(2,3"));
    EXPECT_FALSE(adder.CallMethodByName("Add", "2,3)"));
    EXPECT_EQ(g_scriptResult.asInt, 9) << "no call was made";
}

TEST_F(ScriptRegistry, ConstantArgumentsAreNotCopiedAndBoundOnesAreRefreshed)
{
    ScriptArgs args;
    s32_t constant = 4;
    ASSERT_TRUE(args.Add(&constant));
    EXPECT_EQ(args.Resolve()[0], &constant);

    void* variable = reinterpret_cast<void*>(0x1000);
    ScriptArgs bound;
    ASSERT_TRUE(bound.AddBound(&variable));
    EXPECT_EQ(bound.Resolve()[0], reinterpret_cast<void*>(0x1000));
    variable = reinterpret_cast<void*>(0x2000);
    EXPECT_EQ(bound.Resolve()[0], reinterpret_cast<void*>(0x2000)) << "the whole pointer, refreshed";

    ScriptArgs empty;
    EXPECT_EQ(empty.Resolve(), nullptr);
    ScriptArgs full;
    for (int i = 0; i < ScriptArgs::kCapacity; ++i)
        ASSERT_TRUE(full.Add(&constant));
    EXPECT_FALSE(full.Add(&constant));
    EXPECT_FALSE(full.AddBound(&variable));
}

TEST_F(ScriptRegistry, EveryObjectOfAClassFindsItsMemberPastTheListsCapacity)
{
    std::vector<std::unique_ptr<Adder>> adders;
    for (int i = 0; i < 129; ++i) {
        adders.push_back(std::make_unique<Adder>());
        adders.back()->sitValue = static_cast<float>(i);
    }
    EXPECT_EQ(ScriptClassRegistry::FindClass("Adder")->members.Count(), 1);
    for (int i = 0; i < 129; ++i) {
        ScriptValue* member = adders[i]->FindMember("sit_val");
        ASSERT_NE(member, nullptr) << i;
        EXPECT_EQ(*static_cast<float*>(member->data), static_cast<float>(i));
        EXPECT_EQ(member->Type(), TYP_FLOAT);
    }
}

TEST_F(ScriptRegistry, TheGlobalObjectTableStartsWithThis)
{
    ScriptValue* self = ScriptGlobalObjects()->At(0);
    ASSERT_NE(self, nullptr);
    EXPECT_STREQ(self->Name(), "this");
    EXPECT_EQ(self->Type(), TYP_CLASS);
    EXPECT_EQ(ScriptConstPool()->Count(), 0);
}

}  // namespace
