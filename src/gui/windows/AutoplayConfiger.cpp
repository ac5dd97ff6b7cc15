#include "windows/AutoplayConfiger.h"

#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <iostream>

#include "settings/Profile.h"

namespace tessarin {

namespace {

const QString kSocket = QStringLiteral("Socket");
const QString kAutoplay = QStringLiteral("Autoplay");

QString fromLocal(const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); }
std::string toLocal(const QString& s) { return QFile::encodeName(s).toStdString(); }

// Digits only, at most nine, so that the number always fits an int.
QLineEdit* numberEdit(int value, QWidget* parent) {
    auto* edit = new QLineEdit(QString::number(value), parent);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), edit));
    edit->setMaximumWidth(70);
    return edit;
}

int numberIn(const QLineEdit* edit) {
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    return ok ? value : 0;
}

}  // namespace

AutoplayRunner::AutoplayRunner(QObject* parent) : QObject(parent) {}

AutoplayRunner::~AutoplayRunner() { thread_.reset(); }

void AutoplayRunner::start(const AutoplaySettings& settings) {
    thread_.reset();
    AutoplayObserver* observer = this;
    thread_ = std::make_unique<CAutoplayThread>(settings, observer);
    thread_->start();
    emit runningChanged(true);
}

void AutoplayRunner::stop() {
    if (!running()) return;
    thread_->stop();
    emit runningChanged(false);
}

bool AutoplayRunner::running() const { return thread_ && !thread_->finished(); }

void AutoplayRunner::clientFailed(const std::string& commandLine, int error) {
    const QString text = QString::fromStdString(clientStartFailureText(commandLine, error));
    std::cerr << "Tessarin: autoplay: " << text.toStdString() << std::endl;
    QMetaObject::invokeMethod(
        this, [this, text] { emit clientNotStarted(text); }, Qt::QueuedConnection);
}

void AutoplayRunner::roundStarted(int round, int clients) {
    QMetaObject::invokeMethod(
        this, [this, round, clients] { emit roundBegan(round, clients); }, Qt::QueuedConnection);
}

void AutoplayRunner::roundEnded(int round, bool stopped) {
    QMetaObject::invokeMethod(
        this, [this, round, stopped] { emit roundOver(round, stopped); }, Qt::QueuedConnection);
}

CAutoplayConfiger::CAutoplayConfiger(Profile& profile, AutoplayRunner& runner, QWidget* parent)
    : QDialog(parent), profile_(profile), runner_(runner) {
    setWindowTitle(QStringLiteral("Config autoplay"));
    const AutoplaySettings defaults;
    fields_.host = toLocal(profile_.readString(kSocket, QStringLiteral("ServerHost"), fromLocal(defaults.host)));
    fields_.port = profile_.readInt(kSocket, QStringLiteral("ServerPort"), defaults.port);
    fields_.client_path =
        toLocal(profile_.readString(kAutoplay, QStringLiteral("ClientPath"), fromLocal(defaults.client_path)));
    fields_.client_param = toLocal(profile_.readString(kAutoplay, QStringLiteral("ClientParam"), QString()));
    fields_.goalie_param = toLocal(profile_.readString(kAutoplay, QStringLiteral("GoalieParam"), QString()));
    fields_.goalie_num = profile_.readInt(kAutoplay, QStringLiteral("GoalieNum"), defaults.goalie_num);

    host_ = new QLineEdit(fromLocal(fields_.host), this);
    port_ = numberEdit(fields_.port, this);
    clientPath_ = new QLineEdit(fromLocal(fields_.client_path), this);
    clientParam_ = new QLineEdit(fromLocal(fields_.client_param), this);
    goalieParam_ = new QLineEdit(fromLocal(fields_.goalie_param), this);
    goalieNum_ = numberEdit(fields_.goalie_num, this);
    timeout_ = new QLineEdit(this);
    timeout_->setMaximumWidth(70);

    auto* browseButton = new QPushButton(QStringLiteral("..."), this);
    auto* runButton = new QPushButton(QStringLiteral("Run"), this);
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    // Enter confirms the dialog as a whole; no button takes it over.
    for (QPushButton* button : {browseButton, runButton, cancelButton}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(browseButton, &QPushButton::clicked, this, &CAutoplayConfiger::browse);
    connect(runButton, &QPushButton::clicked, this, &CAutoplayConfiger::run);
    connect(cancelButton, &QPushButton::clicked, this, &CAutoplayConfiger::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Server Addr:"), this), 0, 0);
    grid->addWidget(host_, 0, 1);
    grid->addWidget(port_, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Client path:"), this), 1, 0);
    grid->addWidget(clientPath_, 1, 1);
    grid->addWidget(browseButton, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Client param:"), this), 2, 0);
    grid->addWidget(clientParam_, 2, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Goalie param:"), this), 3, 0);
    grid->addWidget(goalieParam_, 3, 1);
    grid->addWidget(goalieNum_, 3, 2);
    grid->addWidget(new QLabel(QStringLiteral("Timeout:"), this), 4, 0);
    grid->addWidget(timeout_, 4, 1, Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(runButton);
    buttons->addWidget(cancelButton);
    grid->addLayout(buttons, 5, 0, 1, 3);

    chooseClient_ = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Client path"), clientPath_->text());
    };
}

CAutoplayConfiger::~CAutoplayConfiger() {
    profile_.writeString(kSocket, QStringLiteral("ServerHost"), fromLocal(fields_.host));
    profile_.writeInt(kSocket, QStringLiteral("ServerPort"), fields_.port);
    profile_.writeString(kAutoplay, QStringLiteral("ClientPath"), fromLocal(fields_.client_path));
    profile_.writeString(kAutoplay, QStringLiteral("ClientParam"), fromLocal(fields_.client_param));
    profile_.writeString(kAutoplay, QStringLiteral("GoalieParam"), fromLocal(fields_.goalie_param));
    profile_.writeInt(kAutoplay, QStringLiteral("GoalieNum"), fields_.goalie_num);
}

void CAutoplayConfiger::run() { runner_.start(fields_); }

void CAutoplayConfiger::browse() {
    const QString chosen = chooseClient_();
    if (chosen.isEmpty()) return;
    fields_.client_path = toLocal(chosen);
    clientPath_->setText(chosen);
}

void CAutoplayConfiger::accept() {
    fields_.host = toLocal(host_->text().trimmed());
    fields_.port = numberIn(port_);
    fields_.client_path = toLocal(clientPath_->text());
    fields_.client_param = toLocal(clientParam_->text());
    fields_.goalie_param = toLocal(goalieParam_->text());
    fields_.goalie_num = numberIn(goalieNum_);
    QDialog::accept();
}

void CAutoplayConfiger::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace tessarin
