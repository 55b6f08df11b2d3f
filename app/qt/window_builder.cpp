// Turns the window definitions into Qt widgets, one kind at a time.
#include "app/qt/window_builder.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QAbstractItemDelegate>

#include "app/qt/gbk_qstring.h"

namespace {
// Keeps the combo list's own look and makes each row a little taller.
class TallerRowDelegate final : public QAbstractItemDelegate {
public:
    TallerRowDelegate(QAbstractItemDelegate* original, int extra, QObject* parent)
        : QAbstractItemDelegate(parent), original_(original), extra_(extra)
    {
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        original_->paint(painter, option, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return original_->sizeHint(option, index) + QSize(0, extra_);
    }

private:
    QAbstractItemDelegate* original_;
    int extra_;
};

QColor colour(Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

// A face of the definition, with stand-ins where it is not installed: the
// Ming (Song) faces Linux has, then whatever serif CJK face Qt falls back to.
QFont font_for(const FontDefinition& definition)
{
    QFont font;
    font.setFamilies({qstring_from_gbk(definition.face), QStringLiteral("SimSun"),
                      QStringLiteral("NSimSun"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("AR PL SungtiL GB")});
    font.setStyleHint(QFont::Serif, QFont::PreferQuality);
    font.setPixelSize(definition.character_height);
    font.setWeight(static_cast<QFont::Weight>(definition.weight));
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

void set_text_colour(QWidget& widget, Rgb rgb)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, colour(rgb));
    widget.setPalette(palette);
}

QLabel* make_label(const ControlDefinition& d, QWidget* parent)
{
    auto* label = new QLabel(parent);
    // No markup and no mnemonic: an ampersand shows as itself.
    label->setTextFormat(Qt::PlainText);
    Qt::Alignment horizontal = d.alignment == Alignment::centre ? Qt::AlignHCenter : Qt::AlignLeft;
    // One-line text is centred vertically and cut off at the edges (QLabel
    // never elides); wrapping text starts at the top.
    label->setWordWrap(d.wraps);
    label->setAlignment(horizontal | (d.wraps ? Qt::AlignTop : Qt::AlignVCenter));
    label->setText(qstring_from_gbk(d.text));
    set_text_colour(*label, d.text_colour);
    // A label paints the button face behind its text; a transparent one only its text.
    label->setAutoFillBackground(d.kind == ControlKind::label);
    return label;
}

QComboBox* make_combo_box(const ControlDefinition& d, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(false);
    for (std::string_view item : d.items)
        combo->addItem(qstring_from_gbk(item));
    combo->setCurrentIndex(d.current_selection);
    combo->setMaxVisibleItems(static_cast<int>(d.items.size()));
    QAbstractItemView* list = combo->view();
    list->setItemDelegate(
        new TallerRowDelegate(list->itemDelegate(), combo_row_extra_height, list));
    return combo;
}

QPlainTextEdit* make_edit_box(const ControlDefinition& d, QWidget* parent)
{
    auto* edit = new QPlainTextEdit(parent);
    // CR LF pairs become single line breaks.
    edit->setPlainText(qstring_from_gbk(d.text));
    edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(d.vertical_scroll_bar ? Qt::ScrollBarAlwaysOn
                                                           : Qt::ScrollBarAlwaysOff);
    if (d.client_edge)
        edit->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    edit->setPalette(palette);
    edit->moveCursor(QTextCursor::Start);
    return edit;
}

QWidget* make_widget(const ControlDefinition& d, QWidget* parent)
{
    switch (d.kind) {
    case ControlKind::group_box:
        return new QGroupBox(qstring_from_gbk(d.text), parent);
    case ControlKind::label:
    case ControlKind::trans_label:
        return make_label(d, parent);
    case ControlKind::button: {
        auto* button = new QPushButton(qstring_from_gbk(d.text), parent);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::check_box: {
        auto* box = new QCheckBox(qstring_from_gbk(d.text), parent);
        box->setChecked(d.checked);
        return box;
    }
    case ControlKind::combo_box:
        return make_combo_box(d, parent);
    case ControlKind::edit_box:
        return make_edit_box(d, parent);
    case ControlKind::timer:
    case ControlKind::sys_volume:
        return nullptr;
    }
    return nullptr;
}

Qt::FocusPolicy focus_policy(const ControlDefinition& d)
{
    // An edit box's scroll bar is part of its frame under Windows, and a
    // click on it leaves the focus where it is; Qt would hand the click's
    // focus on to the box.
    if (d.kind == ControlKind::edit_box)
        return d.tab_stop ? Qt::TabFocus : Qt::NoFocus;
    if (d.tab_stop)
        return Qt::StrongFocus;
    // Not reached by Tab, but a click still gives the focus, as under Windows.
    switch (d.kind) {
    case ControlKind::button:
    case ControlKind::check_box:
    case ControlKind::combo_box:
        return Qt::ClickFocus;
    default:
        return Qt::NoFocus;
    }
}

QWidget* parent_widget(const std::vector<BuiltControl>& built, std::string_view parent,
                       QWidget& window)
{
    for (const BuiltControl& c : built)
        if (c.definition->name == parent && c.widget)
            return c.widget;
    return &window;
}

int closed_height(const ControlDefinition& d, QWidget& widget)
{
    // The definition's height of a combo box is the room of its opened list;
    // the closed box is as tall as the style makes it.
    return d.kind == ControlKind::combo_box ? widget.sizeHint().height() : d.height;
}
} // namespace

QSize client_size(const WindowDefinition& window)
{
    return {window.width - 2 * fixed_frame_border,
            window.height - caption_height - 2 * fixed_frame_border};
}

std::vector<BuiltControl> build_window(const WindowDefinition& definition, QWidget& window)
{
    window.setWindowTitle(qstring_from_gbk(definition.title));
    window.setFixedSize(client_size(definition));
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    window.setPalette(palette);
    window.setAutoFillBackground(true);

    std::vector<BuiltControl> built;
    built.reserve(definition.controls.size());
    for (const ControlDefinition& d : definition.controls) {
        QWidget* widget = make_widget(d, parent_widget(built, d.parent, window));
        if (widget) {
            if (d.font)
                widget->setFont(font_for(*d.font));
            widget->setFocusPolicy(focus_policy(d));
            widget->setEnabled(!d.disabled);
            widget->setObjectName(qstring_from_gbk(d.name));
            widget->setGeometry(d.left, d.top, d.width, closed_height(d, *widget));
        }
        built.push_back({&d, widget});
    }
    return built;
}

void show_caption(const BuiltControl& control, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(control.widget))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control.widget))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(control.widget))
        group->setTitle(text);
}
