// The Qt frame: windows loaded from their definitions, the property
// operations, modal windows and the message box in nested loops, and the end
// of the loop when the last window is gone.
#include "app/qt/qt_frame.h"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include <QApplication>
#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QIcon>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>

#include "app/qt/control_slot.h"
#include "app/qt/ending_signals.h"
#include "app/qt/gbk_qstring.h"
#include "app/qt/native_window.h"
#include "app/qt/window_builder.h"

namespace {
constexpr WindowId all_windows[] = {WindowId::main, WindowId::notice, WindowId::instructions};

std::size_t index(WindowId window) { return static_cast<std::size_t>(window); }

// A window's state before a modal window or the message box disabled it.
struct FormerState {
    WindowId window;
    bool enabled;
    // Disabling a window takes the focus from its control; it goes back.
    QPointer<QWidget> focus;
};

struct LoadedWindow {
    const WindowDefinition* definition = nullptr;
    Text title;
    std::unique_ptr<NativeWindow> widget;
    std::vector<ControlSlot> controls;
    // Windows this one disabled while modal, with their former states.
    std::vector<FormerState> to_restore;
    // The window that was active when this one opened modally; it is active
    // again once this one has closed.
    QPointer<QWidget> activated_from;
    QEventLoop* nested_loop = nullptr;
};

class QtFrame final : public QtFrameHost {
public:
    explicit QtFrame(MillisecondClock clock) : clock_(std::move(clock))
    {
        // The frame, not Qt, decides when the program ends.
        QGuiApplication::setQuitOnLastWindowClosed(false);
    }
    ~QtFrame() override
    {
        sink_ = nullptr;
        ending_.reset();
        graveyard_.clear();
        for (auto& window : windows_)
            window.reset();
    }

    PropertyValue get_property(Control control, Property property) override;
    void set_property(Control control, Property property, const PropertyValue& value) override;
    void move_focus(Control control) override;
    void load_window_modal(WindowId window) override;
    void show_message(std::string_view text, std::string_view title) override;
    Text combo_item_text(Control combo, std::int32_t index) override;

    void set_event_sink(EventSink* sink) override { sink_ = sink; }
    bool load_window(WindowId window) override;
    void run_message_loop() override;

    void query_end_session() override;
    void handle_ending_requests() override;
    bool loop_end_requested() const override { return quit_requested_; }

private:
    bool is_loaded(WindowId window) const { return windows_[index(window)] != nullptr; }
    LoadedWindow& loaded(WindowId window);
    ControlSlot& slot(Control control);
    void create(WindowId window);
    void connect_events(WindowId window, const ControlSlot& slot);
    void show(WindowId window);
    void close(WindowId window);
    void destroy(WindowId window);
    std::vector<FormerState> disable_windows_except(std::optional<WindowId> keep);
    void restore(const std::vector<FormerState>& states);
    void activate_again(QWidget* window);
    void raise(WindowId window, std::string_view control, Event event);
    void run_nested(QEventLoop& loop);
    void run_nested(QMessageBox& box);
    void end_program();
    void close_main_when_unnested();

