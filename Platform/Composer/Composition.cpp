#include "Platform/Composer/Composition.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

const QHash<QString, int> &fixedNames()
{
    static const QHash<QString, int> names = {
        {"Time", Composition::SlotTime}, {"Count", Composition::SlotCount},
        {"W", Composition::SlotWidth}, {"H", Composition::SlotHeight},
        {"Aspect", Composition::SlotAspect}, {"Ref", Composition::SlotRef},
        {"MoveIn", Composition::SlotMoveIn}, {"MoveOut", Composition::SlotMoveOut},
        {"X", Composition::SlotX}, {"Y", Composition::SlotY},
        {"FontSize", Composition::SlotFontSize}, {"Total", Composition::SlotTotal},
    };
    return names;
}

const QHash<QString, int> &pictureNames()
{
    static const QHash<QString, int> names = {
        {"i", Composition::SlotIndex}, {"entry", Composition::SlotEntry},
        {"hold", Composition::SlotHold}, {"exit", Composition::SlotExit},
        {"end", Composition::SlotEnd}, {"pin", Composition::SlotPin},
        {"phold", Composition::SlotPhold}, {"pout", Composition::SlotPout},
    };
    return names;
}

struct ParseError
{
    QString what;
};

} // namespace

// Reads the JSON of a composition into its layers; every fault names the place it was found.
class CompositionParser
{
public:
    explicit CompositionParser(Composition &c) : m_c(c) {}

    void parse(const QJsonObject &root)
    {
        const int format = root.value("format").toInt(1);
        if (format != 1)
            throw ParseError{QStringLiteral("unknown format %1").arg(format)};
        if (root.contains("background"))
            m_c.m_background = colour(root.value("background"), "background").constant;
        m_c.m_lets = lets(root.value("let"), "let");
        m_c.m_layers = layers(root.value("layers"), "layers");
    }

private:
    // [[name, expression], …]: each name gets a slot of its own and is known from then on.
    std::vector<std::pair<int, Expression>> lets(const QJsonValue &v, const QString &where)
    {
        std::vector<std::pair<int, Expression>> result;
        if (v.isUndefined())
            return result;
        if (!v.isArray())
            throw ParseError{where + ": expected an array of [name, expression]"};
        for (const QJsonValue &entry : v.toArray()) {
            const QJsonArray pair = entry.toArray();
            if (pair.size() != 2 || !pair[0].isString())
                throw ParseError{where + ": expected [name, expression]"};
            const QString name = pair[0].toString();
            static const QRegularExpression word("^[A-Za-z_][A-Za-z0-9_]*$");
            if (!word.match(name).hasMatch() || fixedNames().contains(name) || pictureNames().contains(name)
                || m_lets.contains(name))
                throw ParseError{QStringLiteral("%1: bad or taken name '%2'").arg(where, name)};
            Expression e = expr(pair[1], 0, where + " " + name);
            m_lets.insert(name, m_c.m_slotCount);
            result.emplace_back(m_c.m_slotCount++, std::move(e));
        }
        return result;
    }

    std::vector<CompositionLayer> layers(const QJsonValue &v, const QString &where)
    {
        if (v.isUndefined())
            return {};
        if (!v.isArray())
            throw ParseError{where + ": expected an array"};
        std::vector<CompositionLayer> result;
        int k = 0;
        for (const QJsonValue &l : v.toArray())
            result.push_back(layer(l, QStringLiteral("%1[%2]").arg(where).arg(k++)));
        return result;
    }

    int bind(const QString &name) const
    {
        if (auto it = fixedNames().constFind(name); it != fixedNames().constEnd())
            return *it;
        if (auto it = m_lets.constFind(name); it != m_lets.constEnd())
            return *it;
        if (m_inRepeat > 0)
            if (auto it = pictureNames().constFind(name); it != pictureNames().constEnd())
                return *it;
        if (m_inLetters) {
            if (name == u"li")
                return Composition::SlotLetter;
            if (name == u"ln")
                return Composition::SlotLetters;
        }
        return -1;
    }

    Expression expr(const QJsonValue &v, double fallback, const QString &where) const
    {
        if (v.isUndefined() || v.isNull())
            return Expression::constant(fallback);
        if (v.isDouble())
            return Expression::constant(v.toDouble());
        if (v.isBool())
            return Expression::constant(v.toBool() ? 1 : 0);
        if (v.isString()) {
            Expression e = Expression::compile(v.toString(), [this](const QString &n) { return bind(n); });
            if (!e.isValid())
                throw ParseError{where + ": " + e.error()};
            return e;
        }
        if (v.isObject())
            return keyframes(v.toObject(), where);
        throw ParseError{where + ": expected a number or an expression"};
    }

