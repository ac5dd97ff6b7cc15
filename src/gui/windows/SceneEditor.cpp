#include "windows/SceneEditor.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>

#include "display/Displayer.h"
#include "live/SceneWriter.h"
#include "record/LogPlayer.h"
#include "settings/WindowPlacement.h"

namespace tessarin {

bool CSceneEditor::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            event->accept();
            return true;
        }
    }
    return QDialog::event(event);
}

CSceneEditor::CSceneEditor(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("SceneEdit"));
    fileName_ = new QLineEdit(this);
    selfNum_ = new QLineEdit(this);
    side_ = new QLineEdit(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("FileName"), fileName_);
    form->addRow(QStringLiteral("SelfNum"), selfNum_);
    form->addRow(QStringLiteral("Side"), side_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSceneEditor::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSceneEditor::reject);
    form->addRow(buttons);
    setLayout(form);
    reportError_ = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };
}

CSceneEditor::~CSceneEditor() = default;

void CSceneEditor::setScene(const std::optional<cycle_info_t>& record, std::vector<player_type_t> types) {
    scene_ = record;
    types_ = std::move(types);
}

void CSceneEditor::accept() {
    const std::optional<int> selfNum = parseSelfNum(selfNum_->text().toStdString());
    std::string error;
    if (!selfNum) {
        error = "SelfNum must be a number from 1 to 22 (1..11 the left team's players, 12..22 the right team's)";
    } else if (!scene_) {
        error = "there is no cycle shown to write";
    } else {
        error = writeScene(QFile::encodeName(fileName_->text()).toStdString(), *scene_, *selfNum, types_);
    }
    if (!error.empty()) {
        reportError_(QString::fromStdString(error));
        return;
    }
    QDialog::accept();
}

CSceneEditor& toggleSceneEditor(CDisplayer& display, const LogPlayer& player) {
    auto* editor = display.findChild<CSceneEditor*>(QString(), Qt::FindDirectChildrenOnly);
    if (!editor) {
        editor = new CSceneEditor(&display);
        placeBesideOthers(*editor);
    }
    editor->setScene(display.scene().current, player.player_types());
    editor->setVisible(!editor->isVisible());
    return *editor;
}

}  // namespace tessarin
