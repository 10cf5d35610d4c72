#pragma once

#include "MovieRequest.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLineEdit;
namespace Ui {
class AnimationExportDialog;
}

// File ▸ Export Animation…: the movie's file, the plot's size, frames per
// second, duration, the stretch of the run (in the slider's percent) and
// the pace. Each field refuses what --save-animation refuses: OK stays
// disabled, the field at fault turns red and one line below says why.
class AnimationExportDialog : public QDialog {
    Q_OBJECT

public:
    // Asks where to save (Browse…); an empty result keeps the field.
    using PathPrompt = std::function<QString(const QString& caption, const QString& suggestedPath,
                                             const QString& filter)>;

    explicit AnimationExportDialog(QWidget* parent = nullptr);
    ~AnimationExportDialog() override;

    // The fields show `request`; its session is what request() carries, and
    // a file name typed without a folder goes in its path's folder.
    void setRequest(const cosmophase::MovieRequest& request);
    // What the fields describe; complete while refusal() is empty.
    cosmophase::MovieRequest request() const;
    // Why the movie cannot be made as the fields stand; empty when it can.
    const QString& refusal() const { return m_refusal; }
    void setPathPrompt(PathPrompt prompt) { m_path_prompt = std::move(prompt); }

private:
    static QString fileFilter();
    void check();
    void browse();
    // The request with the fields up to `last` applied (all of them for
    // null), and the first field whose text is not a number.
    cosmophase::MovieRequest fieldsApplied(const QLineEdit* last, QLineEdit** unreadable) const;
    void showRefusal(QLineEdit* field, const QString& reason);

    std::unique_ptr<Ui::AnimationExportDialog> m_ui;
    cosmophase::MovieRequest m_request;
    QString m_folder;
    QString m_refusal;
    PathPrompt m_path_prompt;
};
