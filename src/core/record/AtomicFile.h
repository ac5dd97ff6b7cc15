#pragma once

// Output files that are replaced whole or not at all.

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "record/LogFile.h"

namespace tessarin {

// A file written under a temporary name in its target's folder and renamed over the
// target once all of it was written, so that a write that fails halfway (a full disk,
// a file size limit) leaves the old file as it was, never a cut-off one. A target
// that is a symbolic link replaces the file the link points to; a character device
// (/dev/null) is written in place; any other target that is not a regular file (a FIFO,
// a directory, a socket) is refused with kNotRegularFileError or EISDIR.
class AtomicFile final {
public:
    explicit AtomicFile(const std::string& target);
    // Removes the temporary file unless commit() succeeded.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool isOpen() const { return file_.isOpen(); }
    LogFile& file() { return file_; }
    // Writes, syncs and closes the file and puts it in the target's place. False when
    // any write, the sync, the close or the rename failed; the target is then untouched.
    bool commit();
    // The errno of the first failure; 0 when none failed.
    int error() const { return error_ != 0 ? error_ : file_.error(); }

private:
    std::string target_;
    std::string temporary_;  // empty when the target is written in place
    LogFile file_;
    bool done_ = false;
    int error_ = 0;
};

// Writes a file through `write` as an AtomicFile; false when `write` returns false (the
// target is then untouched) or when the file could not be put in place. `error`, when
// given, receives the errno of the failure (0 when only `write` failed).
bool writeFileAtomically(const std::string& path, const std::function<bool(LogFile&)>& write, int* error = nullptr);
bool writeFileAtomically(const std::string& path, std::string_view contents, int* error = nullptr);

// Opens a side file for writing (appending with `append`, else created anew) as a C
// stream, only when it is a regular file or does not exist yet: a FIFO would hold the
// open for ever. Null, with errno set, otherwise.
std::FILE* openSideFile(const std::string& path, bool append);

// Whether writing `output` would replace `input`: both name one file (the same device
// and inode, so also through hard and symbolic links), or, when either does not exist,
// the same path once links are resolved.
bool sameFile(const std::string& input, const std::string& output);

}  // namespace tessarin
