#pragma once

// The subcommands of tessarin-cli. Each returns the process exit status.

#include <ostream>
#include <string>

namespace tessarin::cli {

struct InfoOptions {
    std::string file;
    bool json = false;
};
int runInfo(const InfoOptions& options, std::ostream& out, std::ostream& err);

struct ConvertOptions {
    std::string in;
    std::string out;
};
int runConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tessarin::cli
