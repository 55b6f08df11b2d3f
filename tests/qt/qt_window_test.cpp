// The real windows against their definitions: places and sizes, title bars,
// Tab, Esc and Enter, the credit line's pixels, the instructions text, the
// combo lists and the notice labels' fonts.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QWindow>

#include "app/qt/gbk_qstring.h"
#include "app/qt/native_window.h"
#include "app/qt/window_builder.h"
#include "app/window_definition.h"
#include "tests/qt/qt_frame_driver.h"
#include "tests/support/frame_names.h"

namespace {
constexpr WindowId all_windows[] = {WindowId::main, WindowId::notice, WindowId::instructions};

// Qt's headers rule out GBK literals here, so controls are named in UTF-8
// and looked up in the definitions.
const Control stage_combo = control_named(WindowId::main, "阶段组合框");
const Control device_combo = control_named(WindowId::main, "设备组合框");
const Control auto_volume_box = control_named(WindowId::main, "自动音量选择框");
const Control today_stage_one = control_named(WindowId::main, "今日第一阶段标签");
const Control credit_line = control_named(WindowId::main, "透明标签1");
const Control advice_label = control_named(WindowId::notice, "标签2");
const Control text_box = control_named(WindowId::instructions, "编辑框1");
const Control cover_label = control_named(WindowId::instructions, "透明标签1");

class QtWindows : public ::testing::Test {
protected:
    void SetUp() override { driver.frame().set_event_sink(&sink); }
    void TearDown() override { driver.frame().set_event_sink(nullptr); }

    // Loads the window as the program does (not modally here, so the test
    // keeps the control) and waits until it is active on the screen.
    QWidget* open(WindowId window)
    {
        EXPECT_TRUE(driver.frame().load_window(window));
        QWidget* widget = QtFrameDriver::window_widget(window);
        EXPECT_TRUE(QtFrameDriver::wait_until_active(widget));
        return widget;
    }
    // The instructions window's created handler parks the focus on the cover.
    QWidget* open_instructions()
    {
        sink.on_each = [this](WindowId window, std::string_view, Event event) {
            if (window == WindowId::instructions && event == Event::created)
                driver.frame().move_focus(cover_label);
        };
        QWidget* window = open(WindowId::instructions);
        sink.on_each = nullptr;
        return window;
    }
    static void press(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(window->windowHandle(), key, modifiers);
    }
    static QWidget* widget(Control control) { return QtFrameDriver::control_widget(control); }

    QtFrameDriver driver;
    RecordingSink sink;
};

// The window manager's _NET_WM_ALLOWED_ACTIONS of a top-level window, as xprop reads it.
QString allowed_actions(const QWidget& window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                          QStringLiteral("_NET_WM_ALLOWED_ACTIONS")});
    xprop.waitForFinished();
    return QString::fromLocal8Bit(xprop.readAllStandardOutput());
}

bool has_widget(const ControlDefinition& d)
{
    return d.kind != ControlKind::timer && d.kind != ControlKind::sys_volume;
}

TEST_F(QtWindows, EveryWindowHasTheClientAreaTheWindowsFrameLeaves)
{
    struct Row {
        WindowId window;
        QSize client;
    };
    // Outer size less a 3-pixel border on each side and a 23-pixel caption.
    const Row rows[] = {
        {WindowId::main, {358, 208}},
        {WindowId::notice, {263, 93}},
        {WindowId::instructions, {296, 334}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(window_name(row.window));
        const WindowDefinition& definition = window_definition(row.window);
        QWidget* window = open(row.window);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->size(), row.client);
        EXPECT_EQ(client_size(definition), row.client);
        // Fixed: neither the user nor the window manager may resize it.
        EXPECT_EQ(window->minimumSize(), row.client);
        EXPECT_EQ(window->maximumSize(), row.client);
        Qt::WindowFlags flags = window->windowFlags();
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_EQ(bool(flags & Qt::WindowMinimizeButtonHint), definition.minimise_box);
        EXPECT_EQ(gbk_from_qstring(window->windowTitle()), definition.title);
        // Centred by the outer size on the primary screen.
        QRect screen = QGuiApplication::primaryScreen()->geometry();
        WindowPlace place = centred_place(definition, screen.width(), screen.height());
        // The window manager frames the window a moment after it is mapped.
        const QPoint expected(place.left, place.top);
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->pos() == expected; }, 2000))
            << window->pos().x() << "," << window->pos().y();
        // What the window manager offers: moving and closing, never resizing
        // or maximising; minimising on the main window.
        QString actions;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return (actions = allowed_actions(*window)).contains(QStringLiteral("CLOSE")); },
            2000));
        EXPECT_TRUE(actions.contains(QStringLiteral("_NET_WM_ACTION_CLOSE"))) << actions.toStdString();
        EXPECT_TRUE(actions.contains(QStringLiteral("_NET_WM_ACTION_MOVE")));
        EXPECT_FALSE(actions.contains(QStringLiteral("_NET_WM_ACTION_RESIZE")));
        EXPECT_FALSE(actions.contains(QStringLiteral("_NET_WM_ACTION_MAXIMIZE")));
        if (definition.minimise_box) {
            EXPECT_TRUE(actions.contains(QStringLiteral("_NET_WM_ACTION_MINIMIZE")));
        }
        driver.request_close(row.window);
    }
}

