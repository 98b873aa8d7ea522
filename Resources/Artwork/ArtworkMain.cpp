// Writes every interface picture at 1× and 2× into <Resources>/Images, and the static
// title's thumbnail "StaticText.png" into <Resources>.
#include "HLArtwork.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: artwork-generator RESOURCES\n");
        return 2;
    }
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    const QDir images(resources.filePath(QStringLiteral("Images")));
    if (!QDir().mkpath(images.path()))
        return 1;
    for (const QString &name : HLArtwork::names()) {
        const bool thumbnail = name == QLatin1String("StaticText");
        const QDir &folder = thumbnail ? resources : images;
        if (!HLArtwork::draw(name, 1).save(folder.filePath(name + QStringLiteral(".png"))))
            return 1;
        if (!thumbnail && !HLArtwork::draw(name, 2).save(folder.filePath(name + QStringLiteral("@2x.png"))))
            return 1;
    }
    return 0;
}
