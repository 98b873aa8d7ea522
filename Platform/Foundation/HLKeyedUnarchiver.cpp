#include "Platform/Foundation/HLKeyedUnarchiver.h"

#include "Platform/Foundation/HLArchiveFormat.h"
#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLCodingRegistry.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLPlistCheck.h"
#include "Platform/Foundation/HLPlistNesting.h"
#include "Platform/Foundation/HLPlistNode.h"

#include <QFile>
#include <QImageReader>
#include <QBuffer>

#include <cmath>
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

QString className(plist_t dict)
{
    plist_t node = plist_dict_get_item(dict, kClass);
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return QString();
    return hlPlistString(node);
}

} // namespace

struct HLKeyedUnarchiver::Private
{
    HLPlistNode root;
    std::vector<plist_t> containers; // back() is the record being read
    QStringList path;
    QStringList *damagedPictures = nullptr; // set while a caller takes damaged pictures

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
        QByteArray png = hlPlistData(node);
        if (png.isEmpty())
            return QImage();
        QBuffer buffer(&png);
        QImageReader reader(&buffer, "PNG");
        QImage picture;
        if (!reader.read(&picture)) {
            if (!damagedPictures)
                fail(key, QStringLiteral("picture cannot be read (%1)").arg(reader.errorString()));
            *damagedPictures << key;
            return QImage();
        }
        return picture;
    }

    QVariant variant(const QString &key, plist_t node, int depth) const
    {
        switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN:
            return hlPlistBool(node);
        case PLIST_UINT:
            return hlPlistInteger(node);
        case PLIST_REAL:
            return real(key, node);
        case PLIST_STRING:
            return hlPlistString(node);
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
        hlPlistForEach(node, [&](const QString &entry, plist_t item) {
            result.insert(entry, variant(key + QLatin1Char('.') + entry, item, depth));
        });
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

        std::shared_ptr<HLCoding> object;
        try {
            const HLPlistNesting entered(containers, node, path, key);
            object = factory(coder);
        } catch (const HLAssertionFailure &failure) {
            // A value the record refuses ("wrong para") is a damaged archive, not a program error.
            fail(key, QStringLiteral("value refused by %1 (%2)").arg(name, QString::fromStdString(failure.what())));
        }
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
        || hlPlistString(archiver) != QLatin1String(kArchiverName))
        throw HLArchiveError(QStringLiteral("not a project archive: unknown archive format"));
    plist_t version = plist_dict_get_item(parsed, kVersion);
    if (!version || plist_get_node_type(version) != PLIST_UINT)
        throw HLArchiveError(QStringLiteral("not a project archive: no format version"));
    const qint64 number = hlPlistInteger(version);
    if (number > HLKeyedArchiver::formatVersion)
        throw HLArchiveError(
            QStringLiteral("project archive of a newer format (version %1) than this program reads (%2)")
                .arg(number)
                .arg(HLKeyedArchiver::formatVersion));
    if (number < 1)
        throw HLArchiveError(QStringLiteral("not a project archive: bad format version %1").arg(number));
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
    return hlPlistInteger(d->value(key, PLIST_UINT, QStringLiteral("an integer")));
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

float HLKeyedUnarchiver::decodeFiniteFloat(const QString &key)
{
    const float number = decodeFloat(key);
    if (!std::isfinite(number))
        d->fail(key, QStringLiteral("expected a finite number"));
    return number;
}

bool HLKeyedUnarchiver::decodeBool(const QString &key)
{
    return hlPlistBool(d->value(key, PLIST_BOOLEAN, QStringLiteral("a boolean")));
}

QString HLKeyedUnarchiver::decodeString(const QString &key)
{
    return hlPlistString(d->value(key, PLIST_STRING, QStringLiteral("a string")));
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

QVariantMap HLKeyedUnarchiver::decodeDictionary(const QString &key, QStringList *damagedPictures)
{
    QStringList found;
    d->damagedPictures = &found;
    QVariantMap result;
    try {
        result = decodeDictionary(key);
    } catch (...) {
        d->damagedPictures = nullptr;
        throw;
    }
    d->damagedPictures = nullptr;
    for (const QString &entry : std::as_const(found))
        *damagedPictures << entry.mid(key.size() + 1);
    return result;
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
    const HLPlistNesting entered(d->containers, array);
    for (uint32_t i = 0; i < count; ++i)
        list.push_back(d->record(*this, QStringLiteral("%1[%2]").arg(key).arg(i), plist_array_get_item(array, i), false));
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
    QStringList keys;
    hlPlistForEach(coder.d->containers.back(), [&keys](const QString &key, plist_t) { keys << key; });
    for (const QString &key : keys) {
        if (auto object = coder.decodeCoding(key, true))
            root.insert(key, std::move(object));
    }
    return root;
}
