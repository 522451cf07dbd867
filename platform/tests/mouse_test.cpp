// The same rules under real mouse and key events, where Qt's own behaviour (a non-exclusive radio
// button toggling off, a scroll bar's value arriving after its action, a text box cutting what the
// program writes to its maximum length) would show through.
#include "platform/forms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include <string>
#include <vector>

namespace nivora {
namespace {

template <class W>
W* widget(const char* form, const char* name)
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == form) return top->findChild<W*>(name);
    return nullptr;
}

TEST(Mouse, ClickingTheChosenOptionButtonAgainKeepsIt)
{
    Ui ui;
    ui.load({"FORM5", "Minute Option", {
        {.kind = ControlKind::Radio, .name = "RADIO40", .caption = "degree(Decimal)", .group = "U",
         .position = 1},
        {.kind = ControlKind::Radio, .name = "RADIO41", .caption = "degree(Sexagecimal)",
         .group = "U", .position = 2, .value = 1},
    }});
    int clicks = 0;
    ui.bind("RADIO41_ON", [&] { ++clicks; });
    ui.form("FORM5").show();
    auto* radio = widget<QRadioButton>("FORM5", "RADIO41");
    ASSERT_NE(radio, nullptr);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(ui.form("FORM5").groupCode("U"), 2);
    QTest::mouseClick(widget<QRadioButton>("FORM5", "RADIO40"), Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_EQ(ui.form("FORM5").groupCode("U"), 1);
}

TEST(Mouse, AScrollBarArrowFiresChangeWithTheNewPosition)
{
    Ui ui;
    ui.load({"FORM2", "planisphere Image", {{ControlKind::HScroll, "HSCROLL1"},
                                            {ControlKind::VScroll, "VSCROLL1"}}, Surface::Canvas});
    ui.form("FORM2").show();
    ui.form("FORM2").resize(366, 428);
    ui.control("HSCROLL1").setRange(0, 256);
    std::vector<int> seen;
    ui.bind("HSCROLL1_CHANGE", [&] { seen.push_back(ui.control("HSCROLL1").value()); });
    auto* bar = widget<QScrollBar>("FORM2", "HSCROLL1");
    ASSERT_NE(bar, nullptr);
    const QPoint rightArrow(bar->width() - 4, bar->height() / 2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, rightArrow);
    QTest::mouseClick(bar, Qt::LeftButton, {}, rightArrow);
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
}

TEST(Keys, TheMaximumLengthAndDigitsHoldOnlyWhatTheUserTypes)
{
    Ui ui;
    ui.load({"FORM4", "DRAW using Data File", {
        {.kind = ControlKind::Edit, .name = "EDIT20", .maxLength = 3, .digitsOnly = true},
        {.kind = ControlKind::Edit, .name = "EDIT37", .text = "1", .maxLength = 5},
    }});
    std::vector<std::string> edited;
    ui.bind("EDIT20_CHANGE", [&] { edited.push_back(ui.control("EDIT20").text()); });
    ui.form("FORM4").show();
    auto* digits = widget<QLineEdit>("FORM4", "EDIT20");
    auto* factor = widget<QLineEdit>("FORM4", "EDIT37");
    ASSERT_NE(digits, nullptr);
    ASSERT_NE(factor, nullptr);

    QTest::keyClicks(digits, "1a2345");
    EXPECT_EQ(digits->text().toStdString(), "123");
    EXPECT_EQ(edited, (std::vector<std::string>{"1", "12", "123"}));

    // A longer text from a file stays; the user can shorten it but not lengthen it.
    ui.control("EDIT20").setText("12345");
    EXPECT_EQ(digits->text().toStdString(), "12345");
    digits->end(false);
    QTest::keyClicks(digits, "6");
    EXPECT_EQ(digits->text().toStdString(), "12345");
    QTest::keyClick(digits, Qt::Key_Backspace);
    EXPECT_EQ(digits->text().toStdString(), "1234");

    // A paste takes what still fits.
    factor->end(false);
    factor->insert("23456789");
    EXPECT_EQ(factor->text().toStdString(), "12345");
}

} // namespace
} // namespace nivora
