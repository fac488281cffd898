// What new users ran into in the window: typed gains, entry hints, A/B marks, the close question, the link
// dialog during transfers, the word after a save and the last folder, the tuning panel and its alignment note.
#include "WindowMenus.h"
#include "OutputSlots.h"
#include "SceneFiles.h"
#include "TestRig.h"
#include "TransferKit.h"
#include "TuningModel.h"

#include "AbControls.h"
#include "EditLock.h"
#include "EntryHint.h"
#include "FreqCurve.h"
#include "LinkForm.h"
#include "MeasurementOverlay.h"
#include "StatusNote.h"
#include "Styles.h"
#include "TuningPanel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QtTest>

namespace {

void typeInto(QLineEdit *e, const QString &text)
{
    e->setText(text);
    QTest::keyClick(e, Qt::Key_Return);
}

TuningPanel *openPanel(Kestrun &w)
{
    w.menus().TuningAct->trigger();
    return w.findChild<TuningPanel *>();
}

// Pixels of exactly this colour inside the graph's plot area.
int plotPixels(Kestrun &w, QRgb colour)
{
    QImage img(w.size(), QImage::Format_RGB32);
    w.render(&img, QPoint(), QRegion(), QWidget::RenderFlags());
    int n = 0;
    for (int y = 50; y < 238; ++y)
        for (int x = 40; x < 1090; ++x) n += img.pixel(x, y) == colour;
    return n;
}

}  // namespace

