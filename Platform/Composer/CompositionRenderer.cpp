#include "Platform/Composer/CompositionRenderer.h"

#include "Platform/Imaging/Picture.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace {

const QString kTime = QStringLiteral("Time");
const QString kCount = QStringLiteral("Count");
const QString kImages = QStringLiteral("Images");
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

// Three box passes approximate a gaussian; done on a reduced copy so wide blurs stay cheap.
QImage blurred(const QImage &alpha, double radius)
{
    if (radius < 0.5)
        return alpha;
    QImage img = alpha.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = img.width(), h = img.height();
    const int r = std::max(1, int(std::lround(radius / 1.7)));
    std::vector<quint32> line(size_t(std::max(w, h)));
    for (int pass = 0; pass < 3; ++pass) {
        for (int dir = 0; dir < 2; ++dir) {
            const int n = dir == 0 ? w : h, lines = dir == 0 ? h : w;
            for (int l = 0; l < lines; ++l) {
                auto px = [&](int k) -> quint32 & {
                    return dir == 0 ? reinterpret_cast<quint32 *>(img.scanLine(l))[k]
                                    : reinterpret_cast<quint32 *>(img.scanLine(k))[l];
                };
                for (int k = 0; k < n; ++k)
                    line[size_t(k)] = px(k);
                int sum[4] = {0, 0, 0, 0};
                auto add = [&](int k, int sign) {
                    if (k < 0 || k >= n)
                        return;
                    const quint32 c = line[size_t(k)];
                    sum[0] += sign * int(c >> 24);
                    sum[1] += sign * int((c >> 16) & 0xff);
                    sum[2] += sign * int((c >> 8) & 0xff);
                    sum[3] += sign * int(c & 0xff);
                };
                for (int k = -r; k <= r; ++k)
                    add(k, 1);
                const int div = 2 * r + 1;
                for (int k = 0; k < n; ++k) {
                    px(k) = (quint32(sum[0] / div) << 24) | (quint32(sum[1] / div) << 16)
                            | (quint32(sum[2] / div) << 8) | quint32(sum[3] / div);
                    add(k + r + 1, 1);
                    add(k - r, -1);
                }
            }
        }
    }
    return img;
}

// The part of a polygon where dot(p, d) <= limit.
QPolygonF cutPolygon(const QPolygonF &polygon, QPointF d, double limit)
{
    QPolygonF kept;
    for (int k = 0; k < polygon.size(); ++k) {
        const QPointF a = polygon[k], b = polygon[(k + 1) % polygon.size()];
        const double sa = a.x() * d.x() + a.y() * d.y() - limit;
        const double sb = b.x() * d.x() + b.y() * d.y() - limit;
        if (sa <= 0)
            kept << a;
        if ((sa < 0) != (sb < 0) && sa != sb)
            kept << a + (b - a) * (sa / (sa - sb));
    }
    return kept;
}

QPolygonF polygonOf(const QRectF &rect)
{
    return QPolygonF({rect.topLeft(), rect.topRight(), rect.bottomRight(), rect.bottomLeft()});
}

// Closer than this to whole pixels, resampling changes a pixel by well under a level.
constexpr double kWhole = 1e-3;

bool isWhole(double v)
{
    return std::abs(v - std::round(v)) < kWhole;
}

bool isWhole(const QRectF &r)
{
    return isWhole(r.x()) && isWhole(r.y()) && isWhole(r.width()) && isWhole(r.height());
}

// A polygon Qt's raster engine takes for a rectangle when it clips: exactly upright, from its
// top-left corner clockwise. Such a clip is cut along whole pixels, not antialiased.
bool isQtRect(const QPolygonF &q)
{
    return q.size() == 4 && q[0].x() == q[3].x() && q[1].x() == q[2].x() && q[0].y() == q[1].y()
           && q[2].y() == q[3].y() && q[0].x() < q[2].x() && q[0].y() < q[2].y();
}

// A quadrilateral whose sides run along the pixel axes.
bool isUpright(const QPolygonF &q)
{
    if (q.size() != 4)
        return false;
    for (int k = 0; k < 4; ++k) {
        const QPointF a = q[k], b = q[(k + 1) % 4];
        if (std::abs(a.x() - b.x()) > 1e-6 && std::abs(a.y() - b.y()) > 1e-6)
            return false;
    }
    return true;
}

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

// What one layer draws in this frame, with every value evaluated.
struct CompositionRenderer::Item
{
    const CompositionLayer *layer = nullptr;
    QTransform xf;     // layer pixels → canvas pixels
    QRectF rect;       // the layer's rectangle in its own pixels
    double opacity = 1;
    // picture
    const QImage *image = nullptr;
    QRectF source, target;
    // picture, shape
    double radius = 0, border = 0;
    double shadowBlur = 0, shadowDx = 0, shadowDy = 0;
    // gradient
    QPointF from, to;
    double gradientRadius = 0;
    // text
    QString text;
    QFont font;
    QColor colour, borderColour, shadowColour;
    double outline = 0;
    struct Letter
    {
        QString glyph;
        QPointF origin; // baseline start in layer pixels
        double opacity = 1, scale = 1, rotate = 0;
        QPointF shift;
    };
    std::vector<Letter> letters;
    // group
    double progress = 1, angle = 0, feather = 0, count = 0, rows = 0, maskRadius = 0;
    QPointF center;
    QRectF maskRect;
    bool offscreen = false;
    std::vector<Item> children;
};

