// template-tool: renders templates of Resources/Templates for authoring them.
//
//   template-tool render <template folder> <time> <W>x<H> <out.png>
//   template-tool sheet <template folder> <W>x<H> <out.png> [frames]
//   template-tool thumb <template folder> [out.png]
//   template-tool previews <folder> [count]
//
// Slideshow templates get the sample pictures Preview0.png … (BestCount of them) as "Images" and
// run over the solid length of their timing; transitions get Preview0 and Preview1 as "ImageA" and
// "ImageB" and run over 0…1; text templates get the word "Text" and run over 0…1. The sample pictures
// are looked for in the folder given by --previews, else in Resources/ above the Templates folder.
// --count N gives a slideshow N pictures instead of BestCount; --portrait makes every second one a
// portrait photo padded to 4:3 with clear bands, as the slide frame without background hands it over.
#include "Platform/Composer/Composition.h"
#include "Platform/Composer/CompositionRenderer.h"
#include "Platform/Composer/SlideTiming.h"
#include "Platform/Foundation/HLPropertyList.h"
#include "Platform/Foundation/HLPropertyListError.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

int fail(const QString &why)
{
    std::fprintf(stderr, "template-tool: %s\n", qPrintable(why));
    return 1;
}

QSize sizeOf(const QString &text)
{
    const QStringList wh = text.split(u'x');
    return wh.size() == 2 ? QSize(wh[0].toInt(), wh[1].toInt()) : QSize();
}

// A sample picture of our own: a landscape of sky, sun, hills and a lake in a colour scheme per k.
QImage samplePicture(int k, QSize size)
{
    static const QColor skies[][2] = {
        {QColor(255, 170, 110), QColor(120, 80, 160)}, {QColor(120, 190, 255), QColor(230, 245, 255)},
        {QColor(40, 50, 110), QColor(250, 140, 90)},   {QColor(160, 220, 200), QColor(255, 250, 220)},
        {QColor(250, 210, 120), QColor(200, 90, 90)},  {QColor(90, 120, 200), QColor(190, 220, 250)},
    };
    static const QColor hills[] = {QColor(60, 110, 70), QColor(90, 140, 60), QColor(40, 60, 80),
                                   QColor(70, 130, 110), QColor(120, 80, 60), QColor(50, 90, 120)};
    const int s = k % 6;
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width(), h = size.height();
    QLinearGradient sky(0, 0, 0, h * 0.7);
    sky.setColorAt(0, skies[s][1]);
    sky.setColorAt(1, skies[s][0]);
    p.fillRect(img.rect(), sky);
    QRadialGradient sun(QPointF(w * (0.25 + 0.1 * s), h * (0.3 + 0.03 * s)), h * 0.12);
    sun.setColorAt(0, QColor(255, 255, 230));
    sun.setColorAt(0.8, QColor(255, 240, 180, 230));
    sun.setColorAt(1, QColor(255, 240, 180, 0));
    p.fillRect(img.rect(), sun);
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath hill;
        hill.moveTo(0, h);
        const double base = h * (0.55 + 0.1 * layer);
        for (int x = 0; x <= 40; ++x) {
            const double t = x / 40.0;
            hill.lineTo(w * t, base - h * 0.08 * std::sin(t * (3 + layer + s) + s + layer * 1.7));
        }
        hill.lineTo(w, h);
        hill.closeSubpath();
        p.fillPath(hill, hills[s].darker(100 + 30 * layer));
    }
    QLinearGradient lake(0, h * 0.85, 0, h);
    lake.setColorAt(0, skies[s][0].darker(130));
    lake.setColorAt(1, skies[s][1].darker(160));
    p.fillRect(QRectF(0, h * 0.85, w, h * 0.15), lake);
    p.setPen(QColor(255, 255, 255, 200));
    QFont font("DejaVu Sans");
    font.setPixelSize(int(h / 10));
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(0, 0, w - h * 0.04, h * 0.16), Qt::AlignRight | Qt::AlignVCenter, QString::number(k + 1));
    return img;
}

