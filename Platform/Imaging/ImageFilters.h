#pragma once

#include "Platform/Imaging/Picture.h"

// The colour and sharpening filters the renderer applies to pictures, and the blur that
// drop shadows need. Colours are 8-bit sRGB values taken as fractions of 1; luma weighs
// red, green and blue 0.2125, 0.7154, 0.0721. Every filter answers a new picture.
namespace ImageFilters {

constexpr float kLumaRed = 0.2125f;
constexpr float kLumaGreen = 0.7154f;
constexpr float kLumaBlue = 0.0721f;

// "CIColorControls": each colour is mixed with its luma by saturation (0 grey, 1 as it is),
// then brightness is added, then contrast scales it about 0.5: ((mix + brightness) - 0.5)
// * contrast + 0.5, clamped to [0, 1]. Neutral: 1, 0, 1. Alpha is kept.
Picture colorControls(const Picture &picture, float saturation, float brightness, float contrast);

// "CIHueAdjust": each colour turns about the grey axis by angle radians (a positive angle
// takes red towards green). Greys and alpha are kept.
Picture hueAdjust(const Picture &picture, float angle);

// hueAdjust(colorControls(picture, …), angle) in one pass over the pixels: the colours are
// clamped in between as there, only not rounded, so results differ by at most 1/255.
Picture colorControlsThenHue(const Picture &picture, float saturation, float brightness, float contrast,
                             float angle);

// "CISharpenLuminance": adds sharpness × (luma − luma blurred by a Gaussian of standard
// deviation radius) to red, green and blue alike, so chroma and alpha are kept. Pixels
// beyond the edges repeat the outermost ones.
constexpr float kSharpenRadius = 1.69f;
Picture sharpenLuminance(const Picture &picture, float sharpness, float radius = kSharpenRadius);

// Gaussian blur of standard deviation sigma over the premultiplied pixels; a finite picture
// grows by the kernel's reach (ceil(3 sigma)) on every side, into transparency.
Picture gaussianBlur(const Picture &picture, float sigma);

// What a drop shadow paints: color wherever the picture has coverage, blurred by
// blurRadius (a Gaussian of sigma blurRadius / 2). The caller moves it by the offset.
Picture shadow(const Picture &picture, const QColor &color, float blurRadius);

} // namespace ImageFilters
