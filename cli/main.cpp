// Entry of kestrun-cli: a display-free application that runs one command.
#include "CliTool.h"

#include <QGuiApplication>

#include <cstdio>

namespace {
// The commands report their own errors in one line; the platform's notices would only add noise.
void quietNotices(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(msg));
}
}  // namespace

int main(int argc, char **argv)
{
    // The setup sheet needs fonts, hence a GUI application; it never needs a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietNotices);
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliTool tool(out, err);
    return tool.run(app.arguments().mid(1));
}
