// The control list: listing once, owners given and taken, presses by 1-based index, tracking
// by bounds, notifications, the window-style search and the Tab focus order.
#include "tests/toolkit/item_fixture.h"
#include "toolkit/control_list.h"

namespace {

using Log = std::vector<std::string>;

class ControlListTest : public ItemTest {
protected:
    void SetUp() override
    {
        ItemTest::SetUp();
        pane_ = MakePane();
        list_ = pane_->Controls();
        ASSERT_NE(list_, nullptr);
    }
    void TearDown() override
    {
        pane_->PaneDestroy();
        ItemTest::TearDown();
    }

    ProbeItem* Add(const char* name, const PortRect& bounds = {0, 0, 0, 0})
    {
        ProbeItem* item = ProbeItem::Make(name, &log_);
        item->ItemSetBounds(bounds);
        list_->ControlListAdd(item);
        return item;
    }

    RecordingPane* pane_ = nullptr;
    ControlList* list_ = nullptr;
    Log log_;
};

TEST_F(ControlListTest, ListsAnItemOnceAndGivesAndTakesTheOwner)
{
    ProbeItem* a = Add("a");
    list_->ControlListAdd(a);
    EXPECT_EQ(list_->ArrayCount(), 1);
    EXPECT_TRUE(log_.empty()) << "no owner yet";

    list_->ControlListSetOwner(pane_);
    ProbeItem* b = Add("b");
    EXPECT_EQ(log_, (Log{"a:owner", "b:owner"}));
    EXPECT_EQ(b->Owner(), pane_);

    ProbeItem* stranger = ProbeItem::Make("stranger", &log_);
    log_.clear();
    list_->ControlListRemove(stranger);
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(list_->ArrayCount(), 2);

    list_->ControlListRemove(a);
    EXPECT_EQ(log_, (Log{"a:clear"}));
    EXPECT_EQ(a->Owner(), nullptr);
    ASSERT_EQ(list_->ArrayCount(), 1);
    EXPECT_EQ(list_->ItemAt(0), b);

    log_.clear();
    list_->ControlListClear();
    EXPECT_EQ(log_, (Log{"b:delete"}));
    EXPECT_EQ(list_->ArrayCount(), 0);
    a->ItemDelete();
    stranger->ItemDelete();
}

TEST_F(ControlListTest, PressesGoToTheFirstTakerAndTrackingToItemsHoldingThePoint)
{
    Add("a", {0, 0, 10, 10});
    ProbeItem* b = Add("b", {5, 5, 20, 20});
    ProbeItem* c = Add("c", {0, 0, 50, 50});
    b->takesPress = 1;
    c->takesPress = 1;
    EXPECT_EQ(list_->ControlListMouseDown(1, 1, 0), 2) << "1-based index";
    EXPECT_EQ(log_, (Log{"a:down", "b:down"}));
    b->takesPress = 0;
    c->takesPress = 0;
    EXPECT_EQ(list_->ControlListMouseDown(1, 1, 0), 0);

    b->trackAnswer = 7;
    c->trackAnswer = 3;
    log_.clear();
    EXPECT_EQ(list_->ControlListTrack(6, 6, 0), 7);
    EXPECT_EQ(log_, (Log{"a:track", "b:track"}));
    log_.clear();
    EXPECT_EQ(list_->ControlListTrack(10, 10, 0), 7) << "right and bottom edges are outside";
    EXPECT_EQ(log_, (Log{"b:track"}));
    EXPECT_EQ(list_->ControlListTrack(30, 30, 0), 3);
    EXPECT_EQ(list_->ControlListTrack(50, 5, 0), 0);
}

TEST_F(ControlListTest, FindsTheFirstItemSharingAStyleBit)
{
    Add("a");
    ProbeItem* b = Add("b");
    ProbeItem* c = Add("c");
    b->windowStyle = WS_TABSTOP;
    c->windowStyle = BS_DEFPUSHBUTTON;
    EXPECT_EQ(list_->ControlListFindByStyle(BS_DEFPUSHBUTTON), c);
    EXPECT_EQ(list_->ControlListFindByStyle(BS_DEFPUSHBUTTON | WS_TABSTOP), b);
    EXPECT_EQ(list_->ControlListFindByStyle(WS_GROUP), nullptr);
}

TEST_F(ControlListTest, FocusOrderWrapsAndForgetsRemovedItems)
{
    ProbeItem* a = Add("a");
    ProbeItem* b = Add("b");
    ProbeItem* c = Add("c");
    list_->ControlListFocusNext(nullptr);
    EXPECT_TRUE(log_.empty()) << "no focusable item yet";

    list_->ControlListAddFocusable(a);
    list_->ControlListAddFocusable(b);
    list_->ControlListAddFocusable(c);
    list_->ControlListAddFocusable(c);
    list_->ControlListFocusNext(nullptr);
    list_->ControlListFocusNext(a);
    list_->ControlListFocusNext(c);
    EXPECT_EQ(log_, (Log{"a:focus", "b:focus", "a:focus"}));

    // An item taken out of the list leaves the focus order, so that its owner may delete it.
    list_->ControlListRemove(b);
    b->ItemDelete();
    log_.clear();
    list_->ControlListFocusNext(a);
    EXPECT_EQ(log_, (Log{"c:focus"}));

    list_->ControlListRemoveFocusable(a);
    list_->ControlListRemoveFocusable(c);
    log_.clear();
    list_->ControlListFocusNext(nullptr);
    EXPECT_TRUE(log_.empty());
}

}  // namespace
