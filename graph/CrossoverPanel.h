// One crossover filter's controls: type and slope captions, frequency field and step buttons.
#pragma once

#include <QObject>

class EntryHint;
class KestrunForm;
class Language;
class QLineEdit;
class QPushButton;
class TuningModel;

class CrossoverPanel : public QObject
{
    Q_OBJECT
public:
    // filter 0 = high-pass, 1 = low-pass.
    CrossoverPanel(KestrunForm &ui, TuningModel &model, EntryHint &hint, const Language &language, int filter,
                   QObject *parent);

    QLineEdit *freqEdit() const { return freq_; }
    // A step button's click: fast while the button repeats (its repeat countdown still runs).
    void step(bool up);
    // Shows the selected channel's filter; the frequency field keeps a typed text that reads as the
    // stored frequency unless `force`.
    void refresh(bool force);

private:
    TuningModel &model_;
    const Language &language_;
    const int filter_;
    QPushButton *type_, *slope_;
    QLineEdit *freq_;
};