    // {"keys": [[at, value, "easing"], …], "by": "expression"}: the value between two keys is
    // mixed by the easing named on the later key; before the first and after the last it holds.
    Expression keyframes(const QJsonObject &o, const QString &where) const
    {
        const QJsonArray keys = o.value("keys").toArray();
        if (keys.isEmpty())
            throw ParseError{where + ": keyframes need \"keys\""};
        const QString by = o.value("by").toString("Time");
        struct Key
        {
            double at;
            QString value, easing;
        };
        std::vector<Key> list;
        for (const QJsonValue &k : keys) {
            const QJsonArray a = k.toArray();
            if (a.size() < 2 || !a[0].isDouble())
                throw ParseError{where + ": a key is [at, value] or [at, value, easing]"};
            const QString value = a[1].isDouble() ? QString::number(a[1].toDouble(), 'g', 17)
                                                  : "(" + a[1].toString() + ")";
            if (!list.empty() && a[0].toDouble() < list.back().at)
                throw ParseError{where + ": keys must be in time order"};
            list.push_back({a[0].toDouble(), value, a.size() > 2 ? a[2].toString() : QString()});
        }
        // Built as one expression: nested conditionals over the driving value.
        QString text = list.back().value;
        for (size_t i = list.size() - 1; i > 0; --i) {
            const Key &a = list[i - 1], &b = list[i];
            const QString t = QStringLiteral("ramp(%1, %2, %3)").arg("(" + by + ")", QString::number(a.at, 'g', 17),
                                                                     QString::number(b.at, 'g', 17));
            const QString eased = b.easing.isEmpty() || b.easing == u"linear" ? t : b.easing + "(" + t + ")";
            text = QStringLiteral("((%1) <= %2 ? mix(%3, %4, %5) : %6)")
                       .arg(by, QString::number(b.at, 'g', 17), a.value, b.value, eased, text);
        }
        text = QStringLiteral("((%1) <= %2 ? %3 : %4)").arg(by, QString::number(list.front().at, 'g', 17),
                                                            list.front().value, text);
        return expr(QJsonValue(text), 0, where);
    }

    template <size_t N>
    std::array<Expression, N> exprs(const QJsonValue &v, std::array<double, N> fallback, const QString &where) const
    {
        std::array<Expression, N> result;
        if (v.isUndefined()) {
            for (size_t i = 0; i < N; ++i)
                result[i] = Expression::constant(fallback[i]);
            return result;
        }
        const QJsonArray a = v.toArray();
        if (!v.isArray() || a.size() != int(N))
            throw ParseError{QStringLiteral("%1: expected an array of %2").arg(where).arg(N)};
        for (size_t i = 0; i < N; ++i)
            result[i] = expr(a[int(i)], fallback[i], where);
        return result;
    }

    CompositionLayer::Colour colour(const QJsonValue &v, const QString &where,
                                    QColor fallback = Qt::white) const
    {
        CompositionLayer::Colour c;
        c.constant = fallback;
        if (v.isUndefined())
            return c;
        const QString s = v.toString();
        if (s.startsWith(u'$')) {
            c.input = s.mid(1);
            return c;
        }
        c.constant = QColor::fromString(s);
        if (!v.isString() || !c.constant.isValid())
            throw ParseError{where + ": bad colour"};
        return c;
    }

    CompositionLayer::Text text(const QJsonValue &v, const QString &fallback) const
    {
        CompositionLayer::Text t;
        const QString s = v.isUndefined() ? fallback : v.toString();
        if (s.startsWith(u'$'))
            t.input = s.mid(1);
        else
            t.constant = s;
        return t;
    }

    CompositionLayer::Stroke stroke(const QJsonValue &v, const QString &where) const
    {
        CompositionLayer::Stroke s;
        if (v.isUndefined())
            return s;
        const QJsonObject o = v.toObject();
        s.on = true;
        s.width = expr(o.value("width"), 1, where + ".width");
        s.colour = colour(o.value("color"), where + ".color", Qt::white);
        return s;
    }

