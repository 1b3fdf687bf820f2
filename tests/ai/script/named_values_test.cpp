// Named value tables: pooling, ownership and lookups.
#include <gtest/gtest.h>

#include "ai/script/named_values.h"

namespace {

TEST(NamedValues, UnnamedConstantsArePooledByTypeAndValue)
{
    NamedValueTable table(10);
    ScriptValue* five = table.AddInt(nullptr, 5);
    EXPECT_EQ(table.AddInt(nullptr, 5), five);
    EXPECT_EQ(table.Count(), 1);
    EXPECT_TRUE(five->ownsData);

    ScriptValue* floatOne = table.AddFloat(nullptr, 1.0f);
    ScriptValue* intOne = table.AddInt(nullptr, 1);
    EXPECT_NE(floatOne, intOne);
    EXPECT_EQ(table.Count(), 3);

    ScriptValue* hello = table.AddString(nullptr, ScriptCopyText("hello"));
    EXPECT_EQ(table.AddString(nullptr, ScriptCopyText("hello")), hello);
    EXPECT_EQ(table.Count(), 4) << "equal string constants share one text";
    EXPECT_STREQ(static_cast<const char*>(hello->data), "hello");
}

TEST(NamedValues, ADuplicateNameIsRefusedAndKeepsTheOldValue)
{
    NamedValueTable table(10);
    ScriptValue* first = table.AddInt("count", 1);
    EXPECT_EQ(table.AddInt("count", 2), nullptr);
    EXPECT_EQ(table.Find("count"), first);
    EXPECT_EQ(*static_cast<s32_t*>(first->data), 1);
    EXPECT_EQ(table.Find("Count"), nullptr);
    EXPECT_EQ(table.IndexOf(nullptr), -1);
}

TEST(NamedValues, AFullTableRefusesAndNamedValuesAreNeverPooled)
{
    NamedValueTable table(2);
    EXPECT_NE(table.AddInt("a", 1), nullptr);
    EXPECT_NE(table.AddInt("b", 1), nullptr);
    EXPECT_EQ(table.AddInt(nullptr, 1), nullptr) << "named values are no constants to reuse";
    EXPECT_EQ(table.AddString(nullptr, ScriptCopyText("x")), nullptr);
    ScriptValueInfo info("c", TYP_INT, true);
    EXPECT_EQ(table.AddRef(&info, nullptr, false), -1);
}

TEST(NamedValues, AValueOverASharedRecordLeavesTheRecordAlive)
{
    ScriptMemberList members;
    ScriptValueInfo* info = members.Add("sit_val", TYP_FLOAT, true);
    float storage = 3.0f;
    {
        NamedValueTable table(4);
        EXPECT_EQ(table.AddRef(info, &storage, false), 0);
        EXPECT_EQ(table.Find("sit_val")->data, &storage);
    }
    EXPECT_STREQ(info->name, "sit_val");
    EXPECT_EQ(members.Find("sit_val"), info);
    EXPECT_EQ(storage, 3.0f) << "the member's storage is not the table's";
}

TEST(NamedValues, EqualsComparesContentsAndNeverObjects)
{
    NamedValueTable table(8);
    int object = 0;
    ScriptValue* obj = table.AddObject("guard", &object);
    EXPECT_FALSE(obj->Equals(TYP_CLASS, &object));
    ScriptValue* text = table.AddString("s", ScriptCopyText("abc"));
    EXPECT_TRUE(text->Equals(TYP_STRING, "abc"));
    EXPECT_FALSE(text->Equals(TYP_INT, "abc"));
    text->Clear();
    EXPECT_EQ(text->data, nullptr);
    EXPECT_FALSE(text->Equals(TYP_STRING, "abc"));
}

}  // namespace
