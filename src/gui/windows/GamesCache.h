#pragma once

// The summaries of games already scanned, kept in a small file under the user's cache
// folder so that opening a folder again does not read its games again. An entry is
// used only while its file has the same size and time of change.

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "analysis/GameSummary.h"

namespace tessarin {

// What identifies a version of a file: its size and its time of change (nanoseconds).
struct FileStamp {
    std::int64_t size = -1;
    std::int64_t changed = 0;
    bool operator==(const FileStamp&) const = default;
};
// The stamp of a file now; size -1 when it cannot be read.
FileStamp stampOf(const std::string& path);

class GamesCache {
public:
    // Entries kept at most (a few megabytes of file); the oldest go first.
    static constexpr std::size_t kMaxEntries = 5000;

    explicit GamesCache(QString file = {});

    // "games.json" under the user's cache folder (~/.cache/OrvoCorvane/Tessarin).
    static QString defaultFile();

    // Reads the file; a missing, unreadable or foreign file leaves the cache empty.
    void load();
    // Writes the file whole (or not at all); false when it could not be written.
    bool save() const;

    std::optional<GameSummary> find(const std::string& path, const FileStamp& stamp) const;
    void put(const std::string& path, const FileStamp& stamp, const GameSummary& summary);
    std::size_t size() const { return entries_.size(); }
    const QString& file() const { return file_; }

private:
    struct Entry {
        FileStamp stamp;
        GameSummary summary;
        std::uint64_t age = 0;  // order of putting, to drop the oldest
    };
    QString file_;
    std::unordered_map<std::string, Entry> entries_;
    std::uint64_t nextAge_ = 0;
};

}  // namespace tessarin
