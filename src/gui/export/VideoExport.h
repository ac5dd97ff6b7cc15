#pragma once

// Clips of a game as video files or animated pictures: which record each frame shows,
// the encoder over the FFmpeg libraries, and the export from the command line.
//
// Time runs as in playback: ten records a second at speed 1, every stored record one
// step (a cycle repeated while the clock stands is shown for each of its records). A
// clip lasts the time playback takes from its first record to its last, and frames
// repeat or skip records to keep that time at the asked frame rate.

#include <QImage>
#include <QString>
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tessarin {

class Profile;
struct ClipSnapshot;
struct ExportRequest;

// The container and codec, by the output's extension: .mp4 H.264 (yuv420p), .webm VP9
// (yuv420p), .gif an animated GIF with a palette made for the clip.
enum class ClipFormat { Mp4, WebM, Gif };
std::optional<ClipFormat> clipFormatOf(const QString& path);

inline constexpr double kRecordsPerSecond = 10.0;
inline constexpr double kMinClipSpeed = 0.1;
inline constexpr double kMaxClipSpeed = 64.0;
inline constexpr int kMaxClipFps = 120;

// Frames of a clip of `records` records at `speed` times real time and `fps` frames a
// second: the time from the first record to the last (one step for a single record),
// at least one frame.
int clipFrameCount(std::size_t records, double speed, int fps);
// The record (0 the first of the clip) that frame `frame` of `frames` shows; the first
// frame shows the first record and the last frame the last.
std::size_t clipRecordOfFrame(int frame, int frames, std::size_t records);

// One open output file being encoded. Frames are RGB32 pictures of the size it was
// opened with.
class VideoEncoder final {
public:
    // Opens `path` (written as it is named; the format comes from `format`, not from
    // the name). For a GIF, `palette` is its colours (at most 256). None with a message
    // in `error` when the file cannot be made or the codec is missing.
    static std::unique_ptr<VideoEncoder> open(const QString& path, ClipFormat format, int width, int height, int fps,
                                              const std::vector<QRgb>& palette, QString& error);
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Encodes one frame; a picture written again (the same QImage) is not converted again.
    bool write(const QImage& frame, QString& error);
    // Flushes the encoder and closes the file; false with a message when that failed.
    bool finish(QString& error);

    struct Impl;

private:
    explicit VideoEncoder(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

enum class ClipStatus { Written, Failed, Stopped };
struct ClipOutcome {
    ClipStatus status = ClipStatus::Failed;
    QString message;  // what went wrong, when not written
};
// Told the frames encoded so far and the clip's total; called from the encoding thread.
using ClipProgress = std::function<void(int done, int total)>;

// Draws the snapshot's records and writes them to `output` at `speed` and `fps`, under a
// temporary name in the output's folder that is renamed over `output` when complete; a
// failed or stopped clip leaves no file. `stop` is read between frames. Any thread: it
// touches nothing but its arguments.
ClipOutcome writeClip(const ClipSnapshot& snapshot, const QString& output, double speed, int fps,
                      const ClipProgress& progress, const std::atomic<bool>& stop);

// The command line's export: loads the request's game, takes the clip with the options
// stored in `profile` (and those of the request over them) and writes it.
ClipOutcome exportVideo(const ExportRequest& request, const Profile& profile, const ClipProgress& progress,
                        const std::atomic<bool>& stop);

}  // namespace tessarin
