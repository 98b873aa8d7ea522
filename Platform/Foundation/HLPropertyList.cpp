#include "Platform/Foundation/HLPropertyList.h"

#include "Platform/Foundation/HLPlistCheck.h"
#include "Platform/Foundation/HLPlistNode.h"

#include <QDateTime>
#include <QFile>
#include <QTimeZone>

#include <cmath>
#include <limits>

namespace {

// Property lists of templates are small; anything near this is not one.
constexpr qint64 kMaximumFileSize = qint64(64) << 20;

// Seconds between 1970-01-01 and 2001-01-01, the epoch of property-list dates.
constexpr qint64 kPlistEpoch = 978307200;

QVariant toVariant(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN:
        return hlPlistBool(node);
    case PLIST_UINT:
        return hlPlistInteger(node);
    case PLIST_REAL: {
        double number = 0;
        plist_get_real_val(node, &number);
        return number;
    }
    case PLIST_STRING:
    case PLIST_KEY:
        return hlPlistString(node);
    case PLIST_DATA:
        return hlPlistData(node);
    case PLIST_DATE: {
        int32_t seconds = 0;
        int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return QDateTime::fromMSecsSinceEpoch((kPlistEpoch + seconds) * 1000 + microseconds / 1000,
                                              QTimeZone::utc());
    }
    case PLIST_UID: {
        uint64_t number = 0;
        plist_get_uid_val(node, &number);
        return quint64(number);
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t count = plist_array_get_size(node);
        for (uint32_t i = 0; i < count; ++i)
            list << toVariant(plist_array_get_item(node, i));
        return list;
    }
    case PLIST_DICT: {
        QVariantMap map;
        hlPlistForEach(node, [&map](const QString &key, plist_t item) { map.insert(key, toVariant(item)); });
        return map;
    }
    default:
        return QVariant();
    }
}

// The decimal reading of a string: surrounding blanks allowed, nothing else, finite.
bool parseNumber(const QString &text, double &number)
{
    bool ok = false;
    number = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(number);
}

} // namespace

QVariantMap HLPropertyList::readDictionary(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw HLPropertyListError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    if (file.size() > kMaximumFileSize)
        throw HLPropertyListError(QStringLiteral("%1: file too large for a property list").arg(path));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw HLPropertyListError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    try {
        return dictionaryFromData(data);
    } catch (const HLPropertyListError &error) {
        throw HLPropertyListError(QStringLiteral("%1: %2").arg(path, QString::fromStdString(error.what())));
    }
}

QVariantMap HLPropertyList::dictionaryFromData(const QByteArray &data)
{
    if (data.size() > kMaximumFileSize)
        throw HLPropertyListError(QStringLiteral("too large for a property list"));
    const bool binary = data.startsWith("bplist00");
    const QString problem = binary ? HLPlistCheck::checkBinary(data, maximumDepth)
                                   : HLPlistCheck::checkXml(data, maximumDepth + 2);
    if (!problem.isEmpty())
        throw HLPropertyListError(problem);

    plist_t parsed = nullptr;
    if (binary)
        plist_from_bin(data.constData(), uint32_t(data.size()), &parsed);
    else
        plist_from_xml(data.constData(), uint32_t(data.size()), &parsed);
    const HLPlistNode root(parsed);
    if (!parsed)
        throw HLPropertyListError(QStringLiteral("damaged property list"));
    if (plist_get_node_type(parsed) != PLIST_DICT)
        throw HLPropertyListError(QStringLiteral("top level of the property list is not a dictionary"));
    return toVariant(parsed).toMap();
}

double HLPropertyList::number(const QVariantMap &dictionary, const QString &key, double fallback)
{
    const QVariant value = dictionary.value(key);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? 1.0 : 0.0;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    case QMetaType::QString: {
        double number = 0;
        return parseNumber(value.toString(), number) ? number : fallback;
    }
    default:
        return fallback;
    }
}

qint64 HLPropertyList::integer(const QVariantMap &dictionary, const QString &key, qint64 fallback)
{
    const QVariant value = dictionary.value(key);
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Bool:
        return value.toLongLong();
    case QMetaType::QString: {
        bool ok = false;
        const qint64 whole = value.toString().trimmed().toLongLong(&ok);
        if (ok)
            return whole;
        break;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        break;
    default:
        return fallback;
    }
    const double real = number(dictionary, key, std::numeric_limits<double>::quiet_NaN());
    // Outside this range the truncation is not representable.
    if (!(std::fabs(real) < 9.2e18))
        return fallback;
    return qint64(std::trunc(real));
}

bool HLPropertyList::boolean(const QVariantMap &dictionary, const QString &key, bool fallback)
{
    const QVariant value = dictionary.value(key);
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed().toLower();
        if (text == QLatin1String("yes") || text == QLatin1String("true") || text == QLatin1String("y")
            || text == QLatin1String("t"))
            return true;
        if (text == QLatin1String("no") || text == QLatin1String("false") || text == QLatin1String("n")
            || text == QLatin1String("f"))
            return false;
    }
    const double real = number(dictionary, key, std::numeric_limits<double>::quiet_NaN());
    return std::isnan(real) ? fallback : real != 0.0;
}

QString HLPropertyList::string(const QVariantMap &dictionary, const QString &key, const QString &fallback)
{
    const QVariant value = dictionary.value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : fallback;
}
