// Style sheets of the window's buttons and edits, built from the object name they select.
#pragma once

#include <QString>

class Styles
{
public:
    // Dark look with white text (off, not selected).
    static QString dark(const QString &name);
    // Light look with black text (selected, on).
    static QString light(const QString &name);
    // Light look with red text (phase inverted, sync lit).
    static QString lightRed(const QString &name);
    // The muted look of a mute button.
    static QString muted(const QString &name);
    // Band buttons: white at 0 dB, blue otherwise.
    static QString bandFlat();
    static QString bandActive();
    // Equaliser frequency and Q edits in parametric (white) and graphic (grey) mode.
    static QString eqEdit(const QString &name, bool parametric);
    // Axis captions on the graph.
    static QString axisCaption(const QString &name);
    // Shared look of every pop-up menu.
    static QString menu();
};
