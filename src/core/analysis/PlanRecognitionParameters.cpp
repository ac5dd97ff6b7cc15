#include "analysis/PlanRecognitionParameters.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <sstream>
#include <string>

#include "record/LogFile.h"

namespace tessarin {

namespace {

// What is read of the parameter file; three numbers take a few dozen bytes.
constexpr std::size_t kMostParameterBytes = 64 << 10;

// One cell index: the quotient truncated toward zero and held in range; a NaN
// position falls in cell 0.
int cellIndex(double offset, double size) {
    const double q = std::trunc(offset / size);
    if (std::isnan(q)) return 0;
    const double limit = PlanRecognitionParameters::kMaxCellIndex;
    return static_cast<int>(std::clamp(q, -limit, limit));
}

}  // namespace

PlanRecognitionParameters PlanRecognitionParameters::Read(const std::filesystem::path& file) {
    PlanRecognitionParameters params;
    // Read through the game files' reader, which opens regular files only: a FIFO under
    // the name would hold the read for ever. A few numbers are all the file holds.
    LogFile source(file.string(), LogFile::Mode::Read);
    if (!source.isOpen()) return params;
    std::string text(kMostParameterBytes, '\0');
    text.resize(source.read(text.data(), text.size()));
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double values[3] = {kDefaultCellWidth, kDefaultCellHeight, kDefaultChi2Threshold};
    for (double& value : values) {
        double read = 0;
        if (!(in >> read)) break;
        value = read;
    }
    if (std::isfinite(values[0]) && values[0] > 0) params.cell_width = values[0];
    if (std::isfinite(values[1]) && values[1] > 0) params.cell_height = values[1];
    if (std::isfinite(values[2])) params.chi2_threshold = values[2];
    return params;
}

int PlanRecognitionParameters::region(double x, double y) const {
    return cellIndex(x + 52.0, cell_width) + 1000 * cellIndex(y + 34.0, cell_height);
}

}  // namespace tessarin
