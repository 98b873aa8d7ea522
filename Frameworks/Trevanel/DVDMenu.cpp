#include "Frameworks/Trevanel/DVDMenu.h"

QSizeF DVDMenu::menuSizeForAspectType(qint64 aspectType)
{
    return aspectType == 1 ? QSizeF(960, 540) : QSizeF(720, 540);
}
