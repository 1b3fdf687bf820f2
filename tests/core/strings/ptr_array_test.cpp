#include "core/strings/ptr_array.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Element {
    virtual ~Element() = default;
};

// Counts its deletions; deleted through the base class, so the array must use the virtual destructor.
struct CountedElement : Element {
    explicit CountedElement(int& counter) : deletions(counter) {}
    ~CountedElement() override { ++deletions; }
    int& deletions;
};

TEST(PtrArrayTest, StartsWith64SlotsAndGrowsOneSlotAtATimeWhenFull)
{
    PtrArray<Element> array;
    EXPECT_EQ(array.Count(), 0);
    EXPECT_EQ(array.Capacity(), 64);
    EXPECT_EQ(array.Cursor(), -1);

    std::vector<Element*> appended;
    for (int i = 0; i < 66; ++i) {
        appended.push_back(new Element);
        array.Append(appended.back());
        EXPECT_EQ(array.Cursor(), i);
        EXPECT_EQ(array.Capacity(), i < 64 ? 64 : i + 1);
    }
    ASSERT_EQ(array.Count(), 66);
    for (int i = 0; i < 66; ++i)
        EXPECT_EQ(array[i], appended[i]) << i;
}

TEST(PtrArrayTest, IndexOfFindsTheFirstEqualPointer)
{
    PtrArray<Element> array;
    Element a, b;
    EXPECT_EQ(array.IndexOf(&a), -1);

    array.Append(&a);
    array.Append(&b);
    array.Append(&b);
    EXPECT_EQ(array.IndexOf(&b), 1);
    EXPECT_EQ(array.IndexOf(nullptr), -1);

    const PtrArrayBase& base = array;
    EXPECT_TRUE(base.Contains(&a));
    EXPECT_FALSE(base.Contains(nullptr));

    // The elements live on the stack here: empty the array without deleting them.
    while (array.Count() > 0)
        array.RemoveAt(0);
}

TEST(PtrArrayTest, DestructionDeletesEveryNonNullElementThroughItsVirtualDestructor)
{
    int deletions = 0;
    {
        auto array = std::make_unique<PtrArray<Element>>();
        array->Append(new CountedElement(deletions));
        array->Append(nullptr);
        array->Append(new CountedElement(deletions));
        array->Append(nullptr);
    }
    EXPECT_EQ(deletions, 2);
}

TEST(PtrArrayTest, DeleteAllLeavesAnEmptyArrayThatGrowsAgain)
{
    int deletions = 0;
    PtrArray<Element> array;
    array.Append(new CountedElement(deletions));
    array.DeleteAll();
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(array.Count(), 0);
    EXPECT_EQ(array.Capacity(), 0);
    EXPECT_EQ(array.Cursor(), -1);

    array.Append(new CountedElement(deletions));
    EXPECT_EQ(array.Count(), 1);
    EXPECT_EQ(array.Capacity(), 1);
    EXPECT_EQ(array.Cursor(), 0);
}

TEST(PtrArrayTest, RemoveAtKeepsTheOrderAndHandsTheElementBack)
{
    struct Case {
        int index;
        std::vector<int> remaining;  // indexes into the original four
        int cursor;
    };
    const Case cases[] = {
        {0, {1, 2, 3}, 2},     {1, {0, 2, 3}, 2},    {3, {0, 1, 2}, -1},  // the element appended last is gone
        {-1, {0, 1, 2, 3}, 3}, {4, {0, 1, 2, 3}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        int deletions = 0;
        std::vector<Element*> elements;
        PtrArray<Element> array;
        for (int i = 0; i < 4; ++i) {
            elements.push_back(new CountedElement(deletions));
            array.Append(elements.back());
        }

        array.RemoveAt(c.index);
        EXPECT_EQ(deletions, 0);
        ASSERT_EQ(array.Count(), static_cast<s32_t>(c.remaining.size()));
        for (size_t i = 0; i < c.remaining.size(); ++i)
            EXPECT_EQ(array[static_cast<s32_t>(i)], elements[c.remaining[i]]);
        EXPECT_EQ(array.Cursor(), c.cursor);
        if (c.remaining.size() < elements.size())
            delete elements[c.index];
    }
}

}  // namespace
