#include "SourceHL/Model/Resource/HLResourceItem.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLCodingRegistry.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"

#include <array>

namespace {

constexpr std::size_t kindCount = 3;

// The kinds' rows, filled once by configureForAudio/Video/Image before any import.
struct KindTables
{
    std::mutex lock;
    std::array<HLResourceItem::PathMap, kindCount> pathMapPreview;
    std::array<HLResourceItem::PathMap, kindCount> pathMapSource;
    std::array<HLResourceItem::Preprocess, kindCount> preprocess;
    std::array<HLResourceItem::Initiation, kindCount> initiation;
};

KindTables &tables()
{
    static KindTables tables;
    return tables;
}

} // namespace

HLResourceItem::HLResourceItem(HLResourceType type, const QString &resourceID, const QString &hashID,
                               const QVariantMap &info)
    : m_enType(type)
    , m_strResourceID(resourceID)
    , m_strHashID(hashID)
    , m_dicInfo(info)
{
    HL_ASSERT(!resourceID.isEmpty() && !hashID.isEmpty(), "wrong paras");
}

bool HLResourceItem::isEqual(const HLResourceItem &other) const
{
    return this == &other || (m_enType == other.m_enType && m_strHashID == other.m_strHashID);
}

void HLResourceItem::setBLoadPreview(bool load)
{
    p_setLoad(m_preview, load, load ? p_resourcePathPreview() : QString());
}

void HLResourceItem::setBLoadSource(bool load)
{
    p_setLoad(m_source, load, load ? p_resourcePathSource() : QString());
}

void HLResourceItem::p_setLoad(Switch &loadSwitch, bool load, const QString &path)
{
    std::lock_guard guard(m_lock);
    if (load) {
        if (loadSwitch.count++ == 0)
            loadSwitch.object = initiationFor(m_enType)(path);
    } else if (loadSwitch.count > 0 && --loadSwitch.count == 0) {
        loadSwitch.object = std::monostate();
    }
}

bool HLResourceItem::bLoadPreview() const
{
    std::lock_guard guard(m_lock);
    return m_preview.count > 0;
}

bool HLResourceItem::bLoadSource() const
{
    std::lock_guard guard(m_lock);
    return m_source.count > 0;
}

HLResourceObject HLResourceItem::oResourcePreview() const
{
    std::lock_guard guard(m_lock);
    return m_preview.object;
}

HLResourceObject HLResourceItem::oResourceSource() const
{
    std::lock_guard guard(m_lock);
    return m_source.object;
}

HLResourceObject HLResourceItem::openPreview() const
{
    return initiationFor(m_enType)(p_resourcePathPreview());
}

// A pool's source letter, then the kind's letter, then the hash key: what the archive holds.
bool HLResourceItem::p_isIdentifierOf(const QString &identifier, qint64 type, const QString &hashID)
{
    const bool knownSource = identifier.startsWith(SourceTypeKeyTemp) || identifier.startsWith(SourceTypeKeyProj)
        || identifier.startsWith(SourceTypeKeyMedi);
    return identifier.size() >= 2 && knownSource && identifier.mid(1, 1) == HLResourcePool::p_resourceKey(type)
        && identifier.mid(2) == hashID;
}

void HLResourceItem::updateResourceID(const QString &identifier)
{
    if (!p_isIdentifierOf(identifier, m_enType, m_strHashID))
        return;
    std::lock_guard guard(m_lock);
    m_strResourceID = identifier;
}

QString HLResourceItem::strResourceID() const
{
    std::lock_guard guard(m_lock);
    return m_strResourceID;
}

QString HLResourceItem::previewPath() const
{
    return p_resourcePathPreview();
}

QString HLResourceItem::sourcePath() const
{
    return p_resourcePathSource();
}

QString HLResourceItem::p_resourceDir() const
{
    return HLResourcePool::resourceDirOf(strResourceID());
}

QString HLResourceItem::p_resourcePathPreview() const
{
    const QString dir = p_resourceDir();
    return dir.isEmpty() ? QString() : pathMapPreviewFor(m_enType)(dir);
}

QString HLResourceItem::p_resourcePathSource() const
{
    const QString dir = p_resourceDir();
    return dir.isEmpty() ? QString() : pathMapSourceFor(m_enType)(dir);
}

void HLResourceItem::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeInt64(QStringLiteral("kNSCodingType"), m_enType);
    coder.encodeString(QStringLiteral("kNSCodingResourceID"), strResourceID());
    coder.encodeString(QStringLiteral("kNSCodingHashID"), m_strHashID);
    coder.encodeDictionary(QStringLiteral("kNSCodingInfo"), m_dicInfo);
}

