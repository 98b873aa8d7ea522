#include "Platform/Foundation/HLKeyedArchiver.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLArchiveFormat.h"
#include "Platform/Foundation/HLCodingRegistry.h"
#include "Platform/Foundation/HLPlistNesting.h"
#include "Platform/Foundation/HLPlistNode.h"

#include <QBuffer>
#include <QSaveFile>
#include <QSize>

#include <cstdlib>
#include <limits>

using namespace HLArchiveFormat;

struct HLKeyedArchiver::Private
{
    HLPlistNode root{plist_new_dict()};
    std::vector<plist_t> containers; // back() is the container being written
    QStringList path;

    QString where(const QString &key) const
    {
        QStringList full = path;
        full << key;
        return full.join(QLatin1Char('.'));
    }

    [[noreturn]] void fail(const QString &key, const QString &what) const
    {
        throw HLArchiveError(QStringLiteral("cannot archive %1: %2").arg(where(key), what));
    }

    // Nesting below the root container, counting the container about to be entered.
    void checkDepth(const QString &key, int extra = 1) const
    {
        if (int(containers.size()) - 1 + extra > HLKeyedArchiver::maximumDepth)
            fail(key, QStringLiteral("nested too deeply"));
    }

    void set(const QString &key, HLPlistNode node)
    {
        if (key.isEmpty() || key.startsWith(QLatin1Char('$')))
            fail(key, QStringLiteral("reserved or empty key"));
        plist_dict_set_item(containers.back(), key.toUtf8().constData(), node.release());
    }

    HLPlistNode stringNode(const QString &key, const QString &value) const
    {
        const QByteArray utf8 = value.toUtf8();
        if (utf8.contains('\0'))
            fail(key, QStringLiteral("string holds U+0000"));
        return HLPlistNode(plist_new_string(utf8.constData()));
    }

    static HLPlistNode integerNode(qint64 value) { return HLPlistNode(plist_new_uint(quint64(value))); }

    HLPlistNode sizeNode(QSizeF value) const
    {
        HLPlistNode node(plist_new_dict());
        plist_dict_set_item(node.get(), kClass, plist_new_string(kSizeClass));
        plist_dict_set_item(node.get(), kWidth, plist_new_real(value.width()));
        plist_dict_set_item(node.get(), kHeight, plist_new_real(value.height()));
        return node;
    }

    HLPlistNode colorNode(const QString &key, const QColor &value) const
    {
        if (!value.isValid())
            fail(key, QStringLiteral("invalid colour"));
        const QColor rgb = value.toRgb();
        HLPlistNode node(plist_new_dict());
        plist_dict_set_item(node.get(), kClass, plist_new_string(kColorClass));
        plist_dict_set_item(node.get(), kRed, plist_new_real(rgb.redF()));
        plist_dict_set_item(node.get(), kGreen, plist_new_real(rgb.greenF()));
        plist_dict_set_item(node.get(), kBlue, plist_new_real(rgb.blueF()));
        plist_dict_set_item(node.get(), kAlpha, plist_new_real(rgb.alphaF()));
        return node;
    }

    HLPlistNode imageNode(const QString &key, const QImage &value) const
    {
        QByteArray png;
        if (!value.isNull()) {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            if (!value.save(&buffer, "PNG"))
                fail(key, QStringLiteral("picture cannot be written as PNG"));
        }
        return HLPlistNode(plist_new_data(png.constData(), quint64(png.size())));
    }

    HLPlistNode valueNode(const QString &key, const QVariant &value, int depth) const
    {
        switch (value.typeId()) {
        case QMetaType::Bool:
            return HLPlistNode(plist_new_bool(value.toBool()));
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
            return integerNode(value.toLongLong());
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
                fail(key, QStringLiteral("integer out of range"));
            return integerNode(qint64(value.toULongLong()));
        case QMetaType::Float:
            return HLPlistNode(plist_new_real(double(value.toFloat())));
        case QMetaType::Double:
            return HLPlistNode(plist_new_real(value.toDouble()));
        case QMetaType::QString:
            return stringNode(key, value.toString());
        case QMetaType::QSize:
        case QMetaType::QSizeF:
            return sizeNode(value.toSizeF());
        case QMetaType::QColor:
            return colorNode(key, value.value<QColor>());
        case QMetaType::QImage:
            return imageNode(key, value.value<QImage>());
        case QMetaType::QVariantList: {
            if (depth + 1 > HLKeyedArchiver::maximumDepth)
                fail(key, QStringLiteral("nested too deeply"));
            HLPlistNode node(plist_new_array());
            const QVariantList list = value.toList();
            for (qsizetype i = 0; i < list.size(); ++i)
                plist_array_append_item(
                    node.get(),
                    valueNode(QStringLiteral("%1[%2]").arg(key).arg(i), list[i], depth + 1).release());
            return node;
        }
        case QMetaType::QVariantMap:
            return mapNode(key, value.toMap(), depth + 1);
        default:
            fail(key, QStringLiteral("unsupported value type %1")
                          .arg(QString::fromLatin1(value.typeName() ? value.typeName() : "(invalid)")));
        }
    }

