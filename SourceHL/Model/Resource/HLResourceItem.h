#pragma once

#include "Platform/Foundation/HLAtomicProperty.h"
#include "Platform/Foundation/HLCoding.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <mutex>
#include <variant>

class HLKeyedUnarchiver;
class HLVideoDecoder;
class ZKFFMovie;

// What a resource loads: the music's movie, the clip's decoder, or the photo.
using HLResourceObject =
    std::variant<std::monostate, std::shared_ptr<ZKFFMovie>, std::shared_ptr<HLVideoDecoder>, QImage>;

// One imported media file: its kind, identifier, the hash key naming its folder and the info
// dictionary made at import ("Name", "Format", "Duration", "Thumbnail", "Resolution"). The
// working object (movie, decoder, picture) is loaded while anyone asks for it: the load
// switches are counted, so the renderer, the players and an editor can hold one at the same
// time and the last release frees it. The switches may be flipped from any thread.
class HLResourceItem : public HLCoding
{
public:
    using PathMap = std::function<QString(const QString &folder)>;
    // The info dictionary of a placed file, or an empty map to refuse it (reason says why).
    // A file taken in spite of a fault leaves what the user should hear of it in reason.
    using Preprocess = std::function<QVariantMap(const QString &path, QString *reason)>;
    using Initiation = std::function<HLResourceObject(const QString &path)>;

    // Both strings non-empty ("wrong paras").
    HLResourceItem(HLResourceType type, const QString &resourceID, const QString &hashID, const QVariantMap &info);

    bool isEqual(const HLResourceItem &other) const;

    // Counted: true asks for the object (the first ask loads it), false gives one ask back
    // (the last one releases it). A release without an ask is ignored.
    void setBLoadPreview(bool load);
    void setBLoadSource(bool load);
    bool bLoadPreview() const;
    bool bLoadSource() const;
    HLResourceObject oResourcePreview() const;
    HLResourceObject oResourceSource() const;
    // The preview object opened afresh, for a user that needs one of its own (a player).
    HLResourceObject openPreview() const;

    // Takes identifier only when it is one of this resource, as the archive holds it: a
    // pool's source letter, the kind's letter, the hash key.
    void updateResourceID(const QString &identifier);
    QString previewPath() const;
    QString sourcePath() const;

    HLResourceType enType() const { return m_enType; }
    QString strResourceID() const;
    QString strHashID() const { return m_strHashID; }
    QVariantMap dicInfo() const { return m_dicInfo; }
    // What the import found wrong with a file it took (a photo cut short): for the user to
    // see once; not archived.
    QString importWarning() const { return m_importWarning.get(); }
    void setImportWarning(const QString &warning) { m_importWarning.set(warning); }

    // The archive held a thumbnail that could not be read (the item has none until remade).
    bool thumbnailLost() const { return m_thumbnailLost; }
    // Makes the thumbnail again from the media in folder, as the import did; false when the
    // media gives none. Before the item is shared.
    bool remakeThumbnail(const QString &folder);

    QString className() const override { return QStringLiteral("HLResourceItem"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // Refuses (HLArchiveError) a kind, identifier or hash key that no import makes.
    static std::shared_ptr<HLResourceItem> initWithCoder(HLKeyedUnarchiver &coder);
    static void registerCoding();

    static void setUpPathMapPreview(const PathMap &preview, const PathMap &source, HLResourceType type);
    static void setUpPreprocess(const Preprocess &preprocess, HLResourceType type);
    static void setUpInitiation(const Initiation &initiation, HLResourceType type);
    static PathMap pathMapPreviewFor(HLResourceType type);
    static PathMap pathMapSourceFor(HLResourceType type);
    static Preprocess preprocessFor(HLResourceType type);
    static Initiation initiationFor(HLResourceType type);

    // The item for a placed file, or null (with a reason) when its kind refuses the file. A
    // fault in a file taken all the same is the item's importWarning.
    static std::shared_ptr<HLResourceItem> itemOf(HLResourceType type, const QString &resourceID,
                                                  const QString &hashID, const QString &path,
                                                  QString *reason = nullptr);

    // Audio.
    static void configureForAudio();
    static bool isKindOfAudio(const QString &path);
    bool isAudio() const { return m_enType == HLResourceTypeAudio; }
    QString audioName() const;
    QString audioFormat() const;
    float audioDuration() const;
    std::shared_ptr<ZKFFMovie> audio() const;

    // Video.
    static void configureForVideo();
    static bool isKindOfVideo(const QString &path);
    bool isVideo() const { return m_enType == HLResourceTypeVideo; }
    QString videoName() const;
    QString videoFormat() const;
    float videoDuration() const;
    QImage videoThumbnail() const;
    QSizeF videoResolution() const;
    std::shared_ptr<ZKFFMovie> video() const;
    void videoSeek() const;
    // The frame at time (media ticks).
    QImage videoFrameAt(qint64 time) const;

    // Image.
    static void configureForImage();
    static bool isKindOfPDF(const QString &path);
    static bool isKindOfImage(const QString &path);
    bool isImage() const { return m_enType == HLResourceTypeImage; }
    QString imageName() const;
    QString imageFormat() const;
    QImage imageThumbnail() const;
    QSizeF imageResolution() const;
    QImage imagePreview() const;
    QImage imageSource() const;

    static void p_validateType(HLResourceType type);

private:
    // The thumbnail of a photo or a clip from the files in folder; null when none can be made.
    static QImage p_imageThumbnailIn(const QString &folder);
    static QImage p_videoThumbnailIn(const QString &folder);
    static bool p_isIdentifierOf(const QString &identifier, qint64 type, const QString &hashID);
    struct Switch
    {
        int count = 0;
        HLResourceObject object;
    };
    void p_setLoad(Switch &loadSwitch, bool load, const QString &path);
    QString p_resourceDir() const;
    QString p_resourcePathPreview() const;
    QString p_resourcePathSource() const;
    std::shared_ptr<HLVideoDecoder> p_decoder() const;

    HLResourceType m_enType;
    QString m_strResourceID;
    QString m_strHashID;
    QVariantMap m_dicInfo;
    mutable std::mutex m_lock; // guards the switches and the identifier
    HLAtomicProperty<QString> m_importWarning;
    bool m_thumbnailLost = false;
    Switch m_preview;
    Switch m_source;
};