    CompositionLayer::Shadow shadow(const QJsonValue &v, const QString &where) const
    {
        CompositionLayer::Shadow s;
        if (v.isUndefined())
            return s;
        const QJsonObject o = v.toObject();
        s.on = true;
        s.blur = expr(o.value("blur"), 4, where + ".blur");
        s.dx = expr(o.value("dx"), 2, where + ".dx");
        s.dy = expr(o.value("dy"), 2, where + ".dy");
        s.colour = colour(o.value("color"), where + ".color", QColor(0, 0, 0, 160));
        return s;
    }

    CompositionLayer::Mask mask(const QJsonValue &v, const QString &where) const
    {
        CompositionLayer::Mask m;
        if (v.isUndefined())
            return m;
        const QJsonObject o = v.toObject();
        static const QHash<QString, CompositionLayer::MaskType> types = {
            {"wipe", CompositionLayer::MaskType::Wipe}, {"iris", CompositionLayer::MaskType::Iris},
            {"stripes", CompositionLayer::MaskType::Stripes}, {"checker", CompositionLayer::MaskType::Checker},
            {"rect", CompositionLayer::MaskType::Rect}, {"ellipse", CompositionLayer::MaskType::Ellipse},
        };
        const QString type = o.value("type").toString();
        if (!types.contains(type))
            throw ParseError{QStringLiteral("%1: unknown mask type '%2'").arg(where, type)};
        m.type = types.value(type);
        m.invert = o.value("invert").toBool(false);
        m.progress = expr(o.value("progress"), 1, where + ".progress");
        m.angle = expr(o.value("angle"), 0, where + ".angle");
        m.feather = expr(o.value("feather"), 0, where + ".feather");
        m.count = expr(o.value("count"), 8, where + ".count");
        m.rows = expr(o.value("rows"), 6, where + ".rows");
        m.radius = expr(o.value("radius"), 0, where + ".radius");
        m.center = exprs<2>(o.value("center"), {0.5, 0.5}, where + ".center");
        m.rect = exprs<4>(o.value("rect"), {0, 0, 1, 1}, where + ".rect");
        return m;
    }

    CompositionLayer layer(const QJsonValue &v, const QString &where)
    {
        if (!v.isObject())
            throw ParseError{where + ": expected an object"};
        const QJsonObject o = v.toObject();
        CompositionLayer l;
        l.type = typeOf(o, where);
        const bool repeat = l.type == CompositionLayer::Type::Repeat;
        const QHash<QString, int> outerLets = m_lets;
        if (repeat) {
            ++m_inRepeat; // the repeater's own values already see its entry
            l.lets = lets(o.value("let"), where + ".let");
        }
        placement(o, where, l);
        switch (l.type) {
        case CompositionLayer::Type::Fill:
            l.colour = colour(o.value("color"), where + ".color", Qt::black);
            break;
        case CompositionLayer::Type::Gradient:
            gradient(o, where, l);
            break;
        case CompositionLayer::Type::Picture:
            picture(o, where, l);
            break;
        case CompositionLayer::Type::Shape:
            shape(o, where, l);
            break;
        case CompositionLayer::Type::Text:
            textLayer(o, where, l);
            break;
        case CompositionLayer::Type::Group:
            l.mask = mask(o.value("mask"), where + ".mask");
            l.children = layers(o.value("layers"), where + ".layers");
            break;
        case CompositionLayer::Type::Repeat:
            l.over = o.value("over").toString("Images");
            l.children = layers(o.value("layers"), where + ".layers");
            break;
        }
        if (repeat) {
            --m_inRepeat;
            m_lets = outerLets; // a repeat's names are its own
        }
        return l;
    }

    static CompositionLayer::Type typeOf(const QJsonObject &o, const QString &where)
    {
        static const QHash<QString, CompositionLayer::Type> types = {
            {"fill", CompositionLayer::Type::Fill}, {"gradient", CompositionLayer::Type::Gradient},
            {"picture", CompositionLayer::Type::Picture}, {"shape", CompositionLayer::Type::Shape},
            {"text", CompositionLayer::Type::Text}, {"group", CompositionLayer::Type::Group},
            {"repeat", CompositionLayer::Type::Repeat},
        };
        const QString type = o.value("type").toString();
        if (!types.contains(type))
            throw ParseError{QStringLiteral("%1: unknown layer type '%2'").arg(where, type)};
        return types.value(type);
    }

