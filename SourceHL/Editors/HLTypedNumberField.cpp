#include "SourceHL/Editors/HLTypedNumberField.h"

#include <QEvent>
#include <QLineEdit>

HLTypedNumberField::HLTypedNumberField(QLineEdit *field, int decimals, TextFieldValueRange range, const QString &suffix)
    : QObject(field)
    , m_field(field)
    , m_decimals(decimals)
    , m_range(range)
    , m_suffix(suffix)
{
    field->installEventFilter(this);
    connect(field, &QLineEdit::editingFinished, this, &HLTypedNumberField::controlTextDidEndEditing);
}

void HLTypedNumberField::setValue(float value)
{
    m_field->setText(m_suffix.isEmpty() ? hlStringOf(value, m_decimals) : hlStringOf(value, m_decimals, m_suffix));
}

bool HLTypedNumberField::eventFilter(QObject *watched, QEvent *event)
{
    // A key begins an editing too (a field may have the focus without having been told):
    // the kept text is the one before the key changes it.
    const bool begins = event->type() == QEvent::FocusIn || event->type() == QEvent::KeyPress;
    if (watched == m_field && begins && !m_bEditing)
        controlTextDidBeginEditing();
    return QObject::eventFilter(watched, event);
}

void HLTypedNumberField::controlTextDidBeginEditing()
{
    m_bEditing = true;
    m_strTempStringValue = m_field->text();
}

void HLTypedNumberField::controlTextDidEndEditing()
{
    if (!m_bEditing)
        return;
    m_bEditing = false;
    const QString kept = m_strTempStringValue;
    m_strTempStringValue.clear();
    const QString typed = m_field->text();
    if (typed == kept)
        return;
    const QString shown = m_suffix.isEmpty() ? hlEndEditing(typed, m_decimals, m_range, kept)
                                             : hlEndEditing(typed, m_decimals, m_range, kept, m_suffix);
    m_field->setText(shown);
    if (shown == kept)
        return;
    const float value = m_suffix.isEmpty() ? hlTextFieldValueOf(shown) : hlTextFieldValueOf(shown, m_suffix);
    if (m_blkValue)
        m_blkValue(value);
}
