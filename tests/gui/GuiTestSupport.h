#pragma once

// Shared helpers of the viewer's tests: a settings file per test, synthetic games.

#include <QColor>
#include <QImage>
#include <QString>
#include <memory>
#include <string>

#include "record/GameRecords.h"
#include "settings/Profile.h"
#include "support/Eventually.h"
#include "support/LogBuilder.h"

namespace tessarin::test {

// A settings file in a temporary directory, removed with it.
class TempProfile {
public:
    TempProfile() : path_(QString::fromStdString(dir_.file("Tessarin.conf"))) {}
    std::unique_ptr<Profile> open() const { return std::make_unique<Profile>(path_); }
    // Writes the settings file's text as given.
    void writeText(const std::string& text) const;
    const QString& path() const { return path_; }
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
    QString path_;
};

// A show record as the display receives it.
cycle_info_t showRecord(const show_info_t& show);
// A game log of `count` cycles from 1, one left player moving along x.
std::string writeGame(const TempDir& dir, const std::string& name, int count, const std::string& left = "Alpha",
                      const std::string& right = "Beta");

// True as soon as `condition` holds while the event loop runs, false after `limit`.
bool eventuallyInGui(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(5));

inline QColor pixel(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

}  // namespace tessarin::test