struct CompositionRenderer::Frame
{
    std::vector<double> values;
    std::vector<double> trace;
    std::set<int> indexes;
    std::vector<Item> items;
    bool collectOnly = false;
};

struct CompositionRenderer::Caches
{
    // blurred shadows and rendered texts, keyed by everything that shapes them
    std::map<std::tuple<int, int, int, int, QRgb>, QImage> shadows;
    struct TextSprite
    {
        QImage image;
        QPointF offset; // sprite's top-left relative to the text origin
    };
    std::map<std::tuple<QString, QString, QRgb, QRgb, int, int>, TextSprite> texts;
    std::vector<SlideTiming::Phase> phases;
    int phasesCount = -1;
    std::map<qint64, QRect> opaque; // by QImage::cacheKey
};

namespace {

class Evaluator
{
public:
    using Item = CompositionRenderer::Item;

    Evaluator(CompositionRenderer::Frame &frame, const QHash<QString, QVariant> &inputs,
              const QHash<QString, QImage> &pictures, const QHash<QString, std::vector<QImage>> &lists,
              const std::vector<SlideTiming::Phase> &phases, std::map<qint64, QRect> &opaque, QSize size)
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

    double ev(const Expression &e)
    {
        const double v = e.evaluate(m_env);
        m_frame.trace.push_back(v);
        return v;
    }

    QColor colour(const CompositionLayer::Colour &c) const
    {
        if (c.input.isEmpty())
            return c.constant;
        const QVariant v = m_inputs.value(c.input);
        if (v.metaType() == QMetaType::fromType<QColor>())
            return v.value<QColor>();
        const QColor named = QColor::fromString(v.toString());
        return named.isValid() ? named : c.constant;
    }
    QString text(const CompositionLayer::Text &t) const
    {
        return t.input.isEmpty() ? t.constant : m_inputs.value(t.input).toString();
    }

    // inherited: the opacity of the groups above that draw straight onto the same surface
    void layers(const std::vector<CompositionLayer> &list, const QTransform &parent, double inherited,
                std::vector<Item> &out)
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
                layer(l, parent, inherited, out);
            }
            std::copy(saved.begin(), saved.end(), s + Composition::SlotIndex);
        }
    }

private:
    const QImage *pictureOf(const CompositionLayer::ImageRef &ref, int *listIndex) const
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

    void layer(const CompositionLayer &l, const QTransform &parent, double inherited, std::vector<Item> &out)
    {
        const double W = m_size.width(), H = m_size.height();
        const double ref = m_frame.values[Composition::SlotRef];
        if (ev(l.visible) == 0)
            return;
        const double opacity = std::clamp(ev(l.opacity), 0.0, 1.0);
        if (opacity <= 0)
            return;
        Item it;
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

        switch (l.type) {
        case CompositionLayer::Type::Fill:
            it.colour = colour(l.colour);
            break;
        case CompositionLayer::Type::Gradient:
            it.from = QPointF(ev(l.from[0]) * W, ev(l.from[1]) * H);
            it.to = QPointF(ev(l.to[0]) * W, ev(l.to[1]) * H);
            it.gradientRadius = ev(l.gradientRadius) * std::hypot(W, H);
            break;
        case CompositionLayer::Type::Picture: {
            int listIndex = -1;
            it.image = pictureOf(l.image, &listIndex);
            if (listIndex >= 0)
                m_frame.indexes.insert(listIndex);
            const double crop[4] = {ev(l.crop[0]), ev(l.crop[1]), ev(l.crop[2]), ev(l.crop[3])};
            it.radius = ev(l.radius) * ref;
            if (l.border.on) {
                it.border = ev(l.border.width) * ref;
                it.borderColour = colour(l.border.colour);
            }
            shadow(l.shadow, it);
            if (!it.image)
                return; // nothing to draw; an empty entry leaves its place empty
            const QRectF whole = l.trim ? QRectF(trimmed(*it.image)) : QRectF(QPointF(0, 0), QSizeF(it.image->size()));
            QRectF src = QRectF(whole.x() + crop[0] * whole.width(), whole.y() + crop[1] * whole.height(),
                                crop[2] * whole.width(), crop[3] * whole.height())
                             .intersected(whole);
            if (src.isEmpty())
                return;
            QRectF dst = it.rect;
            const double srcAspect = src.width() / src.height();
            const double dstAspect = dst.width() / std::max(dst.height(), 1e-9);
            if (l.fit == CompositionLayer::Fit::Fill) {
                if (srcAspect > dstAspect) { // cut the sides
                    const double w = src.height() * dstAspect;
                    src = QRectF(src.center().x() - w / 2, src.y(), w, src.height());
                } else {
                    const double h = src.width() / std::max(dstAspect, 1e-9);
                    src = QRectF(src.x(), src.center().y() - h / 2, src.width(), h);
                }
            } else if (l.fit == CompositionLayer::Fit::Fit) {
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
            break;
        }
        case CompositionLayer::Type::Shape:
            it.colour = colour(l.colour);
            it.radius = ev(l.radius) * ref;
            if (l.border.on) {
                it.border = ev(l.border.width) * ref;
                it.borderColour = colour(l.border.colour);
            }
            shadow(l.shadow, it);
            it.target = it.rect;
            break;
        case CompositionLayer::Type::Text:
            textLayer(l, it, ref);
            if (it.text.isEmpty())
                return;
            break;
        case CompositionLayer::Type::Group:
        case CompositionLayer::Type::Repeat: {
            const CompositionLayer::Mask &m = l.mask;
            if (m.type != CompositionLayer::MaskType::None) {
                it.progress = ev(m.progress);
                it.angle = ev(m.angle);
                it.feather = std::max(0.0, ev(m.feather));
                it.count = std::max(1.0, std::floor(ev(m.count)));
                it.rows = std::max(1.0, std::floor(ev(m.rows)));
                it.maskRadius = ev(m.radius) * ref;
                it.center = QPointF(ev(m.center[0]) * W, ev(m.center[1]) * H);
                it.maskRect = QRectF(ev(m.rect[0]) * W, ev(m.rect[1]) * H, ev(m.rect[2]) * W, ev(m.rect[3]) * H);
            }
            const bool feathered = it.feather > 0
                                   && (m.type == CompositionLayer::MaskType::Wipe
                                       || m.type == CompositionLayer::MaskType::Iris);
            // Children draw straight onto the canvas unless blending, a soft mask or a shared
            // opacity needs them flattened first.
            // A soft wipe draws its solid part straight and flattens only its feathered band.
            it.offscreen = (feathered && m.type == CompositionLayer::MaskType::Iris)
                           || l.blend != QPainter::CompositionMode_SourceOver
                           || (opacity < 1 && l.children.size() > 1);
            layers(l.children, it.xf, it.offscreen ? 1.0 : it.opacity, it.children);
            if (it.children.empty())
                return;
            break;
        }
        }
        out.push_back(std::move(it));
    }

    QRect trimmed(const QImage &image)
    {
        auto found = m_opaque.find(image.cacheKey());
        if (found == m_opaque.end()) {
            if (m_opaque.size() > 64)
                m_opaque.clear();
            found = m_opaque.emplace(image.cacheKey(), opaqueBounds(image)).first;
        }
        return found->second;
    }

    void shadow(const CompositionLayer::Shadow &s, Item &it)
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

    void textLayer(const CompositionLayer &l, Item &it, double ref)
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

    CompositionRenderer::Frame &m_frame;
    const QHash<QString, QVariant> &m_inputs;
    const QHash<QString, QImage> &m_pictures;
    const QHash<QString, std::vector<QImage>> &m_lists;
    const std::vector<SlideTiming::Phase> &m_phases;
    std::map<qint64, QRect> &m_opaque;
    QSize m_size;
    Expression::Env m_env;
};

