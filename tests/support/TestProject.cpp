#include "tests/support/TestProject.h"

#include "tests/support/MediaFixtures.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <atomic>

namespace TestProject {

namespace {

QByteArray probeJson(ProbeLayout layout)
{
    const bool middle = layout == ProbeLayout::MiddleHalf;
    return QStringLiteral(R"({
  "format": 1,
  "background": "#000000",
  "layers": [%1
    {"type": "repeat", "over": "Images", "layers": [
      {"type": "picture", "image": "item", "fit": "stretch"%2}
    ]}
  ]
})")
        .arg(middle ? QStringLiteral("\n    {\"type\": \"picture\", \"image\": \"BackgroundImage\", \"fit\": \"stretch\"},")
                    : QString(),
             middle ? QStringLiteral(", \"rect\": [0.25, 0.25, 0.5, 0.5]") : QString())
        .toUtf8();
}

QString plist(const QMap<QString, QString> &values)
{
    QString body;
    for (auto it = values.begin(); it != values.end(); ++it)
        body += QStringLiteral("<key>%1</key>%2\n").arg(it.key(), it.value());
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n%1</dict>\n</plist>\n")
        .arg(body);
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

std::atomic<int> fileCounter{0};

// A probe composition under folder's name with the given phase lengths (as plist reals),
// preferring a border around each picture when framed.
void writeProbe(const QString &folder, ProbeLayout layout, const QString &first, const QString &still,
                const QString &entry, int bestCount, const QString &best, bool framed = false)
{
    const QString name = QDir(folder).dirName();
    QDir().mkpath(folder);
    write(folder + "/" + name + ".json", probeJson(layout));
    const auto real = [](const QString &value) { return QStringLiteral("<real>%1</real>").arg(value); };
    write(folder + "/" + name + ".plist",
          plist({{"QuartzName", QStringLiteral("<string>%1.json</string>").arg(name)},
                 {"ThumbnailName", "<string>Thumbnail.png</string>"},
                 {"QuartzType", "<string>QuartzTypeSlideshow</string>"},
                 {"BestCount", QStringLiteral("<integer>%1</integer>").arg(bestCount)},
                 {"BestDuration", real(best)},
                 {"DecorationBack", "<false/>"},
                 {"DecorationBorder", framed ? "<true/>" : "<false/>"},
                 {"Duration_T_S", real(first)},
                 {"Duration_S", real(still)},
                 {"Duration_T", real(entry)},
                 {"Duration_T_A", real(entry)},
                 {"Duration_T_A_2", real(entry)},
                 {"Duration_T_B", real(entry)},
                 {"Duration_T_B_2", real(entry)}})
              .toUtf8());
    QImage thumb(160, 120, QImage::Format_ARGB32_Premultiplied);
    thumb.fill(Qt::gray);
    thumb.save(folder + "/Thumbnail.png", "PNG");
}

std::shared_ptr<HLResourceItem> import(HLResourceType kind, const QString &path)
{
    const auto pool = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, kind);
    return pool->addResourceFrom(path, [](HLResourceType type, const QString &identifier, const QString &hash,
                                          const QString &placed, QString *why) {
        return HLResourceItem::itemOf(type, identifier, hash, placed, why);
    });
}

} // namespace

void setUpTemplates(ProbeLayout layout)
{
    static bool done = false;
    if (done)
        return;
    done = true;
    HLResourceItem::configureForAudio();
    HLResourceItem::configureForVideo();
    HLResourceItem::configureForImage();

    static QTemporaryDir templates;
    writeProbe(templates.filePath("Slideshow/Probe"), layout, "1.0", "1.0", "1.0", 2, "4.0");
    // Phases whose single-precision sum lands a hair past the template's own total.
    writeProbe(templates.filePath("Slideshow/ProbeFine"), layout, "0.5", "3.0", "1.4", 4, "16.7");
    writeProbe(templates.filePath("Slideshow/ProbeFramed"), layout, "1.0", "1.0", "1.0", 2, "4.0", true);

    const QString shipped = QStringLiteral(SLIDESHOW_SOURCE_DIR "/Resources/Templates");
    HLQuartzPool::setupOf(templates.filePath("Slideshow"), 0);
    HLQuartzPool::setupOf(shipped + "/Transition", 2);
    HLQuartzPool::setupOf(shipped + "/Text", 3);
}

void setUpPools(const TestFolder &folder)
{
    HLResourcePool::update(folder.file("Audios"), HLResourceSourceTemp, HLResourceTypeAudio);
    HLResourcePool::update(folder.file("Videos"), HLResourceSourceTemp, HLResourceTypeVideo);
    HLResourcePool::update(folder.file("Images"), HLResourceSourceTemp, HLResourceTypeImage);
    QDir().mkpath(folder.file("in"));
}

std::shared_ptr<HLResourceItem> importPhoto(const TestFolder &folder, const QImage &image, const char *format)
{
    const QString path =
        folder.file(QStringLiteral("in/photo%1.%2").arg(fileCounter++).arg(QString::fromLatin1(format).toLower()));
    image.save(path, format, 95);
    return import(HLResourceTypeImage, path);
}

std::shared_ptr<HLResourceItem> importPhoto(const TestFolder &folder, const QColor &color, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return importPhoto(folder, image);
}

std::shared_ptr<HLResourceItem> importClip(const TestFolder &folder, double seconds, std::optional<double> toneHz)
{
    const QString path = folder.file(QStringLiteral("in/clip%1.mp4").arg(fileCounter++));
    MediaFixtures::ClipRecipe recipe;
    recipe.seconds = seconds;
    if (toneHz) {
        recipe.audioCodec = {"-c:a", "aac", "-b:a", "192k"};
        recipe.toneHz = *toneHz;
    }
    if (!MediaFixtures::makeIndexedClip(path, recipe))
        return nullptr;
    return import(HLResourceTypeVideo, path);
}

std::shared_ptr<HLResourceItem> importNumberedClip(const TestFolder &folder, QSize size, int fps, double seconds)
{
    const QString path = folder.file(QStringLiteral("in/clip%1.mp4").arg(fileCounter++));
    MediaFixtures::ClipRecipe recipe;
    recipe.size = size;
    recipe.fps = fps;
    recipe.seconds = seconds;
    if (!MediaFixtures::makeNumberedClip(path, recipe))
        return nullptr;
    return import(HLResourceTypeVideo, path);
}

std::shared_ptr<HLResourceItem> importTone(const TestFolder &folder, double seconds, double toneHz)
{
    const QString path = folder.file(QStringLiteral("in/tone%1.wav").arg(fileCounter++));
    if (!MediaFixtures::makeTone(path, seconds, 44100, 2, {"-c:a", "pcm_s16le"}, toneHz))
        return nullptr;
    return import(HLResourceTypeAudio, path);
}

QVariantMap slideshowInfo(const QString &name)
{
    return HLQuartzPool::quartzPoolOf(0)->infoDicOf(name).value_or(QVariantMap());
}

std::shared_ptr<HLTimelineItem> timeline(quint64 mode, const QString &slideshow)
{
    auto timeline = HLTimelineItem::timelineOf(mode);
    timeline->setupSlideshow([slideshow] { return slideshowInfo(slideshow); },
                             [] {
                                 return HLQuartzPool::quartzPoolOf(2)->infoDicOf("Dissolve").value_or(QVariantMap());
                             });
    return timeline;
}

} // namespace TestProject
