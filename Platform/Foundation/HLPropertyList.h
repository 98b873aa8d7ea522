#pragma once

#include "Platform/Foundation/HLPropertyListError.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantMap>

// Reads property lists (XML or binary) into Qt values: dictionary -> QVariantMap, array ->
// QVariantList, string -> QString, integer -> qint64, real -> double, boolean -> bool,
// data -> QByteArray, date -> QDateTime (UTC).
//
// The value helpers read a dictionary entry the lenient way the template files rely on:
// a number may be written as a string ("2.5"), a boolean as a string ("YES", "true", "1")
// or a number. A missing or unreadable entry gives the caller's fallback.
class HLPropertyList
{
public:
    // The file's top-level dictionary. Throws HLPropertyListError when the file cannot be
    // read, is not a property list, or its top level is not a dictionary.
    static QVariantMap readDictionary(const QString &path);
    static QVariantMap dictionaryFromData(const QByteArray &data);

    static double number(const QVariantMap &dictionary, const QString &key, double fallback);
    // Reals and decimal strings are truncated toward zero.
    static qint64 integer(const QVariantMap &dictionary, const QString &key, qint64 fallback);
    static bool boolean(const QVariantMap &dictionary, const QString &key, bool fallback);
    // Strings only; other values give the fallback.
    static QString string(const QVariantMap &dictionary, const QString &key,
                          const QString &fallback = QString());

    // Nesting of arrays and dictionaries accepted in a file.
    static constexpr int maximumDepth = 128;
};