class Painter
{
public:
    using Item = CompositionRenderer::Item;

    Painter(CompositionRenderer::Caches &caches, QSize size) : m_caches(caches), m_size(size) {}

    void items(QPainter &p, const std::vector<Item> &list, const QTransform &base)
    {
        for (const Item &it : list)
            item(p, it, base);
    }

private:
    void item(QPainter &p, const Item &it, const QTransform &base)
    {
        const CompositionLayer &l = *it.layer;
        p.save();
        p.setTransform(it.xf * base);
        p.setOpacity(it.opacity * m_fade);
        if (l.type != CompositionLayer::Type::Group && l.type != CompositionLayer::Type::Repeat)
            p.setCompositionMode(l.blend);
        switch (l.type) {
        case CompositionLayer::Type::Fill:
            p.fillRect(it.rect, it.colour);
            break;
        case CompositionLayer::Type::Gradient: {
            QGradient g;
            QGradientStops stops;
            for (const auto &s : l.stops)
                stops.append({s.at, s.colour.constant});
            if (l.radial) {
                QRadialGradient r(it.from, std::max(it.gradientRadius, 1e-3));
                r.setStops(stops);
                p.fillRect(it.rect, r);
            } else {
                QLinearGradient lg(it.from, it.to);
                lg.setStops(stops);
                p.fillRect(it.rect, lg);
            }
            break;
        }
        case CompositionLayer::Type::Picture:
        case CompositionLayer::Type::Shape:
            framed(p, it);
            break;
        case CompositionLayer::Type::Text:
            textItem(p, it);
            break;
        case CompositionLayer::Type::Group:
        case CompositionLayer::Type::Repeat:
            group(p, it, base);
            break;
        }
        p.restore();
    }

    QPainterPath outlineOf(const QRectF &r, double radius, bool ellipse) const
    {
        QPainterPath path;
        if (ellipse)
            path.addEllipse(r);
        else if (radius > 0)
            path.addRoundedRect(r, std::min(radius, r.width() / 2), std::min(radius, r.height() / 2));
        else
            path.addRect(r);
        return path;
    }

