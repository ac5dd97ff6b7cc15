#pragma once

// The parameters of the plan-recognition pass and the grid of regions they define.

#include <filesystem>
#include <string_view>

namespace tessarin {

// The file the parameters are read from, in the working directory.
inline constexpr std::string_view kPlanRecognitionParametersFile = "plan_recognition_parameters.txt";

// Cell size of the region grid (metres) and the chi-square a trie node needs to survive
// pruning. The defaults make the whole field one region.
struct PlanRecognitionParameters {
    static constexpr double kDefaultCellWidth = 200.0;
    static constexpr double kDefaultCellHeight = 100.0;
    static constexpr double kDefaultChi2Threshold = 1.0;

    double cell_width = kDefaultCellWidth;
    double cell_height = kDefaultCellHeight;
    double chi2_threshold = kDefaultChi2Threshold;

    // Reads three whitespace-separated reals (width, height, threshold). A file that
    // cannot be opened leaves all defaults; reading stops at the first text that is not
    // a number, and every value not read keeps its default. A cell size that is not a
    // positive finite number, or a threshold that is not finite, keeps its default too.
    static PlanRecognitionParameters Read(const std::filesystem::path& file);

    // The region of a field position: column (x + 52) / cell_width and row
    // (y + 34) / cell_height, each truncated toward zero, as column + 1000 × row.
    // Quotients are held within ±kMaxCellIndex so that positions far off the grid
    // still yield a number.
    int region(double x, double y) const;
    static constexpr int kMaxCellIndex = 1000000;
};

}  // namespace tessarin
