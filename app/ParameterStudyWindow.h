#pragma once

#include "RunParameters.h"

#include <QDialog>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class AppCommands;
class ParameterStudy;
class QLabel;
class QPainter;
class QProgressBar;
class QPushButton;
class QStatusBar;
class StudyCharts;
class StudyGridForm;

// The present-day age, q0, xi0 and density ratio against 1 - q for the run
// and the reference over a grid (typed in 1 - q or q) at the main window's
// T. Computed in the background with a progress bar and Cancel; a red line
// marks the main window's q, and a click in a plot asks for a run at the
// grid's point nearest the click. The curves save as the sweep's CSV and as
// a figure through the menu's save path, confirmed in the window's own
// status bar. Not modal.
class ParameterStudyWindow : public QDialog {
    Q_OBJECT

public:
    // More than a window plots legibly; the sweep takes any number.
    static constexpr int kMaxPoints = 100'000;

    ParameterStudyWindow(AppCommands& commands, QWidget* parent = nullptr);
    ~ParameterStudyWindow() override;

    ParameterStudy& study() const { return *m_study; }
    StudyCharts* charts() const { return m_charts; }
    StudyGridForm* gridForm() const { return m_grid; }
    QProgressBar* progressBar() const { return m_progress; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* exportCsvButton() const { return m_export_csv; }
    QPushButton* saveFigureButton() const { return m_save_figure; }
    QPushButton* showInPlaneButton() const { return m_show_in_plane; }
    QStatusBar* statusBar() const { return m_status_bar; }

    // The last complete study in the sweep's CSV with the reference columns.
    std::string csv() const;

public slots:
    // The main window's run: moves the marker; a new T computes afresh
    // while the window is shown.
    void setCurrentParameters(const cosmophase::RunParameters& parameters);
    // Reads the grid and starts computing it at the current T.
    void compute();

signals:
    void runRequested(const cosmophase::RunParameters& parameters);
    // Show in Phase Plane: the grid's runs as a family, the grid in q.
    void familyRequested(const std::string& grid, std::int32_t T);

protected:
    // Shown, it computes unless it shows or computes the current T already;
    // closed, it cancels.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void showStudy();
    void showProgress(int done, int total);
    void showIdle(const QString& status);
    void saveCsvAs();
    void saveFigureAs();
    void confirmSaved(bool saved, const QString& what);

    AppCommands& m_commands;
    ParameterStudy* m_study = nullptr;
    cosmophase::RunParameters m_current;
    // For each point plotted, its index in the study's points.
    std::vector<std::size_t> m_plotted;
    // The T of the computation under way, for its progress line.
    std::int32_t m_computing_temperature = 0;
    StudyGridForm* m_grid = nullptr;
    StudyCharts* m_charts = nullptr;
    QLabel* m_temperature = nullptr;
    QPushButton* m_compute = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_export_csv = nullptr;
    QPushButton* m_save_figure = nullptr;
    QPushButton* m_show_in_plane = nullptr;
    QStatusBar* m_status_bar = nullptr;
    QLabel* m_status = nullptr;
};
