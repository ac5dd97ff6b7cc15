#include "app/CommandTable.h"

#include <QString>

#include "app/CommandIds.h"
#include "display/Displayer.h"
#include "live/OfflineCoach.h"
#include "record/LogPlayer.h"

namespace tessarin {

int logPlayerCommandOf(int id) {
    switch (id) {
        case cmd::kPlay:
            return kCmdPlay;
        case cmd::kStop:
            return kCmdStop;
        case cmd::kRewind:
            return kCmdRewind;
        case cmd::kForward:
            return kCmdStepForward;
        case cmd::kBackward:
            return kCmdStepBack;
        case cmd::kReverse:
            return kCmdReverse;
        case cmd::kJump:
            return kCmdJump;
        case cmd::kDecelerate:
            return kCmdSlower;
        case cmd::kAccelerate:
            return kCmdFaster;
        case cmd::kSave:
            return kCmdSave;
        default:
            return -1;
    }
}

int displayOperationOf(int id) {
    switch (id) {
        case cmd::kKickMargin:
            return kOpKickmargin;
        case cmd::kViewArea:
            return kOpViewarea;
        case cmd::kStamina:
            return kOpStamina;
        case cmd::kNumber:
            return kOpNumber;
        case cmd::kEnlargePlayer:
            return kOpEnlarge;
        case cmd::kReducePlayer:
            return kOpReduce;
        case cmd::kVelocity:
            return kOpVelocity;
        case cmd::kFullScreen:
            return kOpFullScreen;
        case cmd::kOffsideLine:
            return kOpOffsideLine;
        case cmd::kBallDetail:
            return kOpBallDetail;
        case cmd::kPassCourse:
            return kOpControlCourse;
        case cmd::kUnselect:
            return kOpUnselect;
        case cmd::kZoomIn:
            return kOpZoomIn;
        case cmd::kZoomOut:
            return kOpZoomOut;
        case cmd::kDrawCircle:
            return kOpDrawCircle;
        case cmd::kControlArea:
            return kOpControlArea;
        case cmd::kDebugPause:
            return kOpPause;
        case cmd::kDebugBackWard:
            return kOpBackWard;
        case cmd::kDebugDebug:
            return kOpDebug;
        case cmd::kDebugPassInfo:
            return kOpPassInfo;
        case cmd::kDebugShootInfo:
            return kOpShootInfo;
        case cmd::kDebugSightInfo:
            return kOpSightInfo;
        case cmd::kDebugDribbleInfo:
            return kOpDribbleInfo;
        case cmd::kDebugInterceptInfo:
            return kOpInterceptInfo;
        case cmd::kDebugDefenseOp:
            return kOpDefenseInfo;
        case cmd::kDebugDefenseInfo:
            return kOpPlan;
        case cmd::kDebugFullStateLeft:
            return kOpFullStateLeft;
        case cmd::kDebugFullStateRight:
            return kOpFullStateRight;
        case cmd::kDebugRecover:
            return kOpRecover;
        case cmd::kDebugOpponentModelOp:
        case cmd::kEnableOpponentModeling:  // the Debug menu's entry issues 32846
            return kOpOpponentModel;
        default:
            return -1;
    }
}

bool isSelectCommand(int id) { return id >= cmd::kSelectFirstLeft && id <= cmd::kSelectBall; }

bool isMonitorCommand(int id) {
    return (id >= cmd::kMonitorConnect && id <= cmd::kMonitorKickOff) ||
           (id >= cmd::kMonitorDropBall && id <= cmd::kMonitorDiscardPlayer);
}

int monitorOperationOf(int id) { return id <= cmd::kMonitorKickOff ? id - cmd::kMonitorConnect : id - 217; }

bool isChangePlaymodeCommand(int id) { return changePlaymodeName(id).has_value(); }

// The Change Playertype entries: present, but disabled, for they have no action.
bool isWiredLater(int id) { return id >= cmd::kPlayerTypeFirst && id <= cmd::kPlayerTypeFirst + 6; }

int commandOfCharacter(QChar c) {
    static const QString shiftedDigits = QStringLiteral("!@#$%^&*()_");
    const QChar u = c.toUpper();
    if (u >= QLatin1Char('1') && u <= QLatin1Char('9')) return cmd::kSelectFirstLeft + (u.unicode() - '1');
    if (u == QLatin1Char('0')) return cmd::kSelectFirstLeft + 9;
    if (u == QLatin1Char('-')) return cmd::kSelectFirstLeft + 10;
    const qsizetype shifted = shiftedDigits.indexOf(u);
    if (shifted >= 0) return cmd::kSelectFirstRight + static_cast<int>(shifted);
    switch (u.unicode()) {
        case 'A':
            return cmd::kAccelerate;
        case 'B':
            return cmd::kReverse;
        case 'C':
            return cmd::kStop;
        case 'D':
            return cmd::kDecelerate;
        case 'E':
            return cmd::kStamina;
        case 'F':
            return cmd::kFullScreen;
        case 'G':
            return cmd::kDrawingTools;
        case 'H':
            return cmd::kHide;
        case 'I':
            return cmd::kMonitorConnect;
        case 'J':
            return cmd::kJump;
        case 'K':
            return cmd::kMonitorKickOff;
        case 'L':
            return cmd::kLoad;
        case 'N':
            return cmd::kNewInstance;
        case 'O':
            return cmd::kMonitorDisconnect;
        case 'P':
            return cmd::kMonitorReconnect;
        case 'Q':
            return cmd::kKickMargin;
        case 'R':
            return cmd::kNumber;
        case 'S':
            return cmd::kSave;
        case 'T':
            return cmd::kTop;
        case 'U':
            return cmd::kVelocity;
        case 'V':
            return cmd::kRewind;
        case 'W':
            return cmd::kViewArea;
        case 'X':
            return cmd::kPlay;
        case 'Y':
            return cmd::kReducePlayer;
        case 'Z':
            return cmd::kControlArea;
        case '=':
            return cmd::kTypeExplorer;
        case '[':
        case '{':
            return cmd::kStatistics;
        case ']':
        case '}':
            return cmd::kPresent;
        case '\\':
            return cmd::kPassCourse;
        case '|':
            return cmd::kOffsideLine;
        case '+':
            return cmd::kBallDetail;
        case ',':
        case '<':
            return cmd::kBackward;
        case '.':
        case '>':
            return cmd::kForward;
        case '~':
            return cmd::kUnselect;
        case '`':
            return cmd::kSelectBall;
        default:
            return -1;
    }
}

}  // namespace tessarin
