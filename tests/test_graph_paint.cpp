// Graph painting: what the window draws for the selected and comparison curves, clipping, captions, markers.
#include "GraphMarkers.h"
#include "TestRig.h"
#include "ResponseGraph.h"
#include "TuningModel.h"

#include "DragPushButton.h"
#include "ResponseMath.h"

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QtTest>

namespace {

const QColor Colour[CH_COUNT] = {QColor(255, 0, 0),   QColor(255, 246, 0), QColor(0, 0, 255),
                                 QColor(0, 255, 0),   QColor(0, 255, 255), QColor(255, 180, 0)};
const QRgb Background = qRgb(57, 57, 57);
const QRect Clip(QPoint(36, 50), QPoint(1095, 237));

// True when px is the pen colour laid over the background with a coverage of at least 30 %.
bool isTint(QRgb px, const QColor &pen)
{
    const int p[3] = {qRed(px), qGreen(px), qBlue(px)};
    const int c[3] = {pen.red(), pen.green(), pen.blue()};
    double lo = 2, hi = -1;
    for (int k = 0; k < 3; ++k) {
        const int d = c[k] - 57;
        if (d == 0) continue;
        const double a = (p[k] - 57) / double(d);
        lo = qMin(lo, a);
        hi = qMax(hi, a);
    }
    return lo >= 0.3 && hi <= 1.05 && hi - lo <= 0.2;
}

int countTint(const QImage &img, const QRect &r, const QColor &pen)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (isTint(img.pixel(x, y), pen)) ++n;
    return n;
}

// The window's own painting only, without its child controls on top.
QImage paintOnly(Kestrun &w)
{
    QImage img(w.size(), QImage::Format_RGB32);
    img.fill(Qt::black);
    w.render(&img, QPoint(), QRegion(), QWidget::RenderFlags());
    return img;
}

void Recompute(Kestrun &w, uint8_t ch)
{
    ResponseCurves &curves = w.graph().curves();
    curves.HPF_Curve_Update(ch);
    curves.LPF_Curve_Update(ch);
    curves.EQ_Curve_Update(ch);
    curves.Curve_Point_Update(ch);
}

// Grid point nearest to a frequency.
int PointOf(double hz)
{
    const GraphGrid grid;
    int best = 0;
    for (int i = 1; i < GRAPH_POINTS; ++i)
        if (qAbs(std::log(grid.PointFreq[i] / hz)) < qAbs(std::log(grid.PointFreq[best] / hz))) best = i;
    return best;
}

}  // namespace

class TestGraphPaint : public QObject
{
    Q_OBJECT
private slots:
    void selectedCurveAndDottedLinesOnly()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        Session().ParamStore.EqGain[0][20] = 0;  // CH1 has a curve of its own, which must not show
        Recompute(w, 0);
        Model().CurCh = 2;
        Session().ParamStore.EqGain[2][17] = 240;  // +12 dB at 1 kHz
        Session().ParamStore.HpfFreq[2] = 100;
        Session().ParamStore.LpfFreq[2] = 10000;
        Recompute(w, 2);
        const QImage img = paintOnly(w);

        // The style sheet's body and border come first.
        QCOMPARE(img.pixel(600, 60), Background);
        QCOMPARE(img.pixel(1, 1), qRgb(150, 150, 150));
        QCOMPARE(img.pixel(1200, 400), Background);

        // The selected (blue) curve at its peak, drawn solid at width 2.
        const QPoint peak = w.graph().curves().CurvePoint[2][PointOf(1000)];
        QVERIFY2(peak.y() < 100, qPrintable(QString::number(peak.y())));
        bool solid = false;
        for (int y = peak.y() - 2; y <= peak.y() + 2; ++y) solid |= img.pixel(peak.x(), y) == qRgb(0, 0, 255);
        QVERIFY(solid);

        // Nothing of any other channel's colour.
        for (int ch : {0, 1, 3, 4, 5}) QCOMPARE(countTint(img, Clip, Colour[ch]), 0);

