#pragma once

#include "Platform/Foundation/HLCoding.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QMap>
#include <QSizeF>
#include <QString>
#include <QVariantMap>

#include <memory>
#include <vector>

// Writes records into a keyed archive: a binary property list whose top level holds the
// format ("$archiver", "$version") and the root container ("$top"). Each record is a
// dictionary with its class name under "$class" and its own keys; integers, reals, booleans
// and strings are stored as such, pictures as PNG data, colours as four reals (r, g, b, a),
// sizes as two reals (width, height).
//
// The archiver starts in the root container; encodeObject() enters the record's own container
// while the record encodes itself. Keys beginning with '$' are reserved. Encoding a key twice
// keeps the last value. Every failure throws HLArchiveError.
//
//     HLKeyedArchiver archiver;
//     archiver.encodeObject("kNSCodingRenderSizer", sizer);
//     archiver.writeToFile(path);
class HLKeyedArchiver
{
public:
    HLKeyedArchiver();
    ~HLKeyedArchiver();
    HLKeyedArchiver(const HLKeyedArchiver &) = delete;
    HLKeyedArchiver &operator=(const HLKeyedArchiver &) = delete;

    void encodeInt64(const QString &key, qint64 value);
    void encodeDouble(const QString &key, double value);
    // Stored as a real; decodeFloat() gives back the same float, bit for bit.
    void encodeFloat(const QString &key, float value);
    void encodeBool(const QString &key, bool value);
    // Strings may not contain U+0000 (the property-list library cannot store it).
    void encodeString(const QString &key, const QString &value);
    void encodeSize(const QString &key, QSizeF value);
    // Stored as its RGB components (0..1); an invalid colour is refused.
    void encodeColor(const QString &key, const QColor &value);
    // Stored as PNG data; a null picture is stored as empty data and decodes as null.
    void encodeImage(const QString &key, const QImage &value);
    // A record in its own container; nullptr stores nil. The class must be registered in
    // HLCodingRegistry, so that nothing is written that could not be read back.
    void encodeObject(const QString &key, const std::shared_ptr<const HLCoding> &object);
    // A list of records (none nil); any range of pointers to HLCoding subclasses.
    template <class Range>
    void encodeObjectArray(const QString &key, const Range &objects)
    {
        std::vector<std::shared_ptr<const HLCoding>> list;
        for (const auto &object : objects)
            list.push_back(object);
        encodeObjects(key, list);
    }
    // An info dictionary. Values may be bool, integers, float, double, QString, QSizeF/QSize,
    // QColor, QImage, and QVariantList/QVariantMap of these.
    void encodeDictionary(const QString &key, const QVariantMap &value);

    // The whole archive as a binary property list.
    QByteArray encodedData() const;
    // Writes encodedData() atomically: the old file stays as it was if anything fails.
    void writeToFile(const QString &path) const;

    // Archives each record under its key in the root container and writes the file.
    static void archiveRootObject(const QMap<QString, std::shared_ptr<const HLCoding>> &root,
                                  const QString &path);

    // Nesting of records, arrays and dictionaries allowed in an archive (writing and reading).
    static constexpr int maximumDepth = 64;
    // The format version written; readers refuse later versions.
    static constexpr qint64 formatVersion = 1;

private:
    void encodeObjects(const QString &key, const std::vector<std::shared_ptr<const HLCoding>> &objects);

    struct Private;
    std::unique_ptr<Private> d;
};
