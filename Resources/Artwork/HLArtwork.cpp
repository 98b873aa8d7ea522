#include "HLArtwork.h"

#include <QFont>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

using Drawing = std::function<void(QPainter &, QSizeF)>;

struct Piece
{
    QSize size;
    Drawing drawing;
};

const QColor kGlyph(236, 236, 236);     // icons and digits on the dark look
const QColor kGlyphShade(20, 20, 20);   // their one-pixel shadow
const QColor kAccent(232, 120, 40);      // the play line and the application's orange

// Caps and fill of the transparent controls: a rounded frame of light hairlines over a
// faint fill, so the dark background shows through; pressed is lighter.
void drawSlice(QPainter &p, QSizeF size, bool pressed, int part /*0 left, 1 fill, 2 right*/)
{
    const qreal h = size.height();
    const QColor fill = pressed ? QColor(255, 255, 255, 70) : QColor(255, 255, 255, 28);
    const QColor edge = pressed ? QColor(255, 255, 255, 150) : QColor(255, 255, 255, 95);
    // The whole control is drawn as one rounded rectangle wide enough that the caps and
    // the middle column cut out of it join without seams.
    const qreal width = 40;
    qreal offset = 0;
    if (part == 1)
        offset = -width / 2;
    else if (part == 2)
        offset = size.width() - width;
    p.translate(offset, 0);
    const QRectF body(0.5, 1.5, width - 1, h - 3);
    p.setPen(QPen(edge, 1));
    p.setBrush(fill);
    p.drawRoundedRect(body, 5, 5);
}

void drawPopUpArrows(QPainter &p, QSizeF size, bool pullDown)
{
    const qreal cx = size.width() - 9, cy = size.height() / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(kGlyph);
    QPainterPath down;
    down.moveTo(cx - 3.5, cy + 1);
    down.lineTo(cx + 3.5, cy + 1);
    down.lineTo(cx, cy + 5);
    down.closeSubpath();
    p.drawPath(down);
    if (pullDown)
        return;
    QPainterPath up;
    up.moveTo(cx - 3.5, cy - 1);
    up.lineTo(cx + 3.5, cy - 1);
    up.lineTo(cx, cy - 5);
    up.closeSubpath();
    p.drawPath(up);
}

