#include "AnimationExportDialog.h"

#include "ui_AnimationExportDialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include <array>
#include <utility>

namespace {

constexpr cosmophase::PlaybackPace kPaces[] = {cosmophase::PlaybackPace::Time, cosmophase::PlaybackPace::LogTime,
                                               cosmophase::PlaybackPace::Samples};

QString numberText(double value)
{
    return QString::number(value, 'g', 17);
}

} // namespace

AnimationExportDialog::AnimationExportDialog(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::AnimationExportDialog>())
{
    m_ui->setupUi(this);
    m_ui->paceBox->addItem(tr("Uniform in elapsed time"));
    m_ui->paceBox->addItem(tr("Uniform in log elapsed time"));
    m_ui->paceBox->addItem(tr("Uniform in samples"));
    for (QLineEdit* field : {m_ui->fileField, m_ui->sizeField, m_ui->fpsField, m_ui->durationField, m_ui->fromField,
                             m_ui->toField})
        connect(field, &QLineEdit::textChanged, this, &AnimationExportDialog::check);
    connect(m_ui->browseButton, &QPushButton::clicked, this, &AnimationExportDialog::browse);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setRequest(m_request);
}

AnimationExportDialog::~AnimationExportDialog() = default;

QString AnimationExportDialog::fileFilter()
{
    return tr("MP4 video (*.mp4);;Animated GIF (*.gif);;WebM video (*.webm)");
}

void AnimationExportDialog::setRequest(const cosmophase::MovieRequest& request)
{
    m_request = request;
    const QString path = QFile::decodeName(QByteArray::fromStdString(request.path));
    m_folder = QFileInfo(path).absolutePath();
    m_ui->fileField->setText(path);
    m_ui->sizeField->setText(QString::number(request.side));
    m_ui->fpsField->setText(QString::number(request.fps));
    m_ui->durationField->setText(numberText(request.duration));
    m_ui->fromField->setText(numberText(request.fromPercent));
    m_ui->toField->setText(numberText(request.toPercent));
    for (int i = 0; i < static_cast<int>(std::size(kPaces)); ++i)
        if (kPaces[i] == request.pace)
            m_ui->paceBox->setCurrentIndex(i);
    check();
}

cosmophase::MovieRequest AnimationExportDialog::request() const
{
    QLineEdit* unreadable = nullptr;
    return fieldsApplied(nullptr, &unreadable);
}

cosmophase::MovieRequest AnimationExportDialog::fieldsApplied(const QLineEdit* last, QLineEdit** unreadable) const
{
    cosmophase::MovieRequest request = m_request;
    request.pace = kPaces[std::max(0, m_ui->paceBox->currentIndex())];
    *unreadable = nullptr;
    const auto whole = [unreadable](QLineEdit* field, int& value) {
        bool ok = false;
        const int read = field->text().trimmed().toInt(&ok);
        if (ok)
            value = read;
        else if (*unreadable == nullptr)
            *unreadable = field;
    };
    const auto real = [unreadable](QLineEdit* field, double& value) {
        bool ok = false;
        const double read = field->text().trimmed().toDouble(&ok);
        if (ok)
            value = read;
        else if (*unreadable == nullptr)
            *unreadable = field;
    };
    const std::array<std::pair<QLineEdit*, std::function<void()>>, 6> fields{{
        {m_ui->fileField,
         [&] {
             const QString path = QDir(m_folder).absoluteFilePath(m_ui->fileField->text().trimmed());
             request.path = QFile::encodeName(path).toStdString();
         }},
        {m_ui->sizeField, [&] { whole(m_ui->sizeField, request.side); }},
        {m_ui->fpsField, [&] { whole(m_ui->fpsField, request.fps); }},
        {m_ui->durationField, [&] { real(m_ui->durationField, request.duration); }},
        {m_ui->fromField, [&] { real(m_ui->fromField, request.fromPercent); }},
        {m_ui->toField, [&] { real(m_ui->toField, request.toPercent); }},
    }};
    for (const auto& [field, apply] : fields) {
        apply();
        if (field == last)
            break;
    }
    return request;
}

void AnimationExportDialog::check()
{
    // Field by field, the others at their defaults: the first that makes the
    // request fail is the one at fault.
    if (m_ui->fileField->text().trimmed().isEmpty()) {
        showRefusal(m_ui->fileField, tr("Name the file to write: .mp4, .gif or .webm."));
        return;
    }
    for (QLineEdit* field : {m_ui->fileField, m_ui->sizeField, m_ui->fpsField, m_ui->durationField,
                             m_ui->fromField, m_ui->toField}) {
        QLineEdit* unreadable = nullptr;
        const cosmophase::MovieRequest request = fieldsApplied(field, &unreadable);
        if (unreadable != nullptr) {
            const bool whole = unreadable == m_ui->sizeField || unreadable == m_ui->fpsField;
            showRefusal(unreadable, whole ? tr("Not a whole number: \u201c%1\u201d.").arg(unreadable->text())
                                          : tr("Not a number: \u201c%1\u201d.").arg(unreadable->text()));
            return;
        }
        if (const std::string error = cosmophase::movieRequestError(request); !error.empty()) {
            QString reason = QString::fromStdString(error);
            reason[0] = reason[0].toUpper();
            showRefusal(field, reason);
            return;
        }
    }
    const int frames = request().frameCount();
    showRefusal(nullptr, frames == 1 ? tr("1 frame") : tr("%1 frames").arg(frames));
}

void AnimationExportDialog::showRefusal(QLineEdit* field, const QString& reason)
{
    m_refusal = field != nullptr ? reason : QString();
    // The palette, not a style sheet, so that no field changes its size.
    for (QLineEdit* each : {m_ui->fileField, m_ui->sizeField, m_ui->fpsField, m_ui->durationField, m_ui->fromField,
                            m_ui->toField}) {
        QPalette colours = palette();
        if (each == field)
            colours.setColor(QPalette::Text, QColor(0xb0, 0, 0));
        each->setPalette(colours);
    }
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, field != nullptr ? QColor(0xb0, 0, 0) : QColor(0x60, 0x60, 0x60));
    m_ui->reasonLabel->setPalette(colours);
    m_ui->reasonLabel->setText(reason);
    m_ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(field == nullptr);
}

void AnimationExportDialog::browse()
{
    if (!m_path_prompt)
        return;
    const QString path = m_path_prompt(windowTitle(), m_ui->fileField->text(), fileFilter());
    if (!path.isEmpty())
        m_ui->fileField->setText(path);
}
