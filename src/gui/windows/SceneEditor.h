#pragma once

// The scene editor: a child dialog of the field display that writes the cycle it was
// last toggled on as a scene, a small version-2 sight log seen by one player.

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "record/GameRecords.h"

class QLineEdit;

namespace tessarin {

class CDisplayer;
class LogPlayer;

// "FileName", "SelfNum" (1..11 the left team's players, 12..22 the right team's) and
// "Side" (not read). OK writes the file and hides the dialog; a file that cannot be
// written is reported and the dialog stays open, so that the entry can be corrected.
class CSceneEditor final : public QDialog {
    // Its own meta-object: the display's editor is found among its child dialogs by type.
    Q_OBJECT

public:
    explicit CSceneEditor(QWidget* parent = nullptr);
    ~CSceneEditor() override;

    // The record to write and the game's player types, copied when the editor is toggled.
    void setScene(const std::optional<cycle_info_t>& record, std::vector<player_type_t> types);
    const std::optional<cycle_info_t>& scene() const { return scene_; }

    QLineEdit* fileNameEdit() const { return fileName_; }
    QLineEdit* selfNumEdit() const { return selfNum_; }
    // Replaces the message box that reports a failure (tests).
    void setErrorReporter(std::function<void(const QString&)> report) { reportError_ = std::move(report); }

    void accept() override;

protected:
    // Tab moves between the fields here, although it is a program-wide key elsewhere.
    bool event(QEvent* event) override;

private:
    QLineEdit* fileName_ = nullptr;
    QLineEdit* selfNum_ = nullptr;
    QLineEdit* side_ = nullptr;
    std::optional<cycle_info_t> scene_;
    std::vector<player_type_t> types_;
    std::function<void(const QString&)> reportError_;
};

// Command "SceneEdit": shows the display's scene editor, created on first use, or hides
// it; either way it takes the record the display shows and the log player's types.
CSceneEditor& toggleSceneEditor(CDisplayer& display, const LogPlayer& player);

}  // namespace tessarin