void drawCheckbox(QPainter &p, QSizeF size, bool on, bool pressed)
{
    const QRectF box(1.5, 1.5, size.width() - 3, size.height() - 3);
    p.setPen(QPen(pressed ? QColor(255, 255, 255, 200) : QColor(255, 255, 255, 130), 1));
    p.setBrush(pressed ? QColor(255, 255, 255, 70) : QColor(255, 255, 255, 25));
    p.drawRoundedRect(box, 3, 3);
    if (!on)
        return;
    QPainterPath tick;
    tick.moveTo(4.5, 8.5);
    tick.lineTo(7, 11.5);
    tick.lineTo(12, 4.5);
    p.setPen(QPen(kGlyph, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

// Seven-segment digits: clear at small sizes, and every digit has the same width.
void drawDigit(QPainter &p, QSizeF size, int digit)
{
    static const char *segments[10] = {"abcdef", "bc", "abged", "abgcd", "fgbc",
                                       "afgcd", "afgedc", "abc", "abcdefg", "abcdfg"};
    const qreal w = size.width(), h = size.height();
    const qreal t = 1.6;              // stroke thickness
    const qreal l = 1.5, r = w - 1.5; // left and right of the figure
    const qreal top = 1.5, mid = h / 2, bottom = h - 1.5;
    auto segment = [&](char s) -> QLineF {
        switch (s) {
        case 'a': return {l + t, top, r - t, top};
        case 'b': return {r, top + t, r, mid - t / 2};
        case 'c': return {r, mid + t / 2, r, bottom - t};
        case 'd': return {l + t, bottom, r - t, bottom};
        case 'e': return {l, mid + t / 2, l, bottom - t};
        case 'f': return {l, top + t, l, mid - t / 2};
        default: return {l + t, mid, r - t, mid};
        }
    };
    for (int pass = 0; pass < 2; ++pass) {
        p.setPen(QPen(pass == 0 ? kGlyphShade : kGlyph, t, Qt::SolidLine, Qt::RoundCap));
        p.save();
        if (pass == 0)
            p.translate(0, 0.8);
        for (const char *s = segments[digit]; *s; ++s)
            p.drawLine(segment(*s));
        p.restore();
    }
}

void drawDots(QPainter &p, QSizeF size, bool colon)
{
    const qreal cx = size.width() / 2;
    p.setPen(Qt::NoPen);
    for (int pass = 0; pass < 2; ++pass) {
        p.setBrush(pass == 0 ? kGlyphShade : kGlyph);
        const qreal dy = pass == 0 ? 0.8 : 0;
        if (colon) {
            p.drawEllipse(QPointF(cx, size.height() * 0.33 + dy), 1.1, 1.1);
            p.drawEllipse(QPointF(cx, size.height() * 0.70 + dy), 1.1, 1.1);
        } else {
            p.drawEllipse(QPointF(cx, size.height() - 2 + dy), 1.1, 1.1);
        }
    }
}

QPen glyphPen(qreal width = 2)
{
    return QPen(kGlyph, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawPlay(QPainter &p, QSizeF s)
{
    QPainterPath path;
    path.moveTo(s.width() * 0.34, s.height() * 0.22);
    path.lineTo(s.width() * 0.78, s.height() * 0.5);
    path.lineTo(s.width() * 0.34, s.height() * 0.78);
    path.closeSubpath();
    p.setPen(glyphPen(1.5));
    p.setBrush(kGlyph);
    p.drawPath(path);
}

void drawPause(QPainter &p, QSizeF s)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kGlyph);
    p.drawRoundedRect(QRectF(s.width() * 0.30, s.height() * 0.22, s.width() * 0.14, s.height() * 0.56), 1.5, 1.5);
    p.drawRoundedRect(QRectF(s.width() * 0.56, s.height() * 0.22, s.width() * 0.14, s.height() * 0.56), 1.5, 1.5);
}

void drawPlus(QPainter &p, QPointF at)
{
    p.setPen(QPen(kAccent, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(at + QPointF(-4, 0), at + QPointF(4, 0));
    p.drawLine(at + QPointF(0, -4), at + QPointF(0, 4));
}

void drawPhoto(QPainter &p, QRectF r)
{
    p.setPen(glyphPen(1.6));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r, 2, 2);
    QPainterPath hills;
    hills.moveTo(r.left() + 2, r.bottom() - 2);
    hills.lineTo(r.left() + r.width() * 0.38, r.top() + r.height() * 0.45);
    hills.lineTo(r.left() + r.width() * 0.6, r.bottom() - r.height() * 0.3);
    hills.lineTo(r.left() + r.width() * 0.75, r.top() + r.height() * 0.6);
    hills.lineTo(r.right() - 2, r.bottom() - 2);
    p.drawPath(hills);
    p.setBrush(kGlyph);
    p.drawEllipse(QPointF(r.right() - r.width() * 0.25, r.top() + r.height() * 0.28), 1.6, 1.6);
}

void drawNote(QPainter &p, QRectF r)
{
    p.setPen(glyphPen(1.8));
    p.setBrush(kGlyph);
    const QPointF a(r.left() + r.width() * 0.25, r.bottom() - r.height() * 0.12);
    const QPointF b(r.left() + r.width() * 0.78, r.bottom() - r.height() * 0.24);
    p.drawEllipse(a, r.width() * 0.14, r.height() * 0.1);
    p.drawEllipse(b, r.width() * 0.14, r.height() * 0.1);
    const qreal stemA = a.x() + r.width() * 0.13, stemB = b.x() + r.width() * 0.13;
    p.drawLine(QPointF(stemA, a.y()), QPointF(stemA, r.top() + r.height() * 0.18));
    p.drawLine(QPointF(stemB, b.y()), QPointF(stemB, r.top() + r.height() * 0.06));
    p.setBrush(Qt::NoBrush);
    p.setPen(glyphPen(3));
    p.drawLine(QPointF(stemA, r.top() + r.height() * 0.18), QPointF(stemB, r.top() + r.height() * 0.06));
}

void drawLetterT(QPainter &p, QRectF r)
{
    p.setPen(glyphPen(2.2));
    p.drawLine(QPointF(r.left(), r.top()), QPointF(r.right(), r.top()));
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
}

void drawGear(QPainter &p, QSizeF s)
{
    const QPointF c(s.width() / 2, s.height() / 2);
    p.setPen(Qt::NoPen);
    p.setBrush(kGlyph);
    p.save();
    p.translate(c);
    for (int i = 0; i < 8; ++i) {
        p.drawRoundedRect(QRectF(-2, -s.height() * 0.36, 4, 6), 1, 1);
        p.rotate(45);
    }
    p.restore();
    p.drawEllipse(c, s.width() * 0.24, s.height() * 0.24);
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(c, s.width() * 0.1, s.height() * 0.1);
}

void drawSort(QPainter &p, QSizeF s)
{
    p.setPen(glyphPen(1.5));
    p.setBrush(Qt::NoBrush);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawRoundedRect(QRectF(5 + col * 8, 8 + row * 9, 6, 6.5), 1, 1);
    Q_UNUSED(s);
}

void drawSize(QPainter &p, QSizeF s)
{
    p.setPen(glyphPen(1.6));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(5, 8, s.width() - 10, s.height() - 16), 2, 2);
    p.setPen(glyphPen(1.4));
    p.drawLine(QPointF(10, 12), QPointF(10, 16));
    p.drawLine(QPointF(10, 12), QPointF(14, 12));
    p.drawLine(QPointF(s.width() - 10, s.height() - 12), QPointF(s.width() - 10, s.height() - 16));
    p.drawLine(QPointF(s.width() - 10, s.height() - 12), QPointF(s.width() - 14, s.height() - 12));
}

void drawExport(QPainter &p, QSizeF s)
{
    p.setPen(glyphPen(1.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath tray;
    tray.moveTo(6, 17);
    tray.lineTo(6, s.height() - 6);
    tray.lineTo(s.width() - 6, s.height() - 6);
    tray.lineTo(s.width() - 6, 17);
    p.drawPath(tray);
    p.drawLine(QPointF(s.width() / 2, 20), QPointF(s.width() / 2, 5));
    p.drawLine(QPointF(s.width() / 2, 5), QPointF(s.width() / 2 - 5, 10));
    p.drawLine(QPointF(s.width() / 2, 5), QPointF(s.width() / 2 + 5, 10));
}

void drawEdit(QPainter &p, QSizeF s)
{
    p.setPen(glyphPen(1.6));
    p.setBrush(Qt::NoBrush);
    p.save();
    p.translate(s.width() / 2, s.height() / 2);
    p.rotate(45);
    p.drawRoundedRect(QRectF(-3.5, -12, 7, 19), 1, 1);
    QPainterPath tip;
    tip.moveTo(-3.5, 7);
    tip.lineTo(0, 12);
    tip.lineTo(3.5, 7);
    p.drawPath(tip);
    p.drawLine(QPointF(-3.5, -8), QPointF(3.5, -8));
    p.restore();
}

void drawMedia(QPainter &p, QSizeF s)
{
    drawPhoto(p, QRectF(9, 6, s.width() - 14, s.height() - 16));
    p.setPen(glyphPen(1.6));
    p.setBrush(QColor(40, 40, 40));
    p.drawRoundedRect(QRectF(5, 11, s.width() - 14, s.height() - 16), 2, 2);
}

// The template chooser's tabs, 16 points: a slide with a photo, a plain slide, two slides
// crossing and a letter.
void drawTemplateTab(QPainter &p, QSizeF s, int kind)
{
    const QRectF r(1.5, 3.5, s.width() - 3, s.height() - 7);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case 0:
        drawPhoto(p, r);
        break;
    case 1:
        p.setPen(glyphPen(1.4));
        p.setBrush(QColor(255, 255, 255, 40));
        p.drawRoundedRect(r, 1.5, 1.5);
        p.drawLine(QPointF(r.left() + 3, r.center().y()), QPointF(r.right() - 3, r.center().y()));
        break;
    case 2:
        p.setPen(glyphPen(1.2));
        p.setBrush(QColor(255, 255, 255, 30));
        p.drawRoundedRect(QRectF(1.5, 2.5, s.width() * 0.6, s.height() * 0.55), 1.5, 1.5);
        p.setBrush(kAccent);
        p.drawRoundedRect(QRectF(s.width() * 0.35, s.height() * 0.4, s.width() * 0.6, s.height() * 0.55), 1.5, 1.5);
        break;
    default:
        drawLetterT(p, QRectF(3, 1.5, s.width() - 6, s.height() - 3));
        break;
    }
}

void drawAppIcon(QPainter &p, QSizeF s)
{
    const QRectF r(s.width() * 0.06, s.height() * 0.06, s.width() * 0.88, s.height() * 0.88);
    QLinearGradient back(r.topLeft(), r.bottomLeft());
    back.setColorAt(0, QColor(72, 72, 76));
    back.setColorAt(1, QColor(28, 28, 30));
    p.setPen(QPen(QColor(12, 12, 12), s.width() / 128));
    p.setBrush(back);
    p.drawRoundedRect(r, s.width() * 0.16, s.height() * 0.16);
    // a strip of film with a sunset photo in its frame
    const QRectF film(s.width() * 0.16, s.height() * 0.26, s.width() * 0.68, s.height() * 0.48);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(16, 16, 16));
    p.drawRect(film);
    p.setBrush(QColor(210, 210, 210));
    const qreal hole = s.width() * 0.045;
    for (int i = 0; i < 6; ++i) {
        const qreal x = film.left() + s.width() * 0.04 + i * film.width() / 6;
        p.drawRoundedRect(QRectF(x, film.top() + hole * 0.5, hole * 1.2, hole), hole * 0.2, hole * 0.2);
        p.drawRoundedRect(QRectF(x, film.bottom() - hole * 1.5, hole * 1.2, hole), hole * 0.2, hole * 0.2);
    }
    const QRectF photo = film.adjusted(s.width() * 0.04, hole * 2.2, -s.width() * 0.04, -hole * 2.2);
    QLinearGradient sky(photo.topLeft(), photo.bottomLeft());
    sky.setColorAt(0, QColor(245, 170, 70));
    sky.setColorAt(1, QColor(200, 70, 50));
    p.setBrush(sky);
    p.drawRect(photo);
    p.setBrush(QColor(255, 235, 170));
    p.drawEllipse(QPointF(photo.center().x(), photo.bottom() - photo.height() * 0.2), photo.height() * 0.26,
                  photo.height() * 0.26);
    p.setBrush(QColor(40, 30, 40));
    QPainterPath hills;
    hills.moveTo(photo.bottomLeft());
    hills.lineTo(photo.left() + photo.width() * 0.3, photo.bottom() - photo.height() * 0.35);
    hills.lineTo(photo.left() + photo.width() * 0.55, photo.bottom() - photo.height() * 0.12);
    hills.lineTo(photo.left() + photo.width() * 0.8, photo.bottom() - photo.height() * 0.42);
    hills.lineTo(photo.bottomRight());
    hills.closeSubpath();
    p.drawPath(hills);
    // the play mark
    QPainterPath play;
    const QPointF c(s.width() * 0.72, s.height() * 0.72);
    const qreal rr = s.width() * 0.15;
    p.setBrush(kAccent);
    p.setPen(QPen(QColor(255, 255, 255), s.width() / 64));
    p.drawEllipse(c, rr, rr);
    play.moveTo(c + QPointF(-rr * 0.35, -rr * 0.5));
    play.lineTo(c + QPointF(rr * 0.55, 0));
    play.lineTo(c + QPointF(-rr * 0.35, rr * 0.5));
    play.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(play);
}

void drawVernier(QPainter &p, QSizeF s)
{
    QPainterPath head;
    head.moveTo(0.5, 0.5);
    head.lineTo(s.width() - 0.5, 0.5);
    head.lineTo(s.width() - 0.5, s.height() * 0.55);
    head.lineTo(s.width() / 2, s.height() - 0.5);
    head.lineTo(0.5, s.height() * 0.55);
    head.closeSubpath();
    p.setPen(QPen(QColor(120, 50, 10), 1));
    p.setBrush(kAccent);
    p.drawPath(head);
}

// Sprocket holes along the top and bottom edge of a video's thumbnail.
void drawThumbMaskVideo(QPainter &p, QSizeF s)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 170));
    p.drawRect(QRectF(0, 0, s.width(), 7));
    p.drawRect(QRectF(0, s.height() - 7, s.width(), 7));
    p.setBrush(QColor(235, 235, 235, 220));
    for (qreal x = 3; x + 4 < s.width(); x += 8) {
        p.drawRoundedRect(QRectF(x, 2, 4, 3), 0.8, 0.8);
        p.drawRoundedRect(QRectF(x, s.height() - 5, 4, 3), 0.8, 0.8);
    }
}

