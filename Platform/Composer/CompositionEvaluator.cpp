#include "Platform/Composer/CompositionEvaluator.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace {

// The part of a picture inside its transparent margins (the bands a portrait photo gets when it is
// padded to 4:3 without a background); a half-covered edge pixel counts as margin.
QRect opaqueBounds(const QImage &image)
{
    const int w = image.width(), h = image.height();
    auto opaque = [&](int x, int y) { return qAlpha(reinterpret_cast<const QRgb *>(image.constScanLine(y))[x]) >= 128; };
    auto rowOpaque = [&](int y) {
        for (int x = 0; x < w; ++x)
            if (opaque(x, y))
                return true;
        return false;
    };
    int top = 0, bottom = h - 1;
    while (top < h && !rowOpaque(top))
        ++top;
    if (top == h)
        return image.rect();
    while (!rowOpaque(bottom))
        --bottom;
    auto columnOpaque = [&](int x) {
        for (int y = top; y <= bottom; ++y)
            if (opaque(x, y))
                return true;
        return false;
    };
    int left = 0, right = w - 1;
    while (!columnOpaque(left))
        ++left;
    while (!columnOpaque(right))
        --right;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

CompositionEvaluator::CompositionEvaluator(CompositionRenderer::Frame &frame, const QHash<QString, QVariant> &inputs,
                                           const QHash<QString, QImage> &pictures,
                                           const QHash<QString, std::vector<QImage>> &lists,
                                           const std::vector<SlideTiming::Phase> &phases,
                                           std::map<qint64, QRect> &opaque, QSize size)
    : m_frame(frame), m_inputs(inputs), m_pictures(pictures), m_lists(lists), m_phases(phases),
      m_opaque(opaque), m_size(size)
{
    m_env.values = m_frame.values.data();
    m_env.phaseOf = [this](int which, int k) {
        if (m_phases.empty())
            return 0.0;
        const auto &p = m_phases[size_t(std::clamp(k, 0, int(m_phases.size()) - 1))];
        return which == 0 ? p.entry : which == 1 ? p.hold : which == 2 ? p.exit : p.end;
    };
}

double CompositionEvaluator::ev(const Expression &e)
{
    const double v = e.evaluate(m_env);
    m_frame.trace.push_back(v);
    return v;
}

QColor CompositionEvaluator::colour(const CompositionLayer::Colour &c) const
{
    if (c.input.isEmpty())
        return c.constant;
    const QVariant v = m_inputs.value(c.input);
    if (v.metaType() == QMetaType::fromType<QColor>())
        return v.value<QColor>();
    const QColor named = QColor::fromString(v.toString());
    return named.isValid() ? named : c.constant;
}

QString CompositionEvaluator::text(const CompositionLayer::Text &t) const
{
    return t.input.isEmpty() ? t.constant : m_inputs.value(t.input).toString();
}

void CompositionEvaluator::layers(const std::vector<CompositionLayer> &list, const QTransform &parent,
                                  double inherited, std::vector<Item> &out)
{
    for (const CompositionLayer &l : list) {
        if (l.type != CompositionLayer::Type::Repeat) {
            layer(l, parent, inherited, out);
            continue;
        }
        double *s = m_frame.values.data();
        const std::vector<double> saved(s + Composition::SlotIndex, s + Composition::SlotPout + 1);
        const int count = l.over == u"Images" ? int(s[Composition::SlotCount])
                                              : int(m_lists.value(l.over).size());
        const double time = s[Composition::SlotTime];
        for (int i = 0; i < count; ++i) {
            SlideTiming::Phase p;
            if (!m_phases.empty())
                p = m_phases[size_t(std::min(i, int(m_phases.size()) - 1))];
            auto ramp = [time](double a, double b) {
                return b <= a ? (time > b ? 1.0 : 0.0) : std::clamp((time - a) / (b - a), 0.0, 1.0);
            };
            s[Composition::SlotIndex] = i;
            s[Composition::SlotEntry] = p.entry;
            s[Composition::SlotHold] = p.hold;
            s[Composition::SlotExit] = p.exit;
            s[Composition::SlotEnd] = p.end;
            s[Composition::SlotPin] = ramp(p.entry, p.hold);
            s[Composition::SlotPhold] = ramp(p.hold, p.exit);
            s[Composition::SlotPout] = ramp(p.exit, p.end);
            for (const auto &[slot, e] : l.lets)
                s[slot] = ev(e);
            layer(l, parent, inherited, out);
        }
        std::copy(saved.begin(), saved.end(), s + Composition::SlotIndex);
    }
}

const QImage *CompositionEvaluator::pictureOf(const CompositionLayer::ImageRef &ref, int *listIndex) const
{
    *listIndex = -1;
    if (!ref.key.isEmpty()) {
        auto it = m_pictures.constFind(ref.key);
        return it == m_pictures.constEnd() || it->isNull() ? nullptr : &*it;
    }
    const int k = ref.item ? int(m_frame.values[Composition::SlotIndex]) : ref.index;
    *listIndex = k;
    auto it = m_lists.constFind(kImages);
    if (it == m_lists.constEnd() || k < 0 || k >= int(it->size()) || (*it)[size_t(k)].isNull())
        return nullptr;
    return &(*it)[size_t(k)];
}

void CompositionEvaluator::layer(const CompositionLayer &l, const QTransform &parent, double inherited,
                                 std::vector<Item> &out)
{
    Item it;
    const double opacity = placed(l, parent, inherited, it);
    if (opacity <= 0)
        return;
    bool drawn = true;
    switch (l.type) {
    case CompositionLayer::Type::Fill:
        it.colour = colour(l.colour);
        break;
    case CompositionLayer::Type::Gradient: {
        const double W = m_size.width(), H = m_size.height();
        it.from = QPointF(ev(l.from[0]) * W, ev(l.from[1]) * H);
        it.to = QPointF(ev(l.to[0]) * W, ev(l.to[1]) * H);
        it.gradientRadius = ev(l.gradientRadius) * std::hypot(W, H);
        break;
    }
    case CompositionLayer::Type::Picture:
        drawn = pictureItem(l, it);
        break;
    case CompositionLayer::Type::Shape:
        it.colour = colour(l.colour);
        frame(l, it);
        it.target = it.rect;
        break;
    case CompositionLayer::Type::Text:
        textLayer(l, it, m_frame.values[Composition::SlotRef]);
        drawn = !it.text.isEmpty();
        break;
    case CompositionLayer::Type::Group:
    case CompositionLayer::Type::Repeat:
        drawn = groupItem(l, opacity, it);
        break;
    }
    if (drawn)
        out.push_back(std::move(it));
}

double CompositionEvaluator::placed(const CompositionLayer &l, const QTransform &parent, double inherited, Item &it)
{
    const double W = m_size.width(), H = m_size.height();
    if (ev(l.visible) == 0)
        return 0;
    const double opacity = std::clamp(ev(l.opacity), 0.0, 1.0);
    if (opacity <= 0)
        return 0;
    it.layer = &l;
    it.opacity = opacity * inherited;
    it.rect = QRectF(ev(l.rect[0]) * W, ev(l.rect[1]) * H, ev(l.rect[2]) * W, ev(l.rect[3]) * H);
    const QPointF anchor(it.rect.x() + ev(l.anchor[0]) * it.rect.width(),
                         it.rect.y() + ev(l.anchor[1]) * it.rect.height());
    const QPointF shift(ev(l.translate[0]) * W, ev(l.translate[1]) * H);
    const double scale = ev(l.scale), sx = ev(l.scaleX) * scale, sy = ev(l.scaleY) * scale;
    const double rotate = ev(l.rotate);
    QTransform local;
    if (shift != QPointF() || sx != 1 || sy != 1 || rotate != 0) {
        local.translate(anchor.x() + shift.x(), anchor.y() + shift.y());
        local.rotate(rotate);
        local.scale(sx, sy);
        local.translate(-anchor.x(), -anchor.y());
    }
    it.xf = local * parent;
    return opacity;
}

void CompositionEvaluator::frame(const CompositionLayer &l, Item &it)
{
    it.radius = ev(l.radius) * m_frame.values[Composition::SlotRef];
    if (l.border.on) {
        it.border = ev(l.border.width) * m_frame.values[Composition::SlotRef];
        it.borderColour = colour(l.border.colour);
    }
    shadow(l.shadow, it);
}

bool CompositionEvaluator::pictureItem(const CompositionLayer &l, Item &it)
{
    int listIndex = -1;
    it.image = pictureOf(l.image, &listIndex);
    if (listIndex >= 0)
        m_frame.indexes.insert(listIndex);
    const double crop[4] = {ev(l.crop[0]), ev(l.crop[1]), ev(l.crop[2]), ev(l.crop[3])};
    const double maxCut = ev(l.maxCut), pan = std::clamp(ev(l.pan), 0.0, 1.0);
    frame(l, it);
    if (l.backdrop.on) {
        it.backdropBlur = std::max(0.0, ev(l.backdrop.blur)) * m_frame.values[Composition::SlotRef];
        it.backdropColour = colour(l.backdrop.colour);
    }
    if (!it.image)
        return false; // nothing to draw; an empty entry leaves its place empty
    const QRectF whole = l.trim ? QRectF(trimmed(*it.image)) : QRectF(QPointF(0, 0), QSizeF(it.image->size()));
    const QRectF src = QRectF(whole.x() + crop[0] * whole.width(), whole.y() + crop[1] * whole.height(),
                              crop[2] * whole.width(), crop[3] * whole.height())
                           .intersected(whole);
    if (src.isEmpty())
        return false;
    CompositionLayer::Fit fit = l.fit;
    if (fit == CompositionLayer::Fit::Fill) {
        // only one side is cut, so the share of the area kept is the share of that side
        const QRectF kept = filled(src, it.rect, 0.5);
        if (kept.width() * kept.height() < src.width() * src.height() * (1 - maxCut))
            fit = CompositionLayer::Fit::Fit; // too much would be lost: show it whole
    }
    fitted(fit, src, pan, it);
    const QRectF bare = it.rect.adjusted(0.5, 0.5, -0.5, -0.5);
    if (l.backdrop.on && !it.target.contains(bare))
        it.backdropSource = filled(src, it.rect, 0.5);
    return true;
}

QRectF CompositionEvaluator::filled(const QRectF &src, const QRectF &dst, double pan)
{
    const double srcAspect = src.width() / src.height();
    const double dstAspect = dst.width() / std::max(dst.height(), 1e-9);
    if (srcAspect > dstAspect) { // cut the sides
        const double w = src.height() * dstAspect;
        return QRectF(src.x() + (src.width() - w) * pan, src.y(), w, src.height());
    }
    const double h = src.width() / std::max(dstAspect, 1e-9);
    return QRectF(src.x(), src.y() + (src.height() - h) * pan, src.width(), h);
}

void CompositionEvaluator::fitted(CompositionLayer::Fit fit, QRectF src, double pan, Item &it)
{
    QRectF dst = it.rect;
    const double srcAspect = src.width() / src.height();
    const double dstAspect = dst.width() / std::max(dst.height(), 1e-9);
    if (fit == CompositionLayer::Fit::Fill) {
        src = filled(src, dst, pan);
    } else if (fit == CompositionLayer::Fit::Fit) {
        if (srcAspect > dstAspect) {
            const double h = dst.width() / srcAspect;
            dst = QRectF(dst.x(), dst.center().y() - h / 2, dst.width(), h);
        } else {
            const double w = dst.height() * srcAspect;
            dst = QRectF(dst.center().x() - w / 2, dst.y(), w, dst.height());
        }
    }
    it.source = src;
    it.target = dst;
}

bool CompositionEvaluator::groupItem(const CompositionLayer &l, double opacity, Item &it)
{
    const CompositionLayer::Mask &m = l.mask;
    if (m.type != CompositionLayer::MaskType::None) {
        const double W = m_size.width(), H = m_size.height();
        it.progress = ev(m.progress);
        it.angle = ev(m.angle);
        it.feather = std::max(0.0, ev(m.feather));
        it.count = std::max(1.0, std::floor(ev(m.count)));
        it.rows = std::max(1.0, std::floor(ev(m.rows)));
        it.maskRadius = ev(m.radius) * m_frame.values[Composition::SlotRef];
        it.center = QPointF(ev(m.center[0]) * W, ev(m.center[1]) * H);
        it.maskRect = QRectF(ev(m.rect[0]) * W, ev(m.rect[1]) * H, ev(m.rect[2]) * W, ev(m.rect[3]) * H);
    }
    const bool feathered = it.feather > 0
                           && (m.type == CompositionLayer::MaskType::Wipe || m.type == CompositionLayer::MaskType::Iris);
    // Children draw straight onto the canvas unless blending, a soft mask or a shared
    // opacity needs them flattened first.
    // A soft wipe draws its solid part straight and flattens only its feathered band.
    it.offscreen = (feathered && m.type == CompositionLayer::MaskType::Iris)
                   || l.blend != QPainter::CompositionMode_SourceOver || (opacity < 1 && l.children.size() > 1);
    layers(l.children, it.xf, it.offscreen ? 1.0 : it.opacity, it.children);
    return !it.children.empty();
}

QRect CompositionEvaluator::trimmed(const QImage &image)
{
    auto found = m_opaque.find(image.cacheKey());
    if (found == m_opaque.end()) {
        if (m_opaque.size() > 64)
            m_opaque.clear();
        found = m_opaque.emplace(image.cacheKey(), opaqueBounds(image)).first;
    }
    return found->second;
}

void CompositionEvaluator::shadow(const CompositionLayer::Shadow &s, Item &it)
{
    if (!s.on)
        return;
    const double ref = m_frame.values[Composition::SlotRef];
    it.shadowBlur = std::max(0.0, ev(s.blur)) * ref;
    it.shadowDx = ev(s.dx) * ref;
    it.shadowDy = ev(s.dy) * ref;
    it.shadowColour = colour(s.colour);
    if (it.shadowColour.alpha() == 0)
        it.shadowColour = QColor();
}

void CompositionEvaluator::textLayer(const CompositionLayer &l, Item &it, double ref)
{
    it.text = text(l.text);
    const double px = std::max(1.0, std::round(ev(l.fontSize) * ref));
    it.colour = colour(l.colour);
    if (l.outline.on) {
        it.outline = std::max(0.0, ev(l.outline.width)) * ref;
        it.borderColour = colour(l.outline.colour);
    }
    shadow(l.shadow, it);
    if (it.text.isEmpty())
        return;
    QFont font(text(l.font));
    font.setPixelSize(int(px));
    font.setBold(l.bold);
    font.setItalic(l.italic);
    font.setKerning(false); // letters are placed one by one; keep whole texts the same
    font.setStyleStrategy(QFont::PreferAntialias);
    it.font = font;
    const QFontMetricsF fm(font);
    const QStringList lines = it.text.split(u'\n');
    const double lineHeight = fm.lineSpacing();
    const double blockHeight = lineHeight * lines.size() - fm.leading();
    const QPointF c = it.rect.center();
    double y = c.y() - blockHeight / 2 + fm.ascent();
    const bool perLetter = l.letters.on;
    int total = 0;
    for (const QString &line : lines)
        total += int(line.size());
    int index = 0;
    for (const QString &line : lines) {
        const double width = fm.horizontalAdvance(line);
        const double x0 = c.x() - width / 2;
        if (!perLetter) {
            it.letters.push_back({line, QPointF(x0, y), 1, 1, 0, {}});
        } else {
            double x = x0;
            for (const QChar ch : line) {
                Item::Letter letter;
                letter.glyph = QString(ch);
                letter.origin = QPointF(x, y);
                x += fm.horizontalAdvance(ch);
                double *s = m_frame.values.data();
                s[Composition::SlotLetter] = index++;
                s[Composition::SlotLetters] = total;
                letter.opacity = std::clamp(ev(l.letters.opacity), 0.0, 1.0);
                letter.scale = ev(l.letters.scale);
                letter.rotate = ev(l.letters.rotate);
                letter.shift = QPointF(ev(l.letters.translate[0]) * m_size.width(),
                                       ev(l.letters.translate[1]) * m_size.height());
                if (!ch.isSpace())
                    it.letters.push_back(letter);
            }
        }
        y += lineHeight;
    }
}
