#pragma once

// Keys and class names of the keyed-archive format, shared by the archiver and unarchiver.
namespace HLArchiveFormat {

inline constexpr char kArchiver[] = "$archiver";
inline constexpr char kArchiverName[] = "HLKeyedArchiver";
inline constexpr char kVersion[] = "$version";
inline constexpr char kTop[] = "$top";
inline constexpr char kClass[] = "$class";

// Values that are dictionaries of their own: a nil record, a size, a colour.
inline constexpr char kNullClass[] = "$null";
inline constexpr char kSizeClass[] = "HLSize";
inline constexpr char kColorClass[] = "HLColor";
inline constexpr char kWidth[] = "width";
inline constexpr char kHeight[] = "height";
inline constexpr char kRed[] = "red";
inline constexpr char kGreen[] = "green";
inline constexpr char kBlue[] = "blue";
inline constexpr char kAlpha[] = "alpha";

} // namespace HLArchiveFormat
