#pragma once

#include <QByteArray>
#include <QString>

// Structural checks run before a file reaches libplist, whose parsers recurse without limit
// and trust the binary layout. Each returns an empty string for acceptable data, or what is
// wrong with it.
namespace HLPlistCheck {

// Binary property list: header, trailer, offset table, object bounds, references, key types,
// no reference cycles, and containers nested at most maximumDepth deep.
QString checkBinary(const QByteArray &data, int maximumDepth);

// XML property list: well-formed XML with elements nested at most maximumDepth deep
// (every element counts: <plist>, containers and the values inside them).
QString checkXml(const QByteArray &data, int maximumDepth);

} // namespace HLPlistCheck
