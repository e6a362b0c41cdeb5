#include "platform/shell/item_id_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CNameSpaceItem ListOf(const std::vector<std::string>& ids)
{
    CNameSpaceItem item;
    for (const std::string& id : ids)
        item.AppendId(id);
    return item;
}

TEST(NameSpaceItem, StartsAsTheDesktopAndCopiesWhatItIsGiven)
{
    const CNameSpaceItem desktop;
    EXPECT_EQ(desktop.GetDepth(), 0);
    EXPECT_EQ(IdListSize(desktop.Get()), 2u);  // the terminator alone

    const CNameSpaceItem source = ListOf({"Cx", "Vy", "Sz"});
    CNameSpaceItem copy;
    copy.SetPidl(source.Get());
    EXPECT_TRUE(copy.IsEqual(source.Get()));
    EXPECT_EQ(copy.GetDepth(), 3);
    copy.SetPidl(nullptr);
    EXPECT_EQ(copy.GetDepth(), 0);
}

TEST(NameSpaceItem, AppendsAndRemovesWholeIds)
{
    CNameSpaceItem item = ListOf({"C"});
    item.Append(ListOf({"V/media/stick", "Sfilms"}).Get());
    EXPECT_EQ(item.Ids(), (std::vector<std::string_view>{"C", "V/media/stick", "Sfilms"}));
    item.Append(CNameSpaceItem().Get());  // the desktop adds nothing
    EXPECT_EQ(item.GetDepth(), 3);
    EXPECT_TRUE(item.Last().IsEqual(ListOf({"Sfilms"}).Get()));

    item.RemoveLast();
    EXPECT_TRUE(item.IsEqual(ListOf({"C", "V/media/stick"}).Get()));
    item.RemoveLast();
    item.RemoveLast();
    EXPECT_EQ(item.GetDepth(), 0);
    item.RemoveLast();  // the desktop has no parent
    EXPECT_TRUE(item.IsEqual(CNameSpaceItem().Get()));
}

TEST(NameSpaceItem, EqualMeansSameIdsWithTheSameBytesEndingTogether)
{
    const CNameSpaceItem item = ListOf({"C", "Va"});
    struct Case {
        std::vector<std::string> ids;
        bool equal;
    };
    const Case cases[] = {
        {{"C", "Va"}, true},
        {{"C", "Vb"}, false},
        {{"C"}, false},            // a prefix
        {{"C", "Va", "S"}, false},  // a longer list
        {{"CVa"}, false},          // the same bytes cut differently
        {{}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(item.IsEqual(ListOf(c.ids).Get()), c.equal) << c.ids.size();
    EXPECT_FALSE(item.IsEqual(nullptr));
    EXPECT_TRUE(CNameSpaceItem().IsEqual(CNameSpaceItem().Get()));
}

TEST(NameSpaceItem, KeepsAnyBytesAndCutsAnOversizedId)
{
    const std::string bytes("S\0\xff\x01name", 8);
    const CNameSpaceItem item = ListOf({bytes, std::string(70000, 'x')});
    ASSERT_EQ(item.GetDepth(), 2);
    EXPECT_EQ(item.Ids()[0], bytes);
    EXPECT_EQ(item.Ids()[1].size(), 65533u);
}

}  // namespace
