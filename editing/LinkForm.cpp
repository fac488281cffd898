// The left/right link dialog, built in code.
#include "LinkForm.h"
#include "TuningModel.h"

#include "ChannelLink.h"
#include "Styles.h"
#include "Texts.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

namespace {

const char HeadingStyle[] = "QLineEdit{color: rgb(255, 255, 255);background-color: rgb(67, 67, 68);border:none;}";
const char RadioStyle[] = "QRadioButton{color: rgb(255, 255, 255);background-color: rgb(67, 67, 68);border:none;}";
const char GroupStyle[] = "QGroupBox{background-color: rgb(67, 67, 68);border:1px solid gray;}";

QLineEdit *heading(QWidget *parent, const QString &name, const QString &text, const QRect &geometry)
{
    auto *e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setGeometry(geometry);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setStyleSheet(QString::fromLatin1(HeadingStyle));
    return e;
}

QRadioButton *radio(QGroupBox *box, const QString &name, const QString &text, const QRect &geometry)
{
    auto *r = new QRadioButton(text, box);
    r->setObjectName(name);
    r->setGeometry(geometry);
    r->setStyleSheet(QString::fromLatin1(RadioStyle));
    return r;
}

}  // namespace

LinkForm::LinkForm(TuningModel &model, uint8_t language, QWidget *parent)
    : QDialog(parent), model_(model)
{
    setObjectName(QStringLiteral("LinkForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::FramelessWindowHint);
    setFixedSize(534, 227);
    setWindowTitle(QStringLiteral("左右联调"));
    setStyleSheet(QStringLiteral("background-color: rgb(67, 67, 68);\nborder : 2px solid gray;"));

    lineEdit = heading(this, QStringLiteral("lineEdit"), T(Txt::LinkHeading, language), QRect(16, 10, 260, 26));

    groupBox = new QGroupBox(this);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    groupBox->setGeometry(16, 50, 240, 120);
    groupBox->setStyleSheet(QString::fromLatin1(GroupStyle));
    lineEdit_2 = heading(groupBox, QStringLiteral("lineEdit_2"), T(Txt::LinkRefHeading, language), QRect(10, 8, 220, 22));
    radioButton_1 = radio(groupBox, QStringLiteral("radioButton_1"), T(Txt::LinkRefLeft, language), QRect(16, 42, 216, 22));
    radioButton_2 = radio(groupBox, QStringLiteral("radioButton_2"), T(Txt::LinkRefRight, language), QRect(16, 78, 216, 22));
    radioButton_1->setChecked(true);

    groupBox_2 = new QGroupBox(this);
    groupBox_2->setObjectName(QStringLiteral("groupBox_2"));
    groupBox_2->setGeometry(276, 50, 240, 120);
    groupBox_2->setStyleSheet(QString::fromLatin1(GroupStyle));
    lineEdit_3 = heading(groupBox_2, QStringLiteral("lineEdit_3"), T(Txt::LinkParamHeading, language), QRect(10, 8, 220, 22));
    radioButton_3 = radio(groupBox_2, QStringLiteral("radioButton_3"), T(Txt::LinkFilter, language), QRect(16, 36, 216, 22));
    radioButton_4 = radio(groupBox_2, QStringLiteral("radioButton_4"), T(Txt::LinkEq, language), QRect(16, 62, 216, 22));
    radioButton_5 = radio(groupBox_2, QStringLiteral("radioButton_5"), T(Txt::LinkEqFilter, language), QRect(16, 88, 216, 22));
    radioButton_5->setChecked(true);

    pushButton = new QPushButton(T(Txt::LinkSync, language), this);
    pushButton->setObjectName(QStringLiteral("pushButton"));
    pushButton->setGeometry(207, 184, 120, 28);
    pushButton->setStyleSheet(Styles::dark(QStringLiteral("pushButton")));

    BT_CLOSE = new QPushButton(this);
    BT_CLOSE->setObjectName(QStringLiteral("BT_CLOSE"));
    BT_CLOSE->setGeometry(500, 8, 24, 24);
    BT_CLOSE->setFocusPolicy(Qt::NoFocus);
    BT_CLOSE->setStyleSheet(QStringLiteral(
        "QPushButton#BT_CLOSE{border-image: url(:/PNG/MainClose.png);background-color: transparent;border:none;}"
        "QPushButton#BT_CLOSE:hover{border-image: url(:/PNG/MainClose.png);background-color: transparent;}"
        "QPushButton#BT_CLOSE:pressed{border-image: url(:/PNG/MainClose.png);background-color: transparent;}"));

    connect(BT_CLOSE, &QPushButton::clicked, this, &LinkForm::on_BT_CLOSE_clicked);
    connect(radioButton_1, &QRadioButton::clicked, this, &LinkForm::on_radioButton_1_clicked);
    connect(radioButton_2, &QRadioButton::clicked, this, &LinkForm::on_radioButton_2_clicked);
    connect(radioButton_3, &QRadioButton::clicked, this, &LinkForm::on_radioButton_3_clicked);
    connect(radioButton_4, &QRadioButton::clicked, this, &LinkForm::on_radioButton_4_clicked);
    connect(radioButton_5, &QRadioButton::clicked, this, &LinkForm::on_radioButton_5_clicked);
    connect(pushButton, &QPushButton::clicked, this, &LinkForm::on_pushButton_clicked);
}

void LinkForm::on_BT_CLOSE_clicked()
{
    close();
}

// The radio buttons take effect at once, on the channel selected at the moment of the click.
void LinkForm::on_radioButton_1_clicked() { model_.links.LinkDir = 0; }
void LinkForm::on_radioButton_2_clicked() { model_.links.LinkDir = 1; }
void LinkForm::on_radioButton_3_clicked() { if (model_.CurCh < CH_COUNT) model_.links.LinkMode[model_.CurCh] = 2; }
void LinkForm::on_radioButton_4_clicked() { if (model_.CurCh < CH_COUNT) model_.links.LinkMode[model_.CurCh] = 1; }
void LinkForm::on_radioButton_5_clicked() { if (model_.CurCh < CH_COUNT) model_.links.LinkMode[model_.CurCh] = 0; }

void LinkForm::on_pushButton_clicked()
{
    if (radioButton_1->isChecked())
        model_.links.LinkDir = 0;
    else if (radioButton_2->isChecked())
        model_.links.LinkDir = 1;
    if (model_.CurCh < CH_COUNT) {
        if (radioButton_5->isChecked())
            model_.links.LinkMode[model_.CurCh] = 0;
        else if (radioButton_4->isChecked())
            model_.links.LinkMode[model_.CurCh] = 1;
        else if (radioButton_3->isChecked())
            model_.links.LinkMode[model_.CurCh] = 2;
    }
    // The model shows each linked channel as it links it.
    model_.applyLink();
    emit LinkForm_ChangeEvent(model_.CurCh);
    close();
}

void LinkForm::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) return;
    dragOffset_ = event->globalPos() - frameGeometry().topLeft();
    event->accept();
}

void LinkForm::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton)) return;
    move(event->globalPos() - dragOffset_);
    event->accept();
}
