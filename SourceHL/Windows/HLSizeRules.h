#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The output-size dialog's presets and its reading of a typed side, free of Qt.
namespace HLSizeRules {

struct Size
{
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool operator==(const Size &) const = default;
};

constexpr std::int64_t kMinSide = 30;
constexpr std::int64_t kMaxSide = 4000;

// The nine presets, in pop-up order.
const std::vector<Size> &presets();
// The first preset of exactly width × height; none for a size that is not whole.
std::optional<std::size_t> presetIndexOf(double width, double height);

enum class Verdict { Valid, TooSmall, TooLarge, Invalid };
struct Side
{
    Verdict verdict = Verdict::Invalid;
    std::int64_t value = 0; // whole pixels; a fraction is dropped
};
// Digits with at most one "." are a number (the empty text reads as 0); anything else is
// invalid. A number is held to 30 … 4000.
Side sideOf(const std::string &text);

} // namespace HLSizeRules