struct Template
{
    QString folder;
    QVariantMap info;
    std::shared_ptr<const Composition> composition;
    QString type;
    double duration = 1;
    int count = 0;
    bool portrait = false;
};

int g_count = 0;
bool g_portrait = false;

bool loadTemplate(const QString &folder, Template *t, QString *error)
{
    const QStringList plists = QDir(folder).entryList({"*.plist"}, QDir::Files, QDir::Name);
    if (plists.isEmpty()) {
        *error = folder + ": no property list";
        return false;
    }
    try {
        t->info = HLPropertyList::readDictionary(QDir(folder).filePath(plists.first()));
    } catch (const HLPropertyListError &e) {
        *error = QString::fromUtf8(e.what());
        return false;
    }
    t->folder = folder;
    t->type = HLPropertyList::string(t->info, "QuartzType");
    const SlideTiming timing = SlideTiming::fromInfo(t->info);
    t->count = g_count > 0 ? g_count : int(HLPropertyList::integer(t->info, "BestCount", 0));
    t->portrait = g_portrait;
    t->composition = Composition::load(QDir(folder).filePath(HLPropertyList::string(t->info, "QuartzName")),
                                       timing, error);
    if (!t->composition)
        return false;
    // slideshows run in solid seconds; transitions and titles run over 0…1
    t->duration = t->type == u"QuartzTypeSlideshow" ? timing.total(t->count) : 1.0;
    return true;
}

QString previewFolder(const QString &folder, const QString &given)
{
    if (!given.isEmpty())
        return given;
    QDir dir(folder); // <Resources>/Templates/<kind>/<name>
    dir.cdUp();
    dir.cdUp();
    dir.cdUp();
    return dir.path();
}

void feed(CompositionRenderer &r, const Template &t, const QString &previews)
{
    auto preview = [&](int k) { return QImage(QDir(previews).filePath(QStringLiteral("Preview%1.png").arg(k))); };
    if (t.type == u"QuartzTypeSlideshow") {
        QVariantList images;
        for (int k = 0; k < t.count; ++k) {
            QImage img = preview(k % 6);
            if (t.portrait && k % 2 == 1 && !img.isNull()) {
                const QImage photo = samplePicture(k % 6, QSize(img.height() * 3 / 4, img.height()));
                img = QImage(img.size(), QImage::Format_ARGB32_Premultiplied);
                img.fill(Qt::transparent);
                QPainter(&img).drawImage((img.width() - photo.width()) / 2, 0, photo);
            }
            if (!img.isNull())
                images.append(QVariantMap{{"Image", img}});
        }
        r.setValue("Images", images);
    } else if (t.type == u"QuartzTypeTransition") {
        r.setValue("ImageA", preview(0));
        r.setValue("ImageB", preview(1));
    } else {
        r.setValue("Content", "Text");
        r.setValue("FontName", "DejaVu Sans");
        r.setValue("FontSize", 60.0);
        r.setValue("FontColor", QColor(Qt::white));
        r.setValue("MoveIn", 0.25);
        r.setValue("MoveOut", 0.75);
        r.setValue("X", 0.5);
        r.setValue("Y", 0.5);
    }
}

