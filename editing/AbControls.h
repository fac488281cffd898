// The A/B compare group: keep the current tuning in memory A or B and switch between them.
#pragma once

#include <QObject>

class EntryHint;
class Language;
class QLabel;
class QPushButton;
class QWidget;
class TuningModel;
struct ModelChange;

class AbControls : public QObject
{
    Q_OBJECT
public:
    // Builds the group in the free lower right corner of the window; a switch to an empty memory shows a
    // hint beside its button.
    AbControls(QWidget &window, TuningModel &model, EntryHint &hint, const Language &language);

    void refresh(const ModelChange &change);
    void retranslate();  // captions and tooltips in the current language
    QPushButton *switchButton(int slot) const { return switch_[slot]; }
    QPushButton *storeButton(int slot) const { return store_[slot]; }

private:
    void showState();

    TuningModel &model_;
    EntryHint &hint_;
    const Language &language_;
    QLabel *caption_;
    QPushButton *switch_[2];
    QPushButton *store_[2];
};
