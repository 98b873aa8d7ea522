#include "SourceHL/Editors/HLDurationControl.h"

#include "SourceHL/Editors/HLTypedNumberField.h"

#include <QLineEdit>
#include <QSlider>

#include <cmath>

namespace {
// The slider counts tenths of a second.
constexpr float kSteps = 10;
} // namespace

HLDurationControl::HLDurationControl(float minimum, float maximum, QWidget *parent)
    : QObject(parent)
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_slider(new QSlider(Qt::Horizontal, parent))
    , m_field(new QLineEdit(parent))
    , m_typed(new HLTypedNumberField(m_field, 1, TextFieldValueRange{true, minimum, maximum}))
{
    m_slider->setRange(int(std::lround(minimum * kSteps)), int(std::lround(maximum * kSteps)));
    m_field->setFixedWidth(48);
    m_field->setAlignment(Qt::AlignRight);
    connect(m_slider, &QSlider::valueChanged, this, [this](int steps) {
        const float seconds = float(steps) / kSteps;
        m_typed->setValue(seconds);
        if (m_blkValue)
            m_blkValue(seconds);
    });
    m_typed->setupValue([this](float seconds) {
        setValue(seconds);
        if (m_blkValue)
            m_blkValue(seconds);
    });
}

void HLDurationControl::setValue(float seconds)
{
    const QSignalBlocker quiet(m_slider);
    m_slider->setValue(int(std::lround(seconds * kSteps)));
    m_typed->setValue(seconds);
}

float HLDurationControl::value() const
{
    return float(m_slider->value()) / kSteps;
}

void HLDurationControl::setEnabled(bool enabled)
{
    m_slider->setEnabled(enabled);
    m_field->setEnabled(enabled);
}
