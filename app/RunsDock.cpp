#include "RunsDock.h"

#include "PinnedRuns.h"
#include "RunFamily.h"

#include <QColorDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QIcon swatch(const QColor& colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

RunsDock::RunsDock(PinnedRuns& pinned, RunFamily& family, QWidget* parent)
    : QDockWidget(tr("Pinned Runs"), parent)
    , m_pinned(pinned)
    , m_family(family)
    , m_ask_colour([](const QColor& initial, QWidget* p) {
        return QColorDialog::getColor(initial, p, tr("Colour of the Pinned Run"));
    })
{
    setObjectName(QStringLiteral("pinnedRunsDock"));
    auto* body = new QWidget(this);
    m_pinned_list = new QListWidget(body);
    m_recolour = new QPushButton(tr("&Colour\u2026"), body);
    m_remove = new QPushButton(tr("&Remove"), body);
    m_undo = new QPushButton(tr("&Undo Remove"), body);
    m_family_status = new QLabel(body);
    m_family_status->setWordWrap(true);
    m_progress = new QProgressBar(body);
    m_cancel = new QPushButton(tr("Cancel"), body);
    m_family_list = new QListWidget(body);
    m_make_current = new QPushButton(tr("&Make Current"), body);
    m_clear = new QPushButton(tr("C&lear Family"), body);

    auto* pinnedButtons = new QHBoxLayout;
    for (QPushButton* button : {m_recolour, m_remove, m_undo})
        pinnedButtons->addWidget(button);
    auto* progress = new QHBoxLayout;
    progress->addWidget(m_progress, 1);
    progress->addWidget(m_cancel);
    auto* familyButtons = new QHBoxLayout;
    familyButtons->addWidget(m_make_current);
    familyButtons->addWidget(m_clear);
    auto* layout = new QVBoxLayout(body);
    layout->addWidget(m_pinned_list, 1);
    layout->addLayout(pinnedButtons);
    layout->addWidget(new QLabel(tr("Family of runs"), body));
    layout->addWidget(m_family_status);
    layout->addLayout(progress);
    layout->addWidget(m_family_list, 2);
    layout->addLayout(familyButtons);
    setWidget(body);

    m_pinned_list->installEventFilter(this);
    m_family_list->installEventFilter(this);
    connect(&m_pinned, &PinnedRuns::changed, this, &RunsDock::showPinned);
    connect(&m_family, &RunFamily::changed, this, &RunsDock::showFamily);
    connect(&m_family, &RunFamily::progressed, this, [this](int done, int total) {
        m_progress->setRange(0, total);
        m_progress->setValue(done);
        m_cancel->setEnabled(true);
        m_family_status->setText(tr("Computing %1 runs\u2026").arg(total));
    });
    connect(&m_family, &RunFamily::cancelled, this, [this] {
        m_cancel->setEnabled(false);
        m_family_status->setText(tr("Cancelled; the plane keeps the last complete family."));
    });
    connect(m_pinned_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!m_filling)
            m_pinned.setShown(static_cast<std::size_t>(m_pinned_list->row(item)), item->checkState() == Qt::Checked);
    });
    connect(m_pinned_list, &QListWidget::currentRowChanged, this, &RunsDock::updateButtons);
    connect(m_family_list, &QListWidget::currentRowChanged, this, &RunsDock::updateButtons);
    connect(m_family_list, &QListWidget::itemActivated, this, &RunsDock::makeSelectedCurrent);
    connect(m_recolour, &QPushButton::clicked, this, &RunsDock::recolourSelected);
    connect(m_remove, &QPushButton::clicked, this, &RunsDock::removeSelected);
    connect(m_undo, &QPushButton::clicked, &m_pinned, &PinnedRuns::undoRemove);
    connect(m_cancel, &QPushButton::clicked, &m_family, &RunFamily::cancel);
    connect(m_make_current, &QPushButton::clicked, this, &RunsDock::makeSelectedCurrent);
    connect(m_clear, &QPushButton::clicked, &m_family, &RunFamily::clear);
    showPinned();
    showFamily();
}

int RunsDock::selectedPinned() const
{
    const int row = m_pinned_list->currentRow();
    return row >= 0 && static_cast<std::size_t>(row) < m_pinned.runs().size() ? row : -1;
}

void RunsDock::showPinned()
{
    const int row = m_pinned_list->currentRow();
    m_filling = true;
    m_pinned_list->clear();
    for (const PinnedRun& run : m_pinned.runs()) {
        auto* item = new QListWidgetItem(swatch(run.colour), run.label(), m_pinned_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(run.shown ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = false;
    m_pinned_list->setCurrentRow(std::min(row, m_pinned_list->count() - 1));
    updateButtons();
}

void RunsDock::showFamily()
{
    m_family_list->clear();
    const std::vector<RunFamily::Member>& members = m_family.members();
    int failed = 0;
    for (const RunFamily::Member& member : members) {
        QString text = QStringLiteral("q = %1").arg(QString::fromStdString(cosmophase::accelerationText(member.parameters.q)));
        if (member.status != cosmophase::RunStatus::Ok) {
            text += tr(" (%1)").arg(QString::fromStdString(cosmophase::statusReason(member.status)));
            ++failed;
        }
        m_family_list->addItem(text);
    }
    m_progress->setRange(0, 1);
    m_progress->setValue(members.empty() ? 0 : 1);
    m_cancel->setEnabled(false);
    if (members.empty()) {
        m_family_status->setText(tr("None: View \u25b8 Family of Runs\u2026 or the Parameter Study's Show in Phase Plane."));
    } else {
        QString status = tr("%1 runs, q = %2, T = %3")
                             .arg(members.size())
                             .arg(QString::fromStdString(m_family.grid()))
                             .arg(m_family.temperature());
        if (failed > 0)
            status += tr("; %1 did not reach the present day").arg(failed);
        m_family_status->setText(status);
    }
    updateButtons();
}

void RunsDock::updateButtons()
{
    const bool pinnedSelected = selectedPinned() >= 0;
    m_recolour->setEnabled(pinnedSelected);
    m_remove->setEnabled(pinnedSelected);
    m_undo->setEnabled(m_pinned.canUndoRemove());
    m_make_current->setEnabled(m_family_list->currentRow() >= 0);
    m_clear->setEnabled(!m_family.members().empty());
}

void RunsDock::recolourSelected()
{
    const int row = selectedPinned();
    if (row < 0)
        return;
    const QColor chosen = m_ask_colour(m_pinned.runs()[static_cast<std::size_t>(row)].colour, this);
    if (chosen.isValid())
        m_pinned.setColour(static_cast<std::size_t>(row), chosen);
}

void RunsDock::removeSelected()
{
    const int row = selectedPinned();
    if (row >= 0)
        m_pinned.remove(static_cast<std::size_t>(row));
}

void RunsDock::makeSelectedCurrent()
{
    const int row = m_family_list->currentRow();
    if (row >= 0 && static_cast<std::size_t>(row) < m_family.members().size())
        emit memberChosen(static_cast<std::size_t>(row));
}

bool RunsDock::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == m_pinned_list && (key == Qt::Key_Delete || key == Qt::Key_Backspace)) {
            removeSelected();
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}
