#include "SamplesTableModel.h"

#include "Accuracy.h"
#include "DataFormat.h"
#include "Observables.h"
#include "ReadoutFormat.h"
#include "ReferenceComputation.h"
#include "ReferenceReadouts.h"

#include <algorithm>
#include <cmath>

namespace {

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

// The run's column that a reference column is compared with.
int runColumnOf(int referenceColumn)
{
    return referenceColumn - SamplesTableModel::ReferenceZ2 + SamplesTableModel::Z2;
}

// As the state at the marker shows it: reads back as the same double.
QString fullPrecision(double value)
{
    return qt(cosmophase::formatDouble(value));
}

// A value as the read-outs show it; the reference as its read-out lines do.
QString cellText(int column, double v)
{
    switch (column) {
    case SamplesTableModel::Index:
        return QString::number(static_cast<int>(v));
    case SamplesTableModel::Time:
        return qt(cosmophase::groupedWholeNumber(v));
    case SamplesTableModel::Z2:
    case SamplesTableModel::W0:
    case SamplesTableModel::W2:
    case SamplesTableModel::ReferenceZ2:
    case SamplesTableModel::ReferenceW0:
    case SamplesTableModel::ReferenceW2:
        return fullPrecision(v);
    case SamplesTableModel::DensityRatio:
        return qt(cosmophase::eightDecimalText(v));
    case SamplesTableModel::Q0:
    case SamplesTableModel::Xi0:
        return qt(cosmophase::threeDecimalText(v));
    case SamplesTableModel::ReferenceDensityRatio:
        return ReferenceReadouts::referenceText(ReferenceReadouts::DensityRatio, v);
    case SamplesTableModel::ReferenceQ0:
    case SamplesTableModel::ReferenceXi0:
        return ReferenceReadouts::referenceText(ReferenceReadouts::Q0, v);
    }
    return {};
}

} // namespace

SamplesTableModel::SamplesTableModel(const std::vector<double>& z2, const std::vector<double>& w0,
                                     const std::vector<double>& w2, const std::vector<double>& time, QObject* parent)
    : QAbstractTableModel(parent)
    , m_z2(z2)
    , m_w0(w0)
    , m_w2(w2)
    , m_time(time)
    , m_rows(static_cast<int>(time.size()))
{
}

void SamplesTableModel::resetRun(std::shared_ptr<const ReferenceResult> reference)
{
    beginResetModel();
    m_rows = static_cast<int>(m_time.size());
    m_reference = reference && reference->reference.time.size() == m_time.size() ? std::move(reference) : nullptr;
    endResetModel();
}

void SamplesTableModel::setReference(std::shared_ptr<const ReferenceResult> reference)
{
    if (!reference || reference->reference.time.size() != static_cast<std::size_t>(m_rows))
        return;
    if (m_reference) {
        m_reference = std::move(reference);
        emit dataChanged(index(0, RunColumns), index(m_rows - 1, AllColumns - 1));
        return;
    }
    beginInsertColumns({}, RunColumns, AllColumns - 1);
    m_reference = std::move(reference);
    endInsertColumns();
}

void SamplesTableModel::clearReference()
{
    if (!m_reference)
        return;
    beginRemoveColumns({}, RunColumns, AllColumns - 1);
    m_reference.reset();
    endRemoveColumns();
}

std::string SamplesTableModel::csv(const std::vector<std::size_t>& rows) const
{
    return cosmophase::samplesCsvRows({m_z2, m_w0, m_w2, m_time}, rows,
                                      m_reference ? &m_reference->reference : nullptr);
}

int SamplesTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int SamplesTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : (m_reference ? AllColumns : RunColumns);
}

double SamplesTableModel::value(int row, int column) const
{
    const auto k = static_cast<std::size_t>(row);
    switch (column) {
    case Index:
        return row;
    case Time:
        return m_time[k];
    case Z2:
        return m_z2[k];
    case W0:
        return m_w0[k];
    case W2:
        return m_w2[k];
    case DensityRatio:
    case Q0:
    case Xi0: {
        const cosmophase::SampleObservables derived = cosmophase::sampleObservables(m_z2[k], m_w0[k], m_w2[k]);
        return column == DensityRatio ? derived.densityRatio : column == Q0 ? derived.q0 : derived.xi0;
    }
    }
    const cosmophase::TimeSeries& reference = m_reference->reference;
    static constexpr std::vector<double> cosmophase::TimeSeries::*kColumns[] = {
        &cosmophase::TimeSeries::z2, &cosmophase::TimeSeries::w0, &cosmophase::TimeSeries::w2,
        &cosmophase::TimeSeries::densityRatio, &cosmophase::TimeSeries::q0, &cosmophase::TimeSeries::xi0};
    return (reference.*kColumns[column - RunColumns])[k];
}

QString SamplesTableModel::digitsRight(int row, int column) const
{
    const long double digits = cosmophase::correctDigits(value(row, runColumnOf(column)), value(row, column));
    if (std::isnan(digits))
        return {};
    const int count = std::max(0, static_cast<int>(digits));
    return count == 1 ? tr("The run gets 1 significant digit right") : tr("The run gets %1 significant digits right").arg(count);
}

QVariant SamplesTableModel::data(const QModelIndex& index, int role) const
{
    // Bounds against the arrays too: between a change of run and the reset
    // that follows it, the view may still ask for the old rows.
    if (!index.isValid() || index.row() >= m_rows || static_cast<std::size_t>(index.row()) >= m_time.size()
        || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.column(), value(index.row(), index.column()));
    case ValueRole:
        return value(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        return index.column() >= RunColumns ? digitsRight(index.row(), index.column()) : QVariant();
    }
    return {};
}

QVariant SamplesTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= AllColumns)
        return {};
    static const char* const kTitles[AllColumns] = {
        QT_TR_NOOP("Sample"), QT_TR_NOOP("Time (years)"), "z2", "w0", "w2", QT_TR_NOOP("Density ratio"), "q0", "xi0",
        QT_TR_NOOP("Reference z2"), QT_TR_NOOP("Reference w0"), QT_TR_NOOP("Reference w2"),
        QT_TR_NOOP("Reference D"), QT_TR_NOOP("Reference q0"), QT_TR_NOOP("Reference xi0")};
    switch (role) {
    case Qt::DisplayRole:
        return tr(kTitles[section]);
    case Qt::ToolTipRole:
        if (section == Time)
            return tr("Years since the start of the run, rounded to whole years; copied to 17 significant digits");
        if (section == Index)
            return tr("The sample's index in the run");
        if (section >= RunColumns)
            return tr("The reference solution at the sample's model time (dimensionless); the cell's tip says "
                      "how many significant digits the run's value gets right");
        return tr("Dimensionless; copied to 17 significant digits");
    }
    return {};
}

QString SamplesTableModel::widestText(int column)
{
    switch (column) {
    case Index:
        return QStringLiteral("000000");
    case Time:
        return QStringLiteral("00,000,000,000");
    case DensityRatio:
    case ReferenceDensityRatio:
        return QStringLiteral("-000.00000000");
    case Q0:
    case Xi0:
        return QStringLiteral("-00000.000");
    case ReferenceQ0:
    case ReferenceXi0:
        return QStringLiteral("-00000.000000");
    }
    return QStringLiteral("-0.0000000000000000e-00");
}
