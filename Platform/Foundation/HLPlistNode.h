#pragma once

#include <plist/plist.h>

#include <memory>

// Owning handle of a libplist node tree, shared by the archive and property-list readers.
struct HLPlistFree
{
    void operator()(void *node) const { plist_free(static_cast<plist_t>(node)); }
};
using HLPlistNode = std::unique_ptr<void, HLPlistFree>;
