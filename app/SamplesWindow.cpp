#include "SamplesWindow.h"

#include "SampleGoTo.h"
#include "SamplesTableModel.h"

#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QScopedValueRollback>
#include <QTableView>

#include <algorithm>

namespace {

constexpr int kMinimumWidth = 560;
constexpr int kPreferredWidth = 980;
constexpr int kPreferredHeight = 900;
// Room for a window manager's title bar and borders.
constexpr int kFrameAllowance = 40;

// Numbers in one line each, right-aligned: drawn straight, without the
// text layout and elision of the style's item painting, which cost most of
// a playback tick's repaint.
class NumberDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        if (selected)
            painter->fillRect(option.rect, option.palette.brush(QPalette::Highlight));
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const int margin = option.fontMetrics.horizontalAdvance(QLatin1Char('0')) / 2;
        const QRect box = option.rect.adjusted(margin, 0, -margin, 0);
        // A column made too narrow shows where the number is cut, never a
        // number without its leading digits.
        painter->drawText(box, Qt::AlignRight | Qt::AlignVCenter,
                          option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, box.width()));
    }
};

QString computingText()
{
    return SamplesWindow::tr("The reference's columns follow once it is computed…");
}

} // namespace

SamplesWindow::SamplesWindow(const std::vector<double>& z2, const std::vector<double>& w0,
                             const std::vector<double>& w2, const std::vector<double>& time, QWidget* parent)
    : QDialog(parent)
    , m_model(new SamplesTableModel(z2, w0, w2, time, this))
    , m_table(new QTableView(this))
    , m_sample_field(new QLineEdit(this))
    , m_time_field(new QLineEdit(this))
    , m_message(new QLabel(this))
    , m_time(time)
{
    setWindowTitle(tr("Samples"));
    setObjectName(QStringLiteral("samplesWindow"));

    auto* goToRow = new QHBoxLayout;
    auto* sampleLabel = new QLabel(tr("Go to &sample"), this);
    sampleLabel->setBuddy(m_sample_field);
    auto* timeLabel = new QLabel(tr("or &time"), this);
    timeLabel->setBuddy(m_time_field);
    m_sample_field->setPlaceholderText(tr("index"));
    m_time_field->setPlaceholderText(tr("years"));
    m_sample_field->setToolTip(tr("A sample index; Enter goes there (Ctrl+G)"));
    m_time_field->setToolTip(tr("A time in years; Enter goes to the first sample at or after it (Ctrl+Shift+G)"));
    const int fieldWidth = m_time_field->fontMetrics().horizontalAdvance(QStringLiteral("00,000,000,000 years"));
    m_sample_field->setMaximumWidth(fieldWidth / 2);
    m_time_field->setMaximumWidth(fieldWidth);
    goToRow->addWidget(sampleLabel);
    goToRow->addWidget(m_sample_field);
    goToRow->addWidget(timeLabel);
    goToRow->addWidget(m_time_field);
    goToRow->addWidget(m_message, 1);
    connect(m_sample_field, &QLineEdit::returnPressed, this, [this] { goTo(*m_sample_field); });
    connect(m_time_field, &QLineEdit::returnPressed, this, [this] { goTo(*m_time_field); });

    m_table->setModel(m_model);
    m_table->setItemDelegate(new NumberDelegate(m_table));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setWordWrap(false);
    m_table->setCornerButtonEnabled(false);
    m_table->verticalHeader()->hide();
    // Fixed rows and columns sized from the widest text: nothing is
    // measured over the thousands of rows when the table opens.
    m_table->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->installEventFilter(this);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_following && current.isValid())
                    emit sampleChosen(current.row());
            });
    connect(m_model, &QAbstractItemModel::columnsInserted, this, &SamplesWindow::fitColumns);
    fitColumns();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(goToRow);
    layout->addWidget(m_table, 1);
    clearReference();
}

SamplesWindow::~SamplesWindow() = default;

void SamplesWindow::placeBeside(const QRect& available, int left)
{
    const int width = std::min(std::clamp(available.right() + 1 - left, kMinimumWidth, kPreferredWidth),
                               available.width());
    resize(width, std::min(kPreferredHeight, available.height() - kFrameAllowance));
    move(available.right() + 1 - frameGeometry().width(), available.top());
}