void drawStaticText(QPainter &p, QSizeF s)
{
    p.fillRect(QRectF(QPointF(0, 0), s), Qt::black);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(qRound(s.height() * 0.16));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(QPointF(0, 0), s), Qt::AlignCenter, QStringLiteral("Text"));
    p.setPen(QPen(QColor(255, 255, 255, 140), 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(s.width() * 0.28, s.height() * 0.36, s.width() * 0.44, s.height() * 0.28), 4, 4);
}

// The sound trim bar: a dark groove, a round knob, two flag handles and the orange span.
void drawTrimBarGroove(QPainter &p, QSizeF s)
{
    p.setPen(QPen(QColor(10, 10, 10), 1));
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(0.5, 0.5, s.width() - 1, s.height() - 1));
}

void drawTrimBarKnob(QPainter &p, QSizeF s)
{
    p.setPen(QPen(kGlyphShade, 1));
    p.setBrush(kGlyph);
    p.drawEllipse(QRectF(2, 0.5, s.width() - 4, s.height() - 1));
}

void drawTrimHandle(QPainter &p, QSizeF s, bool left)
{
    QPainterPath flag;
    const qreal edge = left ? s.width() - 1 : 1;
    const qreal tip = left ? 1 : s.width() - 1;
    flag.moveTo(edge, 0.5);
    flag.lineTo(edge, s.height() - 0.5);
    flag.lineTo(tip, s.height() * 0.35);
    flag.lineTo(edge, 0.5);
    p.setPen(QPen(QColor(120, 50, 10), 1));
    p.setBrush(kAccent);
    p.drawPath(flag);
}

