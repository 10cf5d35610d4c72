// What the preferences keep comes back as it was left, with a window that
// still fits the screen; nothing touches the user's own settings.

#include "AppDelegate.h"
#include "MasterViewController.h"
#include "MyOpenGLView.h"
#include "Preferences.h"
#include "SessionFiles.h"
#include "SessionState.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QMainWindow>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <memory>

class PreferencesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void restoresWhatWasSaved_data();
    void restoresWhatWasSaved();
    void defaultsWhereNothingWasSaved();
    void applicationStartsWithKeptSwitchesAsItsSavedState();
    void keptWithin_data();
    void keptWithin();
};

namespace {

// One application's worth of preferences: a window with a tool bar, two
// switches and a dialog folder.
struct Kept {
    QMainWindow window;
    QToolBar* bar = window.addToolBar(QStringLiteral("Tools"));
    QAction legend{QStringLiteral("Legend")};
    QAction field{QStringLiteral("Direction Field")};
    QString folder = QStringLiteral("/");
    int fieldToggles = 0;

    explicit Kept(QSettings& settings)
        : preferences(settings)
    {
        bar->setObjectName(QStringLiteral("tools"));
        legend.setCheckable(true);
        field.setCheckable(true);
        field.setChecked(true);
        QObject::connect(&field, &QAction::toggled, &window, [this] { ++fieldToggles; });
        preferences.addSwitch(QStringLiteral("legend"), legend);
        preferences.addSwitch(QStringLiteral("direction_field"), field);
        preferences.addFolder(
            QStringLiteral("save"), [this] { return folder; }, [this](const QString& path) { folder = path; });
    }
    Preferences preferences;
};

} // namespace

void PreferencesTest::restoresWhatWasSaved_data()
{
    QTest::addColumn<bool>("legend");
    QTest::addColumn<bool>("field");
    QTest::addColumn<bool>("barShown");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expectedFolder");
    QTest::addColumn<QSize>("size");

    const QString tmp = QDir::tempPath();
    QTest::newRow("all changed") << true << false << false << tmp << tmp << QSize(600, 400);
    QTest::newRow("as at start") << false << true << true << QStringLiteral("/") << QStringLiteral("/")
                                 << QSize(500, 400);
    // A folder removed since is not where the next dialog opens.
    QTest::newRow("folder gone") << true << true << true << QStringLiteral("/no/such/folder")
                                 << QStringLiteral("/") << QSize(520, 410);
}

void PreferencesTest::restoresWhatWasSaved()
{
    QFETCH(bool, legend);
    QFETCH(bool, field);
    QFETCH(bool, barShown);
    QFETCH(QString, folder);
    QFETCH(QString, expectedFolder);
    QFETCH(QSize, size);

    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("prefs.conf")), QSettings::IniFormat);
    {
        Kept before(settings);
        before.window.resize(size);
        before.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&before.window));
        before.legend.setChecked(legend);
        before.field.setChecked(field);
        before.bar->setVisible(barShown);
        before.folder = folder;
        before.preferences.save(before.window);
    }

    Kept after(settings);
    after.preferences.restoreGeometry(after.window);
    after.preferences.restore(after.window);
    after.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&after.window));
    QCOMPARE(after.legend.isChecked(), legend);
    QCOMPARE(after.field.isChecked(), field);
    // Switched through the action, so whatever follows it follows.
    QCOMPARE(after.fieldToggles, field ? 0 : 1);
    QCOMPARE(after.bar->isVisible(), barShown);
    QCOMPARE(after.folder, expectedFolder);
    QTRY_COMPARE(after.window.size(), size);
}

void PreferencesTest::defaultsWhereNothingWasSaved()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("empty.conf")), QSettings::IniFormat);
    Kept fresh(settings);
    fresh.window.resize(333, 222);
    fresh.preferences.restoreGeometry(fresh.window);
    fresh.preferences.restore(fresh.window);
    QCOMPARE(fresh.window.size(), QSize(333, 222));
    QVERIFY(!fresh.legend.isChecked());
    QVERIFY(fresh.field.isChecked());
    QCOMPARE(fresh.folder, QStringLiteral("/"));
}

// The kept switches are in place before the window's start-up state is
// taken, so a launch is not an unsaved change.
void PreferencesTest::applicationStartsWithKeptSwitchesAsItsSavedState()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("app.conf")), QSettings::IniFormat);
    settings.setValue(QStringLiteral("view/legend"), true);
    settings.setValue(QStringLiteral("view/direction_field"), false);
    settings.setValue(QStringLiteral("view/stable_manifold"), false);
    Preferences preferences(settings);
    AppDelegate delegate;
    delegate.setPreferences(&preferences);
    delegate.applicationDidFinishLaunching();
    QVERIFY(delegate.layerSwitches().legend->isChecked());
    QVERIFY(!delegate.layerSwitches().directionField->isChecked());
    QVERIFY(!delegate.masterViewController()->openGLView()->showStableManifold());
    const cosmophase::Session state = delegate.sessionState()->capture();
    QVERIFY(state.layers.legend && !state.layers.directionField && !state.layers.stableManifold);
    QVERIFY(!delegate.sessionFiles()->isUnsaved());
}

void PreferencesTest::keptWithin_data()
{
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("framePosition");

    // A 1280 x 800 screen's free area below a 24 px panel; frames of
    // 4, 36, 4, 4.
    QTest::newRow("fits: stays") << QRect(100, 100, 800, 600) << QSize(800, 600) << QPoint(96, 64);
    QTest::newRow("right of the screen") << QRect(3000, 100, 800, 600) << QSize(800, 600) << QPoint(472, 64);
    QTest::newRow("above and left") << QRect(-900, -500, 800, 600) << QSize(800, 600) << QPoint(0, 24);
    QTest::newRow("from a bigger screen") << QRect(2000, 1200, 2500, 1400) << QSize(1272, 736)
                                          << QPoint(0, 24);
    QTest::newRow("under the panel") << QRect(10, 0, 800, 600) << QSize(800, 600) << QPoint(6, 24);
}

void PreferencesTest::keptWithin()
{
    QFETCH(QRect, geometry);
    QFETCH(QSize, size);
    QFETCH(QPoint, framePosition);
    const WindowPlacement kept =
        WindowPlacement::keptWithin(QRect(0, 24, 1280, 776), QMargins(4, 36, 4, 4), geometry);
    QCOMPARE(kept.size, size);
    QCOMPARE(kept.framePosition, framePosition);
}

QTEST_MAIN(PreferencesTest)
#include "tst_preferences.moc"
