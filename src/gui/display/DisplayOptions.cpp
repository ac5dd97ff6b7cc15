#include "display/DisplayOptions.h"

#include <QString>
#include <cmath>

#include "settings/Profile.h"

namespace tessarin {

namespace {

const QString kSection = QStringLiteral("Displayer");

// Stored flags that are read back are on only when the stored integer is exactly 1.
bool readFlag(const Profile& profile, const QString& name) { return profile.readInt(kSection, name, 0) == 1; }

void writeFlag(Profile& profile, const QString& name, bool on) { profile.writeInt(kSection, name, on ? 1 : 0); }

}  // namespace

DisplayOptions loadDisplayOptions(const Profile& profile) {
    DisplayOptions options;
    const QString text =
        profile.readString(kSection, QStringLiteral("PlayerScale"), QString::number(kDefaultPlayerScale, 'f', 3));
    bool ok = false;
    const double scale = text.trimmed().toDouble(&ok);
    options.PlayerScale = ok && std::isfinite(scale) && scale >= kPlayerScaleMin && scale <= kPlayerScaleMax
                              ? scale
                              : kDefaultPlayerScale;
    options.Velocity = readFlag(profile, QStringLiteral("Velocity"));
    options.ControlArea = readFlag(profile, QStringLiteral("ControlArea"));
    options.ControlCourse = readFlag(profile, QStringLiteral("ControlCourse"));
    options.SmoothDrawing = readFlag(profile, QStringLiteral("SmoothDrawing"));
    return options;
}

void saveDisplayOptions(Profile& profile, const DisplayOptions& options) {
    profile.writeString(kSection, QStringLiteral("PlayerScale"), QString::number(options.PlayerScale, 'f', 3));
    writeFlag(profile, QStringLiteral("Number"), options.Number);
    writeFlag(profile, QStringLiteral("Kickmargin"), options.Kickmargin);
    writeFlag(profile, QStringLiteral("Viewarea"), options.Viewarea);
    writeFlag(profile, QStringLiteral("Stamina"), options.Stamina);
    writeFlag(profile, QStringLiteral("Velocity"), options.Velocity);
    writeFlag(profile, QStringLiteral("OffsideLine"), options.OffsideLine);
    writeFlag(profile, QStringLiteral("BallDetail"), options.BallDetail);
    writeFlag(profile, QStringLiteral("ControlArea"), options.ControlArea);
    writeFlag(profile, QStringLiteral("ControlCourse"), options.ControlCourse);
    writeFlag(profile, QStringLiteral("PassInfo"), options.PassInfo);
    writeFlag(profile, QStringLiteral("ShootInfo"), options.ShootInfo);
    writeFlag(profile, QStringLiteral("SightInfo"), options.SightInfo);
    writeFlag(profile, QStringLiteral("DribbleInfo"), options.DribbleInfo);
    writeFlag(profile, QStringLiteral("InterceptInfo"), options.InterceptInfo);
    writeFlag(profile, QStringLiteral("DefenseInfo"), options.DefenseInfo);
    writeFlag(profile, QStringLiteral("SmoothDrawing"), options.SmoothDrawing);
}

}  // namespace tessarin
