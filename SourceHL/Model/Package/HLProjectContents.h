#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class HLAudiolineItem;
class HLKeyedArchiver;
class HLRenderSizer;
class HLResourceItem;
class HLTextlineItem;
class HLTimelineItem;

// The four objects a project is made of: its render size, the timeline, the text line and the
// audio line; what a package's "ProjectData" holds at its root.
struct HLProjectContents
{
    std::shared_ptr<HLRenderSizer> sizer;
    std::shared_ptr<HLTimelineItem> timeline;
    std::shared_ptr<HLTextlineItem> textline;
    std::shared_ptr<HLAudiolineItem> audioline;

    // The root keys of "ProjectData".
    static const QString kRenderSizerKey;   // "kNSCodingRenderSizer"
    static const QString kTimelineKey;      // "kNSCodingTimelineItem"
    static const QString kTextLineKey;      // "kNSCodingTextLineItem"
    static const QString kAudioLineKey;     // "kNSCodingAudioLineItem"

    // Registers every class the archive may hold.
    static void registerCoding();

    // The four objects as a keyed archive: a copy of the project that later edits don't reach.
    // The one deep copy of a project: the save snapshot, and what copies() are made from.
    QByteArray archivedData() const;
    // count copies of the project read from one archive: objects of their own, sharing
    // nothing with the project or each other (HLArchiveError when they cannot be made).
    std::vector<HLProjectContents> copies(int count) const;
    // The same archive written to the file at path (HLArchiveError when it cannot be).
    void writeArchive(const QString &path) const;
    // Reads an archive of the four objects; every key must be there with its class
    // (HLArchiveError otherwise).
    static HLProjectContents fromArchivedData(const QByteArray &data);

    // Every resource the project uses (slides, backgrounds, music), each once.
    std::vector<std::shared_ptr<HLResourceItem>> resourceItems() const;
    // Turns every resource identifier into one of the saved project's pools.
    void makeResourcesPersistent();

private:
    void p_encode(HLKeyedArchiver &archiver) const;
};