    HLPlistNode mapNode(const QString &key, const QVariantMap &map, int depth) const
    {
        if (depth > HLKeyedArchiver::maximumDepth)
            fail(key, QStringLiteral("nested too deeply"));
        HLPlistNode node(plist_new_dict());
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            const QString entry = key + QLatin1Char('.') + it.key();
            if (it.key().isEmpty() || it.key().startsWith(QLatin1Char('$')))
                fail(entry, QStringLiteral("reserved or empty key"));
            plist_dict_set_item(node.get(), it.key().toUtf8().constData(),
                                valueNode(entry, it.value(), depth).release());
        }
        return node;
    }

    HLPlistNode objectNode(HLKeyedArchiver &archiver, const QString &key, const HLCoding &object)
    {
        const QString className = object.className();
        if (!HLCodingRegistry::isRegistered(className))
            fail(key, QStringLiteral("class \"%1\" is not registered").arg(className));
        HLPlistNode node(plist_new_dict());
        plist_dict_set_item(node.get(), kClass, plist_new_string(className.toUtf8().constData()));
        {
            const HLPlistNesting entered(containers, node.get(), path, key);
            object.encodeWithCoder(archiver);
        }
        return node;
    }
};

HLKeyedArchiver::HLKeyedArchiver()
    : d(std::make_unique<Private>())
{
    plist_dict_set_item(d->root.get(), kArchiver, plist_new_string(kArchiverName));
    plist_dict_set_item(d->root.get(), kVersion, plist_new_uint(quint64(formatVersion)));
    plist_t top = plist_new_dict();
    plist_dict_set_item(d->root.get(), kTop, top);
    d->containers.push_back(top);
}

HLKeyedArchiver::~HLKeyedArchiver() = default;

void HLKeyedArchiver::encodeInt64(const QString &key, qint64 value)
{
    d->set(key, Private::integerNode(value));
}

void HLKeyedArchiver::encodeDouble(const QString &key, double value)
{
    d->set(key, HLPlistNode(plist_new_real(value)));
}

void HLKeyedArchiver::encodeFloat(const QString &key, float value)
{
    d->set(key, HLPlistNode(plist_new_real(double(value))));
}

void HLKeyedArchiver::encodeBool(const QString &key, bool value)
{
    d->set(key, HLPlistNode(plist_new_bool(value)));
}

void HLKeyedArchiver::encodeString(const QString &key, const QString &value)
{
    d->set(key, d->stringNode(key, value));
}

void HLKeyedArchiver::encodeSize(const QString &key, QSizeF value)
{
    d->set(key, d->sizeNode(value));
}

void HLKeyedArchiver::encodeColor(const QString &key, const QColor &value)
{
    d->set(key, d->colorNode(key, value));
}

void HLKeyedArchiver::encodeImage(const QString &key, const QImage &value)
{
    d->set(key, d->imageNode(key, value));
}

void HLKeyedArchiver::encodeObject(const QString &key, const std::shared_ptr<const HLCoding> &object)
{
    if (!object) {
        HLPlistNode nil(plist_new_dict());
        plist_dict_set_item(nil.get(), kClass, plist_new_string(kNullClass));
        d->set(key, std::move(nil));
        return;
    }
    d->checkDepth(key);
    d->set(key, d->objectNode(*this, key, *object));
}

void HLKeyedArchiver::encodeObjects(const QString &key,
                                    const std::vector<std::shared_ptr<const HLCoding>> &objects)
{
    d->checkDepth(key, 2);
    HLPlistNode array(plist_new_array());
    for (size_t i = 0; i < objects.size(); ++i) {
        const QString element = QStringLiteral("%1[%2]").arg(key).arg(i);
        if (!objects[i])
            d->fail(element, QStringLiteral("nil in a list of records"));
        HLPlistNode node;
        {
            const HLPlistNesting entered(d->containers, array.get());
            node = d->objectNode(*this, element, *objects[i]);
        }
        plist_array_append_item(array.get(), node.release());
    }
    d->set(key, std::move(array));
}

void HLKeyedArchiver::encodeDictionary(const QString &key, const QVariantMap &value)
{
    d->set(key, d->mapNode(key, value, int(d->containers.size())));
}

QByteArray HLKeyedArchiver::encodedData() const
{
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(d->root.get(), &bytes, &length);
    if (!bytes)
        throw HLArchiveError(QStringLiteral("cannot archive: the property list could not be written"));
    QByteArray data(bytes, qsizetype(length));
    std::free(bytes);
    return data;
}

void HLKeyedArchiver::writeToFile(const QString &path) const
{
    const QByteArray data = encodedData();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw HLArchiveError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

void HLKeyedArchiver::archiveRootObject(const QMap<QString, std::shared_ptr<const HLCoding>> &root,
                                        const QString &path)
{
    HLKeyedArchiver archiver;
    for (auto it = root.cbegin(); it != root.cend(); ++it)
        archiver.encodeObject(it.key(), it.value());
    archiver.writeToFile(path);
}
