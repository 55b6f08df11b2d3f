// Property reads and writes on the Qt widgets behind the controls.
#include "app/qt/control_slot.h"

#include <QCheckBox>
#include <QComboBox>

#include "app/qt/gbk_qstring.h"

PropertyValue read_property(const ControlSlot& slot, Property property)
{
    QWidget* widget = slot.built.widget;
    switch (property) {
    case Property::caption:
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            return item_text(slot, combo->currentIndex());
        return slot.caption;
    case Property::disabled:
        // The control's own state, whatever its window's.
        return std::int32_t{widget ? widget->testAttribute(Qt::WA_ForceDisabled) : slot.disabled};
    case Property::checked: {
        auto* box = qobject_cast<QCheckBox*>(widget);
        return std::int32_t{box && box->isChecked()};
    }
    case Property::current_selection: {
        auto* combo = qobject_cast<QComboBox*>(widget);
        return std::int32_t{combo ? combo->currentIndex() : 0};
    }
    case Property::period:
        return std::int32_t{slot.timer ? slot.timer->period() : 0};
    }
    return std::int32_t{0};
}

void write_property(ControlSlot& slot, Property property, const PropertyValue& value)
{
    QWidget* widget = slot.built.widget;
    if (property == Property::caption) {
        const Text* text = std::get_if<Text>(&value);
        if (text && !qobject_cast<QComboBox*>(widget)) {
            slot.caption = *text;
            show_caption(slot.built, qstring_from_gbk(*text));
        }
        return;
    }
    const std::int32_t* n = std::get_if<std::int32_t>(&value);
    if (!n)
        return;
    switch (property) {
    case Property::caption:
        return;
    case Property::disabled:
        if (widget)
            widget->setEnabled(*n == 0);
        else
            slot.disabled = *n != 0;
        return;
    case Property::checked:
        if (auto* box = qobject_cast<QCheckBox*>(widget))
            box->setChecked(*n != 0);
        return;
    case Property::current_selection:
        // An index outside the list leaves no item selected.
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            combo->setCurrentIndex(*n >= 0 && *n < combo->count() ? *n : -1);
        return;
    case Property::period:
        if (slot.timer)
            slot.timer->set_period(*n);
        return;
    }
}

Text item_text(const ControlSlot& combo, std::int32_t index)
{
    const auto& items = combo.built.definition->items;
    if (index < 0 || index >= static_cast<std::int32_t>(items.size()))
        return {};
    return Text(items[static_cast<std::size_t>(index)]);
}