    void framed(QPainter &p, const Item &it)
    {
        const CompositionLayer &l = *it.layer;
        const QRectF r = it.target;
        if (it.shadowColour.isValid())
            shadowOf(p, r, it);
        if (l.type == CompositionLayer::Type::Picture) {
            if (it.radius > 0) {
                p.save();
                p.setClipPath(outlineOf(r, it.radius, false), Qt::IntersectClip);
                drawPicture(p, r, *it.image, it.source);
                p.restore();
            } else {
                drawPicture(p, r, *it.image, it.source);
            }
        } else if (it.colour.alpha() > 0) {
            p.fillPath(outlineOf(r, it.radius, l.ellipse), it.colour);
        }
        if (it.border > 0) {
            const double h = it.border / 2;
            QPen pen(it.borderColour, it.border);
            pen.setJoinStyle(Qt::MiterJoin);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawPath(outlineOf(r.adjusted(h, h, -h, -h), std::max(0.0, it.radius - h), l.ellipse));
        }
    }

    // A picture laid 1:1 on whole pixels is copied without resampling: the pixels are the same, but
    // Qt's smooth-transform path would fetch them span by span, several times slower.
    static void drawPicture(QPainter &p, const QRectF &target, const QImage &image, const QRectF &source)
    {
        const QTransform &t = p.transform();
        if (t.type() <= QTransform::TxTranslate) {
            const QRectF d = target.translated(t.dx(), t.dy());
            if (isWhole(d) && isWhole(source) && std::abs(d.width() - source.width()) < kWhole
                && std::abs(d.height() - source.height()) < kWhole) {
                p.save();
                p.resetTransform();
                p.setRenderHint(QPainter::SmoothPixmapTransform, false);
                p.drawImage(QPoint(int(std::lround(d.x())), int(std::lround(d.y()))), image,
                            QRect(int(std::lround(source.x())), int(std::lround(source.y())),
                                  int(std::lround(source.width())), int(std::lround(source.height()))));
                p.restore();
                return;
            }
        }
        p.drawImage(target, image, source);
    }

    void shadowOf(QPainter &p, const QRectF &r, const Item &it)
    {
        const int w = int(std::lround(r.width())), h = int(std::lround(r.height()));
        if (w <= 0 || h <= 0)
            return;
        const int blur = int(std::lround(it.shadowBlur));
        const auto key = std::make_tuple(w, h, int(std::lround(it.radius)) + (it.layer->ellipse ? 100000 : 0),
                                         blur, it.shadowColour.rgba());
        auto found = m_caches.shadows.find(key);
        if (found == m_caches.shadows.end()) {
            if (m_caches.shadows.size() > 32)
                m_caches.shadows.clear();
            // drawn at a reduced scale: a blurred edge needs no fine pixels
            const double down = std::max(1.0, blur / 3.0);
            const int pad = int(std::ceil(blur * 2 / down)) + 1;
            QImage sprite(int(std::ceil(w / down)) + 2 * pad, int(std::ceil(h / down)) + 2 * pad,
                          QImage::Format_ARGB32_Premultiplied);
            sprite.fill(Qt::transparent);
            {
                QPainter sp(&sprite);
                sp.setRenderHint(QPainter::Antialiasing);
                sp.fillPath(outlineOf(QRectF(pad, pad, w / down, h / down), it.radius / down, it.layer->ellipse),
                            it.shadowColour);
            }
            found = m_caches.shadows.emplace(key, blurred(sprite, blur / down)).first;
        }
        const QImage &sprite = found->second;
        const double down = std::max(1.0, blur / 3.0);
        const double pad = std::ceil(blur * 2 / down) + 1;
        const QRectF target(r.x() + it.shadowDx - pad * down, r.y() + it.shadowDy - pad * down,
                            sprite.width() * down, sprite.height() * down);
        p.drawImage(target, sprite);
    }

