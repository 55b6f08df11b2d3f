// The Qt frame driver: real input through Qt's window-system layer.
#include "tests/qt/qt_frame_driver.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "app/qt/gbk_qstring.h"
#include "app/qt/native_window.h"
#include "app/window_definition.h"

namespace {
constexpr WindowId all_windows[] = {WindowId::main, WindowId::notice, WindowId::instructions};
// Time for timer events that fell due at the end of an advance to arrive.
constexpr int settle_milliseconds = 30;
} // namespace

Control control_named(WindowId window, const char* name)
{
    const QString wanted = QString::fromUtf8(name);
    for (const ControlDefinition& d : window_definition(window).controls)
        if (qstring_from_gbk(d.name) == wanted)
            return {window, d.name};
    ADD_FAILURE() << "no control " << name;
    return {window, {}};
}

std::int64_t SteppedClock::now() const
{
    return running_ ? std::min<std::int64_t>(target_, real_.elapsed() - offset_) : target_;
}

void SteppedClock::run_to(std::int64_t target)
{
    offset_ = real_.elapsed() - target_;
    target_ = target;
    running_ = true;
}

// Answers a modal window or a message box from inside its nested loop once
// it has been shown.
class QtFrameDriver::ShowWatcher final : public QObject {
public:
    explicit ShowWatcher(QtFrameDriver& driver) : driver_(driver) {}

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() != QEvent::Show || !object->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(object);
        if (!widget->isWindow())
            return false;
        if (qobject_cast<QMessageBox*>(widget)) {
            QPointer<QWidget> box = widget;
            QTimer::singleShot(0, this, [this, box] {
                if (box)
                    driver_.answer_message(box);
            });
            return false;
        }
        for (WindowId window : all_windows)
            if (widget->isModal() && widget->objectName() == window_object_name(window))
                QTimer::singleShot(0, this, [this, window] { driver_.answer_modal(window); });
        return false;
    }

private:
    QtFrameDriver& driver_;
};

QtFrameDriver::QtFrameDriver(bool real_time)
    : frame_(real_time ? make_qt_frame() : make_qt_frame([this] { return clock_.now(); })),
      watcher_(std::make_unique<ShowWatcher>(*this))
{
    qApp->installEventFilter(watcher_.get());
}

QtFrameDriver::~QtFrameDriver()
{
    qApp->removeEventFilter(watcher_.get());
    frame_.reset();
}

QWidget* QtFrameDriver::window_widget(WindowId window)
{
    const QString name = window_object_name(window);
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name)
            return widget;
    return nullptr;
}

QWidget* QtFrameDriver::control_widget(Control control)
{
    QWidget* window = window_widget(control.window);
    if (!window)
        ADD_FAILURE() << "window not loaded";
    QWidget* widget =
        window ? window->findChild<QWidget*>(qstring_from_gbk(control.name)) : nullptr;
    if (window && !widget)
        ADD_FAILURE() << "no widget for the control";
    return widget;
}

bool QtFrameDriver::wait_until_active(QWidget* window)
{
    return window && QTest::qWaitForWindowExposed(window) && QTest::qWaitForWindowActive(window);
}

void QtFrameDriver::click(Control control)
{
    QWidget* widget = control_widget(control);
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget->window()));
    QTest::mouseClick(widget, Qt::LeftButton);
}

void QtFrameDriver::select_item(Control combo, std::int32_t index)
{
    auto* box = qobject_cast<QComboBox*>(control_widget(combo));
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box->window()));
    QTest::mouseClick(box, Qt::LeftButton);
    QAbstractItemView* list = box->view();
    // A disabled combo box, or one in a disabled window, opens no list.
    if (!list->isVisible())
        return;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    QPoint item = list->visualRect(list->model()->index(index, 0)).center();
    QTest::mouseMove(list->viewport(), item);
    // The list takes no release in the first moments after it opened.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item);
    ASSERT_TRUE(QTest::qWaitFor([list] { return !list->isVisible(); }));
}

void QtFrameDriver::request_close(WindowId window)
{
    QWidget* widget = window_widget(window);
    ASSERT_NE(widget, nullptr);
    // The window system's close request, as the close box sends it.
    if (QWindow* handle = widget->windowHandle())
        handle->close();
    else
        widget->close();
}

void QtFrameDriver::advance(std::int32_t milliseconds)
{
    const std::int64_t target = clock_.target() + milliseconds;
    clock_.run_to(target);
    while (clock_.now() < target)
        QTest::qWait(1);
    QTest::qWait(settle_milliseconds);
    clock_.stop();
}

void QtFrameDriver::on_modal(std::function<void(WindowId)> answer)
{
    modal_answer_ = std::move(answer);
}

void QtFrameDriver::on_message(std::function<void(std::string_view, std::string_view)> answer)
{
    message_answer_ = std::move(answer);
}

void QtFrameDriver::answer_modal(WindowId window)
{
    QPointer<QWidget> shown = window_widget(window);
    if (modal_answer_) {
        auto answer = modal_answer_; // the answer may replace itself
        answer(window);
    }
    if (shown && window_widget(window) == shown)
        request_close(window);
}

void QtFrameDriver::answer_message(QWidget* widget)
{
    QPointer<QMessageBox> box = qobject_cast<QMessageBox*>(widget);
    if (message_answer_) {
        auto answer = message_answer_;
        answer(gbk_from_qstring(box->text()), gbk_from_qstring(box->windowTitle()));
    }
    if (!box || !box->isVisible())
        return;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
}

void QtFrameDriver::run_loop(std::function<void()> script)
{
    QTimer::singleShot(0, watcher_.get(), [this, script] {
        script();
        // A user would close what is left; the loop ends with the last window.
        for (auto it = std::rbegin(all_windows); it != std::rend(all_windows); ++it) {
            if (QWidget* widget = window_widget(*it)) {
                widget->setEnabled(true);
                request_close(*it);
            }
        }
    });
    frame_->run_message_loop();
}

bool QtFrameDriver::is_shown(WindowId window)
{
    QWidget* widget = window_widget(window);
    return widget && widget->isVisible();
}

bool QtFrameDriver::is_enabled(WindowId window)
{
    QWidget* widget = window_widget(window);
    return widget && widget->isEnabled();
}

void QtFrameDriver::set_window_enabled(WindowId window, bool enabled)
{
    if (QWidget* widget = window_widget(window))
        widget->setEnabled(enabled);
}
