#include "AnimationActions.h"

#include "AnimationExportDialog.h"
#include "AppCommands.h"
#include "AppDelegate.h"
#include "FormAdditions.h"
#include "MasterViewController.h"
#include "MovieExport.h"
#include "PacedPlayback.h"
#include "SaveFileDialog.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>

namespace {

const QString kTitle = QStringLiteral("Export Animation");

} // namespace

AnimationActions::AnimationActions(MasterViewController& controller, AppCommands& commands, QMainWindow& window,
                                   SessionCapture capture)
    : QObject(&window)
    , m_commands(commands)
    , m_window(window)
    , m_capture(std::move(capture))
    , m_paced(new PacedPlayback(controller, controller.additions().markers(), this))
    , m_export(new MovieExport(this))
    , m_run_dialog([](AnimationExportDialog& dialog) { return dialog.exec() == QDialog::Accepted; })
    , m_error_sink([&window](const QString& title, const QString& text) {
        QMessageBox::warning(&window, title, text);
    })
{
    m_last.path = kDefaultFileName;
    m_progress = new QProgressBar;
    m_progress->setMaximumWidth(200);
    m_progress->setFormat(tr("Writing movie %p%"));
    m_cancel = new QToolButton;
    m_cancel->setText(tr("Cancel"));
    m_cancel->setToolTip(tr("Stop writing the movie; no file is left behind"));
    m_window.statusBar()->addPermanentWidget(m_progress);
    m_window.statusBar()->addPermanentWidget(m_cancel);
    m_progress->hide();
    m_cancel->hide();
    connect(m_cancel, &QToolButton::clicked, m_export, &MovieExport::cancel);
    connect(m_export, &MovieExport::progressed, this, &AnimationActions::showProgress);
    connect(m_export, &MovieExport::finished, this, &AnimationActions::exportFinished);
}

AnimationActions::~AnimationActions() = default;

void AnimationActions::addExportAction(QMenu& file)
{
    m_export_action = file.addAction(tr("Export &Animation\u2026"), this, &AnimationActions::exportAnimation);
}

void AnimationActions::addPaceMenu(QMenu& playback)
{
    QMenu* menu = playback.addMenu(tr("P&ace"));
    auto* group = new QActionGroup(menu);
    const std::pair<QString, cosmophase::PlaybackPace> choices[] = {
        {tr("Uniform in Elapsed &Time"), cosmophase::PlaybackPace::Time},
        {tr("Uniform in &Log Elapsed Time"), cosmophase::PlaybackPace::LogTime},
        {tr("Uniform in &Samples"), cosmophase::PlaybackPace::Samples},
    };
    for (const auto& [text, pace] : choices) {
        QAction* action = menu->addAction(text, m_paced, [paced = m_paced, pace = pace] { paced->setPace(pace); });
        action->setCheckable(true);
        action->setChecked(pace == m_paced->pace());
        group->addAction(action);
    }
}

void AnimationActions::exportAnimation()
{
    if (m_export->isRunning())
        return;
    AnimationExportDialog dialog(&m_window);
    dialog.setPathPrompt([this](const QString& caption, const QString& suggested, const QString& filter) {
        return askSavePath(&m_window, caption, suggested, filter);
    });
    cosmophase::MovieRequest defaults = m_last;
    const QString name = QFileInfo(QFile::decodeName(QByteArray::fromStdString(m_last.path))).fileName();
    defaults.path = QFile::encodeName(QDir(m_commands.lastFolder()).filePath(name)).toStdString();
    defaults.pace = m_paced->pace();
    dialog.setRequest(defaults);
    if (!m_run_dialog(dialog) || !dialog.refusal().isEmpty())
        return;
    cosmophase::MovieRequest request = dialog.request();
    request.session = m_capture();
    m_last = request;
    m_commands.rememberFolderOf(QFile::decodeName(QByteArray::fromStdString(request.path)));
    m_export_action->setEnabled(false);
    showProgress(0, request.frameCount());
    m_progress->show();
    m_cancel->show();
    m_export->start(request);
}

void AnimationActions::showProgress(int done, int total)
{
    m_progress->setMaximum(total);
    m_progress->setValue(done);
}

void AnimationActions::exportFinished(const QString& path, const cosmophase::MovieResult& result)
{
    m_progress->hide();
    m_cancel->hide();
    m_export_action->setEnabled(true);
    const QString shown = QDir::toNativeSeparators(path);
    switch (result.status) {
    case cosmophase::MovieResult::Status::Written:
        m_window.statusBar()->showMessage(tr("Saved %1").arg(shown), AppDelegate::kSavedMessageMs);
        if (!result.warning.empty())
            m_error_sink(kTitle, QString::fromStdString(result.warning));
        emit saved(path);
        break;
    case cosmophase::MovieResult::Status::Cancelled:
        m_window.statusBar()->showMessage(tr("Export cancelled; %1 was not written.").arg(shown),
                                          AppDelegate::kSavedMessageMs);
        break;
    case cosmophase::MovieResult::Status::Failed:
    case cosmophase::MovieResult::Status::NoRun:
        m_error_sink(kTitle, tr("The animation was not exported: %1").arg(QString::fromStdString(result.error)));
        break;
    }
}
