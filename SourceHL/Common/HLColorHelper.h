#pragma once

#include <QColor>

// Equal when red, green, blue and alpha (RGB, 0..1) each differ by less than 0.01. Two
// invalid colours are equal; an invalid and a valid one are not.
bool hlIsEqual(const QColor &color, const QColor &other);
// The colour's red, green and blue with the given alpha (clamped to 0..1).
QColor hlAlphaColor(const QColor &color, double alpha);
