// The scene manager dialog: nine rows of selection box, number, name and state, and its actions.
#include "SenceManage.h"

#include "Commands.h"
#include "Notice.h"
#include "ProcessorSession.h"
#include "TransferGuard.h"
#include "TransferLink.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <cstring>

namespace {
const char *const ButtonLook =
    "QPushButton{background-color: rgb(72, 72, 73);color: rgb(255, 255, 255);border:1px solid rgb(96, 96, 96);}"
    "QPushButton:pressed{background-color: rgb(204, 204, 204);color: rgb(0, 0, 0);}";
const char *const HeaderLook =
    "QPushButton{background-color: transparent;color: rgb(200, 200, 200);border:none;}";
constexpr int RowTop = 64;
constexpr int RowHeight = 25;

QString nameText(const SceneNames &names, int i)
{
    const char *bytes = reinterpret_cast<const char *>(names.SceneName[i]);
    return QString::fromLatin1(bytes, int(strnlen(bytes, SCENE_NAME_SIZE)));
}

// A set command may go out: connected, and no download holds set commands back.
bool readyToSend(const Notice &notice, ProcessorSession &session)
{
    if (TransferLink(session).waitLinkIdle()) return true;
    notice.info(session.Link.Connected ? Txt::TransferBusy : Txt::ConnectFirst);
    return false;
}
}  // namespace

SenceManage::SenceManage(const Notice &notice, ProcessorSession &session, QWidget *parent)
    : QDialog(parent), notice_(notice), p_(session)
{
    setObjectName(QStringLiteral("SenceManage"));
    setWindowTitle(QStringLiteral("场景管理"));
    resize(563, 311);
    setStyleSheet(QStringLiteral("#SenceManage{background-color: rgb(40, 40, 41);border:1px solid rgb(96, 96, 96);}"
                                 "QLabel{color: rgb(255, 255, 255);}"
                                 "QCheckBox{color: rgb(255, 255, 255);}"));
    buildControls();
    setWindowFlags(Qt::FramelessWindowHint);

    // Texts of the current language (the Chinese ones are the built ones).
    if (notice_.language().LanguageFlag) {
        label->setText(notice_.language().text(Txt::SceneManagerTitle));
        BT_SAVE->setText(notice_.language().text(Txt::SceneSaveButton));
        BT_CALL->setText(notice_.language().text(Txt::SceneLoadButton));
        BT_DEL->setText(notice_.language().text(Txt::SceneDeleteButton));
        BT_EXIT->setText(notice_.language().text(Txt::SceneExitButton));
        for (QPushButton *h : Header) h->show();
    } else {
        for (QPushButton *h : Header) h->hide();
    }
    for (int i = 0; i < SCENE_COUNT; ++i) {
        Edit_Sence_Name[i]->setAlignment(Qt::AlignCenter);
        Edit_Sence_Name[i]->setText(nameText(p_.sceneNames, i));
    }
    showMarks();
}

void SenceManage::buildControls()
{
    label = new QLabel(T(Txt::SceneManagerTitle, 0), this);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(20, 8, 240, 24);

    BT_CLOSE = new QPushButton(this);
    BT_CLOSE->setObjectName(QStringLiteral("BT_CLOSE"));
    BT_CLOSE->setGeometry(526, 10, 27, 27);
    BT_CLOSE->setStyleSheet(QStringLiteral("QPushButton{border-image: url(:/PNG/MainClose.png);background-color: transparent;}"));
    BT_CLOSE->setFocusPolicy(Qt::NoFocus);
    connect(BT_CLOSE, &QPushButton::clicked, this, &SenceManage::on_BT_CLOSE_clicked);

    static const char headers[4][9] = {"Selete", "Position", "Name", "State"};
    static const int headerX[4] = {20, 80, 170, 350};
    static const int headerW[4] = {60, 80, 160, 80};
    for (int h = 0; h < 4; ++h) {
        Header[h] = new QPushButton(QString::fromLatin1(headers[h]), this);
        Header[h]->setObjectName(QStringLiteral("BT_SAVE_%1").arg(h + 2));
        Header[h]->setGeometry(headerX[h], 38, headerW[h], 22);
        Header[h]->setStyleSheet(QString::fromLatin1(HeaderLook));
        Header[h]->setFocusPolicy(Qt::NoFocus);
    }

    auto *numbers = new QFrame(this);
    numbers->setObjectName(QStringLiteral("frame"));
    numbers->setGeometry(90, RowTop, 60, RowHeight * SCENE_COUNT);
    numbers->setFrameShape(QFrame::Box);
    for (int i = 0; i < SCENE_COUNT; ++i) {
        const int y = RowTop + i * RowHeight;
        Check_S[i] = new QCheckBox(this);
        Check_S[i]->setObjectName(QStringLiteral("Check_S_%1").arg(i + 1));
        Check_S[i]->setGeometry(42, y + 3, 20, 20);
        connect(Check_S[i], &QCheckBox::clicked, this, [this, i] { checkClicked(i); });

        auto *number = new QLabel(QString::number(i + 1), numbers);
        number->setObjectName(QStringLiteral("Label_Row_%1").arg(i + 1));
        number->setGeometry(0, i * RowHeight, 60, RowHeight);
        number->setAlignment(Qt::AlignCenter);

        Edit_Sence_Name[i] = new QLineEdit(this);
        Edit_Sence_Name[i]->setObjectName(QStringLiteral("Edit_Sence_Name_%1").arg(i + 1));
        Edit_Sence_Name[i]->setGeometry(170, y + 2, 160, 21);
        Edit_Sence_Name[i]->setMaxLength(SCENE_NAME_SIZE);

        Label_Mark[i] = new QLabel(this);
        Label_Mark[i]->setObjectName(QStringLiteral("Label_Mark_%1").arg(i + 1));
        Label_Mark[i]->setGeometry(350, y, 80, RowHeight);
        Label_Mark[i]->setAlignment(Qt::AlignCenter);
    }

    QPushButton **buttons[4] = {&BT_SAVE, &BT_CALL, &BT_DEL, &BT_EXIT};
    static const char names[4][8] = {"BT_SAVE", "BT_CALL", "BT_DEL", "BT_EXIT"};
    static const Txt texts[4] = {Txt::SceneSaveButton, Txt::SceneLoadButton, Txt::SceneDeleteButton, Txt::SceneExitButton};
    static const int buttonY[4] = {70, 115, 160, 250};
    for (int k = 0; k < 4; ++k) {
        QPushButton *b = new QPushButton(T(texts[k], 0), this);
        b->setObjectName(QString::fromLatin1(names[k]));
        b->setGeometry(460, buttonY[k], 80, 30);
        b->setStyleSheet(QString::fromLatin1(ButtonLook));
        *buttons[k] = b;
    }
    connect(BT_SAVE, &QPushButton::clicked, this, &SenceManage::on_BT_SAVE_clicked);
    connect(BT_CALL, &QPushButton::clicked, this, &SenceManage::on_BT_CALL_clicked);
    connect(BT_DEL, &QPushButton::clicked, this, &SenceManage::on_BT_DEL_clicked);
    connect(BT_EXIT, &QPushButton::clicked, this, &SenceManage::on_BT_EXIT_clicked);
}

