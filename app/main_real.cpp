// Program entry of the tuning application on the real processor (hidapi).
#include "HidapiDevice.h"
#include "FileDialogs.h"
#include "Kestrun.h"
#include "Notice.h"
#include "ParamStore.h"
#include "Transport.h"
#include "TuningModel.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    Q_INIT_RESOURCE(kestrun);
    QApplication app(argc, argv);
    HidapiDevice device;
    Port.setDevice(&device);
    int rc;
    {
        Notice notice;
        FileDialogs files;
        TuningModel model(ParamStore);
        Kestrun window(model, notice, files);
        window.show();
        rc = app.exec();
    }
    Port.close();
    Port.setDevice(nullptr);
    return rc;
}