        // Dotted lines in the selected channel's colour at the crossover frequencies, within the clip rows.
        for (int x : {Freq_To_Pos(100) + 4, Freq_To_Pos(10000) + 4}) {
            const QRect column(x - 1, 60, 2, 70);
            QVERIFY(countTint(img, column, Colour[2]) > 10);
            int gaps = 0;
            for (int y = 60; y < 130; ++y) gaps += img.pixel(x - 1, y) == Background;
            QVERIFY2(gaps > 10, "the crossover line is dotted");
            QCOMPARE(countTint(img, QRect(x - 2, 40, 4, 10), Colour[2]), 0);   // rows 40..49
            QCOMPARE(countTint(img, QRect(x - 2, 238, 4, 10), Colour[2]), 0);  // rows 238..247
        }
        // Only those two lines cross the flat stretch between 30 Hz and 60 Hz rows above the curve.
        QCOMPARE(countTint(img, QRect(Freq_To_Pos(30), 60, Freq_To_Pos(60) - Freq_To_Pos(30), 60), Colour[2]), 0);
    }

    void firstCheckedBoxIsTheOnlyComparison()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        Session().ParamStore.EqGain[1][7] = 240;  // CH2: +12 dB at 100 Hz
        Session().ParamStore.EqGain[3][27] = 0;   // CH4: -12 dB at 10 kHz
        Recompute(w, 1);
        Recompute(w, 3);
        Model().CurCh = 0;
        Recompute(w, 0);
        const QPoint bump = w.graph().curves().CurvePoint[1][PointOf(100)];
        const QPoint dip = w.graph().curves().CurvePoint[3][PointOf(10000)];
        QVERIFY(bump.y() < 100 && dip.y() > 190);
        const QRect bumpArea(bump.x() - 3, bump.y() - 3, 7, 7);
        const QRect dipArea(dip.x() - 3, dip.y() - 3, 7, 7);

        QImage img = paintOnly(w);
        QCOMPARE(countTint(img, Clip, Colour[1]), 0);
        QCOMPARE(countTint(img, Clip, Colour[3]), 0);
        QVERIFY(countTint(img, Clip, Colour[0]) > 1000);

        w.ui->checkBox[1]->setChecked(true);
        w.ui->checkBox[3]->setChecked(true);
        img = paintOnly(w);
        QVERIFY(countTint(img, bumpArea, Colour[1]) > 0);
        QCOMPARE(countTint(img, Clip, Colour[3]), 0);

        w.ui->checkBox[1]->setChecked(false);
        img = paintOnly(w);
        QCOMPARE(countTint(img, Clip, Colour[1]), 0);
        QVERIFY(countTint(img, dipArea, Colour[3]) > 0);

        // A channel never computed since start shows as the straight 0 dB line.
        w.ui->checkBox[3]->setChecked(false);
        w.ui->checkBox[4]->setChecked(true);
        img = paintOnly(w);
        QVERIFY(countTint(img, QRect(300, 143, 600, 2), Colour[4]) > 500);
        QCOMPARE(countTint(img, QRect(36, 50, 1060, 92), Colour[4]), 0);
    }

    void curvesAreCutAtTheClipEdge()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        for (int b = 0; b < BAND_COUNT; ++b) {
            Session().ParamStore.EqGain[0][b] = 240;
            Session().ParamStore.EqQ[0][b] = 4;
        }
        Session().ParamStore.HpfBypass[4] = 0;  // CH5: steep high-pass at 20 kHz, far below the plot
        Session().ParamStore.HpfFreq[4] = 20000;
        Session().ParamStore.HpfSlope[4] = 7;
        Recompute(w, 4);
        Model().CurCh = 0;
        Recompute(w, 0);
        int top = INT_MAX, bottom = INT_MIN;
        for (int i = 0; i < GRAPH_POINTS; ++i) {
            top = qMin(top, w.graph().curves().CurvePoint[0][i].y());
            bottom = qMax(bottom, w.graph().curves().CurvePoint[4][i].y());
        }
        QVERIFY(top < 0 && bottom > 686);
        w.ui->checkBox[4]->setChecked(true);

        const QImage img = paintOnly(w);
        const QRect whole = img.rect();
        const QRect above(0, 0, whole.width(), 50), below(0, 238, whole.width(), whole.height() - 238);
        const QRect left(0, 0, 36, whole.height()), right(1096, 0, whole.width() - 1096, whole.height());
        for (const QRect &r : {above, below, left, right}) {
            QCOMPARE(countTint(img, r, Colour[0]), 0);
            QCOMPARE(countTint(img, r, Colour[4]), 0);
        }
        QVERIFY(countTint(img, Clip, Colour[0]) > 0);
        QVERIFY(countTint(img, Clip, Colour[4]) > 0);
        // Where a curve leaves the plot it runs along the clip edge, not beyond it.
        QCOMPARE(img.pixel(1200, 100), Background);
    }

    void captionsAndComparisonBoxes()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        const char *text[15] = {"+20", "0", "-20", "20", "50", "100", "500", "1000",
                                "2k",  "5k", "10k", "20k", "+20", "0", "-20"};
        const QPoint at[15] = {{2, 48},    {2, 138},   {2, 228},   {32, 238},   {162, 238}, {266, 238}, {516, 238}, {618, 238},
                               {724, 238}, {862, 238}, {964, 238}, {1066, 238}, {6, 336},   {6, 380},   {6, 424}};
        for (int k = 0; k < 15; ++k) {
            QLineEdit *e = w.ui->Edit_L[k];
            QCOMPARE(e->objectName(), QStringLiteral("Edit_L_%1").arg(k + 1));
            QCOMPARE(e->text(), QString::fromLatin1(text[k]));
            QCOMPARE(e->geometry(), QRect(at[k], QSize(31, 18)));
        }
        QCOMPARE(w.ui->Edit_L[0]->styleSheet(),
                 QStringLiteral("QLineEdit#Edit_L_1\n{\n\tcolor: rgb(255, 255, 255);\n\tbackground-color: transparent;\n\t"
                                "border-width:0;border-style:outset;\n}"));
        const int boxX[CH_COUNT] = {42, 114, 182, 256, 324, 392};
        for (int ch = 0; ch < CH_COUNT; ++ch) {
            QCheckBox *box = w.ui->checkBox[ch];
            QCOMPARE(box->objectName(), ch ? QStringLiteral("checkBox_%1").arg(ch + 1) : QStringLiteral("checkBox"));
            QCOMPARE(box->geometry(), QRect(boxX[ch], 256, 75, 16));
            QCOMPARE(box->text(), QStringLiteral("CH%1曲线").arg(ch + 1));
            QVERIFY(!box->isChecked());
            const QColor c = Colour[ch];
            QCOMPARE(box->styleSheet(), QStringLiteral("background-color: rgb(57, 57, 57);\n\tcolor: rgb(%1,%2,%3,255);")
                                            .arg(c.red()).arg(c.green()).arg(c.blue()));
            box->ensurePolished();
            QCOMPARE(box->palette().color(QPalette::WindowText), c);
        }
    }

    void mathMovesTheWindowsMarkers()
    {
        auto rig = std::make_unique<TestRig>(false);
        Kestrun &w = *rig->w;
        QCOMPARE(w.graph().curves().markerSink(), static_cast<MarkerSink *>(&w.markers()));
        Model().CurCh = 1;
        Session().ParamStore.HpfFreq[1] = 1000;
        Session().ParamStore.LpfFreq[1] = 100;
        w.graph().curves().HPF_Curve_Update(1);
        w.graph().curves().LPF_Curve_Update(1);
        QCOMPARE(w.markers().HpfMark->geometry(), QRect(631, 148, 16, 16));
        QCOMPARE(w.markers().LpfMark->geometry(), QRect(281, 148, 16, 16));

        Session().ParamStore.EqGain[1][5] = 240;
        Session().ParamStore.EqFreq[1][5] = 10000;
        w.markers().BandMark[5]->move(300, 100);
        w.graph().curves().EQ_Mark_Gain_Update(5);
        QCOMPARE(w.markers().BandMark[5]->geometry(), QRect(300, 82, 11, 11));
        QCOMPARE(w.ui->Edit_Label[5]->geometry(), QRect(300, 67, 18, 18));
        w.graph().curves().EQ_Mark_Update(5);
        QCOMPARE(w.markers().BandMark[5]->geometry(), QRect(982, 82, 11, 11));
        QCOMPARE(w.ui->Edit_Label[5]->geometry().topLeft(), QPoint(982, 82));

    }

    void repaintOnBoxChange()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCoreApplication::processEvents();
        // A painted frame with the children on top, and a fresh paint after a box changes.
        const QImage before = w.grab().toImage();
        Session().ParamStore.EqGain[2][17] = 240;
        Recompute(w, 2);
        w.ui->checkBox[2]->setChecked(true);
        const QImage after = w.grab().toImage();
        QVERIFY(before != after);
    }
};

QTEST_MAIN(TestGraphPaint)
#include "test_graph_paint.moc"