class TestWindowFindings : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    // The slider and the field follow a typed gain at once; no later refresh sends the band again, while a
    // channel switch still echoes the bands whose sliders move.
    void typedGainMovesItsSlider()
    {
        TestRig rig;
        connectLink(rig);
        Kestrun &w = *rig.w;
        typeInto(w.ui->Edit_EQ_Gain[2], QStringLiteral("4"));
        QCOMPARE(w.ui->Slider_EQ_Gain_Bar[2]->value(), 160);
        QCOMPARE(w.ui->Edit_EQ_Gain[2]->text(), QStringLiteral("4.0"));
        QCOMPARE(rig.sent().size(), size_t(1));
        rig.clearSent();
        w.outputs().BT_CH_Switch(0);
        QCOMPARE(rig.sent().size(), size_t(0));
        w.outputs().BT_CH_Switch(1);
        QCOMPARE(rig.sent(), std::vector<QByteArray>{bandFrame(1, 2)});
    }

    // Enter on a field that shows its stored value gives no hint; the gain hint and tooltip name one range.
    void entryHints()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        for (QLineEdit *e : {w.ui->Edit_CHVol[0], w.ui->Edit_CHDelay[0], w.ui->Edit_Total, w.ui->Edit_EQ_Gain[0],
                             w.ui->Edit_EQ_Freq[0], w.ui->Edit_EQ_Q[0], w.ui->Edit_HPF_Freq})
            QTest::keyClick(e, Qt::Key_Return);
        QVERIFY(w.Hint->isHidden());
        typeInto(w.ui->Edit_CHVol[0], QStringLiteral("loud"));
        QVERIFY(!w.Hint->isHidden());
        for (uint8_t lang : {0, 1}) {
            Lang().LanguageFlag = lang;
            w.applyHelpTexts();
            for (const QString &text : {T(Txt::HintGain, Lang().LanguageFlag), w.ui->Edit_EQ_Gain[0]->toolTip()})
                QVERIFY(text.contains(QStringLiteral("-12.0")) && text.contains(QStringLiteral("±20.0")));
        }
    }

    // Save, Discard or Cancel; Esc and closing the box cancel.
    void closeQuestionCancels()
    {
        TestRig rig(false);
        TransferKit kit(rig);
        rig.w->ui->Slider_CHVol_Bar[1]->setValue(200);
        Notice::Request asked;
        rig.noticeBox.setChoiceResponder([&asked](const Notice::Request &r) { return (asked = r).escapeChoice; });
        rig.w->on_BT_CLOSE_clicked();
        QCOMPARE(asked.choices.value(asked.escapeChoice), T(Txt::CancelButton, Lang().LanguageFlag));
        QVERIFY(kit.dialogs.isEmpty() && Model().hasOfflineEdits());
    }

    // The lit mark shows the memory the tuning equals; a switch to an empty memory is a hint and nothing else.
    void abMarkFollowsTheStore()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        AbControls &ab = *w.Ab;
        auto lit = [&ab](int k) { return ab.switchButton(k)->styleSheet() == Styles::light(ab.switchButton(k)->objectName()); };
        ab.switchButton(1)->click();
        QCOMPARE(w.Hint->text(), T(Txt::AbEmptyB, Lang().LanguageFlag));
        QVERIFY(!w.Hint->isHidden());
        QCOMPARE(Model().history.size(), 0);
        ab.storeButton(0)->click();
        w.ui->Slider_CHVol_Bar[0]->setValue(300);
        ab.storeButton(1)->click();
        QVERIFY(!lit(0) && lit(1));
        ab.switchButton(0)->click();
        QVERIFY(lit(0) && !lit(1));
        QVERIFY(Model().undo());
        QVERIFY(!lit(0) && lit(1));
        w.ui->Slider_CHVol_Bar[0]->setValue(310);
        QVERIFY(!lit(0) && !lit(1));
    }

    // The link dialog is held by the transfer lock, also one opened while the lock holds.
    void linkDialogHeldDuringTransfers()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        w.outputs().on_BT_LINK_clicked();
        w.TransferLock->setLocked(true);
        w.outputs().on_BT_LINK_clicked();
        QList<LinkForm *> forms;
        for (QWidget *t : QApplication::topLevelWidgets())
            if (auto *f = qobject_cast<LinkForm *>(t)) forms << f;
        QCOMPARE(forms.size(), 2);
        for (LinkForm *f : forms) {
            f->radioButton_4->click();
            f->pushButton->click();
        }
        QVERIFY(!Model().links.isLinked(0));
        QCOMPARE(Model().links.LinkMode[0], uint8_t(0));
        w.TransferLock->setLocked(false);
        forms[0]->pushButton->click();
        QVERIFY(Model().links.isLinked(0));
        qDeleteAll(forms);
    }

    // Scene, setup sheet and filter saves leave a word in the top bar; dialogs start in the last folder.
    void savesAreReportedAndFoldersRemembered()
    {
        TestRig rig;
        TransferKit kit(rig);
        QVERIFY(rig.connectAndDownload());
        Kestrun &w = *rig.w;
        kit.paths = {dir_.filePath(QStringLiteral("door.SCE"))};
        w.sceneFiles().Sence_Sub2_Fun();
        QVERIFY(!w.OfflineNote->isHidden() && w.OfflineNote->text().contains(QStringLiteral("door.SCE")));
        w.menus().EnglishAct->trigger();
        kit.paths = {dir_.filePath(QStringLiteral("sheet.pdf"))};
        w.menus().SenceMenu->actions().last()->trigger();
        kit.paths = {dir_.filePath(QStringLiteral("eq.txt"))};
        openPanel(w)->exportButton->click();
        QCOMPARE(w.OfflineNote->text(), T(Txt::SavedNote, Lang().LanguageFlag).arg(QDir::toNativeSeparators(dir_.filePath("eq.txt"))));
        QCOMPARE(kit.dialogs.size(), 3);
        for (int k = 1; k < 3; ++k) QCOMPARE(QFileInfo(kit.dialogs[k].dir).absolutePath(), dir_.path());
        QVERIFY(QFile::exists(dir_.filePath(QStringLiteral("sheet.pdf"))));
    }

    // A window of its own that keeps its settings; the measured curve shows before a fit and a flat target on
    // a flat equaliser; the alignment note is whole, goes with an undo, and distances follow the unit.
    void tuningPanelWindow()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        TuningPanel *panel = openPanel(w);
        QVERIFY(panel->isWindow());
        panel->mode->setCurrentIndex(1);
        panel->distance[0]->setValue(95);
        panel->unit->setCurrentIndex(1);  // cm to inches and back converts
        QCOMPARE(panel->distance[0]->value(), 37.40);
        panel->unit->setCurrentIndex(0);
        QCOMPARE(panel->distance[0]->value(), 95.0);
        panel->close();
        QCOMPARE(openPanel(w), panel);
        QVERIFY(panel->mode->currentIndex() == 1 && panel->distance[0]->value() == 95.0);

        QByteArray flat;
        for (double hz : LogGrid(20, 20000, 24)) flat += QByteArray::number(hz, 'f', 2) + " 80\n";
        QFile file(dir_.filePath(QStringLiteral("flat.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(flat) == flat.size());
        file.close();
        rig.fileDialogs.setResponder([&file](const FileDialogs::Request &) { return file.fileName(); });
        panel->loadButton->click();
        panel->curveBox[MeasurementOverlay::Target]->setChecked(false);
        QVERIFY(plotPixels(w, MeasurementOverlay::pen(MeasurementOverlay::Measured).color().rgb()) > 500);
        const int whiteWithout = plotPixels(w, qRgb(255, 255, 255));
        panel->curveBox[MeasurementOverlay::Target]->setChecked(true);
        QVERIFY(plotPixels(w, qRgb(255, 255, 255)) > whiteWithout + 300);

        panel->unit->setCurrentIndex(0);
        for (int ch = 0; ch < CH_COUNT; ++ch) panel->distance[ch]->setValue(ch == 5 ? 900 : 0);
        panel->alignButton->click();
        QCOMPARE(panel->alignResult->text().count(QLatin1Char('\n')), 5);
        QApplication::processEvents();  // the panel's layout fits the note
        QVERIFY(panel->alignResult->size().expandedTo(panel->alignResult->sizeHint()) == panel->alignResult->size());
        QVERIFY(panel->rect().contains(panel->alignResult->geometry()));
        QVERIFY(Model().undo());
        QVERIFY(panel->alignResult->text().isEmpty());
    }

    // "12500" fits its field whole; the field keeps its place.
    void fiveDigitFrequenciesFit()
    {
        TestRig rig(false);
        QLineEdit *e = rig.w->ui->Edit_EQ_Freq[30];
        QCOMPARE(e->geometry(), QRect(40 + 34 * 30 - 1, 478, 34, 18));
        QStyleOptionFrame opt;
        opt.initFrom(e);
        // The text's room: the contents less the line edit's own margin of 2 pixels a side.
        const QRect room = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e).adjusted(2, 0, -2, 0);
        QVERIFY(e->fontMetrics().horizontalAdvance(QStringLiteral("12500")) <= room.width());
    }
};

QTEST_MAIN(TestWindowFindings)
#include "test_window_findings.moc"
