// Program entry of the tuning application on the real processor (hidapi).
#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    return 0;
}
