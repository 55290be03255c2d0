#include "yearlyview/content_filters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace vane::yearlyview {
namespace {

// Rec. 709 luma, the grey that saturation mixes toward.
constexpr double kLumaRed = 0.2125;
constexpr double kLumaGreen = 0.7154;
constexpr double kLumaBlue = 0.0721;

struct Rgb {
    double red;
    double green;
    double blue;
};

double linearFromEncoded(double value) {
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double encodedFromLinear(double value) {
    value = std::clamp(value, 0.0, 1.0);
    return value <= 0.0031308 ? value * 12.92 : 1.055 * std::pow(value, 1.0 / 2.4) - 0.055;
}

Rgb adjusted(Rgb colour, const ExposureAdjust& exposure) {
    const double factor = std::exp2(exposure.ev);
    return {colour.red * factor, colour.green * factor, colour.blue * factor};
}

Rgb adjusted(Rgb colour, const ColorControls& controls) {
    const double grey = kLumaRed * colour.red + kLumaGreen * colour.green + kLumaBlue * colour.blue;
    const auto one = [&](double value) {
        const double saturated = grey + (value - grey) * controls.saturation;
        return (saturated - 0.5) * controls.contrast + 0.5 + controls.brightness;
    };
    return {one(colour.red), one(colour.green), one(colour.blue)};
}

}  // namespace

std::vector<ContentFilter> inversionFilters() {
    return {
        {QStringLiteral("exposure"), ExposureAdjust{-0.5}},
        {QStringLiteral("colorControls"), ColorControls{2.0, -0.3, 2.52}},
    };
}

QImage applyContentFilters(const QImage& image, std::span<const ContentFilter> filters) {
    QImage result = image.convertToFormat(QImage::Format_RGBA8888);
    if (filters.empty() || result.isNull()) {
        return result;
    }
    std::array<double, 256> linear{};
    for (std::size_t byte = 0; byte < linear.size(); ++byte) {
        linear[byte] = linearFromEncoded(static_cast<double>(byte) / 255.0);
    }
    const auto toByte = [](double value) {
        return static_cast<std::uint8_t>(std::lround(encodedFromLinear(value) * 255.0));
    };
    for (int row = 0; row < result.height(); ++row) {
        std::uint8_t* pixel = result.scanLine(row);
        for (int column = 0; column < result.width(); ++column, pixel += 4) {
            Rgb colour{linear[pixel[0]], linear[pixel[1]], linear[pixel[2]]};
            for (const ContentFilter& filter : filters) {
                colour =
                    std::visit([&](const auto& adjustment) { return adjusted(colour, adjustment); },
                               filter.adjustment);
            }
            pixel[0] = toByte(colour.red);
            pixel[1] = toByte(colour.green);
            pixel[2] = toByte(colour.blue);
        }
    }
    return result;
}

}  // namespace vane::yearlyview
