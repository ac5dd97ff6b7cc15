#pragma once

// Numeric ids of the main frame's commands: the keys of its command table.

namespace tessarin::cmd {

// Log player.
inline constexpr int kLoad = 190;
inline constexpr int kPlay = 191;
inline constexpr int kStop = 192;
inline constexpr int kRewind = 193;
inline constexpr int kForward = 194;
inline constexpr int kBackward = 195;
inline constexpr int kReverse = 196;
inline constexpr int kJump = 197;
inline constexpr int kDecelerate = 198;
inline constexpr int kAccelerate = 199;
inline constexpr int kSave = 226;

// Display.
inline constexpr int kKickMargin = 200;
inline constexpr int kViewArea = 201;
inline constexpr int kStamina = 202;
inline constexpr int kNumber = 203;
inline constexpr int kEnlargePlayer = 204;
inline constexpr int kReducePlayer = 205;
inline constexpr int kVelocity = 206;
inline constexpr int kFullScreen = 207;
inline constexpr int kOffsideLine = 208;
inline constexpr int kBallDetail = 209;
inline constexpr int kPassCourse = 210;
inline constexpr int kUnselect = 211;
inline constexpr int kZoomIn = 212;
inline constexpr int kZoomOut = 213;
inline constexpr int kDrawCircle = 214;
inline constexpr int kControlArea = 32831;

// Selection: 229..239 left players 1..11, 240..250 right players 1..11, 251 the ball.
inline constexpr int kSelectFirstLeft = 229;
inline constexpr int kSelectFirstRight = 240;
inline constexpr int kSelectBall = 251;

// Debug.
inline constexpr int kDebugPause = 32834;
inline constexpr int kDebugDebug = 32835;
inline constexpr int kDebugPassInfo = 32836;
inline constexpr int kDebugShootInfo = 32837;
inline constexpr int kDebugSightInfo = 32838;
inline constexpr int kDebugBackWard = 32839;
inline constexpr int kDebugDribbleInfo = 32840;
inline constexpr int kDebugInterceptInfo = 32841;
// The Debug menu's "DeffenseInfo" entry switches the clients' plan flag; the defence flag
// has the id kDebugDefenseFlag, which no menu entry, button or key issues.
inline constexpr int kDebugPlanFlag = 32842;
inline constexpr int kDebugFullStateLeft = 32843;
inline constexpr int kDebugFullStateRight = 32844;
inline constexpr int kDebugRecover = 32845;
inline constexpr int kDebugDefenseFlag = 32850;
inline constexpr int kEnableOpponentModeling = 32870;

// Monitor.
inline constexpr int kMonitorConnect = 216;
inline constexpr int kMonitorDisconnect = 217;
inline constexpr int kMonitorReconnect = 218;
inline constexpr int kMonitorKickOff = 219;
inline constexpr int kMonitorDropBall = 221;
inline constexpr int kMonitorLeftFreekick = 222;
inline constexpr int kMonitorRightFreekick = 223;
inline constexpr int kMonitorMovePlayer = 224;
inline constexpr int kMonitorDiscardPlayer = 225;
inline constexpr int kMonitorYellowCard = 227;
inline constexpr int kMonitorRedCard = 228;

// Tool box.
inline constexpr int kTypeExplorer = 169;
inline constexpr int kObjectDetails = 170;
inline constexpr int kDrawingTools = 258;
inline constexpr int kAutoplayer = 263;
inline constexpr int kStatistics = 267;
inline constexpr int kPresent = 270;
inline constexpr int kSceneEdit = 32857;
inline constexpr int kPosInfoToFile = 33000;
inline constexpr int kSaveOpponentModel = 32869;
inline constexpr int kDebugLogWindow = 40103;

// Trainer.
inline constexpr int kTrainerConnect = 32862;
inline constexpr int kTrainerDisconnect = 32863;
inline constexpr int kTrainShoot = 32864;
inline constexpr int kTrainAttack = 32865;
inline constexpr int kTrainIntercept = 32866;
inline constexpr int kTrainKicker = 32867;
inline constexpr int kTrainDribble = 32868;
inline constexpr int kPlayerTypeFirst = 173;  // "0" .. "6": 173..179
inline constexpr int kHumanJudge = 32872;

// System, view and help.
inline constexpr int kNewInstance = 274;
inline constexpr int kHide = 275;
inline constexpr int kTop = 277;
inline constexpr int kFirstBarView = 280;  // 280..288: tool bar (id - 280)
inline constexpr int kSeparated = 305;
inline constexpr int kSmoothDrawing = 306;
inline constexpr int kOpenFolder = 40101;
inline constexpr int kOpenDebugLogs = 40102;
inline constexpr int kExportClip = 308;
inline constexpr int kAbout = 57664;
inline constexpr int kExit = 57665;

// Keys without a menu entry: one step of the debugging clients (Space) and deleting the
// selected drawings (Delete).
inline constexpr int kClientsOneStep = 40001;
inline constexpr int kDeleteDrawings = 40002;
// Ends the autoplay loop that runs on without its dialog.
inline constexpr int kStopAutoplay = 40110;

}  // namespace tessarin::cmd
