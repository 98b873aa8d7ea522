// Importing photos as the media store does (upright copy, preview, thumbnail) against decoding
// each photo once with QImageReader, on the same generated 4000 × 3000 JPEGs.
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

QImage photo(int index)
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 4000, 3000);
    gradient.setColorAt(0, QColor::fromHsv((index * 37) % 360, 160, 220));
    gradient.setColorAt(1, QColor::fromHsv((index * 37 + 120) % 360, 200, 90));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QPen(Qt::white, 9));
    for (int i = 0; i < 60; ++i) // some edges, so the JPEG is not all flat
        painter.drawEllipse(QPointF((i * 211 + index * 53) % 4000, (i * 157 + index * 29) % 3000), 40 + i * 7, 30 + i * 5);
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    // Runs without a display; an explicit platform given by the caller wins.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 200;

    QTemporaryDir work;
    const QDir dir(work.path());
    dir.mkpath("photos");
    std::vector<QString> paths;
    for (int i = 0; i < count; ++i)
        paths.push_back(dir.filePath(QString("photos/photo%1.jpg").arg(i)));

    QElapsedTimer timer;
    timer.start();
    std::vector<std::thread> makers;
    const int threads = int(std::max(1u, std::thread::hardware_concurrency()));
    for (int t = 0; t < threads; ++t) {
        makers.emplace_back([&, t] {
            for (int i = t; i < count; i += threads) {
                QImageWriter writer(paths[size_t(i)], "JPEG");
                writer.setQuality(90);
                writer.write(photo(i));
            }
        });
    }
    for (auto &maker : makers)
        maker.join();
    std::printf("generated %d photos of 4000 x 3000 in %.1f s\n", count, timer.elapsed() / 1000.0);

    timer.restart();
    qint64 pixels = 0;
    for (const QString &path : paths)
        pixels += QImageReader(path).read().sizeInBytes();
    const double decode = timer.nsecsElapsed() / 1e9;
    std::printf("decode %.3f s (%.1f ms a photo, %lld MB)\n", decode, decode * 1000 / count, pixels >> 20);

    HLResourceItem::configureForImage();
    HLResourcePool::update(dir.filePath("Images"), HLResourceSourceTemp, HLResourceTypeImage);
    const auto pool = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, HLResourceTypeImage);
    timer.restart();
    int imported = 0;
    for (const QString &path : paths) {
        const auto item = pool->addResourceFrom(
            path, [](HLResourceType type, const QString &identifier, const QString &hash, const QString &placed,
                     QString *reason) { return HLResourceItem::itemOf(type, identifier, hash, placed, reason); });
        imported += item != nullptr;
    }
    const double import = timer.nsecsElapsed() / 1e9;
    std::printf("import %.3f s (%.1f ms a photo, %d of %d imported)\n", import, import * 1000 / count, imported, count);
    std::printf("ratio import %.2f\n", import / decode);
    return imported == count ? 0 : 1;
}