    MillisecondClock clock_;
    EventSink* sink_ = nullptr;
    std::array<std::unique_ptr<LoadedWindow>, 3> windows_;
    // Closed windows wait here until no call that came through them is on
    // the stack any more.
    std::vector<std::unique_ptr<LoadedWindow>> graveyard_;
    QObject context_; // ends queued calls and connections with the frame
    QEventLoop main_loop_;
    bool loop_entered_ = false;
    bool quit_requested_ = false;
    int nesting_depth_ = 0;
    std::vector<QPointer<QMessageBox>> open_boxes_;
    std::unique_ptr<EndingSignals> ending_;
    bool ending_requested_ = false;
};

LoadedWindow& QtFrame::loaded(WindowId window)
{
    auto& w = windows_[index(window)];
    if (!w)
        throw std::logic_error("window not loaded");
    return *w;
}

ControlSlot& QtFrame::slot(Control control)
{
    for (ControlSlot& s : loaded(control.window).controls)
        if (s.built.definition->name == control.name)
            return s;
    throw std::logic_error("no such control");
}

void QtFrame::raise(WindowId window, std::string_view control, Event event)
{
    if (sink_)
        sink_->on_event(window, control, event);
}

void QtFrame::create(WindowId window)
{
    if (is_loaded(window))
        throw std::logic_error("window already loaded");
    const WindowDefinition& definition = window_definition(window);
    auto w = std::make_unique<LoadedWindow>();
    w->definition = &definition;
    w->title = Text(definition.title);
    w->widget = std::make_unique<NativeWindow>(definition.minimise_box, definition.esc_closes,
                                               [this, window] { close(window); });
    w->widget->setObjectName(window_object_name(window));
    for (const BuiltControl& built : build_window(definition, *w->widget)) {
        const ControlDefinition& d = *built.definition;
        ControlSlot s{built, Text(d.text), d.disabled, nullptr};
        if (d.kind == ControlKind::timer) {
            s.timer = std::make_unique<PeriodicTimer>(
                clock_, [this, window, name = d.name] { raise(window, name, Event::periodic); });
            s.timer->set_period(d.period);
        }
        w->controls.push_back(std::move(s));
    }
    // Connected only now: nothing done while creating raises an event.
    for (const ControlSlot& s : w->controls)
        connect_events(window, s);
    windows_[index(window)] = std::move(w);
}

void QtFrame::connect_events(WindowId window, const ControlSlot& s)
{
    std::string_view name = s.built.definition->name;
    // clicked and activated come from the user only, never from a property
    // write; activated comes also when the selected item is picked again.
    if (auto* button = qobject_cast<QAbstractButton*>(s.built.widget))
        QObject::connect(button, &QAbstractButton::clicked, &context_,
                         [this, window, name] { raise(window, name, Event::clicked); });
    else if (auto* combo = qobject_cast<QComboBox*>(s.built.widget))
        QObject::connect(combo, &QComboBox::activated, &context_, [this, window, name] {
            raise(window, name, Event::list_item_selected);
        });
}

void QtFrame::show(WindowId window)
{
    LoadedWindow& w = loaded(window);
    // Centred by the outer size on the whole primary screen, as under Windows.
    QRect screen = QGuiApplication::primaryScreen()->geometry();
    WindowPlace place = centred_place(*w.definition, screen.width(), screen.height());
    w.widget->move(screen.left() + place.left, screen.top() + place.top);
    w.widget->show();
    if (w.widget->isEnabled())
        w.widget->activateWindow();
}

bool QtFrame::load_window(WindowId window)
{
    create(window);
    raise(window, "", Event::created);
    if (is_loaded(window))
        show(window);
    return true;
}

void QtFrame::load_window_modal(WindowId window)
{
    create(window);
    raise(window, "", Event::created);
    if (!is_loaded(window))
        return;
    LoadedWindow& w = loaded(window);
    w.widget->setWindowModality(Qt::ApplicationModal);
    w.activated_from = QApplication::activeWindow();
    show(window);
    w.to_restore = disable_windows_except(window);
    QEventLoop loop;
    w.nested_loop = &loop;
    run_nested(loop);
}

void QtFrame::run_nested(QEventLoop& loop)
{
    ++nesting_depth_;
    loop.exec();
    --nesting_depth_;
    close_main_when_unnested();
}

void QtFrame::run_nested(QMessageBox& box)
{
    open_boxes_.push_back(&box);
    ++nesting_depth_;
    box.exec();
    --nesting_depth_;
    open_boxes_.pop_back();
}

void QtFrame::show_message(std::string_view text, std::string_view title)
{
    QMessageBox box(QMessageBox::NoIcon, qstring_from_gbk(title), qstring_from_gbk(text),
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    // A bare OK button, as the Windows box has; the style would add a tick.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    // Task-modal: every window of the program is greyed while the box is up.
    QPointer<QWidget> active = QApplication::activeWindow();
    auto former = disable_windows_except(std::nullopt);
    run_nested(box);
    restore(former);
    activate_again(active);
    close_main_when_unnested();
}

std::vector<FormerState> QtFrame::disable_windows_except(std::optional<WindowId> keep)
{
    std::vector<FormerState> former;
    for (WindowId w : all_windows) {
        if (w == keep || !is_loaded(w))
            continue;
        NativeWindow& widget = *loaded(w).widget;
        former.push_back({w, widget.isEnabled(), widget.focusWidget()});
        widget.setEnabled(false);
    }
    return former;
}

void QtFrame::restore(const std::vector<FormerState>& states)
{
    for (const FormerState& state : states) {
        if (!is_loaded(state.window))
            continue;
        loaded(state.window).widget->setEnabled(state.enabled);
        if (state.enabled && state.focus)
            state.focus->setFocus(Qt::OtherFocusReason);
    }
}

void QtFrame::activate_again(QWidget* window)
{
    // Once the closed window is off the screen; the focus then comes back
    // to the control that had it.
    QMetaObject::invokeMethod(
        &context_,
        [window = QPointer<QWidget>(window)] {
            if (window && window->isVisible() && window->isEnabled())
                window->activateWindow();
        },
        Qt::QueuedConnection);
}

void QtFrame::close(WindowId window)
{
    // The one can be closed handler returns no result, so the window closes.
    raise(window, "", Event::can_be_closed);
    if (is_loaded(window))
        destroy(window);
}

void QtFrame::destroy(WindowId window)
{
    std::unique_ptr<LoadedWindow> w = std::move(windows_[index(window)]);
    restore(w->to_restore);
    for (ControlSlot& s : w->controls)
        if (s.timer)
            s.timer->stop();
    // A closed window is nobody's while it waits to be deleted.
    w->widget->setObjectName(QString());
    w->widget->hide();
    activate_again(w->activated_from);
    if (w->nested_loop)
        w->nested_loop->exit();
    graveyard_.push_back(std::move(w));
    QMetaObject::invokeMethod(&context_, [this] { graveyard_.clear(); }, Qt::QueuedConnection);

    bool any_alive = std::any_of(windows_.begin(), windows_.end(),
                                 [](const auto& slot) { return slot != nullptr; });
    if (!any_alive && loop_entered_ && !quit_requested_) {
        quit_requested_ = true;
        main_loop_.exit();
    }
}

void QtFrame::run_message_loop()
{
    loop_entered_ = true;
    bool any_alive = std::any_of(windows_.begin(), windows_.end(),
                                 [](const auto& slot) { return slot != nullptr; });
    if (!any_alive)
        quit_requested_ = true;
    if (!quit_requested_)
        main_loop_.exec();
    graveyard_.clear();
}

PropertyValue QtFrame::get_property(Control control, Property property)
{
    if (!control.name.empty())
        return read_property(slot(control), property);
    LoadedWindow& w = loaded(control.window);
    if (property == Property::caption)
        return w.title;
    if (property == Property::disabled)
        return std::int32_t{!w.widget->isEnabled()};
    return std::int32_t{0};
}

void QtFrame::set_property(Control control, Property property, const PropertyValue& value)
{
    if (!control.name.empty()) {
        write_property(slot(control), property, value);
        return;
    }
    LoadedWindow& w = loaded(control.window);
    const Text* text = std::get_if<Text>(&value);
    const std::int32_t* n = std::get_if<std::int32_t>(&value);
    if (property == Property::caption && text) {
        w.title = *text;
        w.widget->setWindowTitle(qstring_from_gbk(*text));
    } else if (property == Property::disabled && n) {
        w.widget->setEnabled(*n == 0);
    }
}

void QtFrame::move_focus(Control control)
{
    LoadedWindow& w = loaded(control.window);
    // A window not yet shown, or disabled, only remembers where the focus goes.
    if (!control.name.empty()) {
        if (QWidget* widget = slot(control).built.widget)
            widget->setFocus(Qt::OtherFocusReason);
    }
    if (w.widget->isVisible() && w.widget->isEnabled() && !w.widget->isActiveWindow())
        w.widget->activateWindow();
}

Text QtFrame::combo_item_text(Control combo, std::int32_t index)
{
    return item_text(slot(combo), index);
}

void QtFrame::query_end_session()
{
    // Only the question: the window stays open whatever the handler did.
    if (is_loaded(WindowId::main))
        raise(WindowId::main, "", Event::can_be_closed);
}

void QtFrame::handle_ending_requests()
{
    if (ending_)
        return;
    ending_ = std::make_unique<EndingSignals>([this] { end_program(); });
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &context_,
                     [this](QSessionManager&) { query_end_session(); });
}

void QtFrame::end_program()
{
    ending_requested_ = true;
    // Innermost first: message boxes, then the modal windows; each nested
    // loop returns once control is back in it.
    for (auto it = open_boxes_.rbegin(); it != open_boxes_.rend(); ++it)
        if (*it)
            (*it)->done(QMessageBox::Ok);
    for (WindowId w : {WindowId::instructions, WindowId::notice})
        if (is_loaded(w))
            close(w);
    close_main_when_unnested();
}

void QtFrame::close_main_when_unnested()
{
    if (!ending_requested_ || nesting_depth_ > 0)
        return;
    // Queued, so that a handler that ran the nested loop finishes first.
    QMetaObject::invokeMethod(
        &context_,
        [this] {
            if (nesting_depth_ == 0 && is_loaded(WindowId::main))
                close(WindowId::main);
        },
        Qt::QueuedConnection);
}
} // namespace

std::unique_ptr<QtFrameHost> make_qt_frame(MillisecondClock clock)
{
    if (!clock) {
        auto started = std::make_shared<QElapsedTimer>();
        started->start();
        clock = [started] { return started->elapsed(); };
    }
    return std::make_unique<QtFrame>(std::move(clock));
}
