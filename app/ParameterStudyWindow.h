#pragma once

#include "RunParameters.h"

#include <QDialog>

#include <array>
#include <string>

class AppCommands;
class ParameterStudy;
class QAbstractAxis;
class QChart;
class QChartView;
class QLabel;
class QLineEdit;
class QLineSeries;
class QLogValueAxis;
class QPainter;
class QProgressBar;
class QPushButton;
class QWidget;

// The present-day age, q0, xi0 and density ratio against 1 - q on a
// logarithmic axis, for the run (solid) and the reference (dashed), over a
// grid of q written as the sweep's --q is, at the main window's T. Computed
// in the background with a progress bar and Cancel; a red line marks the
// main window's q, and a click in a plot asks for a run at the grid's q
// nearest the click. The curves save as the sweep's CSV and as a figure
// through the menu's save path. Not modal.
class ParameterStudyWindow : public QDialog {
    Q_OBJECT

public:
    enum Quantity { Age, Q0, Xi0, DensityRatio, QuantityCount };
    static constexpr const char* kDefaultGrid = "0.999999999:0.999:200:log";
    // More than a window plots legibly; the sweep takes any number.
    static constexpr int kMaxPoints = 100'000;

    ParameterStudyWindow(AppCommands& commands, QWidget* parent = nullptr);
    ~ParameterStudyWindow() override;

    ParameterStudy& study() const { return *m_study; }
    QChartView* chartView(Quantity quantity) const { return m_plots[quantity].view; }
    QLineSeries* runCurve(Quantity quantity) const { return m_plots[quantity].run; }
    QLineSeries* referenceCurve(Quantity quantity) const { return m_plots[quantity].reference; }
    QLineSeries* currentMarker(Quantity quantity) const { return m_plots[quantity].marker; }
    QLineEdit* gridField() const { return m_grid_field; }
    QProgressBar* progressBar() const { return m_progress; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* exportCsvButton() const { return m_export_csv; }
    QPushButton* saveFigureButton() const { return m_save_figure; }

    // The last complete study in the sweep's CSV with the reference columns.
    std::string csv() const;
    // The four plots as laid out in the window.
    QSize figureSize() const;
    void renderFigure(QPainter& painter) const;

public slots:
    // The main window's run: moves the marker; a new T computes afresh
    // while the window is shown.
    void setCurrentParameters(const cosmophase::RunParameters& parameters);
    // Reads the grid field and starts computing it at the current T.
    void compute();

signals:
    void runRequested(const cosmophase::RunParameters& parameters);

protected:
    // Shown, it computes unless it shows or computes the current T already;
    // closed, it cancels.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Plot {
        QChartView* view = nullptr;
        QChart* chart = nullptr;
        QLogValueAxis* distanceAxis = nullptr;
        QAbstractAxis* valueAxis = nullptr;
        QLineSeries* run = nullptr;
        QLineSeries* reference = nullptr;
        QLineSeries* marker = nullptr;
        double low = 0;
        double high = 0;
    };

    void buildPlot(Plot& plot, Quantity quantity);
    void showStudy();
    void fillPlot(Plot& plot, Quantity quantity);
    void placeMarker(Plot& plot);
    void showProgress(int done, int total);
    void showIdle(const QString& status);
    // The grid's point nearest in log(1 - q) to a click in `plot`.
    void runNearest(const Plot& plot, const QPointF& viewportPos);
    void saveCsvAs();
    void saveFigureAs();

    AppCommands& m_commands;
    ParameterStudy* m_study = nullptr;
    cosmophase::RunParameters m_current;
    // The T of the computation under way, for its progress line.
    std::int32_t m_computing_temperature = 0;
    std::array<Plot, QuantityCount> m_plots;
    QWidget* m_plot_grid = nullptr;
    QLineEdit* m_grid_field = nullptr;
    QLabel* m_temperature = nullptr;
    QPushButton* m_compute = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_export_csv = nullptr;
    QPushButton* m_save_figure = nullptr;
};
