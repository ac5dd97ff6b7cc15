// Saving the stored game: as it was read (version 3, or a sight log as itself) or as a
// version-6 text log, always through a temporary file renamed over the target.

#include "record/AtomicFile.h"
#include "record/LogPlayer.h"
#include "record/LogWriters.h"
#include "record/TextLogWriter.h"

namespace tessarin {

bool LogPlayer::save(const std::string& path, int* error, SaveFormat format) const {
    std::lock_guard lock(mutex_);
    if (frames_.empty()) return false;
    if (format == SaveFormat::V6 && frames_.front().kind != kShowRecord) return false;
    // Written beside the target and renamed over it when complete: a save that fails
    // halfway keeps the old file rather than leaving a cut-off game behind.
    const bool compress = path.size() > 3 && path.ends_with(".gz");
    return writeFileAtomically(
        path,
        [&](LogFile& file) {
            if (compress && !file.startCompression()) return false;
            if (format == SaveFormat::V6) {
                return writeV6Log(file, frames_, companions_,
                                  TextLogGame{serverParams_, playerParams_, playerTypes_, logos_});
            }
            switch (frames_.front().kind) {
                case kShowRecord:
                    return writeV3Log(file, frames_, serverParams_, playerParams_, playerTypes_);
                case kSightRecord:
                    return writeSightLog(file, frames_);
                case kSightRecordV2:
                    return writeSightLogV2(file, frames_, playerTypes_);
                default:
                    return false;
            }
        },
        error);
}

bool LogPlayer::saveWithDialog() {
    if (size() == 0) return false;
    const bool wasRunning = pause();
    const auto target = host_.askSaveTarget();
    if (!target) return false;
    const SaveFormat format = target->textVersion6 ? SaveFormat::V6 : SaveFormat::Native;
    const bool sightLog = withStore([](const std::vector<cycle_info_t>& f) { return f.front().kind != kShowRecord; });
    if (format == SaveFormat::V6 && sightLog) {
        host_.showMessage("Only game logs can be saved as version-6 text logs.");
        if (wasRunning) resume();
        return false;
    }
    const bool result = save(target->path, nullptr, format);
    if (result && format == SaveFormat::Native) {
        // Said once, after the save: what the binary format could not keep.
        const std::string dropped = droppedByVersion3();
        if (!dropped.empty()) {
            host_.showMessage("Saved as a version-3 game log, which has no room for the " + dropped +
                              " of this game. Save it as a version-6 text log to keep them.");
        }
    }
    if (wasRunning) resume();
    return result;
}

}  // namespace tessarin
