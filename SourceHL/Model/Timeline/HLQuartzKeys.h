#pragma once

#include <QString>

// Keys of a template's property list and of the info dictionary the template catalogue keeps
// for it, shared by the catalogue, the descriptors and the renderers.
inline const QString kPlistFileType = QStringLiteral("plist");
inline const QString kQuartzTypeKey = QStringLiteral("QuartzType");
inline const QString kQuartzTypeValueSlideshow = QStringLiteral("QuartzTypeSlideshow");
inline const QString kQuartzTypeValueTransition = QStringLiteral("QuartzTypeTransition");
inline const QString kQuartzTypeValueText = QStringLiteral("QuartzTypeText");
inline const QString kQuartzKeyName = QStringLiteral("QuartzName");
inline const QString kQuartzKeyIndex = QStringLiteral("QuartzIndex");
inline const QString kQuartzKeyThumbName = QStringLiteral("ThumbnailName");
inline const QString kQuartzKeyBestCount = QStringLiteral("BestCount");
inline const QString kQuartzKeyBestDuration = QStringLiteral("BestDuration");
inline const QString kQuartzKeyDecorationBack = QStringLiteral("DecorationBack");
inline const QString kQuartzKeyDecorationBorder = QStringLiteral("DecorationBorder");
inline const QString kQuartzKeyDurationTS = QStringLiteral("Duration_T_S");
inline const QString kQuartzKeyDurationS = QStringLiteral("Duration_S");
inline const QString kQuartzKeyDurationT = QStringLiteral("Duration_T");
inline const QString kQuartzKeyDurationTA = QStringLiteral("Duration_T_A");
inline const QString kQuartzKeyDurationTA2 = QStringLiteral("Duration_T_A_2");
inline const QString kQuartzKeyDurationTB = QStringLiteral("Duration_T_B");
inline const QString kQuartzKeyDurationTB2 = QStringLiteral("Duration_T_B_2");
inline const QString kQuartzKeyRenderingWidth = QStringLiteral("RenderingWidth");
inline const QString kQuartzKeyRenderingHeight = QStringLiteral("RenderingHeight");