// The editors' trim line: a dark groove, the kept ranges over it (grey, or orange when chosen),
// and the handles: min and max triangles with their upright edge on the ratio, the play
// position a pointer with its tip at the bottom.
void drawTrimlineStrip(QPainter &p, QSizeF s, int look /*0 back, 1 unchosen, 2 chosen*/)
{
    const QRectF r(0.5, 0.5, s.width() - 1, s.height() - 1);
    if (look == 0) {
        QLinearGradient groove(0, 0, 0, s.height());
        groove.setColorAt(0, QColor(26, 26, 26));
        groove.setColorAt(1, QColor(60, 60, 60));
        p.setPen(QPen(QColor(8, 8, 8), 1));
        p.setBrush(groove);
        p.drawRect(r);
        return;
    }
    const QColor top = look == 2 ? QColor(246, 150, 70) : QColor(150, 150, 150);
    const QColor bottom = look == 2 ? kAccent.darker(125) : QColor(100, 100, 100);
    QLinearGradient fill(0, 0, 0, s.height());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setPen(QPen(look == 2 ? QColor(120, 50, 10) : QColor(40, 40, 40), 1));
    p.setBrush(fill);
    p.drawRect(r);
}

void drawTrimUnit(QPainter &p, QSizeF s, int type /*0 min, 1 play position, 2 max*/, bool chosen)
{
    const double w = s.width(), h = s.height();
    QPainterPath shape;
    if (type == 0) {
        shape.moveTo(w - 0.5, h - 0.5);
        shape.lineTo(0.5, h - 0.5);
        shape.lineTo(w - 0.5, 0.5);
    } else if (type == 2) {
        shape.moveTo(0.5, h - 0.5);
        shape.lineTo(w - 0.5, h - 0.5);
        shape.lineTo(0.5, 0.5);
    } else {
        shape.moveTo(w / 2, h - 0.5);
        shape.lineTo(0.5, h / 2);
        shape.lineTo(0.5, 0.5);
        shape.lineTo(w - 0.5, 0.5);
        shape.lineTo(w - 0.5, h / 2);
    }
    shape.closeSubpath();
    p.setPen(QPen(chosen ? QColor(120, 50, 10) : kGlyphShade, 1));
    p.setBrush(chosen ? kAccent : QColor(200, 200, 200));
    p.drawPath(shape);
}

