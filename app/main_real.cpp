// Program entry of the tuning application on the real processor (hidapi).
#include "HidapiDevice.h"
#include "FileDialogs.h"
#include "Kestrun.h"
#include "Notice.h"
#include "ProcessorSession.h"
#include "PortAudioIo.h"
#include "TuningModel.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    Q_INIT_RESOURCE(kestrun);
    QApplication app(argc, argv);
    HidapiDevice device;
    ProcessorSession session;
    session.Port.setDevice(&device);
    PortAudioIo audio;  // a failed start leaves it without devices, which the measurement panel reports
    int rc;
    {
        Language language;
        Notice notice(language);
        FileDialogs files;
        TuningModel model(session);
        Kestrun window(model, notice, files, audio, language);
        window.show();
        rc = app.exec();
    }
    session.Port.close();
    session.Port.setDevice(nullptr);
    return rc;
}
