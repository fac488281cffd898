// Tooltips: every control of the window has one, in both languages, with its range and steps.
#include "LanguageSwitch.h"
#include "TestRig.h"

#include "Texts.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestTooltips : public QObject
{
    Q_OBJECT

    // Controls without a tooltip: buttons, sliders and editable fields.
    static QStringList missing(QWidget *w)
    {
        QStringList out;
        for (QWidget *c : w->findChildren<QWidget *>()) {
            const auto *edit = qobject_cast<QLineEdit *>(c);
            const bool control = qobject_cast<QAbstractButton *>(c) || qobject_cast<QAbstractSlider *>(c) ||
                                 (edit && !edit->isReadOnly());
            if (control && c->toolTip().isEmpty()) out << c->objectName();
        }
        return out;
    }

private slots:
    void everyControlInBothLanguages()
    {
        TestRig rig(false);
        QCOMPARE(missing(rig.w.get()), QStringList());
        const QString zhFreq = rig.w->ui->Edit_EQ_Freq[4]->toolTip();
        QVERIFY(zhFreq.contains(QStringLiteral("20 .. 20000")));
        QCOMPARE(rig.w->ui->BT_CH[3]->toolTip(), QStringLiteral("选择输出通道4进行编辑（Ctrl+4）"));
        rig.w->language().Option_Sub7_Fun();
        QCOMPARE(missing(rig.w.get()), QStringList());
        QCOMPARE(rig.w->ui->BT_CH[3]->toolTip(), QStringLiteral("Edit output 4 (Ctrl+4)"));
        QCOMPARE(rig.w->ui->Edit_CHDelay[5]->toolTip(), T(Txt::TipDelayEdit, 1));
        QVERIFY(rig.w->ui->Edit_Total->toolTip().contains(QStringLiteral("-60.0 .. 0.0")));
        QCOMPARE(rig.w->ui->BT_INPUT_OPT->toolTip(), QStringLiteral("Input source: use the processor's OPT input"));
        QVERIFY(rig.w->ui->Edit_EQ_Freq[4]->toolTip() != zhFreq);
        rig.w->language().Option_Sub6_Fun();
        QCOMPARE(rig.w->ui->Edit_EQ_Freq[4]->toolTip(), zhFreq);
    }
};

QTEST_MAIN(TestTooltips)
#include "test_tooltips.moc"
