#pragma once

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLCoding.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QMap>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <vector>

// Reads a keyed archive written by HLKeyedArchiver. The unarchiver starts in the root
// container; decodeObject() enters the record's container and calls the factory registered
// for its "$class". Every call checks presence, type and range: a missing key, a value of
// another type, an unknown class, a foreign, damaged or newer file throws HLArchiveError
// naming the key path. Optional keys are tested with contains() first.
//
//     HLKeyedUnarchiver coder = HLKeyedUnarchiver::fromFile(path);
//     auto sizer = coder.decodeObject<HLRenderSizer>("kNSCodingRenderSizer");
class HLKeyedUnarchiver
{
public:
    static HLKeyedUnarchiver fromData(const QByteArray &data);
    static HLKeyedUnarchiver fromFile(const QString &path);

    HLKeyedUnarchiver(HLKeyedUnarchiver &&) noexcept;
    HLKeyedUnarchiver &operator=(HLKeyedUnarchiver &&) noexcept;
    ~HLKeyedUnarchiver();

    // Whether the current container holds the key (with any value, nil included).
    bool contains(const QString &key) const;

    qint64 decodeInt64(const QString &key);
    int decodeInt32(const QString &key);
    double decodeDouble(const QString &key);
    // A real that fits a float (infinities and NaN pass through).
    float decodeFloat(const QString &key);
    // A real that fits a float and is a finite number.
    float decodeFiniteFloat(const QString &key);
    bool decodeBool(const QString &key);
    QString decodeString(const QString &key);
    QSizeF decodeSize(const QString &key);
    QColor decodeColor(const QString &key);
    // Null for stored empty data; damaged PNG data is an error.
    QImage decodeImage(const QString &key);
    // Integers come back as qint64, reals as double, sizes as QSizeF, pictures as QImage.
    QVariantMap decodeDictionary(const QString &key);
    // The same, with a damaged picture taken as a null one and its entry's path inside the
    // dictionary ("Thumbnail", "a.b") added to damagedPictures, for a reader that can make it again.
    QVariantMap decodeDictionary(const QString &key, QStringList *damagedPictures);

    // A record of class T (or a subclass); nil or absent is an error.
    template <class T>
    std::shared_ptr<T> decodeObject(const QString &key)
    {
        return cast<T>(key, decodeCoding(key, false));
    }
    // A record of class T, or nullptr when the key is absent or holds nil.
    template <class T>
    std::shared_ptr<T> decodeOptionalObject(const QString &key)
    {
        return cast<T>(key, decodeCoding(key, true));
    }
    template <class T>
    std::vector<std::shared_ptr<T>> decodeObjectArray(const QString &key)
    {
        std::vector<std::shared_ptr<T>> list;
        for (auto &object : decodeCodings(key))
            list.push_back(cast<T>(key, std::move(object)));
        return list;
    }

    // Decodes every record of the root container of a file; a non-record value there is an error.
    static QMap<QString, std::shared_ptr<HLCoding>> unarchiveRootObject(const QString &path);

private:
    HLKeyedUnarchiver();

    std::shared_ptr<HLCoding> decodeCoding(const QString &key, bool optional);
    std::vector<std::shared_ptr<HLCoding>> decodeCodings(const QString &key);
    [[noreturn]] void failWrongClass(const QString &key, const HLCoding &object) const;

    template <class T>
    std::shared_ptr<T> cast(const QString &key, std::shared_ptr<HLCoding> object) const
    {
        if (!object)
            return nullptr;
        auto typed = std::dynamic_pointer_cast<T>(object);
        if (!typed)
            failWrongClass(key, *object);
        return typed;
    }

    struct Private;
    std::unique_ptr<Private> d;
};
