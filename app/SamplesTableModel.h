#pragma once

#include <QAbstractTableModel>

#include <memory>
#include <string>
#include <vector>

struct ReferenceResult;

// Every sample of the run on screen, one row each, read straight from the
// controller's sample arrays: index, time, state and what the read-outs
// derive from it, in the read-outs' formats. Once the reference of the same
// run is given, its columns follow. Nothing is copied: the arrays are read
// as the view asks for cells, and the row count is taken at each reset,
// which the owner does whenever the arrays change.
class SamplesTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The reference's columns follow the run's while a reference is shown.
    enum Column { Index, Time, Z2, W0, W2, DensityRatio, Q0, Xi0, RunColumns,
                  ReferenceZ2 = RunColumns, ReferenceW0, ReferenceW2, ReferenceDensityRatio, ReferenceQ0, ReferenceXi0,
                  AllColumns };
    // The value behind a cell, as a double.
    static constexpr int ValueRole = Qt::UserRole;

    // The arrays must outlive the model.
    SamplesTableModel(const std::vector<double>& z2, const std::vector<double>& w0, const std::vector<double>& w2,
                      const std::vector<double>& time, QObject* parent = nullptr);

    // The arrays hold another run; `reference` is that run's or null.
    void resetRun(std::shared_ptr<const ReferenceResult> reference);
    // The reference of the run shown; one of another length is refused.
    void setReference(std::shared_ptr<const ReferenceResult> reference);
    void clearReference();
    bool hasReference() const { return m_reference != nullptr; }

    // The header and the rows, in the samples export's CSV format with every
    // number to 17 significant digits, the reference's columns while shown.
    std::string csv(const std::vector<std::size_t>& rows) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The widest text a column shows in the usual range, for its width.
    static QString widestText(int column);

private:
    double value(int row, int column) const;
    QString digitsRight(int row, int column) const;

    const std::vector<double>& m_z2;
    const std::vector<double>& m_w0;
    const std::vector<double>& m_w2;
    const std::vector<double>& m_time;
    int m_rows = 0;
    std::shared_ptr<const ReferenceResult> m_reference;
};
