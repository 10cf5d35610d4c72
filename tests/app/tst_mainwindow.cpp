#include "AppTestSupport.h"

#include <QApplication>

using apptest::outlet;

namespace {

// Records the text a label has when it is first painted.
class FirstPaintRecorder : public QObject {
public:
    explicit FirstPaintRecorder(QString objectName)
        : m_object_name(std::move(objectName))
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_painted && watched->objectName() == m_object_name) {
            if (auto* label = qobject_cast<QLabel*>(watched)) {
                m_painted = true;
                m_text = label->text();
            }
        }
        return false;
    }

    bool painted() const { return m_painted; }
    const QString& text() const { return m_text; }

private:
    QString m_object_name;
    QString m_text;
    bool m_painted = false;
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void firstPaintShowsTheStartUpReadouts();
    void windowLayout();
};

void TestMainWindow::firstPaintShowsTheStartUpReadouts()
{
    FirstPaintRecorder recorder(QStringLiteral("runTimeField"));
    qApp->installEventFilter(&recorder);
    AppDelegate delegate;
    QVERIFY(!delegate.window()->isVisible());
    delegate.applicationDidFinishLaunching();
    QVERIFY(QTest::qWaitForWindowExposed(delegate.window()));
    QTRY_VERIFY(recorder.painted());
    qApp->removeEventFilter(&recorder);
    QCOMPARE(recorder.text(), QStringLiteral("0.0100 Years"));
}

void TestMainWindow::windowLayout()
{
    const std::unique_ptr<AppDelegate> app = apptest::launch();
    QVERIFY(app);
    QMainWindow* window = app->window();
    QCOMPARE(window->size(), QSize(AppDelegate::kDefaultWidth, AppDelegate::kDefaultHeight));
    QCOMPARE(window->centralWidget(), app->masterViewController()->view());

    auto* view = outlet<MyOpenGLView>(*app, "openGLView");
    for (const QSize size : {QSize(900, 700), QSize(1300, 620), QSize(700, 900)}) {
        window->resize(size);
        QTRY_COMPARE(window->size(), size);
        // The content fills the window below the menu bar, and the plot
        // stays square inside it.
        QCOMPARE(window->centralWidget()->width(), window->width());
        QCOMPARE(window->centralWidget()->geometry().bottom(), window->rect().bottom());
        QTRY_COMPARE(view->width(), view->height());
        QVERIFY2(view->width() >= 400, qPrintable(QString::number(view->width())));
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