    // The keys every layer takes: visibility, opacity, rectangle, transform and blend.
    void placement(const QJsonObject &o, const QString &where, CompositionLayer &l) const
    {
        l.hasVisible = o.contains("visible");
        l.visible = expr(o.value("visible"), 1, where + ".visible");
        if (l.type == CompositionLayer::Type::Repeat && !l.hasVisible)
            l.visible = expr(QJsonValue("Time >= entry && Time <= end"), 1, where + ".visible");
        l.opacity = expr(o.value("opacity"), 1, where + ".opacity");
        l.rect = exprs<4>(o.value("rect"), {0, 0, 1, 1}, where + ".rect");
        l.translate = exprs<2>(o.value("translate"), {0, 0}, where + ".translate");
        l.anchor = exprs<2>(o.value("anchor"), {0.5, 0.5}, where + ".anchor");
        l.scale = expr(o.value("scale"), 1, where + ".scale");
        l.scaleX = expr(o.value("scaleX"), 1, where + ".scaleX");
        l.scaleY = expr(o.value("scaleY"), 1, where + ".scaleY");
        l.rotate = expr(o.value("rotate"), 0, where + ".rotate");
        static const QHash<QString, QPainter::CompositionMode> blends = {
            {"normal", QPainter::CompositionMode_SourceOver}, {"multiply", QPainter::CompositionMode_Multiply},
            {"screen", QPainter::CompositionMode_Screen}, {"add", QPainter::CompositionMode_Plus},
            {"overlay", QPainter::CompositionMode_Overlay}, {"darken", QPainter::CompositionMode_Darken},
            {"lighten", QPainter::CompositionMode_Lighten},
        };
        const QString blend = o.value("blend").toString("normal");
        if (!blends.contains(blend))
            throw ParseError{QStringLiteral("%1: unknown blend '%2'").arg(where, blend)};
        l.blend = blends.value(blend);
    }

    void gradient(const QJsonObject &o, const QString &where, CompositionLayer &l) const
    {
        l.radial = o.value("kind").toString("linear") == u"radial";
        l.from = exprs<2>(o.value("from"), {0.5, 0}, where + ".from");
        l.to = exprs<2>(o.value("to"), {0.5, 1}, where + ".to");
        l.gradientRadius = expr(o.value("radius"), 0.5, where + ".radius");
        for (const QJsonValue &s : o.value("stops").toArray()) {
            const QJsonArray a = s.toArray();
            if (a.size() != 2 || !a[0].isDouble())
                throw ParseError{where + ".stops: a stop is [at, colour]"};
            l.stops.push_back({a[0].toDouble(), colour(a[1], where + ".stops")});
        }
        if (l.stops.size() < 2)
            throw ParseError{where + ": a gradient needs two stops"};
    }

    CompositionLayer::ImageRef imageRef(const QJsonObject &o, const QString &where) const
    {
        CompositionLayer::ImageRef image;
        const QString ref = o.value("image").toString();
        static const QRegularExpression indexed("^Images\\[(\\d+)\\]$");
        if (const auto m = indexed.match(ref); m.hasMatch()) {
            image.index = m.captured(1).toInt();
        } else if (ref == u"item") {
            if (m_inRepeat == 0)
                throw ParseError{where + ": \"item\" only inside a repeat"};
            image.item = true;
        } else if (!ref.isEmpty()) {
            image.key = ref;
        } else {
            throw ParseError{where + ": a picture layer needs \"image\""};
        }
        return image;
    }

    void picture(const QJsonObject &o, const QString &where, CompositionLayer &l) const
    {
        l.image = imageRef(o, where);
        static const QHash<QString, CompositionLayer::Fit> fits = {
            {"fit", CompositionLayer::Fit::Fit}, {"fill", CompositionLayer::Fit::Fill},
            {"stretch", CompositionLayer::Fit::Stretch}};
        const QString fit = o.value("fit").toString("fill");
        if (!fits.contains(fit))
            throw ParseError{QStringLiteral("%1: unknown fit '%2'").arg(where, fit)};
        l.fit = fits.value(fit);
        l.hasCrop = o.contains("crop");
        l.trim = o.value("trim").toBool();
        l.crop = exprs<4>(o.value("crop"), {0, 0, 1, 1}, where + ".crop");
        l.maxCut = expr(o.value("maxCut"), 1, where + ".maxCut");
        l.pan = expr(o.value("pan"), 0.5, where + ".pan");
        l.radius = expr(o.value("radius"), 0, where + ".radius");
        l.border = stroke(o.value("border"), where + ".border");
        l.shadow = shadow(o.value("shadow"), where + ".shadow");
        if (const QJsonValue b = o.value("backdrop"); !b.isUndefined()) {
            l.backdrop.on = true;
            l.backdrop.blur = expr(b.toObject().value("blur"), 16, where + ".backdrop.blur");
            l.backdrop.colour = colour(b.toObject().value("color"), where + ".backdrop.color", QColor(0, 0, 0, 90));
        }
    }

