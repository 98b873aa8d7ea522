#include "Platform/Foundation/HLKeyedUnarchiver.h"

#include "Platform/Foundation/HLArchiveFormat.h"
#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLCodingRegistry.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLPlistCheck.h"
#include "Platform/Foundation/HLPlistNode.h"

#include <QFile>
#include <QImageReader>
#include <QBuffer>

#include <cmath>
#include <cstdlib>
#include <limits>

using namespace HLArchiveFormat;

namespace {

// Larger files are refused before reading: no project comes near this.
constexpr qint64 kMaximumFileSize = qint64(512) << 20;

QString typeName(plist_type type)
{
    switch (type) {
    case PLIST_BOOLEAN: return QStringLiteral("a boolean");
    case PLIST_UINT: return QStringLiteral("an integer");
    case PLIST_REAL: return QStringLiteral("a real");
    case PLIST_STRING: return QStringLiteral("a string");
    case PLIST_ARRAY: return QStringLiteral("an array");
    case PLIST_DICT: return QStringLiteral("a dictionary");
    case PLIST_DATE: return QStringLiteral("a date");
    case PLIST_DATA: return QStringLiteral("data");
    case PLIST_UID: return QStringLiteral("a reference");
    default: return QStringLiteral("an unknown value");
    }
}

QString stringValue(plist_t node)
{
    char *text = nullptr;
    plist_get_string_val(node, &text);
    const QString value = QString::fromUtf8(text ? text : "");
    std::free(text);
    return value;
}

QString className(plist_t dict)
{
    plist_t node = plist_dict_get_item(dict, kClass);
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return QString();
    return stringValue(node);
}

} // namespace

struct HLKeyedUnarchiver::Private
{
    HLPlistNode root;
    std::vector<plist_t> containers; // back() is the record being read
    QStringList path;

    QString where(const QString &key) const
    {
        QStringList full = path;
        if (!key.isEmpty())
            full << key;
        return full.isEmpty() ? QStringLiteral("(top)") : full.join(QLatin1Char('.'));
    }

    [[noreturn]] void fail(const QString &key, const QString &what) const
    {
        throw HLArchiveError(QStringLiteral("damaged archive at %1: %2").arg(where(key), what));
    }

    plist_t find(const QString &key) const
    {
        return plist_dict_get_item(containers.back(), key.toUtf8().constData());
    }

    plist_t value(const QString &key, plist_type type, const QString &expected) const
    {
        plist_t node = find(key);
        if (!node)
            fail(key, QStringLiteral("missing"));
        if (plist_get_node_type(node) != type)
            fail(key, QStringLiteral("expected %1, found %2").arg(expected, typeName(plist_get_node_type(node))));
        return node;
    }

    double real(const QString &key, plist_t node) const
    {
        if (!node || plist_get_node_type(node) != PLIST_REAL)
            fail(key, QStringLiteral("expected a real"));
        double number = 0;
        plist_get_real_val(node, &number);
        return number;
    }

    // A dictionary value tagged with the given class ("HLSize", "HLColor").
    plist_t tagged(const QString &key, plist_t node, const char *tag, const QString &expected) const
    {
        if (plist_get_node_type(node) != PLIST_DICT || className(node) != QLatin1String(tag))
            fail(key, QStringLiteral("expected %1").arg(expected));
        return node;
    }

    QSizeF size(const QString &key, plist_t node) const
    {
        tagged(key, node, kSizeClass, QStringLiteral("a size"));
        const double width = real(key, plist_dict_get_item(node, kWidth));
        const double height = real(key, plist_dict_get_item(node, kHeight));
        if (!std::isfinite(width) || !std::isfinite(height))
            fail(key, QStringLiteral("size out of range"));
        return QSizeF(width, height);
    }

    QColor color(const QString &key, plist_t node) const
    {
        tagged(key, node, kColorClass, QStringLiteral("a colour"));
        float parts[4];
        const char *names[4] = {kRed, kGreen, kBlue, kAlpha};
        for (int i = 0; i < 4; ++i) {
            const double part = real(key, plist_dict_get_item(node, names[i]));
            if (!(part >= 0.0 && part <= 1.0))
                fail(key, QStringLiteral("colour component out of range"));
            parts[i] = float(part);
        }
        return QColor::fromRgbF(parts[0], parts[1], parts[2], parts[3]);
    }