    const CompositionRenderer::Caches::TextSprite &sprite(const QString &glyphs, const Item &it, bool shadow)
    {
        const QColor fill = shadow ? it.shadowColour : it.colour;
        const QRgb line = shadow ? 0 : (it.outline > 0 ? it.borderColour.rgba() : 0);
        const int outline = shadow ? 0 : int(std::lround(it.outline * 4));
        const int blur = shadow ? int(std::lround(it.shadowBlur * 4)) : 0;
        const auto key = std::make_tuple(glyphs, it.font.key(), fill.rgba(), line, outline, blur);
        auto found = m_caches.texts.find(key);
        if (found != m_caches.texts.end())
            return found->second;
        if (m_caches.texts.size() > 512)
            m_caches.texts.clear();
        QPainterPath path;
        path.addText(0, 0, it.font, glyphs);
        const double stroke = shadow ? 0 : it.outline;
        const double spread = stroke + (shadow ? it.shadowBlur * 2 : 0) + 2;
        const QRectF bounds = path.boundingRect().adjusted(-spread, -spread, spread, spread);
        QImage image(std::max(1, int(std::ceil(bounds.width()))), std::max(1, int(std::ceil(bounds.height()))),
                     QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        const QPointF offset(std::floor(bounds.x()), std::floor(bounds.y()));
        {
            QPainter tp(&image);
            tp.setRenderHint(QPainter::Antialiasing);
            tp.translate(-offset);
            if (stroke > 0) {
                QPen pen(it.borderColour, stroke * 2);
                pen.setJoinStyle(Qt::RoundJoin);
                tp.strokePath(path, pen);
            }
            tp.fillPath(path, fill);
        }
        if (shadow)
            image = blurred(image, it.shadowBlur);
        return m_caches.texts.emplace(key, CompositionRenderer::Caches::TextSprite{image, offset}).first->second;
    }

    void textItem(QPainter &p, const Item &it)
    {
        const QFontMetricsF fm(it.font);
        for (int pass = 0; pass < 2; ++pass) {
            const bool shadow = pass == 0;
            if (shadow && !it.shadowColour.isValid())
                continue;
            for (const Item::Letter &letter : it.letters) {
                if (letter.opacity <= 0 || letter.scale == 0)
                    continue;
                const auto &s = sprite(letter.glyph, it, shadow);
                QPointF at = letter.origin + letter.shift;
                if (shadow)
                    at += QPointF(it.shadowDx, it.shadowDy);
                p.save();
                p.setOpacity(p.opacity() * letter.opacity);
                if (letter.scale != 1 || letter.rotate != 0) {
                    const QPointF mid = at + QPointF(fm.horizontalAdvance(letter.glyph) / 2, -fm.ascent() / 2 + fm.descent() / 2);
                    p.translate(mid);
                    p.rotate(letter.rotate);
                    p.scale(letter.scale, letter.scale);
                    p.translate(-mid);
                }
                p.drawImage(at + s.offset, s.image);
                p.restore();
            }
        }
    }

    // A hard mask made of straight-edged parts (wipes, stripes, checkers, square rects) as polygons
    // in the group's pixels, all wound the same way; false for masks with curves.
    bool maskPolygons(const Item &it, std::vector<QPolygonF> &polygons) const
    {
        const CompositionLayer::Mask &m = it.layer->mask;
        const QRectF canvas(QPointF(0, 0), QSizeF(m_size));
        const double a = it.angle * M_PI / 180;
        const QPointF d(std::cos(a), std::sin(a)), n(-d.y(), d.x());
        double smin = 1e300, smax = -1e300, umin = 1e300, umax = -1e300;
        for (const QPointF c : {canvas.topLeft(), canvas.topRight(), canvas.bottomLeft(), canvas.bottomRight()}) {
            const double s = c.x() * d.x() + c.y() * d.y(), u = c.x() * n.x() + c.y() * n.y();
            smin = std::min(smin, s), smax = std::max(smax, s), umin = std::min(umin, u), umax = std::max(umax, u);
        }
        auto quad = [&](double s0, double s1) {
            QPolygonF poly;
            for (const auto &[s, u] : {std::pair{s0, umin}, std::pair{s1, umin}, std::pair{s1, umax}, std::pair{s0, umax}})
                poly << d * s + n * u;
            return poly;
        };
        const double progress = std::clamp(it.progress, 0.0, 1.0);
        switch (m.type) {
        case CompositionLayer::MaskType::Wipe:
            if (progress > 0)
                polygons.push_back(quad(smin - 1, smin + progress * (smax - smin) + (progress >= 1 ? 1 : 0)));
            return true;
        case CompositionLayer::MaskType::Stripes: {
            const double w = (smax - smin) / it.count;
            for (int k = 0; k < int(it.count); ++k)
                if (progress > 0)
                    polygons.push_back(quad(smin + k * w, smin + k * w + progress * w + (progress >= 1 ? 0.5 : 0)));
            return true;
        }
        case CompositionLayer::MaskType::Checker: {
            const double cw = canvas.width() / it.count, ch = canvas.height() / it.rows;
            for (int row = 0; row < int(it.rows); ++row)
                for (int col = 0; col < int(it.count); ++col) {
                    const double q = std::clamp(progress * 2 - ((row + col) % 2), 0.0, 1.0);
                    if (q > 0)
                        polygons.push_back(polygonOf(QRectF(col * cw, row * ch, q * cw + (q >= 1 ? 0.5 : 0), ch + 0.5)));
                }
            return true;
        }
        case CompositionLayer::MaskType::Rect:
            if (it.maskRadius > 0)
                return false;
            polygons.push_back(polygonOf(it.maskRect));
            return true;
        case CompositionLayer::MaskType::Iris:
        case CompositionLayer::MaskType::Ellipse:
        case CompositionLayer::MaskType::None:
            break;
        }
        return false;
    }

    // The outline of a hard mask, in the group's pixels; a soft mask is drawn as a gradient instead.
    QPainterPath maskPath(const Item &it) const
    {
        const CompositionLayer::Mask &m = it.layer->mask;
        const QRectF canvas(QPointF(0, 0), QSizeF(m_size));
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        std::vector<QPolygonF> polygons;
        if (maskPolygons(it, polygons)) {
            for (const QPolygonF &polygon : polygons)
                path.addPolygon(polygon);
        } else if (m.type == CompositionLayer::MaskType::Iris) {
            double reach = 0;
            for (const QPointF c : {canvas.topLeft(), canvas.topRight(), canvas.bottomLeft(), canvas.bottomRight()})
                reach = std::max(reach, std::hypot(c.x() - it.center.x(), c.y() - it.center.y()));
            const double r = std::clamp(it.progress, 0.0, 1.0) * (reach + 1);
            if (r > 0)
                path.addEllipse(it.center, r, r);
        } else if (m.type == CompositionLayer::MaskType::Rect) {
            path.addPath(outlineOf(it.maskRect, it.maskRadius, false));
        } else if (m.type == CompositionLayer::MaskType::Ellipse) {
            path.addEllipse(it.maskRect);
        }
        if (m.invert) {
            QPainterPath all;
            all.addRect(canvas.adjusted(-1, -1, 1, 1));
            return all.subtracted(path);
        }
        return path;
    }

    // A part of the device under a hard mask, and how much of each of its pixels the mask keeps.
    struct Piece
    {
        QRect rect;
        double coverage;
    };

    // A hard mask whose parts are upright rectangles on the device, cut into pieces of constant
    // coverage (whole pixels inside, the antialiased rows and columns along the edges). Drawing each
    // piece under a rectangle clip keeps Qt on its fast paths; a clip path with several parts side
    // by side (vertical blinds, a checker) makes it blend every span of every row apart. False when
    // the mask is not such, or when the clip path costs no more.
    bool rectPieces(const QPainter &p, const Item &it, std::vector<Piece> &pieces) const
    {
        std::vector<QPolygonF> polygons;
        if (!maskPolygons(it, polygons))
            return false;
        const QTransform &t = p.transform();
        const QRectF device(0, 0, p.device()->width(), p.device()->height());
        const bool invert = it.layer->mask.invert;
        // Qt clips with one rectangle along whole pixels, and a polygon cut to the clip it already
        // has (below) comes out as such a rectangle when it is upright.
        if (polygons.size() == 1 && !invert && !m_pathClip && t.type() <= QTransform::TxScale
            && (isQtRect(polygons[0]) || (p.hasClipping() && isUpright(polygons[0])))) {
            const QRect r = t.mapRect(polygons[0].boundingRect()).toRect() & device.toRect();
            if (!r.isEmpty())
                pieces.push_back({r, 1.0});
            return true;
        }
        std::vector<QRectF> rects;
        for (const QPolygonF &polygon : polygons) {
            const QPolygonF onDevice = t.map(polygon);
            if (!isUpright(onDevice))
                return false;
            // Qt rasterizes on a 1/64 pixel grid
            const QRectF b = onDevice.boundingRect();
            auto grid = [](double v) { return std::round(v * 64) / 64; };
            const QRectF r = QRectF(QPointF(grid(b.left()), grid(b.top())), QPointF(grid(b.right()), grid(b.bottom())))
                                 .intersected(device);
            if (!r.isEmpty())
                rects.push_back(r);
        }
        QRectF all;
        if (invert) {
            // the outline cuts out the union of overlapping parts; the sum below would differ
            for (size_t i = 0; i < rects.size(); ++i)
                for (size_t j = i + 1; j < rects.size(); ++j)
                    if (rects[i].intersects(rects[j]))
                        return false;
            const QPolygonF onDevice = t.map(polygonOf(QRectF(QPointF(0, 0), QSizeF(m_size)).adjusted(-1, -1, 1, 1)));
            if (!isUpright(onDevice))
                return false;
            all = onDevice.boundingRect().intersected(device);
            if (all.isEmpty())
                return true;
        }
        // Between these lines no part has an edge, so each cell of the grid has one coverage.
        std::vector<int> xs, ys;
        auto lines = [&](const QRectF &r) {
            for (const double x : {r.left(), r.right()})
                xs.insert(xs.end(), {int(std::floor(x)), int(std::ceil(x))});
            for (const double y : {r.top(), r.bottom()})
                ys.insert(ys.end(), {int(std::floor(y)), int(std::ceil(y))});
        };
        for (const QRectF &r : rects)
            lines(r);
        if (invert)
            lines(all);
        for (auto *v : {&xs, &ys}) {
            std::sort(v->begin(), v->end());
            v->erase(std::unique(v->begin(), v->end()), v->end());
        }
        // how much of the pixel starting at px the span a0 … a1 covers
        auto cover = [](double a0, double a1, int px) {
            return std::clamp(std::min(a1, px + 1.0) - std::max(a0, double(px)), 0.0, 1.0);
        };
        size_t widest = 0; // most pieces side by side on one row
        for (size_t j = 0; j + 1 < ys.size(); ++j) {
            const int y = ys[j];
            const size_t first = pieces.size();
            int runStart = 0, runLevel = 0;
            for (size_t i = 0; i < xs.size(); ++i) {
                int level = 0;
                if (i + 1 < xs.size()) {
                    const int x = xs[i];
                    // overlapping parts add up, as the winding rasterizer sums their areas
                    double sum = 0;
                    for (const QRectF &r : rects)
                        sum += cover(r.left(), r.right(), x) * cover(r.top(), r.bottom(), y);
                    double c = std::min(sum, 1.0);
                    if (invert)
                        c = std::max(0.0, cover(all.left(), all.right(), x) * cover(all.top(), all.bottom(), y) - c);
                    level = std::min(255, int(c * 256)); // as Qt's rasterizer rounds coverage
                }
                if (i > 0 && level == runLevel)
                    continue;
                if (i > 0 && runLevel > 0)
                    pieces.push_back({QRect(runStart, y, xs[i] - runStart, ys[j + 1] - y), runLevel / 255.0});
                runStart = xs[i];
                runLevel = level;
            }
            widest = std::max(widest, pieces.size() - first);
        }
        // Parts one above the other (horizontal blinds) leave one span per row to the clip path,
        // which then costs no more than drawing the pieces one by one.
        if (pieces.size() > 9 && widest <= 2) {
            pieces.clear();
            return false;
        }
        return true;
    }

    // Soft wipes and irises: a gradient brush that keeps what the mask shows (DestinationIn), and
    // the part of the canvas where anything can show.
    QBrush softMask(const Item &it, QRectF *support) const
    {
        const CompositionLayer::Mask &m = it.layer->mask;
        const QRectF canvas(QPointF(0, 0), QSizeF(m_size));
        const QColor in(0, 0, 0, 255), out(0, 0, 0, 0);
        const double progress = std::clamp(it.progress, 0.0, 1.0);
        if (m.type == CompositionLayer::MaskType::Wipe) {
            const double a = it.angle * M_PI / 180;
            const QPointF d(std::cos(a), std::sin(a));
            double smin = 1e300, smax = -1e300;
            for (const QPointF c : {canvas.topLeft(), canvas.topRight(), canvas.bottomLeft(), canvas.bottomRight()}) {
                const double s = c.x() * d.x() + c.y() * d.y();
                smin = std::min(smin, s), smax = std::max(smax, s);
            }
            const double f = it.feather * (smax - smin);
            const double edge = smin + progress * (smax - smin + f);
            QLinearGradient g(d * (edge - f), d * edge);
            g.setColorAt(0, m.invert ? out : in);
            g.setColorAt(1, m.invert ? in : out);
            *support = (m.invert ? cutPolygon(polygonOf(canvas), -d, -(edge - f)) : cutPolygon(polygonOf(canvas), d, edge))
                           .boundingRect();
            return g;
        }
        double reach = 0;
        for (const QPointF c : {canvas.topLeft(), canvas.topRight(), canvas.bottomLeft(), canvas.bottomRight()})
            reach = std::max(reach, std::hypot(c.x() - it.center.x(), c.y() - it.center.y()));
        const double f = it.feather * reach;
        const double r = std::max(progress * (reach + f), 1e-3);
        QRadialGradient g(it.center, r);
        g.setColorAt(0, m.invert ? out : in);
        g.setColorAt(std::clamp((r - f) / r, 0.0, 1.0), m.invert ? out : in);
        g.setColorAt(1, m.invert ? in : out);
        *support = m.invert ? canvas : QRectF(it.center - QPointF(r, r), QSizeF(2 * r, 2 * r)).intersected(canvas);
        return g;
    }

    // A feathered wipe: the fully shown part is drawn straight under a clip, and only the band of
    // the feather is drawn apart and faded, so a wipe costs little more than its pictures.
    void softWipe(QPainter &p, const Item &it, const QTransform &base)
    {
        const CompositionLayer::Mask &m = it.layer->mask;
        const QRectF canvas(QPointF(0, 0), QSizeF(m_size));
        const double a = it.angle * M_PI / 180;
        QPointF d(std::cos(a), std::sin(a));
        double smin = 1e300, smax = -1e300;
        for (const QPointF c : polygonOf(canvas)) {
            smin = std::min(smin, c.x() * d.x() + c.y() * d.y());
            smax = std::max(smax, c.x() * d.x() + c.y() * d.y());
        }
        const double f = it.feather * (smax - smin);
        const double edge = smin + std::clamp(it.progress, 0.0, 1.0) * (smax - smin + f);
        // shown where dot(p, d) <= solidLimit, faded over the band up to fadeLimit
        double solidLimit = edge - f, fadeLimit = edge;
        if (m.invert) { // shown beyond the edge: flip the direction
            d = -d;
            solidLimit = -edge;
            fadeLimit = -(edge - f);
        }
        const QTransform toDevice = it.xf * base;
        const QPolygonF solid = cutPolygon(polygonOf(canvas.adjusted(-1, -1, 1, 1)), d, solidLimit);
        if (!solid.isEmpty()) {
            p.save();
            const bool pathClip = m_pathClip;
            const QPolygonF onDevice = toDevice.map(solid);
            const QRectF box = onDevice.boundingRect();
            double area = 0;
            for (int k = 0; k < onDevice.size(); ++k) {
                const QPointF u = onDevice[k], v = onDevice[(k + 1) % onDevice.size()];
                area += u.x() * v.y() - v.x() * u.y();
            }
            if (std::abs(std::abs(area) / 2 - box.width() * box.height()) < 1) {
                // an upright edge: a rectangle clip keeps the pictures on the fast path
                p.setTransform(QTransform());
                p.setClipRect(box, Qt::IntersectClip);
            } else {
                QPainterPath clip;
                clip.addPolygon(solid);
                p.setClipPath(clip, Qt::IntersectClip);
                m_pathClip = true;
            }
            items(p, it.children, base);
            m_pathClip = pathClip;
            p.restore();
        }
        const QPolygonF band = cutPolygon(cutPolygon(polygonOf(canvas), d, fadeLimit), -d, -solidLimit);
        const QRect device(0, 0, p.device()->width(), p.device()->height());
        const QRect area = toDevice.map(band).boundingRect().toAlignedRect().intersected(device);
        if (band.isEmpty() || area.isEmpty() || f <= 0)
            return;
        QImage layer(area.size(), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        {
            QPainter lp(&layer);
            lp.setRenderHints(p.renderHints());
            const QTransform shifted = base * QTransform::fromTranslate(-area.x(), -area.y());
            {
                const Unfaded whole(m_fade);
                items(lp, it.children, shifted);
            }
            lp.setTransform(it.xf * shifted);
            lp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            QLinearGradient g(d * solidLimit, d * fadeLimit);
            g.setColorAt(0, QColor(0, 0, 0, 255));
            g.setColorAt(1, QColor(0, 0, 0, 0));
            lp.fillRect(canvas.adjusted(-1, -1, 1, 1), g);
            // what the straight part drew already must not be drawn twice
            lp.setCompositionMode(QPainter::CompositionMode_Clear);
            lp.setRenderHint(QPainter::Antialiasing, false);
            QPainterPath drawn;
            drawn.addPolygon(solid);
            lp.fillPath(drawn, Qt::black);
        }
        p.save();
        p.setTransform(QTransform());
        p.setOpacity(m_fade);
        drawPicture(p, QRectF(area), layer, QRectF(layer.rect()));
        p.restore();
    }

    void group(QPainter &p, const Item &it, const QTransform &base)
    {
        const CompositionLayer::Mask &m = it.layer->mask;
        const bool soft = it.feather > 0
                          && (m.type == CompositionLayer::MaskType::Wipe || m.type == CompositionLayer::MaskType::Iris);
        const bool hard = m.type != CompositionLayer::MaskType::None && !soft;
        std::vector<Piece> pieces;
        const bool inPieces = hard && rectPieces(p, it, pieces);
        const ClipGuard guard(m_pathClip);
        if (hard && !inPieces) {
            m_pathClip = true;
            QPainterPath path = maskPath(it);
            // Only what is already let through counts: a smaller path is cheaper to clip with.
            if (p.hasClipping()) {
                QPainterPath bounds;
                bounds.addRect(p.clipBoundingRect().adjusted(-1, -1, 1, 1));
                path = path.intersected(bounds);
            }
            p.setClipPath(path, Qt::IntersectClip);
        }
        if (soft && !it.offscreen) {
            softWipe(p, it, base);
            return;
        }
        // The group's pixels are drawn apart, cut by the mask, then laid on the canvas. Only the
        // part the mask can show is drawn.
        QImage layer;
        QRect area;
        if (it.offscreen) {
            QRectF support(QPointF(0, 0), QSizeF(m_size));
            QBrush brush;
            if (soft)
                brush = softMask(it, &support);
            area = (it.xf * base).mapRect(support).toAlignedRect().intersected(QRect(0, 0, p.device()->width(), p.device()->height()));
            if (inPieces) {
                QRect shown;
                for (const Piece &piece : pieces)
                    shown |= piece.rect;
                area &= shown;
            }
            if (area.isEmpty())
                return;
            layer = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
            layer.fill(Qt::transparent);
            QPainter lp(&layer);
            lp.setRenderHints(p.renderHints());
            const QTransform shifted = base * QTransform::fromTranslate(-area.x(), -area.y());
            {
                const Unfaded whole(m_fade);
                items(lp, it.children, shifted);
            }
            if (soft) {
                lp.setTransform(it.xf * shifted);
                lp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
                lp.fillRect(support.adjusted(-1, -1, 1, 1), brush);
            }
        }
        // the group once, where the painter's clip lets it through
        auto draw = [&] {
            if (!it.offscreen) {
                items(p, it.children, base);
                return;
            }
            p.setTransform(QTransform());
            p.setOpacity(it.opacity * m_fade);
            p.setCompositionMode(it.layer->blend);
            drawPicture(p, QRectF(area), layer, QRectF(layer.rect()));
        };
        if (!inPieces) {
            draw();
            return;
        }
        const double fade = m_fade;
        const QTransform toDevice = p.transform();
        for (const Piece &piece : pieces) {
            p.save();
            p.resetTransform();
            p.setClipRect(piece.rect, Qt::IntersectClip);
            p.setTransform(toDevice);
            m_fade = fade * piece.coverage;
            draw();
            p.restore();
        }
        m_fade = fade;
    }

    // An offscreen layer is drawn at full strength; the coverage of the mask piece it belongs to
    // applies when it is laid down.
    struct Unfaded
    {
        explicit Unfaded(double &fade) : fade(fade), saved(fade) { fade = 1; }
        ~Unfaded() { fade = saved; }
        double &fade;
        const double saved;
    };

    struct ClipGuard
    {
        explicit ClipGuard(bool &flag) : flag(flag), saved(flag) {}
        ~ClipGuard() { flag = saved; }
        bool &flag;
        const bool saved;
    };

    CompositionRenderer::Caches &m_caches;
    QSize m_size;
    double m_fade = 1; // coverage of the mask piece being drawn
    bool m_pathClip = false; // the painter clips with a path, not a rectangle
};

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
    Evaluator e(frame, m_inputs, m_pictures, m_lists, m_caches->phases, m_caches->opaque, m_size);
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
        Painter(*m_caches, m_size).items(p, frame.items, QTransform());
    }
    ++m_drawn;
    m_lastTrace = std::move(frame.trace);
    m_lastGeneration = m_generation;
    m_lastImage = image;
    return image;
}
