#include "ReferenceReadouts.h"

#include "Accuracy.h"
#include "ReadoutFormat.h"

#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

QString digitsText(long double digits)
{
    if (std::isnan(digits))
        return {};
    // A value off by more than its own size has no digit right, however far.
    const int count = std::max(0, static_cast<int>(digits));
    return count == 1 ? ReferenceReadouts::tr("1 digit right")
                      : ReferenceReadouts::tr("%1 digits right").arg(count);
}

// In place of the elapsed time's reference away from the present day.
QString notComparedText()
{
    return ReferenceReadouts::tr("present day only");
}

// The widest read-out and reference of each row in the usual range.
const QString kWidestReadout[ReferenceReadouts::kRows] = {
    QStringLiteral("99,999,999,999 Years"), QStringLiteral("D Ratio = 0.00000000"), QStringLiteral("-00000.000"),
    QStringLiteral("-00000.000")};

const QString kWidestReference[ReferenceReadouts::kRows] = {
    QStringLiteral("99,999,999,999"), QStringLiteral("-0.00000000"), QStringLiteral("-000.000000"),
    QStringLiteral("-000.000000")};

// Smaller and muted, so the read-out above stays the eye's first stop.
QLabel* smallLabel(const QString& text = QString())
{
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    label->setFont(font);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

} // namespace

QString ReferenceReadouts::referenceText(Row row, long double value)
{
    const double v = static_cast<double>(value);
    switch (row) {
    case ElapsedTime:
        return std::fabs(v) >= 1000 ? QString::fromStdString(cosmophase::groupedWholeNumber(v))
                                    : QString::number(v, 'f', 4);
    case DensityRatio:
        return QString::number(v, 'f', 8);
    case Q0:
    case Xi0:
        return QString::number(v, 'f', 6);
    }
    return {};
}

ReferenceReadouts::ReferenceReadouts(QFormLayout* readouts, QObject* parent)
    : QObject(parent)
{
    for (int row = 0; row < kRows; ++row) {
        QWidget* field = readouts->itemAt(row, QFormLayout::FieldRole)->widget();
        readouts->removeWidget(field);
        // Room for the widest read-out in the usual range, so that the box
        // keeps its size as the marker moves.
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(kWidestReadout[row]));
        auto* cell = new QWidget;
        auto* lines = new QVBoxLayout(cell);
        lines->setContentsMargins(0, 0, 0, 0);
        lines->setSpacing(0);
        lines->addWidget(field);
        auto* below = new QHBoxLayout;
        below->setSpacing(6);
        below->addWidget(smallLabel(tr("reference")));
        m_reference[row] = smallLabel();
        m_reference[row]->setToolTip(
            row == ElapsedTime
                ? tr("The reference's own present day, compared at the run's last sample only: elsewhere "
                     "the reference is taken at the run's model time, so the two times agree by construction")
                : tr("The reference solution at the marker's model time; at the run's last sample, the "
                     "reference's present day"));
        below->addWidget(m_reference[row]);
        // As wide as the widest reference the row shows, so that no change
        // of the text moves anything beside the read-outs.
        const QFontMetrics metrics = m_reference[row]->fontMetrics();
        m_reference[row]->setMinimumWidth(std::max(metrics.horizontalAdvance(kWidestReference[row]),
                                                   row == ElapsedTime ? metrics.horizontalAdvance(notComparedText()) : 0));
        below->addStretch();
        lines->addLayout(below);
        // On a line of its own: beside the reference it made the panel too
        // wide for a window of 1272 pixels, and was cut.
        m_digits[row] = smallLabel();
        m_digits[row]->setMinimumHeight(m_digits[row]->fontMetrics().height());
        m_digits[row]->setToolTip(tr("Significant digits of the run's value that agree with the reference"));
        lines->addWidget(m_digits[row]);
        readouts->setWidget(row, QFormLayout::FieldRole, cell);
    }
    showComputing();
}

void ReferenceReadouts::setMarkerIndex(int index)
{
    m_index = index;
    refresh();
}

void ReferenceReadouts::showComputing()
{
    m_result.reset();
    for (int row = 0; row < kRows; ++row) {
        m_reference[row]->setText(tr("computing…"));
        m_digits[row]->clear();
    }
}

void ReferenceReadouts::setResult(std::shared_ptr<const ReferenceResult> result)
{
    m_result = std::move(result);
    refresh();
}

void ReferenceReadouts::refresh()
{
    if (!m_result)
        return;
    const cosmophase::TimeSeries& run = m_result->run;
    const cosmophase::TimeSeries& reference = m_result->reference;
    if (m_index < 0 || static_cast<std::size_t>(m_index) >= run.time.size())
        return;
    const auto k = static_cast<std::size_t>(m_index);
    const double runValues[kRows] = {run.time[k], run.densityRatio[k], run.q0[k], run.xi0[k]};
    long double referenceValues[kRows] = {reference.time[k], reference.densityRatio[k],
                                          reference.q0[k], reference.xi0[k]};
    if (k + 1 == run.time.size() && m_result->presentDay) {
        const cosmophase::ReferenceValues& presentDay = *m_result->presentDay;
        referenceValues[ElapsedTime] = presentDay.elapsedYears;
        referenceValues[DensityRatio] = presentDay.densityRatio;
        referenceValues[Q0] = presentDay.q0;
        referenceValues[Xi0] = presentDay.xi0;
    }
    const bool presentDay = k + 1 == run.time.size() && m_result->presentDay;
    for (int row = 0; row < kRows; ++row) {
        if (row == ElapsedTime && !presentDay) {
            m_reference[row]->setText(notComparedText());
            m_digits[row]->clear();
            continue;
        }
        m_reference[row]->setText(referenceText(Row(row), referenceValues[row]));
        m_digits[row]->setText(digitsText(cosmophase::correctDigits(runValues[row], referenceValues[row])));
    }
}
