#pragma once

// One numeric axis of a chart: the range it was given, its label step, its label format
// and its flags, and the range and step it is drawn with once the data are known.

#include <QString>
#include <string>
#include <vector>

namespace tessarin {

class C2DScale final {
public:
    // Flag bits. Labels are drawn only where kShowLabels is set.
    static constexpr unsigned kShowLabels = 0x1;
    static constexpr unsigned kShowGrid = 0x2;

    void setRange(double minimum, double maximum);
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    // A step that is not positive and finite is ignored.
    void setStep(double step);
    double step() const { return step_; }
    unsigned flags() const { return flags_; }
    void setFlags(unsigned flags) { flags_ = flags; }

    // A printf-style format with exactly one conversion of a double (f, e, g, their capitals,
    // with flags, width and precision) and any text around it; false and the format kept
    // otherwise, so that a label can never read an argument that is not there.
    bool setLabelFormat(const std::string& format);
    const std::string& labelFormat() const { return format_; }
    QString label(double value) const;

    // The range drawn for data between `dataMin` and `dataMax`: the given range, widened
    // to the data where they leave it. The maximum is rounded up to the drawn step.
    struct Drawn {
        double minimum = 0.0;
        double maximum = 1.0;
        double step = 1.0;
    };
    Drawn drawn(bool hasData, double dataMin, double dataMax) const;
    // The tick values of a drawn range, from its minimum by its step.
    static std::vector<double> ticks(const Drawn& drawn);

    // No more than this many label steps along an axis: a wider range takes 2, 5, 10, ...
    // times the step.
    static constexpr int kMaxTicks = 12;

private:
    double minimum_ = 0.0;
    double maximum_ = 10.0;
    double step_ = 1.0;
    unsigned flags_ = 0;
    std::string format_ = "%.0f";
};

}  // namespace tessarin