    QImage image(const QString &key, plist_t node) const
    {
        if (plist_get_node_type(node) != PLIST_DATA)
            fail(key, QStringLiteral("expected a picture, found %1").arg(typeName(plist_get_node_type(node))));
        char *bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        QByteArray png(bytes, qsizetype(length));
        std::free(bytes);
        if (png.isEmpty())
            return QImage();
        QBuffer buffer(&png);
        QImageReader reader(&buffer, "PNG");
        QImage picture;
        if (!reader.read(&picture))
            fail(key, QStringLiteral("picture cannot be read (%1)").arg(reader.errorString()));
        return picture;
    }

    QVariant variant(const QString &key, plist_t node, int depth) const
    {
        switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            uint8_t flag = 0;
            plist_get_bool_val(node, &flag);
            return bool(flag);
        }
        case PLIST_UINT: {
            uint64_t number = 0;
            plist_get_uint_val(node, &number);
            return qint64(number);
        }
        case PLIST_REAL:
            return real(key, node);
        case PLIST_STRING:
            return stringValue(node);
        case PLIST_DATA:
            return image(key, node);
        case PLIST_ARRAY: {
            if (depth + 1 > HLKeyedArchiver::maximumDepth)
                fail(key, QStringLiteral("nested too deeply"));
            QVariantList list;
            const uint32_t count = plist_array_get_size(node);
            for (uint32_t i = 0; i < count; ++i)
                list << variant(QStringLiteral("%1[%2]").arg(key).arg(i), plist_array_get_item(node, i), depth + 1);
            return list;
        }
        case PLIST_DICT: {
            const QString tag = className(node);
            if (tag == QLatin1String(kSizeClass))
                return size(key, node);
            if (tag == QLatin1String(kColorClass))
                return color(key, node);
            if (plist_dict_get_item(node, kClass))
                fail(key, QStringLiteral("unexpected record in a dictionary"));
            return map(key, node, depth + 1);
        }
        default:
            fail(key, QStringLiteral("unexpected %1").arg(typeName(plist_get_node_type(node))));
        }
    }

    QVariantMap map(const QString &key, plist_t node, int depth) const
    {
        if (depth > HLKeyedArchiver::maximumDepth)
            fail(key, QStringLiteral("nested too deeply"));
        QVariantMap result;
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        for (;;) {
            char *name = nullptr;
            plist_t item = nullptr;
            plist_dict_next_item(node, iter, &name, &item);
            if (!item) {
                std::free(name);
                break;
            }
            const QString entry = QString::fromUtf8(name);
            std::free(name);
            try {
                result.insert(entry, variant(key + QLatin1Char('.') + entry, item, depth));
            } catch (...) {
                std::free(iter);
                throw;
            }
        }
        std::free(iter);
        return result;
    }

    std::shared_ptr<HLCoding> record(HLKeyedUnarchiver &coder, const QString &key, plist_t node, bool optional)
    {
        if (plist_get_node_type(node) != PLIST_DICT)
            fail(key, QStringLiteral("expected a record, found %1").arg(typeName(plist_get_node_type(node))));
        const QString name = className(node);
        if (name.isEmpty())
            fail(key, QStringLiteral("expected a record"));
        if (name == QLatin1String(kNullClass)) {
            if (!optional)
                fail(key, QStringLiteral("nil where a record is required"));
            return nullptr;
        }
        if (int(containers.size()) > HLKeyedArchiver::maximumDepth)
            fail(key, QStringLiteral("nested too deeply"));
        const HLCodingRegistry::Factory factory = HLCodingRegistry::factory(name);
        if (!factory)
            fail(key, QStringLiteral("unknown class \"%1\"").arg(name));

        containers.push_back(node);
        path << key;
        std::shared_ptr<HLCoding> object;
        try {
            object = factory(coder);
        } catch (const HLArchiveError &) {
            containers.pop_back();
            path.removeLast();
            throw;
        } catch (const HLAssertionFailure &failure) {
            // A value the record refuses ("wrong para") is a damaged archive, not a program error.
            path.removeLast();
            containers.pop_back();
            fail(key, QStringLiteral("value refused by %1 (%2)").arg(name, QString::fromStdString(failure.what())));
        } catch (...) {
            containers.pop_back();
            path.removeLast();
            throw;
        }
        containers.pop_back();
        path.removeLast();
        if (!object)
            fail(key, QStringLiteral("%1 could not be decoded").arg(name));
        return object;
    }
};

