#pragma once

#include "RunParameters.h"

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

// The "Parameters" group: q as exact decimal text (what is typed is what
// runs), a slider over log10(1 - q) from 1e-9 to 1e-3, T as a whole number,
// and Defaults. Every valid edit asks for a run at once; an invalid one
// says why under the fields, and nothing is asked for. The panel only reads
// text: running is the owner's business, which reports back whether the run
// was taken (showRunAccepted) or kept out (showRunRefused).
class ParametersPanel : public QGroupBox {
    Q_OBJECT

public:
    // The slider's range: 1 - q = 10^(position / kSliderStepsPerDecade).
    static constexpr int kSliderStepsPerDecade = 100;
    static constexpr int kSliderMinExponent = -9;
    static constexpr int kSliderMaxExponent = -3;

    explicit ParametersPanel(QWidget* parent = nullptr);

    // The parameters of the run on screen.
    const cosmophase::RunParameters& parameters() const { return m_parameters; }
    // The q slider is held by the mouse.
    bool sliderDragged() const;

    // Shows `parameters` in the fields without asking for a run.
    void showParameters(const cosmophase::RunParameters& parameters);
    // Shows q as `text` when it reads as exactly the q shown: a session
    // keeps q as it was typed ("0.99990"), not in the shortest form.
    void showAccelerationText(const QString& text);
    // The q field's text when it reads as exactly `q`; the shortest text
    // of `q` otherwise (while an edit is refused or its run is computed).
    QString accelerationText(double q) const;

public slots:
    void showRunAccepted(const cosmophase::RunParameters& parameters);
    void showRunRefused(const QString& reason);
    void restoreDefaults();

signals:
    void runRequested(const cosmophase::RunParameters& parameters);
    void sliderReleased();

private:
    void fieldsEdited();
    void sliderMoved(int position);
    void request(const cosmophase::RunParameters& parameters);
    void showProblem(QLineEdit* field, const QString& text);
    void placeSlider(double q);

    cosmophase::RunParameters m_parameters;
    QLineEdit* m_q_field = nullptr;
    QSlider* m_q_slider = nullptr;
    QLabel* m_slider_value = nullptr;
    QLineEdit* m_temperature_field = nullptr;
    QPushButton* m_defaults_button = nullptr;
    QLabel* m_message = nullptr;
};