    void shape(const QJsonObject &o, const QString &where, CompositionLayer &l) const
    {
        const QString shape = o.value("shape").toString("rect");
        if (shape != u"rect" && shape != u"ellipse")
            throw ParseError{QStringLiteral("%1: unknown shape '%2'").arg(where, shape)};
        l.ellipse = shape == u"ellipse";
        l.colour = colour(o.value("color"), where + ".color", Qt::white);
        l.radius = expr(o.value("radius"), 0, where + ".radius");
        l.border = stroke(o.value("stroke"), where + ".stroke");
        l.shadow = shadow(o.value("shadow"), where + ".shadow");
    }

    void textLayer(const QJsonObject &o, const QString &where, CompositionLayer &l)
    {
        l.text = text(o.value("text"), "$Content");
        l.font = text(o.value("font"), "$FontName");
        l.fontSize = expr(o.value("size"), 60, where + ".size");
        l.colour = colour(o.value("color"), where + ".color", Qt::white);
        l.bold = o.value("bold").toBool(false);
        l.italic = o.value("italic").toBool(false);
        l.outline = stroke(o.value("outline"), where + ".outline");
        l.shadow = shadow(o.value("shadow"), where + ".shadow");
        if (!o.contains("letters"))
            return;
        const QJsonObject lo = o.value("letters").toObject();
        m_inLetters = true;
        l.letters.on = true;
        l.letters.opacity = expr(lo.value("opacity"), 1, where + ".letters.opacity");
        l.letters.scale = expr(lo.value("scale"), 1, where + ".letters.scale");
        l.letters.rotate = expr(lo.value("rotate"), 0, where + ".letters.rotate");
        l.letters.translate = exprs<2>(lo.value("translate"), {0, 0}, where + ".letters.translate");
        m_inLetters = false;
    }

    Composition &m_c;
    QHash<QString, int> m_lets;
    int m_inRepeat = 0;
    bool m_inLetters = false;
};

std::shared_ptr<const Composition> Composition::fromJson(const QByteArray &json, const SlideTiming &timing,
                                                         QString *error)
{
    QJsonParseError jsonError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &jsonError);
    if (!doc.isObject()) {
        if (error)
            *error = doc.isNull() ? jsonError.errorString() : QStringLiteral("expected an object");
        return nullptr;
    }
    std::shared_ptr<Composition> c(new Composition);
    c->m_timing = timing;
    try {
        CompositionParser(*c).parse(doc.object());
    } catch (const ParseError &e) {
        if (error)
            *error = e.what;
        return nullptr;
    }
    return c;
}

std::shared_ptr<const Composition> Composition::load(const QString &path, const SlideTiming &timing,
                                                     QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return nullptr;
    }
    const QByteArray bytes = file.readAll();
    // An index file names the composition it derives from.
    const QJsonObject root = QJsonDocument::fromJson(bytes).object();
    if (root.contains("indexOf")) {
        const QString of = root.value("indexOf").toString();
        const QString target = QFileInfo(path).dir().filePath(of);
        if (of.isEmpty() || QFileInfo(target) == QFileInfo(path)) {
            if (error)
                *error = QStringLiteral("indexOf: bad file name");
            return nullptr;
        }
        QFile main(target);
        if (!main.open(QIODevice::ReadOnly)) {
            if (error)
                *error = QStringLiteral("indexOf: %1").arg(main.errorString());
            return nullptr;
        }
        auto drawing = fromJson(main.readAll(), timing, error);
        return drawing ? drawing->indexComposition() : nullptr;
    }
    return fromJson(bytes, timing, error);
}

std::shared_ptr<const Composition> Composition::indexComposition() const
{
    std::shared_ptr<Composition> c(new Composition(*this));
    c->m_isIndex = true;
    return c;
}
