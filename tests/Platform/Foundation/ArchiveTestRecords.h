#pragma once

#include "Platform/Foundation/HLCoding.h"
#include "Platform/Foundation/HLCodingRegistry.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"

#include <QColor>
#include <QImage>
#include <QSizeF>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <vector>

// A record holding one value of every kind the archive stores.
struct SampleRecord : HLCoding
{
    qint64 count = 0;
    int rotation = 0;
    double precise = 0;
    float duration = 0;
    bool flag = false;
    QString name;
    QSizeF size;
    QColor color;
    QImage thumb;
    std::shared_ptr<SampleRecord> child;           // may be nil
    std::vector<std::shared_ptr<SampleRecord>> items;
    QVariantMap info;

    QString className() const override { return QStringLiteral("SampleRecord"); }

    void encodeWithCoder(HLKeyedArchiver &coder) const override
    {
        coder.encodeInt64("kNSCodingCount", count);
        coder.encodeInt64("kNSCodingRotation", rotation);
        coder.encodeDouble("kNSCodingPrecise", precise);
        coder.encodeFloat("kNSCodingDuration", duration);
        coder.encodeBool("kNSCodingFlag", flag);
        coder.encodeString("kNSCodingName", name);
        coder.encodeSize("kNSCodingSize", size);
        coder.encodeColor("kNSCodingColor", color);
        coder.encodeImage("kNSCodingThumb", thumb);
        coder.encodeObject("kNSCodingChild", child);
        coder.encodeObjectArray("kNSCodingItems", items);
        coder.encodeDictionary("kNSCodingInfo", info);
    }

    static std::shared_ptr<SampleRecord> initWithCoder(HLKeyedUnarchiver &coder)
    {
        auto record = std::make_shared<SampleRecord>();
        record->count = coder.decodeInt64("kNSCodingCount");
        record->rotation = coder.decodeInt32("kNSCodingRotation");
        record->precise = coder.decodeDouble("kNSCodingPrecise");
        record->duration = coder.decodeFloat("kNSCodingDuration");
        record->flag = coder.decodeBool("kNSCodingFlag");
        record->name = coder.decodeString("kNSCodingName");
        record->size = coder.decodeSize("kNSCodingSize");
        record->color = coder.decodeColor("kNSCodingColor");
        record->thumb = coder.decodeImage("kNSCodingThumb");
        record->child = coder.decodeOptionalObject<SampleRecord>("kNSCodingChild");
        record->items = coder.decodeObjectArray<SampleRecord>("kNSCodingItems");
        record->info = coder.decodeDictionary("kNSCodingInfo");
        return record;
    }
};

// A record whose archive and decoding are given by the test, to write and read values of
// any kind under any key.
struct ScriptedRecord : HLCoding
{
    static inline std::function<void(HLKeyedArchiver &)> writer;
    static inline std::function<void(HLKeyedUnarchiver &)> reader;

    QString className() const override { return QStringLiteral("ScriptedRecord"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override { writer(coder); }
    static std::shared_ptr<ScriptedRecord> initWithCoder(HLKeyedUnarchiver &coder)
    {
        reader(coder);
        return std::make_shared<ScriptedRecord>();
    }
};

// Nests another of its kind, as deep as asked.
struct ChainRecord : HLCoding
{
    std::shared_ptr<ChainRecord> next;

    QString className() const override { return QStringLiteral("ChainRecord"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override { coder.encodeObject("kNSCodingNext", next); }
    static std::shared_ptr<ChainRecord> initWithCoder(HLKeyedUnarchiver &coder)
    {
        auto record = std::make_shared<ChainRecord>();
        record->next = coder.decodeOptionalObject<ChainRecord>("kNSCodingNext");
        return record;
    }

    static std::shared_ptr<ChainRecord> chain(int length)
    {
        std::shared_ptr<ChainRecord> head;
        for (int i = 0; i < length; ++i) {
            auto link = std::make_shared<ChainRecord>();
            link->next = head;
            head = link;
        }
        return head;
    }
};

inline void registerTestRecords()
{
    HLCodingRegistry::registerClass<SampleRecord>(QStringLiteral("SampleRecord"));
    HLCodingRegistry::registerClass<ScriptedRecord>(QStringLiteral("ScriptedRecord"));
    HLCodingRegistry::registerClass<ChainRecord>(QStringLiteral("ChainRecord"));
}

// A small picture with every pixel different, partly transparent.
inline QImage samplePicture(QImage::Format format = QImage::Format_ARGB32)
{
    QImage picture(7, 5, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgba(x * 36, y * 60, (x * y * 13) % 256, 255 - (x + y) * 20));
    return picture.convertToFormat(format);
}