void SamplesWindow::fitColumns()
{
    // In the side panel's order: the read-outs, then the state at the
    // marker; the reference's columns likewise. Copies keep the export's.
    static constexpr int kShownOrder[] = {
        SamplesTableModel::Index,       SamplesTableModel::Time,        SamplesTableModel::DensityRatio,
        SamplesTableModel::Q0,          SamplesTableModel::Xi0,         SamplesTableModel::Z2,
        SamplesTableModel::W0,          SamplesTableModel::W2,          SamplesTableModel::ReferenceDensityRatio,
        SamplesTableModel::ReferenceQ0, SamplesTableModel::ReferenceXi0, SamplesTableModel::ReferenceZ2,
        SamplesTableModel::ReferenceW0, SamplesTableModel::ReferenceW2};
    QHeaderView& header = *m_table->horizontalHeader();
    for (int visual = 0; visual < m_model->columnCount(); ++visual)
        header.moveSection(header.visualIndex(kShownOrder[visual]), visual);

    const QFontMetrics cells = m_table->fontMetrics();
    const QFontMetrics titles = m_table->horizontalHeader()->fontMetrics();
    const int padding = 2 * cells.horizontalAdvance(QLatin1Char('0'));
    for (int column = 0; column < m_model->columnCount(); ++column) {
        const QString title = m_model->headerData(column, Qt::Horizontal).toString();
        m_table->setColumnWidth(column, std::max(cells.horizontalAdvance(SamplesTableModel::widestText(column)),
                                                 titles.horizontalAdvance(title))
                                            + padding);
    }
}

void SamplesWindow::resetRun(std::shared_ptr<const ReferenceResult> reference)
{
    m_model->resetRun(std::move(reference));
    fitColumns();
    showMessage(m_model->hasReference() ? QString() : computingText(), false);
    selectMarkerRow();
}

void SamplesWindow::setReference(std::shared_ptr<const ReferenceResult> reference)
{
    m_model->setReference(std::move(reference));
    if (m_model->hasReference())
        showMessage({}, false);
}

void SamplesWindow::clearReference()
{
    m_model->clearReference();
    showMessage(computingText(), false);
}

void SamplesWindow::showMarker(int index)
{
    m_marker = index;
    // Hidden, nothing to keep up: showing selects the row.
    if (isVisible())
        selectMarkerRow();
}

void SamplesWindow::selectMarkerRow()
{
    const QModelIndex current = m_table->currentIndex();
    if (current.isValid() && current.row() == m_marker)
        return;
    // The column the user is in, so that following the marker never
    // scrolls the table sideways.
    const QModelIndex row = m_model->index(m_marker, std::max(0, current.column()));
    if (!row.isValid())
        return;
    const QScopedValueRollback following(m_following, true);
    // Only the rows that change are repainted; the view scrolls to the new
    // one only when it is out of sight.
    m_table->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_table->scrollTo(row);
}

void SamplesWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    selectMarkerRow();
    m_table->scrollTo(m_table->currentIndex(), QAbstractItemView::PositionAtCenter);
}

void SamplesWindow::goToSampleField()
{
    focusField(*m_sample_field);
}

void SamplesWindow::goToTimeField()
{
    focusField(*m_time_field);
}

void SamplesWindow::present()
{
    show();
    raise();
    activateWindow();
}

void SamplesWindow::focusField(QLineEdit& field)
{
    present();
    field.setFocus(Qt::ShortcutFocusReason);
    field.selectAll();
}

void SamplesWindow::goTo(const QLineEdit& field)
{
    const SampleGoTo target = &field == m_sample_field
                                  ? SampleGoTo::toSample(field.text(), m_time.size())
                                  : SampleGoTo::toTime(field.text(), m_time);
    for (QLineEdit* each : {m_sample_field, m_time_field}) {
        QPalette colours = palette();
        if (each == &field && target.index < 0)
            colours.setColor(QPalette::Text, QColor(0xb0, 0, 0));
        each->setPalette(colours);
    }
    if (target.index < 0) {
        showMessage(target.reason, true);
        return;
    }
    showMessage(m_model->hasReference() ? QString() : computingText(), false);
    emit sampleChosen(target.index);
    // Also when the marker was there already and the table scrolled away.
    m_table->scrollTo(m_table->currentIndex(), QAbstractItemView::PositionAtCenter);
}

void SamplesWindow::showMessage(const QString& text, bool refusal)
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, refusal ? QColor(0xb0, 0, 0) : QColor(0x60, 0x60, 0x60));
    m_message->setPalette(colours);
    m_message->setText(text);
}

QString SamplesWindow::selectionCsv() const
{
    // By the selection's ranges rather than its whole rows: columns added
    // for the reference after a row was chosen are not part of its range.
    std::vector<std::size_t> rows;
    for (const QItemSelectionRange& range : m_table->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(static_cast<std::size_t>(row));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows.empty() ? QString() : QString::fromStdString(m_model->csv(rows));
}

void SamplesWindow::copySelection() const
{
    const QString csv = selectionCsv();
    if (!csv.isEmpty())
        QApplication::clipboard()->setText(csv);
}

bool SamplesWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The table's own Copy takes one cell's text; this one takes the rows.
    if (watched == m_table && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)
        && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            copySelection();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