// The crop corners' cursor: a diagonal double arrow, rising to the right for the lower-left
// and upper-right corners, falling for the other two.
void drawCropCursor(QPainter &p, QSizeF s, bool rising)
{
    const double w = s.width(), h = s.height();
    if (rising)
        p.setTransform(QTransform(1, 0, 0, -1, 0, h), true);
    QPainterPath arrow;
    arrow.moveTo(3, 3);
    arrow.lineTo(11, 3);
    arrow.lineTo(8.5, 5.5);
    arrow.lineTo(w - 5.5, h - 8.5);
    arrow.lineTo(w - 3, h - 11);
    arrow.lineTo(w - 3, h - 3);
    arrow.lineTo(w - 11, h - 3);
    arrow.lineTo(w - 8.5, h - 5.5);
    arrow.lineTo(5.5, 8.5);
    arrow.lineTo(3, 11);
    arrow.closeSubpath();
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(arrow);
}

// The DVD menu's built-in background: a deep blue-violet field with soft light and a faint
// band of film frames, quiet enough for a title and a button over it.
void drawDefaultMenu(QPainter &p, QSizeF s)
{
    QLinearGradient field(0, 0, s.width(), s.height());
    field.setColorAt(0, QColor(22, 28, 64));
    field.setColorAt(0.55, QColor(52, 30, 84));
    field.setColorAt(1, QColor(14, 12, 30));
    p.fillRect(QRectF(QPointF(0, 0), s), field);
    QRadialGradient glow(s.width() * 0.3, s.height() * 0.25, s.width() * 0.6);
    glow.setColorAt(0, QColor(255, 210, 150, 70));
    glow.setColorAt(1, QColor(255, 210, 150, 0));
    p.fillRect(QRectF(QPointF(0, 0), s), glow);
    const double band = s.height() * 0.14;
    const QRectF strip(0, s.height() * 0.8, s.width(), band);
    p.fillRect(strip, QColor(0, 0, 0, 70));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 28));
    const double hole = band * 0.16;
    for (double x = hole; x < s.width(); x += hole * 2.5) {
        p.drawRoundedRect(QRectF(x, strip.top() + hole * 0.6, hole, hole), 2, 2);
        p.drawRoundedRect(QRectF(x, strip.bottom() - hole * 1.6, hole, hole), 2, 2);
    }
}

