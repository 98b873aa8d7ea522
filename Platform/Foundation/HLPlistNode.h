#pragma once

#include <QByteArray>
#include <QString>

#include <plist/plist.h>

#include <cstdlib>
#include <memory>

// Owning handle of a libplist node tree, shared by the archive and property-list readers.
struct HLPlistFree
{
    void operator()(void *node) const { plist_free(static_cast<plist_t>(node)); }
};
using HLPlistNode = std::unique_ptr<void, HLPlistFree>;

inline bool hlPlistBool(plist_t node)
{
    uint8_t flag = 0;
    plist_get_bool_val(node, &flag);
    return flag != 0;
}

// An integer node; signed values are stored as their 64-bit pattern.
inline qint64 hlPlistInteger(plist_t node)
{
    uint64_t number = 0;
    plist_get_uint_val(node, &number);
    return qint64(number);
}

// The text of a string or key node.
inline QString hlPlistString(plist_t node)
{
    char *text = nullptr;
    plist_get_string_val(node, &text);
    const QString value = QString::fromUtf8(text ? text : "");
    std::free(text);
    return value;
}

// The bytes of a data node.
inline QByteArray hlPlistData(plist_t node)
{
    char *bytes = nullptr;
    uint64_t length = 0;
    plist_get_data_val(node, &bytes, &length);
    const QByteArray value(bytes, qsizetype(length));
    std::free(bytes);
    return value;
}

// Calls visit(key, item) for each entry of a dictionary node; visit may throw.
template <class Visit>
void hlPlistForEach(plist_t dict, Visit visit)
{
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(dict, &iter);
    const std::unique_ptr<void, decltype(&std::free)> owner(iter, &std::free);
    for (;;) {
        char *name = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(dict, iter, &name, &item);
        const QString key = item ? QString::fromUtf8(name) : QString();
        std::free(name);
        if (!item)
            return;
        visit(key, item);
    }
}
