#pragma once

#include <QImage>
#include <QString>
#include <QVariantMap>

#include <memory>

class HLResourceItem;

// Model pieces for the timeline tests, made in memory: resources carry the info their import
// would have written, templates the keys of their property lists.
namespace TimelineFixtures {

// A photo resource "TI<hash>" of the given pixel size.
std::shared_ptr<HLResourceItem> photo(const QString &hash, double width = 1600, double height = 1200);
// A clip resource "TV<hash>" of the given length.
std::shared_ptr<HLResourceItem> clip(const QString &hash, float duration, double width = 1280, double height = 720);

struct Phases
{
    float ts = 1, s = 5, t = 3, ta = 2, ta2 = 0, tb = 4, tb2 = 6;
};
QVariantMap slideshowTemplate(const QString &name = QStringLiteral("Zoom"), Phases phases = {},
                              bool preferBorder = false, bool preferBack = true);
QVariantMap transitionTemplate(const QString &name = QStringLiteral("Dissolve"), float best = 2.0f);

// A small thumbnail of one colour.
QImage thumb(QColor color = Qt::red);

} // namespace TimelineFixtures
