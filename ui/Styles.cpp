// The style sheet texts of the window.
#include "Styles.h"

namespace {
const char *Tail = "border:1px groove gray;border-radius:6px;padding:1px 4px;border-style: outset;";
}

QString Styles::dark(const QString &name)
{
    return QStringLiteral("QPushButton#%1{background-color: rgb(72, 72, 73);color:white;%2}").arg(name, Tail);
}

QString Styles::light(const QString &name)
{
    return QStringLiteral("QPushButton#%1{background-color: rgb(204, 204, 204);color:black;%2}").arg(name, Tail);
}

QString Styles::lightRed(const QString &name)
{
    return QStringLiteral("QPushButton#%1{background-color: rgb(204, 204, 204);color:red;%2}").arg(name, Tail);
}

QString Styles::muted(const QString &name)
{
    return QStringLiteral("QPushButton#%1{background-color: rgb(204, 204, 204);color:red;%2;}").arg(name, Tail);
}

QString Styles::bandFlat()
{
    return QStringLiteral("border-radius:6px;padding:1px 5px;border-style: outset;background-color:white;");
}

QString Styles::bandActive()
{
    return QStringLiteral("border-radius:6px;padding:1px 5px;border-style: outset;background-color:rgb(65,105,225);");
}

QString Styles::eqEdit(const QString &name, bool parametric)
{
    return QStringLiteral("QLineEdit#%1{color: rgb(%2);background-color: transparent;border-width:1;border-style:outset;}")
        .arg(name, parametric ? QStringLiteral("255, 255, 255") : QStringLiteral("128, 128, 128"));
}

QString Styles::axisCaption(const QString &name)
{
    return QStringLiteral("QLineEdit#%1\n{\n\tcolor: rgb(255, 255, 255);\n\tbackground-color: transparent;\n\tborder-width:0;border-style:outset;\n}")
        .arg(name);
}

QString Styles::menu()
{
    return QStringLiteral("QMenu{background-color: rgb(15,16,18);color: white;}"
                          "QMenu::item:selected{background-color: rgb(0,128,0);}");
}
