#pragma once

#include "widgets/HLDarkStyle.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <iterator>
#include <optional>

// What the screens programs share: letting the windows settle and writing their pictures.
namespace ScreenShots {

// The folder named by the program's one argument; none, after saying how to call it, for any
// other arguments.
inline std::optional<QDir> outputFolder(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return std::nullopt;
    }
    return QDir(QString::fromLocal8Bit(argv[1]));
}

// The program's name and dark look set on app, and its output folder as outputFolder gives it.
inline std::optional<QDir> start(QApplication &app, int argc, char **argv)
{
    QApplication::setApplicationName(QStringLiteral("slideshow"));
    HLDarkStyle::applyTo(app);
    return outputFolder(argc, argv);
}

// Lets queued work, timers, workers' results and repaints run for about milliseconds.
inline void settle(int milliseconds = 300)
{
    for (int waited = 0; waited < milliseconds; waited += 30)
        QTest::qWait(30);
}

// A photo-like picture of size: a vertical gradient from top to bottom, as the screens' sample
// photos are.
inline QImage gradientPhoto(QSize size, const QColor &top, const QColor &bottom)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.fillRect(image.rect(), gradient);
    return image;
}


// The screens' sample photos (beach, forest, sunset, snow, night, in that order) written into
// folder at 640 × 480 under names, whose suffixes pick the format; their paths.
inline QStringList samplePhotos(const QDir &folder, const QStringList &names)
{
    const QColor colours[][2] = {{QColor(90, 170, 230), QColor(230, 210, 150)},
                                 {QColor(150, 200, 120), QColor(30, 90, 40)},
                                 {QColor(250, 150, 60), QColor(80, 40, 90)},
                                 {QColor(200, 220, 255), QColor(250, 250, 250)},
                                 {QColor(20, 30, 70), QColor(5, 5, 15)}};
    QStringList paths;
    for (int k = 0; k < names.size() && k < int(std::size(colours)); ++k) {
        paths << folder.filePath(names[k]);
        gradientPhoto(QSize(640, 480), colours[k][0], colours[k][1]).save(paths.last());
    }
    return paths;
}
// Writes picture as folder/name; says so on stderr when it can't.
inline bool save(const QImage &picture, const QDir &folder, const QString &name)
{
    const QString path = folder.filePath(name);
    if (!picture.save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The window with sheet (a sheet or an alert over it) drawn where it hangs, as the user sees
// them together; the window alone when sheet is null or hidden.
inline QImage withSheet(QWidget *window, QWidget *sheet)
{
    QImage picture = window->grab().toImage();
    if (sheet && sheet->isVisible()) {
        QPainter painter(&picture);
        painter.drawImage(sheet->geometry().topLeft() - window->geometry().topLeft(), sheet->grab().toImage());
    }
    return picture;
}

// The window as drawn once it has settled.
inline bool save(QWidget *window, const QDir &folder, const QString &name)
{
    settle();
    return save(window->grab().toImage(), folder, name);
}

} // namespace ScreenShots