std::shared_ptr<HLResourceItem> HLResourceItem::initWithCoder(HLKeyedUnarchiver &coder)
{
    const qint64 type = coder.decodeInt64(QStringLiteral("kNSCodingType"));
    const QString resourceID = coder.decodeString(QStringLiteral("kNSCodingResourceID"));
    const QString hashID = coder.decodeString(QStringLiteral("kNSCodingHashID"));
    QStringList damaged;
    QVariantMap info = coder.decodeDictionary(QStringLiteral("kNSCodingInfo"), &damaged);
    // Only the thumbnail can be made again from the media; any other damaged picture is an error.
    const bool thumbnailLost = damaged == QStringList{QStringLiteral("Thumbnail")};
    if (!damaged.isEmpty() && !thumbnailLost)
        coder.decodeDictionary(QStringLiteral("kNSCodingInfo")); // throws, naming the picture
    if (type < 0 || type >= qint64(kindCount))
        throw HLArchiveError(QStringLiteral("kNSCodingType: no resource kind %1").arg(type));
    // The hash key names a folder: only the digits identifiers are made of may reach the disk.
    if (hashID.isEmpty() || !HLResourcePool::isValidHashKey(hashID))
        throw HLArchiveError(QStringLiteral("kNSCodingHashID: \"%1\" is no resource key").arg(hashID));
    if (!p_isIdentifierOf(resourceID, type, hashID))
        throw HLArchiveError(QStringLiteral("kNSCodingResourceID: \"%1\" is no identifier of this resource")
                                 .arg(resourceID));
    if (thumbnailLost)
        info.remove(QStringLiteral("Thumbnail"));
    auto item = std::make_shared<HLResourceItem>(type, resourceID, hashID, info);
    item->m_thumbnailLost = thumbnailLost;
    return item;
}

bool HLResourceItem::remakeThumbnail(const QString &folder)
{
    QImage thumbnail;
    switch (m_enType) {
    case HLResourceTypeImage: thumbnail = p_imageThumbnailIn(folder); break;
    case HLResourceTypeVideo: thumbnail = p_videoThumbnailIn(folder); break;
    default: break; // music shows no thumbnail
    }
    if (thumbnail.isNull() && m_enType != HLResourceTypeAudio)
        return false;
    if (!thumbnail.isNull())
        m_dicInfo.insert(QStringLiteral("Thumbnail"), thumbnail);
    m_thumbnailLost = false;
    return true;
}

void HLResourceItem::registerCoding()
{
    HLCodingRegistry::registerClass<HLResourceItem>(QStringLiteral("HLResourceItem"));
}

void HLResourceItem::setUpPathMapPreview(const PathMap &preview, const PathMap &source, HLResourceType type)
{
    p_validateType(type);
    std::lock_guard guard(tables().lock);
    tables().pathMapPreview[std::size_t(type)] = preview;
    tables().pathMapSource[std::size_t(type)] = source;
}

void HLResourceItem::setUpPreprocess(const Preprocess &preprocess, HLResourceType type)
{
    p_validateType(type);
    std::lock_guard guard(tables().lock);
    tables().preprocess[std::size_t(type)] = preprocess;
}

void HLResourceItem::setUpInitiation(const Initiation &initiation, HLResourceType type)
{
    p_validateType(type);
    std::lock_guard guard(tables().lock);
    tables().initiation[std::size_t(type)] = initiation;
}

// A kind never configured maps to no path, refuses every file and loads nothing.
HLResourceItem::PathMap HLResourceItem::pathMapPreviewFor(HLResourceType type)
{
    p_validateType(type);
    std::lock_guard guard(tables().lock);
    const auto &map = tables().pathMapPreview[std::size_t(type)];
    return map ? map : PathMap([](const QString &) { return QString(); });
}

HLResourceItem::PathMap HLResourceItem::pathMapSourceFor(HLResourceType type)
{
    p_validateType(type);
    std::lock_guard guard(tables().lock);
    const auto &map = tables().pathMapSource[std::size_t(type)];
    return map ? map : PathMap([](const QString &) { return QString(); });
}

HLResourceItem::Preprocess HLResourceItem::preprocessFor(HLResourceType type)
{
    p_validateType(type);
    std::lock_guard guard(tables().lock);
    const auto &preprocess = tables().preprocess[std::size_t(type)];
    return preprocess ? preprocess : Preprocess([](const QString &, QString *reason) {
        if (reason)
            *reason = QStringLiteral("This kind of media is not set up");
        return QVariantMap();
    });
}

HLResourceItem::Initiation HLResourceItem::initiationFor(HLResourceType type)
{
    p_validateType(type);
    std::lock_guard guard(tables().lock);
    const auto &initiation = tables().initiation[std::size_t(type)];
    return initiation ? initiation : Initiation([](const QString &) { return HLResourceObject(); });
}

std::shared_ptr<HLResourceItem> HLResourceItem::itemOf(HLResourceType type, const QString &resourceID,
                                                       const QString &hashID, const QString &path, QString *reason)
{
    QString said;
    const QVariantMap info = preprocessFor(type)(path, &said);
    if (reason)
        *reason = info.isEmpty() ? said : QString();
    if (info.isEmpty())
        return nullptr;
    auto item = std::make_shared<HLResourceItem>(type, resourceID, hashID, info);
    item->setImportWarning(said);
    return item;
}

void HLResourceItem::p_validateType(HLResourceType type)
{
    HL_ASSERT(type >= 0 && type < qint64(kindCount), "wrong type");
}
