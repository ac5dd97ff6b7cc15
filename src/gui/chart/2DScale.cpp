#include "chart/2DScale.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tessarin {

namespace {

// Whether `format` holds exactly one conversion of a double and otherwise only "%%".
bool oneDoubleConversion(const std::string& format) {
    int conversions = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        ++i;
        if (i < format.size() && format[i] == '%') continue;
        while (i < format.size() && std::strchr("-+ #0", format[i]) != nullptr) ++i;
        while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) ++i;
        if (i < format.size() && format[i] == '.') {
            ++i;
            while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) ++i;
        }
        if (i >= format.size() || std::strchr("feEgG", format[i]) == nullptr) return false;
        ++conversions;
    }
    return conversions == 1;
}

}  // namespace

void C2DScale::setRange(double minimum, double maximum) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum)) return;
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
}

void C2DScale::setStep(double step) {
    if (std::isfinite(step) && step > 0.0) step_ = step;
}

bool C2DScale::setLabelFormat(const std::string& format) {
    if (!oneDoubleConversion(format)) return false;
    format_ = format;
    return true;
}

QString C2DScale::label(double value) const {
    char text[64];
    const int n = std::snprintf(text, sizeof text, format_.c_str(), value);
    return n < 0 ? QString() : QString::fromLatin1(text);
}

C2DScale::Drawn C2DScale::drawn(bool hasData, double dataMin, double dataMax) const {
    Drawn d{minimum_, maximum_, step_};
    if (hasData) {
        d.minimum = std::min(d.minimum, dataMin);
        d.maximum = std::max(d.maximum, dataMax);
    }
    if (d.maximum <= d.minimum) d.maximum = d.minimum + step_;
    static constexpr double kFactors[] = {1.0, 2.0, 5.0};
    for (double decade = 1.0; (d.maximum - d.minimum) / d.step > kMaxTicks && decade < 1e12; decade *= 10.0) {
        for (const double factor : kFactors) {
            d.step = step_ * factor * decade;
            if ((d.maximum - d.minimum) / d.step <= kMaxTicks) break;
        }
    }
    d.maximum = d.minimum + std::ceil((d.maximum - d.minimum) / d.step - 1e-9) * d.step;
    return d;
}

std::vector<double> C2DScale::ticks(const Drawn& drawn) {
    std::vector<double> values;
    const int count = static_cast<int>(std::floor((drawn.maximum - drawn.minimum) / drawn.step + 1e-9));
    for (int i = 0; i <= count && i <= 4 * kMaxTicks; ++i) values.push_back(drawn.minimum + i * drawn.step);
    return values;
}

}  // namespace tessarin
