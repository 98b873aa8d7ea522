#include "ExportProject.h"

#include "tests/support/MediaFixtures.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>

namespace ExportProject {

namespace {

const char *kProbeJson = R"({
  "format": 1,
  "background": "#000000",
  "layers": [
    {"type": "repeat", "over": "Images", "layers": [
      {"type": "picture", "image": "item", "fit": "stretch"}
    ]}
  ]
})";

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

std::atomic<int> fileCounter{0};

std::shared_ptr<HLResourceItem> import(HLResourceType kind, const QString &path)
{
    const auto pool = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, kind);
    return pool->addResourceFrom(path, [](HLResourceType type, const QString &identifier, const QString &hash,
                                          const QString &placed, QString *why) {
        return HLResourceItem::itemOf(type, identifier, hash, placed, why);
    });
}

} // namespace

void setUpTemplates()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    HLResourceItem::configureForAudio();
    HLResourceItem::configureForVideo();
    HLResourceItem::configureForImage();

    static QTemporaryDir templates;
    const QString folder = templates.filePath("Slideshow/Probe");
    QDir().mkpath(folder);
    write(folder + "/Probe.json", kProbeJson);
    QString keys;
    const QList<QPair<QString, QString>> values = {
        {"QuartzName", "<string>Probe.json</string>"},
        {"ThumbnailName", "<string>Thumbnail.png</string>"},
        {"QuartzType", "<string>QuartzTypeSlideshow</string>"},
        {"BestCount", "<integer>1</integer>"},
        {"BestDuration", "<real>4.0</real>"},
        {"DecorationBack", "<false/>"},
        {"DecorationBorder", "<false/>"},
    };
    for (const auto &[key, value] : values)
        keys += QStringLiteral("<key>%1</key>%2\n").arg(key, value);
    for (const char *phase : {"Duration_T_S", "Duration_S", "Duration_T", "Duration_T_A", "Duration_T_A_2",
                              "Duration_T_B", "Duration_T_B_2"})
        keys += QStringLiteral("<key>%1</key><real>1.0</real>\n").arg(phase);
    write(folder + "/Probe.plist",
          QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n%1</dict>\n</plist>\n")
              .arg(keys)
              .toUtf8());
    QImage thumb(160, 120, QImage::Format_ARGB32_Premultiplied);
    thumb.fill(Qt::gray);
    thumb.save(folder + "/Thumbnail.png", "PNG");

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

std::shared_ptr<HLResourceItem> importPhoto(const TestFolder &folder, const QColor &color)
{
    const QString path = folder.file(QStringLiteral("in/photo%1.png").arg(fileCounter++));
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(color);
    image.save(path, "PNG");
    return import(HLResourceTypeImage, path);
}

std::shared_ptr<HLResourceItem> importClip(const TestFolder &folder, double seconds, double toneHz)
{
    const QString path = folder.file(QStringLiteral("in/clip%1.mp4").arg(fileCounter++));
    MediaFixtures::ClipRecipe recipe;
    recipe.seconds = seconds;
    recipe.audioCodec = {"-c:a", "aac", "-b:a", "192k"};
    recipe.toneHz = toneHz;
    if (!MediaFixtures::makeIndexedClip(path, recipe))
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

std::shared_ptr<HLTimelineItem> timeline()
{
    auto timeline = HLTimelineItem::timelineOf(1);
    timeline->setupSlideshow([] { return HLQuartzPool::quartzPoolOf(0)->infoDicOf("Probe").value_or(QVariantMap()); },
                             [] {
                                 return HLQuartzPool::quartzPoolOf(2)->infoDicOf("Dissolve").value_or(QVariantMap());
                             });
    return timeline;
}

} // namespace ExportProject
