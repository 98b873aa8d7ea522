#include "SourceHL/Model/Package/HLProjectContents.h"

#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <QSet>

const QString HLProjectContents::kRenderSizerKey = QStringLiteral("kNSCodingRenderSizer");
const QString HLProjectContents::kTimelineKey = QStringLiteral("kNSCodingTimelineItem");
const QString HLProjectContents::kTextLineKey = QStringLiteral("kNSCodingTextLineItem");
const QString HLProjectContents::kAudioLineKey = QStringLiteral("kNSCodingAudioLineItem");

void HLProjectContents::registerCoding()
{
    HLRenderSizer::registerCoding();
    HLTimelineItem::registerCoding();
    HLTextlineItem::registerCoding();
    HLAudiolineItem::registerCoding();
}

void HLProjectContents::p_encode(HLKeyedArchiver &archiver) const
{
    archiver.encodeObject(kRenderSizerKey, sizer);
    archiver.encodeObject(kTimelineKey, timeline);
    archiver.encodeObject(kTextLineKey, textline);
    archiver.encodeObject(kAudioLineKey, audioline);
}

QByteArray HLProjectContents::archivedData() const
{
    HLKeyedArchiver archiver;
    p_encode(archiver);
    return archiver.encodedData();
}

std::vector<HLProjectContents> HLProjectContents::copies(int count) const
{
    registerCoding();
    const QByteArray data = archivedData();
    std::vector<HLProjectContents> made;
    for (int i = 0; i < count; ++i)
        made.push_back(fromArchivedData(data));
    return made;
}

void HLProjectContents::writeArchive(const QString &path) const
{
    HLKeyedArchiver archiver;
    p_encode(archiver);
    archiver.writeToFile(path);
}

HLProjectContents HLProjectContents::fromArchivedData(const QByteArray &data)
{
    HLKeyedUnarchiver coder = HLKeyedUnarchiver::fromData(data);
    HLProjectContents contents;
    contents.sizer = coder.decodeObject<HLRenderSizer>(kRenderSizerKey);
    contents.timeline = coder.decodeObject<HLTimelineItem>(kTimelineKey);
    contents.textline = coder.decodeObject<HLTextlineItem>(kTextLineKey);
    contents.audioline = coder.decodeObject<HLAudiolineItem>(kAudioLineKey);
    return contents;
}

std::vector<std::shared_ptr<HLResourceItem>> HLProjectContents::resourceItems() const
{
    std::vector<std::shared_ptr<HLResourceItem>> items;
    QSet<QString> seen;
    const auto take = [&](const std::shared_ptr<HLResourceItem> &item) {
        if (item && !seen.contains(item->strResourceID())) {
            seen.insert(item->strResourceID());
            items.push_back(item);
        }
    };
    for (const auto &item : timeline->resourceItems())
        take(item);
    for (const auto &item : timeline->backResourceItems())
        take(item);
    for (const auto &item : audioline->resourceItems())
        take(item);
    return items;
}

void HLProjectContents::makeResourcesPersistent()
{
    timeline->makeResourcesPersistent();
    audioline->makeResourcesPersistent();
}
