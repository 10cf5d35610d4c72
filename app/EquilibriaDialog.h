#pragma once

#include <QDialog>

#include <complex>

class QTableWidget;

// A window listing the equilibria of the (z2, w0) field as the arrows draw
// it: position, the Jacobian's eigenvalues and eigenvectors, and the type.
// Not modal, so it can stay open beside the plot.
class EquilibriaDialog : public QDialog {
    Q_OBJECT

public:
    enum Column { Z2, W0, Eigenvalue1, Eigenvalue2, Eigenvector1, Eigenvector2, Type, ColumnCount };

    explicit EquilibriaDialog(QWidget* parent = nullptr);

    const QTableWidget& table() const { return *m_table; }

    // "-1", "0.5 + 2i", "0.5 - 2i".
    static QString complexText(std::complex<double> value);

private:
    QTableWidget* m_table = nullptr;
};
