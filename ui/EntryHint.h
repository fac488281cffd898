// A brief note beside a value field whose entry was refused or limited: the accepted range and unit.
#pragma once

#include "Language.h"

#include <QLabel>

class EntryHint : public QLabel
{
    Q_OBJECT
public:
    EntryHint(QWidget *window, const Language &language);

    // Shows the text just above the field, in the current language, for a few seconds.
    void showBeside(const QWidget *field, Txt text);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    const Language &language_;
    int timer_ = 0;
};