TEST_F(QtWindows, EveryControlSitsWhereItsDefinitionPutsIt)
{
    for (WindowId id : all_windows) {
        SCOPED_TRACE(window_name(id));
        QWidget* window = open(id);
        ASSERT_NE(window, nullptr);
        for (const ControlDefinition& d : window_definition(id).controls) {
            SCOPED_TRACE(gbk_from_qstring(qstring_from_gbk(d.name)));
            auto* widget = window->findChild<QWidget*>(qstring_from_gbk(d.name));
            if (!has_widget(d)) {
                EXPECT_EQ(widget, nullptr);
                continue;
            }
            ASSERT_NE(widget, nullptr);
            QString parent = d.parent.empty() ? window_object_name(id) : qstring_from_gbk(d.parent);
            EXPECT_EQ(widget->parentWidget()->objectName(), parent);
            // A combo box keeps the closed height the style gives it.
            int height = d.kind == ControlKind::combo_box ? widget->sizeHint().height() : d.height;
            EXPECT_EQ(widget->geometry(), QRect(d.left, d.top, d.width, height));
            EXPECT_TRUE(widget->isVisible());
            EXPECT_EQ(widget->isEnabled(), !d.disabled);
        }
        driver.request_close(id);
    }
}

TEST_F(QtWindows, TheWindowManagersCloseCommandRaisesCanBeClosed)
{
    // Alt+F4 goes to the window manager, which asks the window to close.
    for (WindowId id : all_windows) {
        SCOPED_TRACE(window_name(id));
        open(id);
        sink.events.clear();
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+F4")});
        ASSERT_TRUE(xdotool.waitForFinished());
        EXPECT_TRUE(QTest::qWaitFor([id] { return !QtFrameDriver::window_widget(id); }, 3000));
        EXPECT_EQ(sink.events, std::vector<std::string>{std::string(window_name(id)) + " can be closed"});
    }
}

TEST_F(QtWindows, LaterControlsLieAbove)
{
    // The duration labels overlap the stage names by 6 pixels and cover them.
    QWidget* window = open(WindowId::main);
    for (const ControlDefinition& d : window_definition(WindowId::main).controls) {
        if (d.kind != ControlKind::label || d.left != 67)
            continue;
        QWidget* duration = widget({WindowId::main, d.name});
        QPoint overlap = duration->mapTo(window, QPoint(2, d.height / 2));
        EXPECT_EQ(window->childAt(overlap), duration);
    }
}

TEST_F(QtWindows, TabVisitsTheVisibleEnabledTabStopsInCreationOrder)
{
    QWidget* window = open(WindowId::main);
    sink.events.clear();
    std::vector<QWidget*> stops;
    for (const ControlDefinition& d : window_definition(WindowId::main).controls)
        if (d.tab_stop && d.visible && !d.disabled)
            stops.push_back(widget({WindowId::main, d.name}));
    ASSERT_EQ(stops.size(), 3u);
    // The first tab stop has the focus when the window is first shown.
    EXPECT_EQ(QApplication::focusWidget(), stops[0]);
    for (std::size_t n = 1; n <= 2 * stops.size(); ++n) {
        press(window, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), stops[n % stops.size()]) << "Tab " << n;
    }
    for (std::size_t n = 1; n <= stops.size(); ++n) {
        press(window, Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(QApplication::focusWidget(), stops[(2 * stops.size() - n) % stops.size()])
            << "Shift+Tab " << n;
    }
    // From the label where the handlers park the focus, Tab goes on to the
    // next tab stop after it.
    driver.frame().move_focus(today_stage_one);
    EXPECT_EQ(QApplication::focusWidget(), widget(today_stage_one));
    press(window, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), widget(auto_volume_box));
    EXPECT_TRUE(sink.events.empty());
}

