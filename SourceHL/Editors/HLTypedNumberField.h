#pragma once

#include "SourceHL/Common/HLTextFieldHelper.h"

#include <QObject>
#include <QString>

#include <functional>

class QLineEdit;

// A line edit as a typed number: the text when editing begins is kept; when editing ends
// (and only while it is kept) the text is taken if it is digits with at most one "." (and,
// with a suffix such as "%", optionally that suffix), clamped by the range and written back
// with fixed decimals; text that is no number gets the kept text back. Nothing is reported
// when the text did not change; otherwise blkValue gets the number (the owner writes the
// model through its edit hook, then may call setValue with the model's value).
class HLTypedNumberField : public QObject
{
    Q_OBJECT
public:
    HLTypedNumberField(QLineEdit *field, int decimals, TextFieldValueRange range, const QString &suffix = {});

    void setupValue(std::function<void(float value)> value) { m_blkValue = std::move(value); }
    // Shows value with the decimals (and the suffix); a percentage field is given the factor
    // times 100 here (hlPercentageOf's rule is the owner's).
    void setValue(float value);
    // The range may follow the item (a crop side is clamped to the picture's).
    void setRange(TextFieldValueRange range) { m_range = range; }
    QLineEdit *field() const { return m_field; }
    const QString &strTempStringValue() const { return m_strTempStringValue; }

    // The two ends of an editing, also driven by the field's focus and return key.
    void controlTextDidBeginEditing();
    void controlTextDidEndEditing();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_field;
    int m_decimals;
    TextFieldValueRange m_range;
    QString m_suffix;
    QString m_strTempStringValue;
    bool m_bEditing = false;
    std::function<void(float)> m_blkValue;
};