HLKeyedUnarchiver::HLKeyedUnarchiver()
    : d(std::make_unique<Private>())
{
}

HLKeyedUnarchiver::HLKeyedUnarchiver(HLKeyedUnarchiver &&) noexcept = default;
HLKeyedUnarchiver &HLKeyedUnarchiver::operator=(HLKeyedUnarchiver &&) noexcept = default;
HLKeyedUnarchiver::~HLKeyedUnarchiver() = default;

HLKeyedUnarchiver HLKeyedUnarchiver::fromData(const QByteArray &data)
{
    if (data.size() > kMaximumFileSize)
        throw HLArchiveError(QStringLiteral("not a project archive: file too large"));
    if (!data.startsWith("bplist00"))
        throw HLArchiveError(QStringLiteral("not a project archive: not a binary property list"));
    const QString problem = HLPlistCheck::checkBinary(data, HLKeyedArchiver::maximumDepth + 4);
    if (!problem.isEmpty())
        throw HLArchiveError(QStringLiteral("not a project archive: %1").arg(problem));

    plist_t parsed = nullptr;
    plist_from_bin(data.constData(), uint32_t(data.size()), &parsed);
    HLKeyedUnarchiver coder;
    coder.d->root.reset(parsed);
    if (!parsed)
        throw HLArchiveError(QStringLiteral("not a project archive: damaged property list"));
    if (plist_get_node_type(parsed) != PLIST_DICT)
        throw HLArchiveError(QStringLiteral("not a project archive: top level is not a dictionary"));
    plist_t archiver = plist_dict_get_item(parsed, kArchiver);
    if (!archiver || plist_get_node_type(archiver) != PLIST_STRING
        || stringValue(archiver) != QLatin1String(kArchiverName))
        throw HLArchiveError(QStringLiteral("not a project archive: unknown archive format"));
    plist_t version = plist_dict_get_item(parsed, kVersion);
    if (!version || plist_get_node_type(version) != PLIST_UINT)
        throw HLArchiveError(QStringLiteral("not a project archive: no format version"));
    uint64_t number = 0;
    plist_get_uint_val(version, &number);
    if (qint64(number) > HLKeyedArchiver::formatVersion)
        throw HLArchiveError(
            QStringLiteral("project archive of a newer format (version %1) than this program reads (%2)")
                .arg(qint64(number))
                .arg(HLKeyedArchiver::formatVersion));
    if (qint64(number) < 1)
        throw HLArchiveError(QStringLiteral("not a project archive: bad format version %1").arg(qint64(number)));
    plist_t top = plist_dict_get_item(parsed, kTop);
    if (!top || plist_get_node_type(top) != PLIST_DICT)
        throw HLArchiveError(QStringLiteral("not a project archive: no root dictionary"));
    coder.d->containers.push_back(top);
    return coder;
}

HLKeyedUnarchiver HLKeyedUnarchiver::fromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw HLArchiveError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    if (file.size() > kMaximumFileSize)
        throw HLArchiveError(QStringLiteral("not a project archive: %1 is too large").arg(path));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw HLArchiveError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return fromData(data);
}

bool HLKeyedUnarchiver::contains(const QString &key) const
{
    return d->find(key) != nullptr;
}

qint64 HLKeyedUnarchiver::decodeInt64(const QString &key)
{
    uint64_t number = 0;
    plist_get_uint_val(d->value(key, PLIST_UINT, QStringLiteral("an integer")), &number);
    return qint64(number);
}