TEST_F(QtWindows, EscapeClosesOnlyTheInstructionsWindowFromAnyControl)
{
    struct Row {
        WindowId window;
        int tabs_first;
        bool closes;
    };
    const Row rows[] = {
        {WindowId::main, 0, false},
        {WindowId::main, 1, false},
        {WindowId::notice, 0, false},
        {WindowId::instructions, 0, true}, // the focus on the cover label
        {WindowId::instructions, 1, true}, // the focus in the edit box
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << window_name(row.window) << " after " << row.tabs_first
                                        << " Tab");
        QWidget* window = row.window == WindowId::instructions ? open_instructions() : open(row.window);
        for (int n = 0; n < row.tabs_first; ++n)
            press(window, Qt::Key_Tab);
        if (row.window == WindowId::instructions) {
            EXPECT_EQ(QApplication::focusWidget(), widget(row.tabs_first ? text_box : cover_label));
        }
        sink.events.clear();
        press(window, Qt::Key_Escape);
        EXPECT_EQ(driver.is_loaded(row.window), !row.closes);
        EXPECT_EQ(sink.events, row.closes ? std::vector<std::string>{"instructions can be closed"}
                                          : std::vector<std::string>{});
        if (!row.closes)
            driver.request_close(row.window);
    }
}

TEST_F(QtWindows, EnterMovesNoFocusInTheMainWindow)
{
    QWidget* window = open(WindowId::main);
    sink.events.clear();
    for (Control control : {stage_combo, auto_volume_box}) {
        driver.frame().move_focus(control);
        press(window, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), widget(control));
    }
    EXPECT_TRUE(sink.events.empty());
}

TEST_F(QtWindows, EnterInTheInstructionsEditBox)
{
    QWidget* window = open_instructions();
    press(window, Qt::Key_Tab);
    auto* edit = qobject_cast<QPlainTextEdit*>(widget(text_box));
    ASSERT_EQ(QApplication::focusWidget(), edit);
    int blocks = edit->document()->blockCount();
    press(window, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), edit);
    EXPECT_EQ(edit->document()->blockCount(), blocks + 1);
    EXPECT_TRUE(driver.is_loaded(WindowId::instructions));
}

TEST_F(QtWindows, CreditLineIsRedTextWithNoBoxOfItsOwn)
{
    QWidget* window = open(WindowId::main);
    const ControlDefinition* credit = find_control(window_definition(WindowId::main), credit_line.name);
    ASSERT_NE(credit, nullptr);
    auto* label = qobject_cast<QLabel*>(widget({WindowId::main, credit->name}));
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->autoFillBackground());
    EXPECT_EQ(label->frameShape(), QFrame::NoFrame);

    QImage image = window->grab().toImage();
    const QColor background = window->palette().color(QPalette::Window);
    EXPECT_EQ(background, window->palette().color(QPalette::Button));
    QRect area(credit->left, credit->top, credit->width, credit->height);
    int red_pixels = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            QColor c = image.pixelColor(x, y);
            if (c == background)
                continue;
            // Text pixels are red blended into the background, nothing else.
            EXPECT_GT(c.red(), c.green()) << x << "," << y;
            EXPECT_NEAR(c.green(), c.blue(), 2) << x << "," << y;
            if (c.red() >= 200 && c.green() <= 60)
                ++red_pixels;
        }
    EXPECT_GT(red_pixels, 30);
    // Past the end of the text the window's own background shows.
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.right() - 40; x <= area.right(); ++x)
            ASSERT_EQ(image.pixelColor(x, y), background) << x << "," << y;
}

