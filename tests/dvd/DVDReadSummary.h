#pragma once

#include <QColor>
#include <QString>

#include <vector>

// What libdvdread reads from a DVD-Video folder or ISO image.
struct DVDReadSummary
{
    struct Button
    {
        int title = 0;   // the title a button's command plays
        int chapter = 0; // its chapter (1 when the command names none)
    };

    bool opened = false;
    int titleCount = 0;
    std::vector<int> chapters;      // per title
    QString firstPlay;              // "title", "menu" or what else the command is
    int aspect = -1;                // of the title set: 0 for 4:3, 3 for 16:9
    int videoFormat = -1;           // 0 NTSC, 1 PAL
    int menuAspect = -1;
    bool hasMenu = false;
    std::vector<Button> buttons;    // of the first menu's first navigation pack
    QColor highlightColor;          // with its alpha from the contrast (0..15 → 0..1)
    QColor selectColor;
    // The first subpicture stream's control word of the menu's first program chain
    // (0x80000000 and the stream number each display mode shows).
    quint32 menuSubpictureControl = 0;
    int buttonGroups = 0;            // of the first menu's navigation pack
    int pictureWidth = 0;            // of the first title set
    int pictureHeight = 0;
    double frameRate = 0;            // of the first title's cells: 25 or 29.97
    std::vector<double> chapterStarts; // of the first title, in seconds

    static DVDReadSummary of(const QString &path);
};
