// The printable setup sheet of a scene: outputs, levels, crossovers, bands and one response graph per output.
#pragma once

#include <QByteArray>
#include <QString>

class QPainter;
class QPdfWriter;
class QRectF;

class SetupSheet
{
public:
    // What the sheet's heading carries besides the scene itself.
    struct Heading {
        QString source;  // the scene's origin, e.g. a file name and scene number
        QString date;    // printed on the date line; empty leaves the line to be filled in by hand
        QString note;    // the free note; empty leaves ruled lines
    };

    // Writes the sheet of a 4096-byte block as a scene file holds it (gains in the processor's encoding) to a
    // PDF at `path`, through a temporary that replaces the file only when complete; false with the reason.
    static bool write(const QByteArray &block, const Heading &heading, const QString &path, QString *why);

private:
    explicit SetupSheet(const QByteArray &block) : block_(block) {}
    void drawFirstPage(QPainter &p, const QRectF &page, const Heading &heading) const;
    // The band tables, in columns, continued on further pages when needed.
    void drawBandPages(QPdfWriter &pdf, QPainter &p, const QRectF &page) const;
    void drawResponse(QPainter &p, const QRectF &box, int ch) const;

    const QByteArray &block_;
};
