#include "EquilibriaDialog.h"

#include "Equilibria.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

EquilibriaDialog::EquilibriaDialog(QWidget* parent)
    : QDialog(parent)
    , m_table(new QTableWidget(this))
{
    setWindowTitle(tr("Equilibria"));
    const std::vector<cosmophase::Equilibrium> equilibria = cosmophase::planarEquilibria();

    m_table->setColumnCount(ColumnCount);
    m_table->setRowCount(static_cast<int>(equilibria.size()));
    m_table->setHorizontalHeaderLabels({tr("z2"), tr("w0"), tr("Eigenvalue 1"), tr("Eigenvalue 2"),
                                        tr("Eigenvector 1"), tr("Eigenvector 2"), tr("Type")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const auto vectorText = [](const std::array<std::complex<double>, 2>& v) {
        return QStringLiteral("(%1, %2)").arg(complexText(v[0]), complexText(v[1]));
    };
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const cosmophase::Equilibrium& e = equilibria[static_cast<std::size_t>(row)];
        const QString cells[ColumnCount] = {QString::number(e.z2, 'g', 9), QString::number(e.w0, 'g', 9),
                                            complexText(e.eigenvalues[0]), complexText(e.eigenvalues[1]),
                                            vectorText(e.eigenvectors[0]), vectorText(e.eigenvectors[1]),
                                            QString::fromStdString(e.type)};
        for (int column = 0; column < ColumnCount; ++column)
            m_table->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    m_table->resizeColumnsToContents();

    auto* note = new QLabel(tr("Linearisation of the (z2, w0) field as the arrows draw it, at z4 = w2 = 0. "
                               "Eigenvalues in ascending order of real part, each with its eigenvector."),
                            this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(m_table->horizontalHeader()->length() + 40, 220);
}

QString EquilibriaDialog::complexText(std::complex<double> value)
{
    // + 0.0 shows a negative zero as 0.
    const QString real = QString::number(value.real() + 0.0, 'g', 9);
    if (value.imag() == 0)
        return real;
    return QStringLiteral("%1 %2 %3i")
        .arg(real, value.imag() < 0 ? QStringLiteral("-") : QStringLiteral("+"),
             QString::number(std::abs(value.imag()), 'g', 9));
}
