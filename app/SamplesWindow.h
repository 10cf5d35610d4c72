#pragma once

#include <QDialog>

#include <memory>
#include <vector>

class QLabel;
class QLineEdit;
class QTableView;
class SamplesTableModel;
struct ReferenceResult;

// Every sample of the run in a table beside the main window, with the
// reference's columns once they are computed. The selected row is the
// marker's: choosing a row asks for the marker there, and the marker's
// moves select and show their row. Ctrl+C copies the selected rows as CSV
// with a header, to full precision. Two fields go to a sample or to the
// first sample at or after a time. Not modal; Escape closes it.
class SamplesWindow : public QDialog {
    Q_OBJECT

public:
    // The arrays are the controller's; they must outlive the window.
    SamplesWindow(const std::vector<double>& z2, const std::vector<double>& w0, const std::vector<double>& w2,
                  const std::vector<double>& time, QWidget* parent = nullptr);
    ~SamplesWindow() override;

    SamplesTableModel& model() const { return *m_model; }
    QTableView* table() const { return m_table; }
    QLineEdit* sampleField() const { return m_sample_field; }
    QLineEdit* timeField() const { return m_time_field; }
    // Why the last go-to was refused, or the reference's state.
    QLabel* messageLabel() const { return m_message; }

    // At the right edge of the screen's free area, leaving what lies left
    // of `left` (the phase plane) in view where the screen is wide enough.
    void placeBeside(const QRect& available, int left);

    // Shown, in front and active.
    void present();
    // The selected rows as CSV, and on the clipboard.
    QString selectionCsv() const;
    void copySelection() const;

public slots:
    // The arrays hold another run; `reference` is that run's, or null.
    void resetRun(std::shared_ptr<const ReferenceResult> reference);
    void setReference(std::shared_ptr<const ReferenceResult> reference);
    // The reference shown is out of date.
    void clearReference();
    // Selects and shows the marker's row; while hidden, only remembers it.
    void showMarker(int index);
    void goToSampleField();
    void goToTimeField();

signals:
    // The user chose the sample: a row, or one typed in a field.
    void sampleChosen(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void selectMarkerRow();
    void fitColumns();
    void focusField(QLineEdit& field);
    void goTo(const QLineEdit& field);
    void showMessage(const QString& text, bool refusal);

    SamplesTableModel* m_model = nullptr;
    QTableView* m_table = nullptr;
    QLineEdit* m_sample_field = nullptr;
    QLineEdit* m_time_field = nullptr;
    QLabel* m_message = nullptr;
    const std::vector<double>& m_time;
    int m_marker = 0;
    // The selection is being set from the marker, not by the user.
    bool m_following = false;
};
