// Soak driver: runs the application for a given time with repeated
// playbacks, pauses, resumes and scrubs while the plot draws continuously,
// and compares resident memory after a warm-up with resident memory at the
// end. Prints both figures; exits 1 if memory grew by 1 MiB or more.
//
// Usage: cosmophase_soak [seconds [warm-up seconds]]   (default 600 and 60)

#include "AppDelegate.h"
#include "MasterViewController.h"
#include "MarkerNavigation.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>
#include <malloc.h>
#include <random>

namespace {

constexpr long kAllowedGrowthKiB = 1024;

// VmRSS of this process in KiB, or -1 if it cannot be read. Free heap
// pages go back to the system first, so that allocator slack is not taken
// for growth.
long residentKiB()
{
    malloc_trim(0);
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
    const int warmUp = argc > 2 ? std::atoi(argv[2]) : 60;
    if (seconds <= warmUp || warmUp < 0) {
        std::fprintf(stderr, "soak: the run (%d s) must be longer than the warm-up (%d s)\n",
                     seconds, warmUp);
        return 2;
    }

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    MasterViewController* controller = delegate.masterViewController();

    std::mt19937 random(12345);
    QElapsedTimer elapsed;
    elapsed.start();
    long afterWarmUp = -1;
    long actions = 0;
    long playbacks = 0;

    // Every 250 ms one user action; playback itself runs on the real timer,
    // and the view draws every frame meanwhile.
    QTimer driver;
    driver.setInterval(250);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        ++actions;
        if (!controller->isRunning()) {
            controller->simToggle(); // a new playback
            ++playbacks;
            return;
        }
        switch (std::uniform_int_distribution<int>(0, 9)(random)) {
        case 0:
        case 1:
            controller->simToggle(); // pause or resume
            break;
        case 2:
            controller->additions().markers().scrubTo(std::uniform_real_distribution<double>(0, 100)(random));
            break;
        case 3:
            controller->additions().markers().scrubBy(std::uniform_real_distribution<double>(-5, 5)(random));
            break;
        default:
            break; // let it play
        }
    });
    driver.start();

    // One figure a minute shows whether any growth is steady or a step.
    QTimer sampler;
    sampler.setInterval(60000);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        std::printf("soak: %3lld s: %ld KiB\n", static_cast<long long>(elapsed.elapsed() / 1000),
                    residentKiB());
        std::fflush(stdout);
    });
    sampler.start();

    QTimer::singleShot(warmUp * 1000, [&] {
        afterWarmUp = residentKiB();
        std::printf("soak: resident after %d s warm-up: %ld KiB\n", warmUp, afterWarmUp);
        std::fflush(stdout);
    });
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();

    const long atEnd = residentKiB();
    const long growth = atEnd - afterWarmUp;
    std::printf("soak: resident at the end (%lld s): %ld KiB\n",
                static_cast<long long>(elapsed.elapsed() / 1000), atEnd);
    std::printf("soak: growth %ld KiB (allowed < %ld KiB) over %d s; %ld actions, %ld playbacks, "
                "window title \"%s\"\n",
                growth, kAllowedGrowthKiB, seconds - warmUp, actions, playbacks,
                qPrintable(delegate.window()->windowTitle()));
    if (afterWarmUp < 0 || atEnd < 0) {
        std::fprintf(stderr, "soak: cannot read VmRSS from /proc/self/status\n");
        return 1;
    }
    return growth < kAllowedGrowthKiB ? 0 : 1;
}
