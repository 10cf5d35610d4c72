#pragma once

#include <QColor>
#include <QDockWidget>

#include <functional>

class PinnedRuns;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class RunFamily;

// "Pinned Runs": the pinned runs, each shown or hidden by its check box,
// recoloured, removed (Delete) and brought back (Undo Remove); below them
// the family of runs with its progress, Cancel, its members (Enter or Make
// Current makes one the window's run) and Clear.
class RunsDock : public QDockWidget {
    Q_OBJECT

public:
    // Asks for a colour; an invalid one means the user cancelled. Replaced
    // in tests, so no modal dialog waits for a user.
    using AskColour = std::function<QColor(const QColor& initial, QWidget* parent)>;

    RunsDock(PinnedRuns& pinned, RunFamily& family, QWidget* parent = nullptr);

    void setAskColour(AskColour ask) { m_ask_colour = std::move(ask); }

    QListWidget* pinnedList() const { return m_pinned_list; }
    QListWidget* familyList() const { return m_family_list; }
    QPushButton* recolourButton() const { return m_recolour; }
    QPushButton* removeButton() const { return m_remove; }
    QPushButton* undoButton() const { return m_undo; }
    QPushButton* makeCurrentButton() const { return m_make_current; }
    QProgressBar* familyProgress() const { return m_progress; }
    QPushButton* cancelButton() const { return m_cancel; }
    QLabel* familyStatus() const { return m_family_status; }

public slots:
    void recolourSelected();
    void removeSelected();
    void makeSelectedCurrent();

signals:
    // A family member chosen to become the window's run.
    void memberChosen(std::size_t index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPinned();
    void showFamily();
    void updateButtons();
    int selectedPinned() const;

    PinnedRuns& m_pinned;
    RunFamily& m_family;
    AskColour m_ask_colour;
    QListWidget* m_pinned_list = nullptr;
    QPushButton* m_recolour = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_undo = nullptr;
    QLabel* m_family_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
    QListWidget* m_family_list = nullptr;
    QPushButton* m_make_current = nullptr;
    QPushButton* m_clear = nullptr;
    bool m_filling = false;
};
