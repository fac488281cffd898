// The about box, built from the current store and language each time it opens.
#include "AboutForm.h"

#include "ParamStore.h"
#include "Texts.h"

#include <QLabel>
#include <QPushButton>

namespace {
QLabel *line(QWidget *parent, const char *name, const QString &text, int y, int points, const char *family)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(40, y, 443, 28);
    QFont f{QString::fromLatin1(family)};
    f.setPointSize(points);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));
    return l;
}
}  // namespace

AboutForm::AboutForm(uint32_t firmwareVersion, uint8_t language, QWidget *parent)
    : FramelessDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setFixedSize(523, 314);
    setWindowTitle(QStringLiteral("关于"));
    setStyleSheet(QStringLiteral("#AboutForm{background-color: rgb(15, 16, 16);border: 2px solid rgb(192, 192, 192);}"));

    BT_CLOSE = new QPushButton(this);
    BT_CLOSE->setObjectName(QStringLiteral("BT_CLOSE"));
    BT_CLOSE->setGeometry(486, 10, 27, 27);
    BT_CLOSE->setStyleSheet(QStringLiteral("QPushButton{border-image: url(:/PNG/MainClose.png);background-color: transparent;}"));

    label_2 = line(this, "label_2", T(Txt::AboutHeading, 0), 40, 16, "Arial");
    label_4 = line(this, "label_4", T(Txt::AboutApplication, 0), 90, 11, "Arial");
    label_5 = line(this, "label_5", QStringLiteral("Kestrun %1").arg(QStringLiteral(KESTRUN_VERSION)), 122, 10, "Arial");
    label_6 = line(this, "label_6", T(Txt::AboutFirmware, 0), 160, 11, "Arial");
    label_6->setGeometry(40, 160, 180, 28);
    label_8 = line(this, "label_8", QStringLiteral("00"), 160, 11, "Arial");
    label_8->setGeometry(230, 160, 200, 28);
    label_7 = line(this, "label_7", QStringLiteral("Veltra CAR DSP UI"), 262, 9, "Arial");

    BT_EXIT = new QPushButton(QStringLiteral("确定"), this);
    BT_EXIT->setObjectName(QStringLiteral("BT_EXIT"));
    BT_EXIT->setGeometry(403, 258, 90, 28);
    BT_EXIT->setStyleSheet(QStringLiteral("QPushButton#BT_EXIT{background-color: rgb(72, 72, 73);color:white;border:1px groove gray;"
                                          "border-radius:6px;padding:1px 4px;border-style: outset;}"));

    label_8->setText(QString::number(firmwareVersion));
    if (language) {
        label_2->setText(T(Txt::AboutHeading, language));
        label_4->setText(T(Txt::AboutApplication, language));
        label_6->setText(T(Txt::AboutFirmware, language));
    }
    connect(BT_CLOSE, &QPushButton::clicked, this, &AboutForm::on_BT_CLOSE_clicked);
    connect(BT_EXIT, &QPushButton::clicked, this, &AboutForm::on_BT_EXIT_clicked);
}

void AboutForm::on_BT_CLOSE_clicked()
{
    close();
}

void AboutForm::on_BT_EXIT_clicked()
{
    close();
}