bool SenceManage::nameAccepted(const QString &name)
{
    if (name.isEmpty()) return false;
    const ushort c = name.at(0).unicode();
    return c >= u'A' && c <= u'z';
}

void SenceManage::showMarks()
{
    for (int i = 0; i < SCENE_COUNT; ++i)
        Label_Mark[i]->setText(notice_.language().text(p_.sceneNames.SceneUsed[i] == 1 ? Txt::SceneMarkUsed : Txt::SceneMarkEmpty));
}

int SenceManage::selectedSlot()
{
    for (int i = 0; i < SCENE_COUNT; ++i) {
        if (Check_S[i]->isChecked()) {
            SceneSelect = uint8_t(i);
            return i;
        }
    }
    notice_.info(Txt::SceneSelectFirst);
    return -1;
}

void SenceManage::on_BT_CLOSE_clicked()
{
    close();
}

void SenceManage::on_BT_EXIT_clicked()
{
    close();
}

void SenceManage::checkClicked(int row)
{
    if (row < 0 || row >= SCENE_COUNT || !Check_S[row]->isChecked()) return;
    for (int i = 0; i < SCENE_COUNT; ++i)
        if (i != row) Check_S[i]->setChecked(false);
}

void SenceManage::on_BT_SAVE_clicked()
{
    const int i = selectedSlot();
    if (i < 0) return;
    if (TransferGuard::busy(p_.Link)) {
        notice_.info(Txt::TransferBusy);
        return;
    }
    const QString text = Edit_Sence_Name[i]->text();
    if (!nameAccepted(text)) {
        notice_.info(Txt::SceneNameFormat);
        return;
    }
    if (!readyToSend(notice_, p_)) return;
    // Bytes behind the terminator keep the slot's earlier contents.
    uint8_t name[SCENE_NAME_SIZE];
    std::memcpy(name, p_.sceneNames.SceneName[i], SCENE_NAME_SIZE);
    const QByteArray latin = text.toLatin1();
    int n = 0;
    for (; n < SCENE_NAME_SIZE && n < latin.size() && latin[n] != 0; ++n) name[n] = uint8_t(latin[n]);
    if (n < SCENE_NAME_SIZE) name[n] = 0;
    CMD_SCENE_SAVE(p_, uint8_t(i + 1), name);
    if (!p_.Link.Connected) return;  // the write failed; the lost-link box has been shown
    std::memcpy(p_.sceneNames.SceneName[i], name, SCENE_NAME_SIZE);
    p_.sceneNames.SceneUsed[i] = 1;
    notice_.info(Txt::SceneSaved);
    showMarks();
}

void SenceManage::on_BT_CALL_clicked()
{
    const int i = selectedSlot();
    if (i < 0) return;
    TransferGuard guard(p_.Link);
    if (!guard.acquired()) {
        notice_.info(Txt::TransferBusy);
        return;
    }
    if (!p_.Link.Connected) {
        notice_.info(Txt::ConnectFirst);
        return;
    }
    notice_.info(Txt::SceneRecalled);
    if (TransferLink(p_).waitLinkIdle()) CMD_SCENE_LOAD(p_, uint8_t(i + 1));
    // The processor now runs the recalled scene: read it again in a moment.
    if (p_.Link.Connected) p_.Link.ResyncCountdown = 100;
}

void SenceManage::on_BT_DEL_clicked()
{
    const int i = selectedSlot();
    if (i < 0) return;
    if (TransferGuard::busy(p_.Link)) {
        notice_.info(Txt::TransferBusy);
        return;
    }
    if (!notice_.ask(Txt::SceneDeleteAsk)) return;
    if (!readyToSend(notice_, p_)) return;
    CMD_SCENE_DELETE(p_, uint8_t(i + 1));
    if (!p_.Link.Connected) return;
    p_.sceneNames.SceneUsed[i] = 0;
    showMarks();
}

void SenceManage::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) return;
    dragOffset_ = event->globalPos() - frameGeometry().topLeft();
    event->accept();
}

void SenceManage::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton)) return;
    move(event->globalPos() - dragOffset_);
    event->accept();
}
