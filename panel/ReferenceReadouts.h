#pragma once

#include "ReferenceComputation.h"

#include <QObject>

#include <array>
#include <memory>

class QFormLayout;
class QLabel;

// With each read-out "At the marker", on two small lines below it: the
// reference solution's value and how many significant digits the run gets
// right. At the marker's model time, except at the run's last sample, its
// present day, which is compared with the reference's present day as
// `cosmophase-export accuracy` does. The elapsed time is compared there only:
// at the marker's model time the reference's time is the run's own. The
// digits count never goes below 0. The read-outs themselves are left as
// they are. (Side by side they would not fit beside Playback and Curves in
// a window of 1366 pixels.)
class ReferenceReadouts : public QObject {
    Q_OBJECT

public:
    enum Row { ElapsedTime, DensityRatio, Q0, Xi0 };
    static constexpr int kRows = 4;

    // `readouts` holds the four read-outs' rows in Row order; each field
    // gets its line below it.
    explicit ReferenceReadouts(QFormLayout* readouts, QObject* parent = nullptr);

    // The reference to a few more digits than the read-out shows, so that
    // the read-out's wrong digits can be seen.
    static QString referenceText(Row row, long double value);

    QLabel* referenceField(Row row) const { return m_reference[row]; }
    QLabel* digitsField(Row row) const { return m_digits[row]; }

public slots:
    void setMarkerIndex(int index);
    // Until a result comes, the columns say that it is being computed.
    void showComputing();
    void setResult(std::shared_ptr<const ReferenceResult> result);

private:
    void refresh();

    std::array<QLabel*, kRows> m_reference{};
    std::array<QLabel*, kRows> m_digits{};
    std::shared_ptr<const ReferenceResult> m_result;
    int m_index = 0;
};