// Frames are laid over a dark checker so transparent parts show.
QImage onChecker(const QImage &frame)
{
    QImage out(frame.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter p(&out);
    const int c = std::max(4, frame.width() / 24);
    for (int y = 0; y < frame.height(); y += c)
        for (int x = 0; x < frame.width(); x += c)
            p.fillRect(x, y, c, c, ((x / c + y / c) % 2) ? QColor(70, 70, 70) : QColor(50, 50, 50));
    p.drawImage(0, 0, frame);
    return out;
}

int render(const QStringList &args, const QString &previews)
{
    if (args.size() != 4)
        return fail("render <template folder> <time> <W>x<H> <out.png>");
    Template t;
    QString error;
    if (!loadTemplate(args[0], &t, &error))
        return fail("Failed In " + args[0] + ": " + error);
    const QSize size = sizeOf(args[2]);
    if (size.isEmpty())
        return fail("bad size " + args[2]);
    CompositionRenderer r(t.composition, size);
    feed(r, t, previewFolder(t.folder, previews));
    return r.render(args[1].toDouble()).save(args[3]) ? 0 : fail("cannot write " + args[3]);
}

int sheet(const QStringList &args, const QString &previews)
{
    if (args.size() < 3)
        return fail("sheet <template folder> <W>x<H> <out.png> [frames]");
    Template t;
    QString error;
    if (!loadTemplate(args[0], &t, &error))
        return fail("Failed In " + args[0] + ": " + error);
    const QSize size = sizeOf(args[1]);
    const int frames = args.size() > 3 ? std::max(2, args[3].toInt()) : 12;
    if (size.isEmpty())
        return fail("bad size " + args[1]);
    CompositionRenderer r(t.composition, size);
    feed(r, t, previewFolder(t.folder, previews));
    const int columns = std::min(frames, 6), rows = (frames + columns - 1) / columns;
    const int label = 16;
    QImage out(columns * (size.width() + 4) + 4, rows * (size.height() + label + 4) + 4,
               QImage::Format_ARGB32_Premultiplied);
    out.fill(QColor(30, 30, 30));
    QPainter p(&out);
    p.setPen(Qt::white);
    for (int k = 0; k < frames; ++k) {
        const double time = k == frames - 1 ? t.duration : t.duration * k / (frames - 1); // the end exactly
        const int x = 4 + (k % columns) * (size.width() + 4), y = 4 + (k / columns) * (size.height() + label + 4);
        p.drawImage(x, y, onChecker(r.render(time)));
        p.drawText(QRect(x, y + size.height(), size.width(), label), Qt::AlignCenter,
                   QStringLiteral("%1").arg(time, 0, 'f', 2));
    }
    p.end();
    return out.save(args[2]) ? 0 : fail("cannot write " + args[2]);
}

// The thumbnail: the template at a telling moment, 160 × 120, written as the file the property
// list names.
int thumb(const QStringList &args, const QString &previews)
{
    if (args.isEmpty())
        return fail("thumb <template folder> [out.png]");
    Template t;
    QString error;
    if (!loadTemplate(args[0], &t, &error))
        return fail("Failed In " + args[0] + ": " + error);
    CompositionRenderer r(t.composition, QSize(160, 120));
    feed(r, t, previewFolder(t.folder, previews));
    const QImage frame = r.render(t.duration * 0.5);
    QImage out(frame.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::black);
    QPainter(&out).drawImage(0, 0, frame);
    const QString path = args.size() > 1 ? args[1]
                                         : QDir(t.folder).filePath(HLPropertyList::string(t.info, "ThumbnailName"));
    return out.convertToFormat(QImage::Format_RGB32).save(path) ? 0 : fail("cannot write " + path);
}

int previewsCommand(const QStringList &args)
{
    if (args.isEmpty())
        return fail("previews <folder> [count]");
    const int count = args.size() > 1 ? args[1].toInt() : 6;
    for (int k = 0; k < count; ++k) {
        const QString path = QDir(args[0]).filePath(QStringLiteral("Preview%1.png").arg(k));
        if (!samplePicture(k, QSize(320, 240)).convertToFormat(QImage::Format_RGB32).save(path))
            return fail("cannot write " + path);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString previews;
    if (const int k = args.indexOf("--previews"); k >= 0 && k + 1 < args.size()) {
        previews = args[k + 1];
        args.remove(k, 2);
    }
    if (const int k = args.indexOf("--count"); k >= 0 && k + 1 < args.size()) {
        g_count = args[k + 1].toInt();
        args.remove(k, 2);
    }
    if (const int k = args.indexOf("--portrait"); k >= 0) {
        g_portrait = true;
        args.remove(k, 1);
    }
    if (args.isEmpty())
        return fail("render | sheet | thumb | previews (see the source for arguments)");
    const QString command = args.takeFirst();
    if (command == u"render")
        return render(args, previews);
    if (command == u"sheet")
        return sheet(args, previews);
    if (command == u"thumb")
        return thumb(args, previews);
    if (command == u"previews")
        return previewsCommand(args);
    return fail("unknown command " + command);
}
