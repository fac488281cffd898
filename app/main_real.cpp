// Program entry of the tuning application on the real processor (hidapi).
#include "HidapiDevice.h"
#include "FileDialogs.h"
#include "Kestrun.h"
#include "Notice.h"
#include "ParamStore.h"
#include "PortAudioIo.h"
#include "Transport.h"
#include "TuningModel.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    Q_INIT_RESOURCE(kestrun);
    QApplication app(argc, argv);
    HidapiDevice device;
    Port.setDevice(&device);
    PortAudioIo audio;  // a failed start leaves it without devices, which the measurement panel reports
    int rc;
    {
        Notice notice;
        FileDialogs files;
        TuningModel model(ParamStore);
        Kestrun window(model, notice, files, audio);
        window.show();
        rc = app.exec();
    }
    Port.close();
    Port.setDevice(nullptr);
    return rc;
}
