// Program entry of the tuning application on the simulated processor, which is plugged in shortly after start.
#include "Kestrun.h"
#include "SimDevice.h"
#include "SimProcessor.h"
#include "Transport.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    Q_INIT_RESOURCE(kestrun);
    QApplication app(argc, argv);
    SimProcessor processor;
    SimDevice device(processor);
    device.setRealTimeouts(true);
    processor.setPlugged(false);
    Port.setDevice(&device);
    int rc;
    {
        Kestrun window;
        window.show();
        QTimer::singleShot(600, &window, [&processor] { processor.setPlugged(true); });
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
    Port.close();
    Port.setDevice(nullptr);
    return rc;
}
