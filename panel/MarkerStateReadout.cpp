#include "MarkerStateReadout.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>

MarkerStateReadout::MarkerStateReadout(const std::vector<double>& z2, const std::vector<double>& w0,
                                       const std::vector<double>& w2, QWidget* parent)
    : QGroupBox(tr("State at the marker"), parent)
    , m_z2(z2)
    , m_w0(w0)
    , m_w2(w2)
{
    setObjectName(QStringLiteral("markerStateReadout"));
    auto* layout = new QFormLayout(this);
    layout->setVerticalSpacing(2);
    // Fixed-width digits keep the columns still while the marker moves.
    const QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const char* const names[] = {QT_TR_NOOP("Sample"), "z2", "w0", "w2"};
    for (std::size_t row = 0; row < m_fields.size(); ++row) {
        auto* field = new QLabel(this);
        field->setFont(digits);
        field->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        field->setCursor(Qt::IBeamCursor);
        layout->addRow(tr(names[row]), field);
        m_fields[row] = field;
    }
    showSample(0);
}

QString MarkerStateReadout::text(int row) const
{
    return m_fields[static_cast<std::size_t>(row)]->text();
}

void MarkerStateReadout::showSample(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_z2.size())
        return;
    const auto at = static_cast<std::size_t>(index);
    m_fields[0]->setText(QString::number(index));
    const std::vector<double>* columns[] = {&m_z2, &m_w0, &m_w2};
    for (std::size_t k = 0; k < 3; ++k)
        m_fields[k + 1]->setText(QString::asprintf("%.17g", (*columns[k])[at]));
}
