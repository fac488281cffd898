// The printable setup sheet of a scene: outputs, levels, crossovers, bands and one response graph per output.
#pragma once

#include "OutputComparison.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

class QPainter;
class QPdfWriter;
class QRectF;
struct SceneField;

class SetupSheet
{
public:
    // What the sheet's heading carries besides the scene itself.
    struct Heading {
        QString source;  // the scene's origin, e.g. a file name and scene number
        QString date;    // printed on the date line; empty leaves the line to be filled in by hand
        QString note;    // the free note; empty leaves ruled lines
        uint8_t language = 1;  // 0 Chinese, 1 English
    };

    // Writes the sheet of a 4096-byte block as a scene file holds it (gains in the processor's encoding) to a
    // PDF at `path`, through a temporary that replaces the file only when complete; false with the reason.
    // Outputs in `measured` get a page of before/after plots at the end; without any the sheet has none.
    static bool write(const QByteArray &block, const Heading &heading, const QString &path, QString *why,
                      const std::vector<OutputComparison> &measured = {});

private:
    SetupSheet(const QByteArray &block, uint8_t language) : block_(block), language_(language) {}
    void drawFirstPage(QPainter &p, const QRectF &page, const Heading &heading) const;
    // The band tables, in columns, continued on further pages when needed.
    void drawBandPages(QPdfWriter &pdf, QPainter &p, const QRectF &page) const;
    void drawResponse(QPainter &p, const QRectF &box, int ch) const;
    // The measured outputs' before/after plots, six to a page.
    void drawMeasuredPages(QPdfWriter &pdf, QPainter &p, const QRectF &page,
                           const std::vector<OutputComparison> &measured) const;
    // A sheet text in the sheet's language.
    QString text(int id) const;
    // A stored field as printed, words in the sheet's language.
    QString value(const SceneField &f, int entry) const;
    QString filter(int which, int ch) const;
    QString outputTitle(int ch) const;
    QString globalsLine() const;

    const QByteArray &block_;
    const uint8_t language_;
};
