#include "SourceHL/Model/Resource/HLResourcePool.h"

#include "Platform/Foundation/HLAssert.h"
#include "SourceHL/Common/HLMachTime.h"
#include "SourceHL/Model/Resource/HLFileClone.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

const QString SourceTypeKeyTemp = QStringLiteral("T");
const QString SourceTypeKeyProj = QStringLiteral("P");
const QString SourceTypeKeyMedi = QStringLiteral("M");
const QString ResourceTypeKeyAud = QStringLiteral("A");
const QString ResourceTypeKeyVid = QStringLiteral("V");
const QString ResourceTypeKeyImg = QStringLiteral("I");

namespace {

std::mutex &poolsLock()
{
    static std::mutex lock;
    return lock;
}

// Pool key -> pool; pools live for the whole run.
QHash<QString, std::shared_ptr<HLResourcePool>> &staticPools()
{
    static QHash<QString, std::shared_ptr<HLResourcePool>> pools;
    return pools;
}

void setReason(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
}

} // namespace

void HLResourcePool::update(const QString &dir, HLResourceSource source, HLResourceType resource)
{
    const auto pool = resourcePoolOfSource(source, resource);
    if (dir.isEmpty()) {
        pool->setStrDir(QString());
        return;
    }
    if (!QFileInfo::exists(dir))
        QDir().mkpath(dir);
    if (QFileInfo(dir).isDir())
        pool->setStrDir(dir);
}

std::shared_ptr<HLResourcePool> HLResourcePool::resourcePoolOfSource(HLResourceSource source, HLResourceType resource)
{
    const QString key = p_poolKeyOfSource(source, resource);
    std::lock_guard guard(poolsLock());
    auto &pool = staticPools()[key];
    if (!pool) {
        pool = std::make_shared<HLResourcePool>();
        pool->m_enSource = source;
        pool->m_enResource = resource;
    }
    return pool;
}

std::shared_ptr<HLResourcePool> HLResourcePool::resourcePoolOf(const QString &identifier)
{
    const QString key = p_poolKeyOf(identifier);
    std::lock_guard guard(poolsLock());
    return staticPools().value(key);
}

bool HLResourcePool::duplicateResource(const QString &identifier, const std::shared_ptr<HLResourcePool> &target,
                                       QString *reason)
{
    const auto source = resourcePoolOf(identifier);
    if (!source || !target || source->enSource() == target->enSource()
        || source->enResource() != target->enResource()) {
        setReason(reason, QStringLiteral("No pool to copy \"%1\" between").arg(identifier));
        return false;
    }
    const QString from = resourceDirOf(identifier);
    const QString targetDir = target->strDir();
    if (from.isEmpty() || targetDir.isEmpty()) {
        setReason(reason, QStringLiteral("No folder for \"%1\"").arg(identifier));
        return false;
    }
    const QString to = QDir(targetDir).filePath(p_hashKeyOf(identifier));
    if (!QFileInfo(from).isDir() || QFileInfo::exists(to)) {
        setReason(reason, QStringLiteral("Nothing to copy for \"%1\"").arg(identifier));
        return false;
    }
    // Resource folders are written once at import and never changed, so the staging and
    // project copies may share their data; only the user's own files are never linked.
    return HLFileClone::linkFolder(from, to, reason);
}

QString HLResourcePool::makeKeyPersistent(const QString &identifier)
{
    p_validateID(identifier);
    return SourceTypeKeyProj + identifier.mid(1);
}

QString HLResourcePool::resourceDirOf(const QString &identifier)
{
    const QString hashKey = p_hashKeyOf(identifier);
    if (!isValidHashKey(hashKey))
        return QString();
    const auto pool = resourcePoolOf(identifier);
    const QString dir = pool ? pool->strDir() : QString();
    if (dir.isEmpty())
        return QString();
    return hashKey.isEmpty() ? dir : QDir(dir).filePath(hashKey);
}

std::shared_ptr<HLResourceItem> HLResourcePool::addResourceFrom(const QString &path, const SetupBlock &setup,
                                                                QString *reason)
{
    if (!setup) {
        setReason(reason, QStringLiteral("Nothing to make of \"%1\"").arg(path));
        return nullptr;
    }
    const QString identifier = p_newResourceIDOf(m_enResource);
    const QString hashKey = p_hashKeyOf(identifier);
    const QString poolDir = strDir();
    if (poolDir.isEmpty()) {
        setReason(reason, QStringLiteral("The media store has no folder"));
        return nullptr;
    }
    const QString folder = QDir(poolDir).filePath(hashKey);
    HL_ASSERT(!QFileInfo::exists(folder), "what the hell");
    if (!QDir().mkpath(folder)) {
        setReason(reason, QStringLiteral("Cannot create \"%1\"").arg(folder));
        return nullptr;
    }
    const QString placed = QDir(folder).filePath(QFileInfo(path).fileName());
    if (!HLFileClone::cloneFile(path, placed, reason)) {
        QDir(folder).removeRecursively();
        return nullptr;
    }
    // The setup sees only the private copy; what it says is about the user's file.
    const auto userNamed = [&](QString text) { return text.replace(placed, path); };
    QString said;
    const std::shared_ptr<HLResourceItem> item = setup(m_enResource, identifier, hashKey, placed, &said);
    setReason(reason, userNamed(said));
    if (item) {
        item->setImportWarning(userNamed(item->importWarning()));
        QFile::remove(placed);
    } else {
        QDir(folder).removeRecursively();
    }
    return item;
}

QString HLResourcePool::strDir() const
{
    std::lock_guard guard(m_lock);
    return m_strDir;
}

void HLResourcePool::setStrDir(const QString &dir)
{
    std::lock_guard guard(m_lock);
    m_strDir = dir;
}

bool HLResourcePool::isValidHashKey(const QString &hashKey)
{
    for (const QChar c : hashKey) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

QString HLResourcePool::p_newResourceIDOf(HLResourceType resource)
{
    return p_poolKeyOfSource(HLResourceSourceTemp, resource) + HLMachTime::machTimeID();
}

QString HLResourcePool::p_poolKeyOfSource(HLResourceSource source, HLResourceType resource)
{
    return p_sourceKey(source) + p_resourceKey(resource);
}

QString HLResourcePool::p_sourceKey(HLResourceSource source)
{
    switch (source) {
    case HLResourceSourceTemp: return SourceTypeKeyTemp;
    case HLResourceSourceProj: return SourceTypeKeyProj;
    case HLResourceSourceMedi: return SourceTypeKeyMedi;
    }
    HL_FAIL("wrong para");
}

QString HLResourcePool::p_resourceKey(HLResourceType resource)
{
    switch (resource) {
    case HLResourceTypeAudio: return ResourceTypeKeyAud;
    case HLResourceTypeVideo: return ResourceTypeKeyVid;
    case HLResourceTypeImage: return ResourceTypeKeyImg;
    }
    HL_FAIL("wrong para");
}

QString HLResourcePool::p_poolKeyOf(const QString &identifier)
{
    p_validateID(identifier);
    return identifier.left(2);
}

QString HLResourcePool::p_hashKeyOf(const QString &identifier)
{
    p_validateID(identifier);
    return identifier.mid(2);
}

void HLResourcePool::p_validateID(const QString &identifier)
{
    HL_ASSERT(identifier.size() >= 2, "wrong para");
}
