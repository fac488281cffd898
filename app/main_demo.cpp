// Program entry of the tuning application on the simulated processor, which is plugged in (hot-plug event) shortly after start.
#include "DemoFigures.h"
#include "FileDialogs.h"
#include "Kestrun.h"
#include "Notice.h"
#include "ProcessorSession.h"
#include "SimDevice.h"
#include "SimProcessor.h"
#include "TuningModel.h"
#include "VirtualCar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    Q_INIT_RESOURCE(kestrun);
    QApplication app(argc, argv);
    SimProcessor processor;
    SimDevice device(processor);
    device.setRealTimeouts(true);
    device.setPresenceEvents(true);
    processor.setPlugged(false);
    ProcessorSession session;
    session.Port.setDevice(&device);
    // Measuring goes through a sedan around the simulated processor, as slow as a real sound card.
    QString why;
    std::unique_ptr<VirtualCar> car = VirtualCar::shipped(processor, QStringLiteral("sedan"), &why);
    if (!car) qFatal("the shipped car cannot be read: %s", qPrintable(why));
    car->setPaced(true);
    int rc;
    {
        Language language;
        Notice notice(language);
        FileDialogs files;
        TuningModel model(session);
        Kestrun window(model, notice, files, *car, language);
        // KESTRUN_FIGURES=<seconds> prints the README's figures after that long connected and quits.
        DemoFigures *figures = nullptr;
        if (qEnvironmentVariableIsSet("KESTRUN_FIGURES"))
            figures = new DemoFigures(&window, session.Link, sinceStart, qMax(1, qEnvironmentVariableIntValue("KESTRUN_FIGURES")));
        window.show();
        QTimer::singleShot(600, &window, [&device, figures] {
            if (figures) figures->pluggedIn();
            device.setPlugged(true);
        });
        // For documentation: KESTRUN_SCREENSHOT=file.png grabs the window after
        // KESTRUN_SCREENSHOT_DELAY ms (default 1500) and quits.
        const QString shot = qEnvironmentVariable("KESTRUN_SCREENSHOT");
        if (!shot.isEmpty()) {
            const int delay = qEnvironmentVariableIsSet("KESTRUN_SCREENSHOT_DELAY")
                                  ? qEnvironmentVariableIntValue("KESTRUN_SCREENSHOT_DELAY")
                                  : 1500;
            QTimer::singleShot(delay, &window, [&window, shot] {
                window.grab().save(shot);
                QCoreApplication::exit(0);
            });
        }
        rc = app.exec();
    }
    session.Port.close();
    session.Port.setDevice(nullptr);
    return rc;
}
