#include "windows/GamesCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

namespace tessarin {

namespace {

// Raised whenever the stored form of a summary changes, so that an older file is dropped.
constexpr int kCacheVersion = 2;

// Paths and team names are bytes; Latin-1 carries every byte to the file and back.
QString bytesText(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
std::string textBytes(const QJsonValue& v) { return v.toString().toLatin1().toStdString(); }

QJsonObject sideJson(const SideSummary& s) {
    QJsonObject o;
    o[QStringLiteral("team")] = bytesText(s.team);
    o[QStringLiteral("goals")] = s.goals;
    if (s.penaltyGoals) o[QStringLiteral("penalty_goals")] = *s.penaltyGoals;
    for (const SideFigure& f : sideFigures()) {
        // A figure the game does not tell is left out, and read back as unknown.
        if (const double v = f.value(s); SideFigure::known(v))
            o[QString::fromLatin1(f.name.data(), static_cast<qsizetype>(f.name.size()))] = v;
    }
    return o;
}

SideSummary sideFrom(const QJsonObject& o) {
    SideSummary s;
    s.team = textBytes(o[QStringLiteral("team")]);
    s.goals = o[QStringLiteral("goals")].toInt();
    if (o.contains(QStringLiteral("penalty_goals"))) s.penaltyGoals = o[QStringLiteral("penalty_goals")].toInt();
    const auto num = [&](const char* key) { return o[QString::fromLatin1(key)].toDouble(); };
    const auto count = [&](const char* key) { return static_cast<int>(num(key)); };
    s.possession = num("possession");
    s.shots = count("shots");
    s.shotsOnTarget = count("shots_on_target");
    s.passes = count("passes");
    s.passesCompleted = count("passes_completed");
    s.passesByDirection = {count("passes_forward"), count("passes_back"), count("passes_left"), count("passes_right")};
    s.dribbles = count("dribbles");
    s.interceptions = count("interceptions");
    s.cornerKicks = count("corner_kicks");
    s.freeKicks = count("free_kicks");
    s.offsides = count("offsides");
    s.penaltyAreaEntries = count("penalty_area_entries");
    s.droppedPlayers = count("dropped_players");
    const auto known = [&](const char* key) {
        const QJsonValue v = o[QString::fromLatin1(key)];
        return v.isDouble() ? std::optional<int>(v.toInt()) : std::nullopt;
    };
    s.yellowCards = known("yellow_cards");
    s.redCards = known("red_cards");
    s.fouls = known("fouls");
    s.tackles = known("tackles");
    return s;
}

QJsonObject summaryJson(const GameSummary& g) {
    QJsonObject o;
    o[QStringLiteral("time")] = bytesText(g.time);
    o[QStringLiteral("format")] = bytesText(g.format);
    o[QStringLiteral("cycles")] = g.cycles;
    o[QStringLiteral("left")] = sideJson(g.sides[0]);
    o[QStringLiteral("right")] = sideJson(g.sides[1]);
    o[QStringLiteral("error")] = bytesText(g.error);
    o[QStringLiteral("warning")] = bytesText(g.warning);
    return o;
}

GameSummary summaryFrom(const std::string& path, const QJsonObject& o) {
    GameSummary g;
    g.file = path;
    g.time = textBytes(o[QStringLiteral("time")]);
    g.format = textBytes(o[QStringLiteral("format")]);
    g.cycles = o[QStringLiteral("cycles")].toInt();
    g.sides[0] = sideFrom(o[QStringLiteral("left")].toObject());
    g.sides[1] = sideFrom(o[QStringLiteral("right")].toObject());
    g.error = textBytes(o[QStringLiteral("error")]);
    g.warning = textBytes(o[QStringLiteral("warning")]);
    return g;
}

}  // namespace

FileStamp stampOf(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) return {};
    const auto changed = fs::last_write_time(path, ec);
    if (ec) return {};
    return {static_cast<std::int64_t>(size),
            static_cast<std::int64_t>(
                std::chrono::duration_cast<std::chrono::nanoseconds>(changed.time_since_epoch()).count())};
}

GamesCache::GamesCache(QString file) : file_(std::move(file)) {}

QString GamesCache::defaultFile() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/games.json");
}

void GamesCache::load() {
    entries_.clear();
    QFile in(file_);
    if (file_.isEmpty() || !in.open(QIODevice::ReadOnly)) return;
    const QJsonObject doc = QJsonDocument::fromJson(in.readAll()).object();
    if (doc[QStringLiteral("version")].toInt() != kCacheVersion) return;
    for (const QJsonValue& v : doc[QStringLiteral("games")].toArray()) {
        const QJsonObject o = v.toObject();
        const std::string path = textBytes(o[QStringLiteral("path")]);
        const FileStamp stamp{static_cast<std::int64_t>(o[QStringLiteral("size")].toDouble()),
                              o[QStringLiteral("changed")].toString().toLongLong()};
        put(path, stamp, summaryFrom(path, o[QStringLiteral("summary")].toObject()));
    }
}

bool GamesCache::save() const {
    if (file_.isEmpty()) return false;
    std::vector<std::pair<const std::string*, const Entry*>> order;
    for (const auto& [path, entry] : entries_) order.emplace_back(&path, &entry);
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.second->age < b.second->age; });
    QJsonArray games;
    for (const auto& [path, entry] : order) {
        QJsonObject o;
        o[QStringLiteral("path")] = bytesText(*path);
        o[QStringLiteral("size")] = static_cast<double>(entry->stamp.size);
        // As text: a double cannot hold every nanosecond count.
        o[QStringLiteral("changed")] = QString::number(entry->stamp.changed);
        o[QStringLiteral("summary")] = summaryJson(entry->summary);
        games.append(o);
    }
    QJsonObject doc;
    doc[QStringLiteral("version")] = kCacheVersion;
    doc[QStringLiteral("games")] = games;
    QDir().mkpath(QFileInfo(file_).absolutePath());
    QSaveFile out(file_);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write(QJsonDocument(doc).toJson(QJsonDocument::Compact));
    return out.commit();
}

std::optional<GameSummary> GamesCache::find(const std::string& path, const FileStamp& stamp) const {
    const auto it = entries_.find(path);
    if (it == entries_.end() || it->second.stamp != stamp || stamp.size < 0) return std::nullopt;
    return it->second.summary;
}

void GamesCache::put(const std::string& path, const FileStamp& stamp, const GameSummary& summary) {
    if (stamp.size < 0) return;
    entries_[path] = Entry{stamp, summary, nextAge_++};
    if (entries_.size() <= kMaxEntries) return;
    const auto oldest = std::min_element(entries_.begin(), entries_.end(),
                                         [](const auto& a, const auto& b) { return a.second.age < b.second.age; });
    entries_.erase(oldest);
}

}  // namespace tessarin
