#pragma once

#include <QGroupBox>

#include <array>
#include <vector>

class QLabel;

// The state at the marker to full precision: the sample index and z2, w0
// and w2 with 17 significant digits, so that a value copied from here reads
// back as the same double. Every value can be selected and copied.
class MarkerStateReadout : public QGroupBox {
    Q_OBJECT

public:
    // The columns are the controller's sample arrays; they must outlive
    // this box.
    MarkerStateReadout(const std::vector<double>& z2, const std::vector<double>& w0, const std::vector<double>& w2,
                       QWidget* parent = nullptr);

    QString text(int row) const;

public slots:
    void showSample(int index);

private:
    const std::vector<double>& m_z2;
    const std::vector<double>& m_w0;
    const std::vector<double>& m_w2;
    std::array<QLabel*, 4> m_fields{};
};
