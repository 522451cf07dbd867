// The forms as a screen reader reaches them, through Qt's accessibility interfaces: its action on
// a check box or option button is the user's click, and a text box carries its label's name.
#include "platform/forms.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QWidget>

#include <string>
#include <vector>

namespace nivora {
namespace {

QWidget* window(const char* form)
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == form) return top;
    return nullptr;
}

QAccessibleInterface* accessible(const char* name)
{
    if (auto* w = window("MAINFORM")->findChild<QWidget*>(name))
        return QAccessible::queryAccessibleInterface(w);
    return nullptr;
}

struct ScreenReader : testing::Test {
    Ui ui;
    std::vector<std::string> fired;

    void SetUp() override
    {
        ui.load({"MAINFORM", "main", {
            {ControlKind::Check, "CHECK3", "&Centralizing"},
            {.kind = ControlKind::Frame, .name = "FRAME1"},
            {.kind = ControlKind::Radio, .name = "RADIO27", .caption = "Normal Size",
             .group = "LAYOUT", .position = 1, .value = 1, .box = "FRAME1"},
            {.kind = ControlKind::Radio, .name = "RADIO28", .caption = "half Height",
             .group = "LAYOUT", .position = 2, .box = "FRAME1", .sameRow = true},
            {.kind = ControlKind::Radio, .name = "RADIO29", .caption = "Dual-Box",
             .group = "LAYOUT", .position = 3, .box = "FRAME1", .sameRow = true},
            {ControlKind::Label, "TEXT4", "Longitude(E:+)"},
            {.kind = ControlKind::Edit, .name = "EDIT2", .sameRow = true},
            {.kind = ControlKind::Label, .name = "TEXT9", .caption = "deg", .sameRow = true},
            {ControlKind::Label, "TEXT6", "PC's Time Zone(UTC+)"},
            {.kind = ControlKind::Edit, .name = "EDIT4", .sameRow = true},
            {.kind = ControlKind::Label, .name = "TEXT7", .caption = "h", .sameRow = true},
            {.kind = ControlKind::Edit, .name = "EDIT5", .sameRow = true},
            {.kind = ControlKind::Label, .name = "TEXT8", .caption = "Comment", .box = "FRAME1"},
            {.kind = ControlKind::Edit, .name = "EDIT19", .box = "FRAME1"},
        }});
        for (const char* h : {"CHECK3_ON", "RADIO27_ON", "RADIO28_ON", "RADIO29_ON"})
            ui.bind(h, [this, h] { fired.push_back(h); });
        ui.mainForm().show();
    }

    // The action a screen reader offers first, as the accessibility bus runs it.
    void act(const char* name)
    {
        QAccessibleInterface* a = accessible(name);
        ASSERT_NE(a, nullptr);
        ASSERT_NE(a->actionInterface(), nullptr);
        const QStringList actions = a->actionInterface()->actionNames();
        ASSERT_FALSE(actions.isEmpty());
        a->actionInterface()->doAction(actions.front());
    }
};

// Qt's own action would flip the mark alone: two buttons of a group checked, no handler run.
TEST_F(ScreenReader, ActionsOnOptionButtonsAndCheckBoxesAreClicks)
{
    struct Case { const char* control; int layout; int check; };
    const Case cases[] = {
        {"RADIO29", 3, 0}, {"RADIO29", 3, 0},   // the chosen one stays chosen
        {"RADIO28", 2, 0}, {"CHECK3", 2, 1}, {"CHECK3", 2, 0}, {"RADIO27", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        fired.clear();
        act(c.control);
        EXPECT_EQ(fired, std::vector<std::string>{std::string(c.control) + "_ON"});
        EXPECT_EQ(ui.mainForm().groupCode("LAYOUT"), c.layout);
        EXPECT_EQ(ui.control("CHECK3").value(), c.check);
    }
}

TEST_F(ScreenReader, DisabledButtonsTakeNoAction)
{
    ui.control("RADIO29").setEnabled(false);
    QAccessibleInterface* a = accessible("RADIO29");
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(ui.mainForm().groupCode("LAYOUT"), 1);
}

TEST_F(ScreenReader, ButtonsReadAsWhatTheyAreWithTheirCaptionsAndMarks)
{
    ui.mainForm().setGroupCode("LAYOUT", 2);
    struct Case { const char* control; QAccessible::Role role; const char* name; bool checked; };
    const Case cases[] = {
        {"RADIO27", QAccessible::RadioButton, "Normal Size", false},
        {"RADIO28", QAccessible::RadioButton, "half Height", true},
        {"CHECK3", QAccessible::CheckBox, "Centralizing", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        QAccessibleInterface* a = accessible(c.control);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->role(), c.role);
        EXPECT_EQ(a->text(QAccessible::Name).toStdString(), c.name);
        EXPECT_TRUE(a->state().checkable);
        EXPECT_EQ(bool(a->state().checked), c.checked);
    }
}

// A box after a unit label ("h" after the hours) has no label of its own.
TEST_F(ScreenReader, TextBoxesAreNamedByTheLabelBeforeThem)
{
    struct Case { const char* edit; const char* label; const char* name; };
    const Case cases[] = {
        {"EDIT2", "TEXT4", "Longitude(E:+)"},
        {"EDIT4", "TEXT6", "PC's Time Zone(UTC+)"},
        {"EDIT5", nullptr, ""},
        {"EDIT19", "TEXT8", "Comment"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edit);
        QAccessibleInterface* a = accessible(c.edit);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name).toStdString(), c.name);
        const auto labels = a->relations(QAccessible::Label);
        if (!c.label) {
            EXPECT_TRUE(labels.isEmpty());
            continue;
        }
        ASSERT_EQ(labels.size(), 1);
        EXPECT_EQ(labels.front().first->object(), accessible(c.label)->object());
    }
}

// The keys that follow a screen reader's focus on a text box go to the active window, so the box's
// window comes forward; Qt passing the focus on in a window in the back leaves it there.
TEST_F(ScreenReader, FocusOnATextBoxBringsItsWindowForward)
{
    ui.load({"FORM4", "DRAW using Data File", {{ControlKind::Edit, "EDIT20"}}});
    ui.form("FORM4").show();
    window("MAINFORM")->findChild<QWidget*>("EDIT2")->setFocus();
    window("FORM4")->activateWindow();
    ui.pumpEvents();
    ASSERT_TRUE(window("FORM4")->isActiveWindow());

    ui.control("EDIT2").setEnabled(false);
    ui.pumpEvents();
    EXPECT_TRUE(window("FORM4")->isActiveWindow());

    QAccessibleInterface* box = accessible("EDIT19");
    ASSERT_NE(box, nullptr);
    box->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    ui.pumpEvents();
    EXPECT_TRUE(window("MAINFORM")->isActiveWindow());
    EXPECT_EQ(QApplication::focusWidget(), box->object());
}

} // namespace
} // namespace nivora