int HLKeyedUnarchiver::decodeInt32(const QString &key)
{
    const qint64 number = decodeInt64(key);
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        d->fail(key, QStringLiteral("integer %1 out of range").arg(number));
    return int(number);
}

double HLKeyedUnarchiver::decodeDouble(const QString &key)
{
    return d->real(key, d->value(key, PLIST_REAL, QStringLiteral("a real")));
}

float HLKeyedUnarchiver::decodeFloat(const QString &key)
{
    const double number = decodeDouble(key);
    if (std::isfinite(number) && std::fabs(number) > double(std::numeric_limits<float>::max()))
        d->fail(key, QStringLiteral("real %1 out of range").arg(number));
    return float(number);
}

bool HLKeyedUnarchiver::decodeBool(const QString &key)
{
    uint8_t flag = 0;
    plist_get_bool_val(d->value(key, PLIST_BOOLEAN, QStringLiteral("a boolean")), &flag);
    return flag != 0;
}

QString HLKeyedUnarchiver::decodeString(const QString &key)
{
    return stringValue(d->value(key, PLIST_STRING, QStringLiteral("a string")));
}

QSizeF HLKeyedUnarchiver::decodeSize(const QString &key)
{
    return d->size(key, d->value(key, PLIST_DICT, QStringLiteral("a size")));
}

QColor HLKeyedUnarchiver::decodeColor(const QString &key)
{
    return d->color(key, d->value(key, PLIST_DICT, QStringLiteral("a colour")));
}

QImage HLKeyedUnarchiver::decodeImage(const QString &key)
{
    return d->image(key, d->value(key, PLIST_DATA, QStringLiteral("a picture")));
}

QVariantMap HLKeyedUnarchiver::decodeDictionary(const QString &key)
{
    plist_t node = d->value(key, PLIST_DICT, QStringLiteral("a dictionary"));
    if (plist_dict_get_item(node, kClass))
        d->fail(key, QStringLiteral("expected a dictionary"));
    return d->map(key, node, int(d->containers.size()));
}

std::shared_ptr<HLCoding> HLKeyedUnarchiver::decodeCoding(const QString &key, bool optional)
{
    plist_t node = d->find(key);
    if (!node) {
        if (optional)
            return nullptr;
        d->fail(key, QStringLiteral("missing"));
    }
    return d->record(*this, key, node, optional);
}

std::vector<std::shared_ptr<HLCoding>> HLKeyedUnarchiver::decodeCodings(const QString &key)
{
    plist_t array = d->value(key, PLIST_ARRAY, QStringLiteral("a list of records"));
    if (int(d->containers.size()) + 1 > HLKeyedArchiver::maximumDepth)
        d->fail(key, QStringLiteral("nested too deeply"));
    std::vector<std::shared_ptr<HLCoding>> list;
    const uint32_t count = plist_array_get_size(array);
    list.reserve(count);
    // The array itself counts as a level of nesting, like when it was written.
    d->containers.push_back(array);
    try {
        for (uint32_t i = 0; i < count; ++i)
            list.push_back(d->record(*this, QStringLiteral("%1[%2]").arg(key).arg(i),
                                     plist_array_get_item(array, i), false));
    } catch (...) {
        d->containers.pop_back();
        throw;
    }
    d->containers.pop_back();
    return list;
}

void HLKeyedUnarchiver::failWrongClass(const QString &key, const HLCoding &object) const
{
    d->fail(key, QStringLiteral("unexpected class \"%1\"").arg(object.className()));
}

QMap<QString, std::shared_ptr<HLCoding>> HLKeyedUnarchiver::unarchiveRootObject(const QString &path)
{
    HLKeyedUnarchiver coder = fromFile(path);
    QMap<QString, std::shared_ptr<HLCoding>> root;
    plist_t top = coder.d->containers.back();
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(top, &iter);
    QStringList keys;
    for (;;) {
        char *name = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(top, iter, &name, &item);
        if (!item) {
            std::free(name);
            break;
        }
        keys << QString::fromUtf8(name);
        std::free(name);
    }
    std::free(iter);
    for (const QString &key : keys) {
        if (auto object = coder.decodeCoding(key, true))
            root.insert(key, std::move(object));
    }
    return root;
}