const QHash<QString, Piece> &pieces()
{
    static const QHash<QString, Piece> all = [] {
        QHash<QString, Piece> p;
        const QSize icon(32, 32);
        p.insert(QStringLiteral("Play"), {icon, drawPlay});
        p.insert(QStringLiteral("Pause"), {icon, drawPause});
        p.insert(QStringLiteral("library_player_play"), {icon, drawPlay});
        p.insert(QStringLiteral("library_player_pause"), {icon, drawPause});
        p.insert(QStringLiteral("DefaultMenu001"), {QSize(960, 540), drawDefaultMenu});
        p.insert(QStringLiteral("ToolbarAddMedia"), {icon, [](QPainter &q, QSizeF) {
                     drawPhoto(q, QRectF(4, 8, 20, 16));
                     drawPlus(q, QPointF(25, 8));
                 }});
        p.insert(QStringLiteral("ToolbarAddText"), {icon, [](QPainter &q, QSizeF) {
                     drawLetterT(q, QRectF(6, 9, 16, 16));
                     drawPlus(q, QPointF(25, 8));
                 }});
        p.insert(QStringLiteral("ToolbarAddAudio"), {icon, [](QPainter &q, QSizeF) {
                     drawNote(q, QRectF(4, 7, 20, 20));
                     drawPlus(q, QPointF(25, 8));
                 }});
        p.insert(QStringLiteral("ToolbarEdit"), {icon, drawEdit});
        p.insert(QStringLiteral("ToolbarSort"), {icon, drawSort});
        p.insert(QStringLiteral("ToolbarSetting"), {icon, drawGear});
        p.insert(QStringLiteral("ToolbarMedia"), {icon, drawMedia});
        p.insert(QStringLiteral("ToolbarSize"), {icon, drawSize});
        p.insert(QStringLiteral("ToolbarExport"), {icon, drawExport});
        for (int d = 0; d < 10; ++d)
            p.insert(QStringLiteral("TimeNum%1").arg(d), {QSize(10, 16), [d](QPainter &q, QSizeF s) { drawDigit(q, s, d); }});
        p.insert(QStringLiteral("TimeSep"), {QSize(5, 16), [](QPainter &q, QSizeF s) { drawDots(q, s, true); }});
        p.insert(QStringLiteral("TimeDot"), {QSize(5, 16), [](QPainter &q, QSizeF s) { drawDots(q, s, false); }});
        const QString states[2] = {QStringLiteral("N"), QStringLiteral("P")};
        for (int pressed = 0; pressed < 2; ++pressed) {
            const QString st = states[pressed];
            for (const QString &kind : {QStringLiteral("Button"), QStringLiteral("PopUp")}) {
                p.insert(QStringLiteral("Transparent%1Left%2").arg(kind, st),
                         {QSize(6, 24), [pressed](QPainter &q, QSizeF s) { drawSlice(q, s, pressed, 0); }});
                p.insert(QStringLiteral("Transparent%1Fill%2").arg(kind, st),
                         {QSize(1, 24), [pressed](QPainter &q, QSizeF s) { drawSlice(q, s, pressed, 1); }});
            }
            p.insert(QStringLiteral("TransparentButtonRight%1").arg(st),
                     {QSize(6, 24), [pressed](QPainter &q, QSizeF s) { drawSlice(q, s, pressed, 2); }});
            p.insert(QStringLiteral("TransparentPopUpRight%1").arg(st), {QSize(18, 24), [pressed](QPainter &q, QSizeF s) {
                         drawSlice(q, s, pressed, 2);
                         drawPopUpArrows(q, s, false);
                     }});
            p.insert(QStringLiteral("TransparentPopUpPullDownRight%1").arg(st), {QSize(18, 24), [pressed](QPainter &q, QSizeF s) {
                         drawSlice(q, s, pressed, 2);
                         drawPopUpArrows(q, s, true);
                     }});
            p.insert(QStringLiteral("TransparentCheckboxOff%1").arg(st),
                     {QSize(16, 16), [pressed](QPainter &q, QSizeF s) { drawCheckbox(q, s, false, pressed); }});
            p.insert(QStringLiteral("TransparentCheckboxOn%1").arg(st),
                     {QSize(16, 16), [pressed](QPainter &q, QSizeF s) { drawCheckbox(q, s, true, pressed); }});
        }
        p.insert(QStringLiteral("PlaylineVernier"), {QSize(11, 14), drawVernier});
        p.insert(QStringLiteral("ThumbMaskVideo"), {QSize(80, 60), drawThumbMaskVideo});
        p.insert(QStringLiteral("TextHead"), {QSize(24, 24), [](QPainter &q, QSizeF) { drawLetterT(q, QRectF(6, 5, 12, 14)); }});
        p.insert(QStringLiteral("AudioHead"), {QSize(24, 24), [](QPainter &q, QSizeF) { drawNote(q, QRectF(2, 2, 20, 20)); }});
        p.insert(QStringLiteral("TimelineBack"), {QSize(40, 6), drawTrimBarGroove});
        p.insert(QStringLiteral("PlayBtn1"), {QSize(15, 12), drawTrimBarKnob});
        p.insert(QStringLiteral("TrimLeft2"), {QSize(15, 15), [](QPainter &q, QSizeF s) { drawTrimHandle(q, s, true); }});
        p.insert(QStringLiteral("TrimRight2"), {QSize(15, 15), [](QPainter &q, QSizeF s) { drawTrimHandle(q, s, false); }});
        p.insert(QStringLiteral("ChoosenBack"), {QSize(225, 6), [](QPainter &q, QSizeF s) {
                     q.fillRect(QRectF(QPointF(0, 0), s), kAccent);
                 }});
        p.insert(QStringLiteral("TrimlineBack"), {QSize(200, 16), [](QPainter &q, QSizeF s) { drawTrimlineStrip(q, s, 0); }});
        p.insert(QStringLiteral("TrimlineBackUn"), {QSize(200, 16), [](QPainter &q, QSizeF s) { drawTrimlineStrip(q, s, 1); }});
        p.insert(QStringLiteral("TrimlineBackCh"), {QSize(200, 16), [](QPainter &q, QSizeF s) { drawTrimlineStrip(q, s, 2); }});
        const char *units[3] = {"Min", "Mid", "Max"};
        for (int type = 0; type < 3; ++type)
            for (bool chosen : {false, true})
                p.insert(QStringLiteral("Trim%1%2").arg(QLatin1String(units[type]), chosen ? "Ch" : "Un"),
                         {QSize(16, type == 1 ? 12 : 16), [type, chosen](QPainter &q, QSizeF s) { drawTrimUnit(q, s, type, chosen); }});
        p.insert(QStringLiteral("CropCursorL"), {QSize(24, 24), [](QPainter &q, QSizeF s) { drawCropCursor(q, s, true); }});
        p.insert(QStringLiteral("CropCursorR"), {QSize(24, 24), [](QPainter &q, QSizeF s) { drawCropCursor(q, s, false); }});
        p.insert(QStringLiteral("StaticText"), {QSize(160, 120), drawStaticText});
        p.insert(QStringLiteral("Slideshow"), {QSize(256, 256), drawAppIcon});
        const char *tabs[4] = {"TemplateSlid", "TemplateGene", "TemplateTran", "TemplateText"};
        for (int kind = 0; kind < 4; ++kind)
            p.insert(QString::fromLatin1(tabs[kind]), {QSize(16, 16), [kind](QPainter &q, QSizeF s) { drawTemplateTab(q, s, kind); }});

        return p;
    }();
    return all;
}

} // namespace

QStringList HLArtwork::names()
{
    QStringList names = pieces().keys();
    names.sort();
    return names;
}

QSize HLArtwork::sizeOf(const QString &name)
{
    return pieces().value(name).size;
}

QImage HLArtwork::draw(const QString &name, int scale)
{
    const auto found = pieces().constFind(name);
    if (found == pieces().constEnd())
        return {};
    QImage image(found->size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        found->drawing(painter, QSizeF(found->size));
    }
    image.setDevicePixelRatio(scale);
    return image;
}
