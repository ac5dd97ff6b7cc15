#include "record/LogParser.h"

#include <string>
#include <system_error>

#include "record/LogFile.h"
#include "record/LogPlayer.h"

namespace tessarin {

bool CLogParser::finishReading(const LogFile& file, bool result) {
    if (file.error() == 0) return result;
    const std::string why = file.failure().empty() ? std::generic_category().message(file.error()) : file.failure();
    player_.setLoadWarning("reading stopped: " + why);
    return false;
}

}  // namespace tessarin
