#pragma once

#include <QImage>
#include <QString>
#include <span>
#include <variant>
#include <vector>

namespace vane::yearlyview {

// "CIExposureAdjust": every linear colour component times 2^ev.
struct ExposureAdjust {
    double ev = 0.0;
    friend bool operator==(const ExposureAdjust&, const ExposureAdjust&) = default;
};

// "CIColorControls": saturation mixes each colour with its grey (0 grey, 1 unchanged, more
// extrapolates), contrast scales around the middle, (c - 0.5) x contrast + 0.5, and brightness is
// added.
struct ColorControls {
    double saturation = 1.0;
    double brightness = 0.0;
    double contrast = 1.0;
    friend bool operator==(const ColorControls&, const ColorControls&) = default;
};

struct ContentFilter {
    QString name;
    std::variant<ExposureAdjust, ColorControls> adjustment;
    friend bool operator==(const ContentFilter&, const ContentFilter&) = default;
};

// What inverting the picture lays over the view, in this order: "exposure" (EV -0.5) and
// "colorControls" (saturation 2.0, brightness -0.3, contrast 2.52).
std::vector<ContentFilter> inversionFilters();

// The filters applied in order to every pixel, in linear light (the working space of such
// filters); values are clamped only at the end. Alpha is kept.
QImage applyContentFilters(const QImage& image, std::span<const ContentFilter> filters);

}  // namespace vane::yearlyview
