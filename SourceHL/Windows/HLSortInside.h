#pragma once

#include <QString>

// The private drag types of the slide sorter: every drag that starts in it declares the back
// type, a drag of photos and videos also the tile type.
inline const QString kSortBackInsidePboardType = QStringLiteral("SortBackInsidePboardType");
inline const QString kSortSlidInsidePboardType = QStringLiteral("SortSlidInsidePboardType");
