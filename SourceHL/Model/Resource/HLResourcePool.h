#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <mutex>

class HLResourceItem;

// Which copy of the project a pool belongs to: the first letter of a pool key.
using HLResourceSource = qint64;
enum : HLResourceSource {
    HLResourceSourceTemp = 0, // working copy of the open document, "T"
    HLResourceSourceProj = 1, // saved project package, "P"
    HLResourceSourceMedi = 2, // staging copy written during a save, "M"
};

// What a pool holds, and the kind of a resource item: the second letter of a pool key.
using HLResourceType = qint64;
enum : HLResourceType {
    HLResourceTypeAudio = 0, // "A"
    HLResourceTypeVideo = 1, // "V"
    HLResourceTypeImage = 2, // "I"
};

extern const QString SourceTypeKeyTemp;
extern const QString SourceTypeKeyProj;
extern const QString SourceTypeKeyMedi;
extern const QString ResourceTypeKeyAud;
extern const QString ResourceTypeKeyVid;
extern const QString ResourceTypeKeyImg;

// The store of imported media: one pool per (source, kind), each a folder holding one
// sub-folder per resource, named by the resource's hash key. A resource identifier is the
// pool key (two letters) followed by the hash key (decimal digits of the machine clock).
class HLResourcePool
{
public:
    // Builds the item from a file placed in a new resource folder; null refuses the file
    // (reason says why).
    using SetupBlock = std::function<std::shared_ptr<HLResourceItem>(
        HLResourceType kind, const QString &resourceID, const QString &hashID, const QString &path,
        QString *reason)>;

    // Registers dir as the folder of the pool (source, resource), creating it when missing;
    // an empty dir clears it, a path that is no folder leaves it as it was.
    static void update(const QString &dir, HLResourceSource source, HLResourceType resource);
    // The pool for the pair, made on first request.
    static std::shared_ptr<HLResourcePool> resourcePoolOfSource(HLResourceSource source, HLResourceType resource);
    // The pool of an identifier's key, or null when it was never requested.
    static std::shared_ptr<HLResourcePool> resourcePoolOf(const QString &identifier);
    // Copies the resource's folder into target (another source, same kind); true only when a
    // new folder was made there.
    static bool duplicateResource(const QString &identifier, const std::shared_ptr<HLResourcePool> &target,
                                  QString *reason = nullptr);
    static QString makeKeyPersistent(const QString &identifier);
    // The resource's folder; empty when its pool has no folder or the hash key is not one
    // that identifiers are made of.
    static QString resourceDirOf(const QString &identifier);

    // Imports one file: places a private copy in a new resource folder and hands it to
    // setup. Null (with a reason) when the file can't be placed or setup refuses it; then
    // nothing is left behind.
    std::shared_ptr<HLResourceItem> addResourceFrom(const QString &path, const SetupBlock &setup,
                                                    QString *reason = nullptr);

    HLResourceSource enSource() const { return m_enSource; }
    void setEnSource(HLResourceSource source) { m_enSource = source; }
    HLResourceType enResource() const { return m_enResource; }
    void setEnResource(HLResourceType resource) { m_enResource = resource; }
    QString strDir() const;
    void setStrDir(const QString &dir);

    // Hash keys are the decimal digits of the machine clock; nothing else may name a folder.
    static bool isValidHashKey(const QString &hashKey);
    static QString p_newResourceIDOf(HLResourceType resource);
    static QString p_poolKeyOfSource(HLResourceSource source, HLResourceType resource);
    static QString p_sourceKey(HLResourceSource source);
    static QString p_resourceKey(HLResourceType resource);
    static QString p_poolKeyOf(const QString &identifier);
    static QString p_hashKeyOf(const QString &identifier);
    static void p_validateID(const QString &identifier);

private:
    HLResourceSource m_enSource = HLResourceSourceTemp;
    HLResourceType m_enResource = HLResourceTypeAudio;
    mutable std::mutex m_lock; // strDir is registered on the main thread, read by imports
    QString m_strDir;
};
