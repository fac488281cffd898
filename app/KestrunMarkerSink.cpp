// The window's side of marker placement: the response math moves these markers and band labels.
#include "Kestrun.h"

#include "DragPushButton.h"
#include "ResponseMath.h"

#include <QLineEdit>

QPoint Kestrun::bandMarkerPos(int band) const
{
    return band >= 0 && band < BAND_COUNT && BandMark[band] ? BandMark[band]->pos() : QPoint();
}

void Kestrun::placeBandMarker(int band, int x, int y)
{
    if (band >= 0 && band < BAND_COUNT && BandMark[band])
        BandMark[band]->setGeometry(x, y, BAND_MARKER_SIZE, BAND_MARKER_SIZE);
}

void Kestrun::placeBandLabel(int band, int x, int y)
{
    if (band >= 0 && band < BAND_COUNT && ui)
        ui->Edit_Label[band]->setGeometry(x, y, BAND_LABEL_SIZE, BAND_LABEL_SIZE);
}

void Kestrun::placeHpfMarker(int x, int y)
{
    if (HpfMark) HpfMark->setGeometry(x, y, XOVER_MARKER_SIZE, XOVER_MARKER_SIZE);
}

void Kestrun::placeLpfMarker(int x, int y)
{
    if (LpfMark) LpfMark->setGeometry(x, y, XOVER_MARKER_SIZE, XOVER_MARKER_SIZE);
}
