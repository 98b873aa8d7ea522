#pragma once

#include <QFont>
#include <QString>

// The font of that family and size (points); the system font of that size when no
// installed family, nor the font configuration's stand-in for it, answers to the name.
QFont hl_fontWithName(const QString &name, double size);
