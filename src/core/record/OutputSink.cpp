#include "record/OutputSink.h"

#include "record/AtomicFile.h"
#include "record/LogFile.h"

namespace tessarin {

bool DirectorySink::replace(const std::string& name, std::string_view contents) {
    int error = 0;
    if (writeFileAtomically(pathOf(name).string(), contents, &error)) return true;
    error_ = error;
    return false;
}

std::optional<std::string> DirectorySink::contents(const std::string& name) const {
    LogFile file(pathOf(name).string(), LogFile::Mode::Read);
    if (!file.isOpen()) {
        if (file.error() == ENOENT) return std::string();
        return std::nullopt;
    }
    std::string text;
    char chunk[16 << 10];
    for (;;) {
        const std::size_t got = file.read(chunk, sizeof chunk);
        text.append(chunk, got);
        if (got < sizeof chunk) break;
    }
    if (file.error() != 0) return std::nullopt;
    return text;
}

bool MemorySink::replace(const std::string& name, std::string_view contents) {
    files_[name] = std::string(contents);
    return true;
}

std::optional<std::string> MemorySink::contents(const std::string& name) const {
    const auto found = files_.find(name);
    return found == files_.end() ? std::string() : found->second;
}

}  // namespace tessarin
