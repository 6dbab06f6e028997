// The event rules of the controls, the same on every toolkit: what a user
// does raises the events, what the program sets raises only what the rules
// say.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/test_driver.h"

namespace velmora {
namespace {

using Events = std::vector<std::string>;

class ControlEvents : public ::testing::Test {
protected:
    void SetUp() override {
        pages = form.make<TPageControl>(form, "pages", Bounds{0, 0, 300, 300});
        TTabSheet& first = pages->addPage("first", u"一");
        TTabSheet& second = pages->addPage("second", u"二");
        button = form.make<TButton>(first, "button", u"ボタン", Bounds{5, 5, 80, 25});
        list = form.make<TListBox>(first, "list", Bounds{5, 35, 120, 100});
        edit = form.make<TEdit>(first, "edit", Bounds{130, 5, 80, 24});
        digits = form.make<TEdit>(first, "digits", Bounds{130, 35, 80, 24}, EditStyle{false, false, true, true, {}});
        check = form.make<TCheckBox>(first, "check", u"チェック", Bounds{130, 65, 100, 17});
        image = form.make<TImage>(first, "image", Bounds{130, 90, 120, 100});
        bar = form.make<TProgressBar>(form, "bar", Bounds{0, 287, 300, 13});
        form.make<TButton>(second, "other", u"other", Bounds{5, 5, 80, 25});
        list->setItems({u"a", u"b", u"c"});
        button->onClick = note("button click");
        list->onClick = note("list click");
        list->onDblClick = note("list double-click");
        edit->onChange = note("edit change");
        image->onClick = note("image click");
        pages->onChange = note("page change");
        bar->onChange = [this](int position) { events.push_back("bar " + std::to_string(position)); };
        form.show();
        processMessages();
    }
    std::function<void()> note(std::string event) {
        return [this, event] { events.push_back(event); };
    }

    TForm form{"form", FormStyle{u"規則", {300, 300}, 8, true}};
    TPageControl* pages;
    TButton* button;
    TListBox* list;
    TEdit* edit;
    TEdit* digits;
    TCheckBox* check;
    TImage* image;
    TProgressBar* bar;
    Events events;
};

TEST_F(ControlEvents, UserActionsRaiseEventsAndCodeOnlyWhereTheRulesSay) {
    const struct Step {
        const char* what;
        std::function<void()> act;
        Events expected;
    } steps[] = {
        {"click a button", [&] { drive::click(*button); }, {"button click"}},
        {"click an item", [&] { drive::clickItem(*list, 1); }, {"list click"}},
        {"arrow down", [&] { drive::pressKey(*list, drive::Key::Down); }, {"list click"}},
        {"Home", [&] { drive::pressKey(*list, drive::Key::Home); }, {"list click"}},
        {"End", [&] { drive::pressKey(*list, drive::Key::End); }, {"list click"}},
        {"arrow down on the last row", [&] { drive::pressKey(*list, drive::Key::Down); }, {}},
        {"double-click an item", [&] { drive::doubleClickItem(*list, 0); }, {"list double-click"}},
        {"select a row from code", [&] { list->setItemIndex(2); }, {}},
        {"type", [&] { drive::typeText(*edit, u"ab"); }, {"edit change", "edit change"}},
        {"set a text", [&] { edit->setText(u"x"); }, {"edit change"}},
        {"set the same text", [&] { edit->setText(u"x"); }, {}},
        {"check from code", [&] { check->setChecked(false); }, {}},
        {"click an image", [&] { drive::click(*image); }, {"image click"}},
        {"click a tab", [&] { drive::selectTab(*pages, 1); }, {"page change"}},
        {"change the page from code", [&] { pages->setActivePageIndex(0); }, {"page change"}},
        {"move the bar", [&] { bar->setPosition(50); }, {"bar 50"}},
    };
    for (const Step& step : steps) {
        events.clear();
        step.act();
        processMessages();
        EXPECT_EQ(events, step.expected) << step.what;
    }
}

TEST_F(ControlEvents, ControlsKeepWhatTheyAreGiven) {
    EXPECT_EQ(list->itemIndex(), -1);
    list->setItemIndex(1);
    EXPECT_EQ(list->selectedText(), u"b");
    EXPECT_EQ(list->indexOf(u"c"), 2);
    EXPECT_EQ(list->indexOf(u"C"), -1);
    list->setItemIndex(-1);
    EXPECT_FALSE(list->selectedText());
    list->addItem(u"ドア");
    EXPECT_EQ(list->count(), 4);
    EXPECT_EQ(list->item(3), u"ドア");

    drive::typeText(*digits, u"1x2 3");
    EXPECT_EQ(digits->text(), u"123");
    drive::click(*check);
    EXPECT_TRUE(check->checked());

    Canvas picture(120, 100);
    picture.setPixel(1, 2, 0xFFFFFF);
    image->setPicture(picture);
    ASSERT_TRUE(image->picture());
    EXPECT_EQ(image->picture()->pixel(1, 2), 0xFFFFFFu);
    image->clearPicture();
    EXPECT_FALSE(image->picture());

    bar->setMaximum(200);
    bar->setPosition(150);
    EXPECT_EQ(bar->maximum(), 200);
    EXPECT_EQ(bar->position(), 150);
    EXPECT_EQ(form.caption(), u"規則");
    EXPECT_EQ(form.clientSize(), (Extent{300, 300}));
    EXPECT_EQ(button->bounds(), (Bounds{5, 5, 80, 25}));
}

// Tab moves the focus between the controls that take a tab stop.
TEST_F(ControlEvents, TabMovesTheFocus) {
    button->setFocus();
    processMessages();
    EXPECT_EQ(drive::focusedControl(form), button);
    drive::pressKey(*button, drive::Key::Tab);
    processMessages();
    TControl* next = drive::focusedControl(form);
    EXPECT_NE(next, button);
    EXPECT_NE(next, nullptr);
    EXPECT_TRUE(events.empty());
}

}  // namespace
}  // namespace velmora
