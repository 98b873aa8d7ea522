#pragma once

#include "SourceHL/Model/Render/HLRender.h"

#include <cstddef>
#include <set>

// Asks a slideshow template's index composition which of its pictures are on screen at a time.
class HLIndexesRender : public HLRender
{
public:
    static std::unique_ptr<HLIndexesRender> initFreely(bool freely, const QString &name,
                                                       std::shared_ptr<const Composition> composition);

    // Empties "Count".
    void clear();
    // The values of the "Indexs" output at the time for count pictures.
    std::set<std::size_t> indexSetAt(float time, std::size_t count);

private:
    friend class HLRender;
    using HLRender::HLRender;
};