TEST_F(QtWindows, InstructionsTextKeepsItsLinesAndSpaces)
{
    open_instructions();
    auto* edit = qobject_cast<QPlainTextEdit*>(widget(text_box));
    ASSERT_NE(edit, nullptr);
    const ControlDefinition* d =
        find_control(window_definition(WindowId::instructions), text_box.name);
    QString expected = qstring_from_gbk(d->text);
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(edit->toPlainText(), expected);

    QTextDocument* text = edit->document();
    ASSERT_EQ(text->blockCount(), 13);
    int empty = 0;
    for (QTextBlock b = text->begin(); b != text->end(); b = b.next())
        empty += b.text().isEmpty();
    EXPECT_EQ(empty, 5);
    QString line2 = text->findBlockByNumber(1).text();
    EXPECT_TRUE(line2.startsWith(QString(4, u' ')) && !line2.at(4).isSpace());
    QString line10 = text->findBlockByNumber(9).text();
    EXPECT_TRUE(line10.endsWith(QString(12, u' ')) && !line10.at(line10.size() - 13).isSpace());

    // Shown from the top, caret at the start, nothing selected, no caret
    // shown: the focus rests on the cover label.
    EXPECT_EQ(edit->textCursor().position(), 0);
    EXPECT_FALSE(edit->textCursor().hasSelection());
    EXPECT_EQ(edit->verticalScrollBar()->value(), 0);
    EXPECT_EQ(QApplication::focusWidget(), widget(cover_label));
    EXPECT_FALSE(edit->isReadOnly());
    EXPECT_EQ(edit->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_GT(edit->verticalScrollBar()->maximum(), 0);
}

TEST_F(QtWindows, ClicksOnTheTextMissTheEditBoxAndTheScrollBarScrolls)
{
    QWidget* window = open_instructions();
    auto* edit = qobject_cast<QPlainTextEdit*>(widget(text_box));
    QWidget* cover = widget(cover_label);
    for (QPoint at : {QPoint(140, 100), QPoint(10, 10), QPoint(270, 320)}) {
        EXPECT_EQ(window->childAt(at), cover) << at.x() << "," << at.y();
        QTest::mouseClick(window, Qt::LeftButton, {}, at);
    }
    EXPECT_FALSE(edit->hasFocus());
    EXPECT_EQ(edit->textCursor().position(), 0);

    // The scroll bar lies in the uncovered strip, and works.
    QScrollBar* bar = edit->verticalScrollBar();
    QRect strip(cover->geometry().right() + 1, 0, window->width(), edit->height());
    QRect bar_area(bar->mapTo(window, QPoint(0, 0)), bar->size());
    EXPECT_TRUE(strip.intersects(bar_area));
    QPoint page_down = bar_area.center() + QPoint(0, bar_area.height() / 4);
    page_down.setX(std::max(page_down.x(), strip.left() + 1));
    EXPECT_NE(window->childAt(page_down), cover);
    QTest::mouseClick(window, Qt::LeftButton, {}, page_down);
    EXPECT_GT(bar->value(), 0);
    EXPECT_FALSE(edit->hasFocus());
}

TEST_F(QtWindows, ComboBoxesOfferTheirItemsInOrderWithTallerRows)
{
    open(WindowId::main);
    for (Control control : {stage_combo, device_combo}) {
        const ControlDefinition* d = find_control(window_definition(WindowId::main), control.name);
        auto* combo = qobject_cast<QComboBox*>(widget(control));
        ASSERT_NE(combo, nullptr);
        EXPECT_FALSE(combo->isEditable());
        EXPECT_EQ(combo->currentIndex(), d->current_selection);
        ASSERT_EQ(combo->count(), static_cast<int>(d->items.size()));
        for (int i = 0; i < combo->count(); ++i)
            EXPECT_EQ(combo->itemText(i), qstring_from_gbk(d->items[static_cast<std::size_t>(i)]));
        QComboBox plain;
        plain.setFont(combo->font());
        plain.addItem(combo->itemText(0));
        EXPECT_EQ(combo->view()->sizeHintForRow(0),
                  plain.view()->sizeHintForRow(0) + combo_row_extra_height);
    }
}

TEST_F(QtWindows, LabelsShowPlainTextOnOneLineCutOffAtTheirEdge)
{
    open(WindowId::main);
    auto* label = qobject_cast<QLabel*>(widget(today_stage_one));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_FALSE(label->wordWrap());
    EXPECT_EQ(label->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    set_caption(driver.frame(), today_stage_one, "A&B");
    EXPECT_EQ(label->text(), QStringLiteral("A&B"));
    // A duration wider than the label stays one line and the label its size.
    const Text long_duration = gbk_from_qstring(QString::fromUtf8("2147483647小时59分59秒"));
    set_caption(driver.frame(), today_stage_one, long_duration);
    EXPECT_EQ(get_caption(driver.frame(), today_stage_one), long_duration);
    EXPECT_GT(label->sizeHint().width(), label->width());
    EXPECT_EQ(label->size(), QSize(100, 16));
}

TEST_F(QtWindows, NoticeLabelsWrapInTheirOwnFontsAndColours)
{
    open(WindowId::notice);
    for (const ControlDefinition& d : window_definition(WindowId::notice).controls) {
        auto* label = qobject_cast<QLabel*>(widget({WindowId::notice, d.name}));
        ASSERT_NE(label, nullptr);
        ASSERT_TRUE(d.font.has_value());
        EXPECT_TRUE(label->wordWrap());
        EXPECT_EQ(label->font().pixelSize(), d.font->character_height);
        EXPECT_EQ(label->font().weight(), QFont::Normal);
        EXPECT_EQ(label->palette().color(QPalette::WindowText),
                  QColor(d.text_colour.red, d.text_colour.green, d.text_colour.blue));
        Qt::Alignment horizontal = d.alignment == Alignment::centre ? Qt::AlignHCenter : Qt::AlignLeft;
        EXPECT_EQ(label->alignment(), horizontal | Qt::AlignTop);
        // A Ming (Song) face stands in for the one Windows has.
        QString family = QFontInfo(label->font()).family();
        EXPECT_TRUE(family.contains(QStringLiteral("Ming")) || family.contains(QStringLiteral("Sun")))
            << family.toStdString();
    }
    // The advice breaks into several lines inside the 260-pixel width.
    auto* advice = qobject_cast<QLabel*>(widget(advice_label));
    advice->setText(QString::fromUtf8("请根据当前播放的音乐调整系统音量为正常听歌音量，确认红色信息无误后关闭本窗口"));
    EXPECT_GT(advice->heightForWidth(advice->width()), 2 * QFontMetrics(advice->font()).height());
}

TEST_F(QtWindows, FocusComesBackWhenTheWindowIsActivatedAgain)
{
    QWidget* window = open(WindowId::main);
    driver.frame().move_focus(device_combo);
    EXPECT_EQ(QApplication::focusWidget(), widget(device_combo));
    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QtFrameDriver::wait_until_active(&other));
    EXPECT_NE(QApplication::focusWidget(), widget(device_combo));
    window->activateWindow();
    ASSERT_TRUE(QtFrameDriver::wait_until_active(window));
    EXPECT_EQ(QApplication::focusWidget(), widget(device_combo));
}
TEST_F(QtWindows, FocusComesBackAfterAModalWindowAndTheMessageBox)
{
    QWidget* window = open(WindowId::main);
    driver.frame().move_focus(device_combo);
    driver.on_modal([](WindowId) {});
    driver.frame().load_window_modal(WindowId::instructions);
    ASSERT_TRUE(QtFrameDriver::wait_until_active(window));
    EXPECT_EQ(QApplication::focusWidget(), widget(device_combo));

    driver.frame().move_focus(auto_volume_box);
    driver.frame().show_message("text", "title");
    ASSERT_TRUE(QtFrameDriver::wait_until_active(window));
    EXPECT_EQ(QApplication::focusWidget(), widget(auto_volume_box));
}
TEST_F(QtWindows, ArrowKeysOnAClosedComboBoxPickAnItem)
{
    QWidget* window = open(WindowId::main);
    driver.frame().move_focus(device_combo);
    sink.events.clear();
    std::vector<std::int32_t> picked;
    sink.on_each = [&](WindowId, std::string_view, Event event) {
        if (event == Event::list_item_selected)
            picked.push_back(get_int(driver.frame(), device_combo, Property::current_selection));
    };
    press(window, Qt::Key_Down);
    press(window, Qt::Key_Down);
    press(window, Qt::Key_Up);
    EXPECT_EQ(picked, (std::vector<std::int32_t>{1, 2, 1}));
    sink.on_each = nullptr;
}
} // namespace
