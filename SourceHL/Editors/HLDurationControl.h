#pragma once

#include <QObject>

#include <functional>

class HLTypedNumberField;
class QLineEdit;
class QSlider;

// A length in seconds as a slider and a typed field with one decimal, both kept showing the
// same value. Moving the slider or ending a typed number (clamped to the slider's range)
// reports the value; setValue shows the model's value without reporting.
class HLDurationControl : public QObject
{
    Q_OBJECT
public:
    // The range stays above 0: apply-to-all takes only positive lengths.
    HLDurationControl(float minimum, float maximum, QWidget *parent);

    void setupValue(std::function<void(float seconds)> value) { m_blkValue = std::move(value); }
    void setValue(float seconds);
    float value() const;
    void setEnabled(bool enabled);

    QSlider *slider() const { return m_slider; }
    QLineEdit *field() const { return m_field; }
    HLTypedNumberField *typed() const { return m_typed; }
    float minimum() const { return m_minimum; }
    float maximum() const { return m_maximum; }

private:
    float m_minimum;
    float m_maximum;
    QSlider *m_slider;
    QLineEdit *m_field;
    HLTypedNumberField *m_typed;
    std::function<void(float)> m_blkValue;
};
