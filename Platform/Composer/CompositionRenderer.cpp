#include "Platform/Composer/CompositionRenderer.h"

#include "Platform/Composer/CompositionEvaluator.h"
#include "Platform/Composer/CompositionFrame.h"
#include "Platform/Composer/CompositionPainter.h"
#include "Platform/Imaging/Picture.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QString kTime = QStringLiteral("Time");
const QString kCount = QStringLiteral("Count");
const QString kImage = QStringLiteral("Image");
const QString kIndexes = QStringLiteral("Indexs");

QImage premultiplied(const QImage &image)
{
    if (image.isNull() || image.format() == QImage::Format_ARGB32_Premultiplied)
        return image;
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Any picture value an input may hold, as premultiplied pixels (null when it holds none).
QImage pictureOf(const QVariant &v)
{
    if (v.metaType() == QMetaType::fromType<QImage>())
        return premultiplied(v.value<QImage>());
    if (v.metaType() == QMetaType::fromType<Picture>())
        return premultiplied(v.value<Picture>().image());
    return {};
}

} // namespace

CompositionRenderer::CompositionRenderer(std::shared_ptr<const Composition> composition, QSize size)
    : m_composition(std::move(composition)), m_size(size.expandedTo(QSize(1, 1))),
      m_caches(std::make_unique<Caches>())
{
}

CompositionRenderer::~CompositionRenderer() = default;

void CompositionRenderer::setValue(const QString &key, const QVariant &value)
{
    if (key == kTime) { // time changes every frame; the frame trace covers it
        m_inputs.insert(key, value);
        return;
    }
    ++m_generation;
    m_pictures.remove(key);
    m_lists.remove(key);
    if (!value.isValid()) {
        m_inputs.remove(key);
        return;
    }
    m_inputs.insert(key, value);
    if (const QImage picture = pictureOf(value); !picture.isNull()) {
        m_pictures.insert(key, picture);
    } else if (value.metaType() == QMetaType::fromType<QVariantList>()) {
        std::vector<QImage> list;
        for (const QVariant &entry : value.toList())
            list.push_back(pictureOf(entry.toMap().value(kImage)));
        m_lists.insert(key, std::move(list));
    }
}

void CompositionRenderer::setPicture(const QString &key, const Picture &picture)
{
    setValue(key, picture.isNull() ? QVariant() : QVariant::fromValue(picture));
}

QVariant CompositionRenderer::value(const QString &key) const
{
    if (key == kIndexes) {
        QVariantMap map;
        for (int i : indexes())
            map.insert(QString::number(i), i);
        return map;
    }
    return m_inputs.value(key);
}

void CompositionRenderer::prepareSlots(std::vector<double> &values) const
{
    const Composition &c = *m_composition;
    values.assign(size_t(c.slotCount()), 0.0);
    auto number = [this](const QString &key, double fallback) {
        bool ok = false;
        const double v = m_inputs.value(key).toDouble(&ok);
        return ok && std::isfinite(v) ? v : fallback;
    };
    const double W = m_size.width(), H = m_size.height();
    values[Composition::SlotTime] = number(kTime, 0);
    const auto list = m_lists.constFind(kImages);
    const double listCount = list == m_lists.constEnd() ? 0 : double(list->size());
    values[Composition::SlotCount] = std::clamp(std::floor(number(kCount, listCount)), 0.0, 10000.0);
    values[Composition::SlotWidth] = W;
    values[Composition::SlotHeight] = H;
    values[Composition::SlotAspect] = W / H;
    values[Composition::SlotRef] = std::max(W / 600, H / 450);
    values[Composition::SlotMoveIn] = number(QStringLiteral("MoveIn"), 0.2);
    values[Composition::SlotMoveOut] = number(QStringLiteral("MoveOut"), 0.8);
    values[Composition::SlotX] = number(QStringLiteral("X"), 0.5);
    values[Composition::SlotY] = number(QStringLiteral("Y"), 0.5);
    values[Composition::SlotFontSize] = number(QStringLiteral("FontSize"), 60);
    values[Composition::SlotTotal] = c.timing().total(int(values[Composition::SlotCount]));
}

void CompositionRenderer::evaluate(Frame &frame) const
{
    prepareSlots(frame.values);
    const int count = int(frame.values[Composition::SlotCount]);
    if (m_caches->phasesCount != count) {
        m_caches->phases = m_composition->timing().phases(count);
        m_caches->phasesCount = count;
    }
    CompositionEvaluator e(frame, m_inputs, m_pictures, m_lists, m_caches->phases, m_caches->opaque, m_size);
    for (const auto &[slot, expr] : m_composition->lets())
        frame.values[size_t(slot)] = e.ev(expr);
    e.layers(m_composition->layers(), QTransform(), 1.0, frame.items);
}

std::vector<int> CompositionRenderer::indexes() const
{
    Frame frame;
    evaluate(frame);
    const int count = int(frame.values[Composition::SlotCount]);
    std::vector<int> result;
    for (int i : frame.indexes)
        if (i < count)
            result.push_back(i);
    return result;
}

QImage CompositionRenderer::render(double time)
{
    setValue(kTime, time);
    return render();
}

QImage CompositionRenderer::render()
{
    Frame frame;
    evaluate(frame);
    if (!m_lastImage.isNull() && m_lastGeneration == m_generation && frame.trace == m_lastTrace) {
        ++m_reused;
        return m_lastImage;
    }
    // The last frame's pixels are drawn over again when nobody else holds them any more: a fresh
    // full-frame buffer costs as much as drawing a picture into it.
    QImage image;
    if (m_lastImage.isDetached() && m_lastImage.size() == m_size)
        std::swap(image, m_lastImage);
    else
        image = QImage(m_size, QImage::Format_ARGB32_Premultiplied);
    m_lastImage = QImage();
    image.fill(m_composition->isIndex() ? QColor(Qt::transparent) : m_composition->background());
    if (!m_composition->isIndex()) {
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
        CompositionPainter(*m_caches, m_size).items(p, frame.items, QTransform());
    }
    ++m_drawn;
    m_lastTrace = std::move(frame.trace);
    m_lastGeneration = m_generation;
    m_lastImage = image;
    return image;
}
