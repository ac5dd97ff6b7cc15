#pragma once

// Where the analysis' text outputs go: files in a folder, each replaced whole or not at
// all, or memory (the fuzzers, and callers that want the text itself).

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tessarin {

// A set of named text outputs.
class OutputSink {
public:
    virtual ~OutputSink() = default;
    // Replaces output `name` with `contents`; false when it could not be written, with
    // the errno in error() (0 when the failure has none).
    virtual bool replace(const std::string& name, std::string_view contents) = 0;
    // What output `name` holds now: empty when there is none; nothing when it exists
    // but cannot be read.
    virtual std::optional<std::string> contents(const std::string& name) const = 0;
    int error() const { return error_; }

protected:
    int error_ = 0;
};

// Files in a folder (empty: the working directory), written beside their target and
// renamed over it once complete.
class DirectorySink final : public OutputSink {
public:
    explicit DirectorySink(std::filesystem::path directory = {}) : directory_(std::move(directory)) {}
    bool replace(const std::string& name, std::string_view contents) override;
    // Only a regular file is read: a FIFO under the name would block the reader.
    std::optional<std::string> contents(const std::string& name) const override;
    std::filesystem::path pathOf(const std::string& name) const { return directory_ / name; }

private:
    std::filesystem::path directory_;
};

// Outputs kept in memory by name.
class MemorySink final : public OutputSink {
public:
    bool replace(const std::string& name, std::string_view contents) override;
    std::optional<std::string> contents(const std::string& name) const override;
    const std::map<std::string, std::string, std::less<>>& files() const { return files_; }
    void clear() { files_.clear(); }

private:
    std::map<std::string, std::string, std::less<>> files_;
};

}  // namespace tessarin
