// The input source buttons and the noise gate's menu entries.
#pragma once

#include <QObject>
#include <cstdint>

class KestrunForm;
class QAction;
class TuningModel;
struct ModelChange;

class InputControls : public QObject
{
    Q_OBJECT
public:
    // gate: the seven entries of the noise gate menu, off and levels 1..6.
    InputControls(KestrunForm &ui, QAction *const gate[7], TuningModel &model, QObject *parent);

    void refresh(const ModelChange &change);
    // The looks of the input buttons for a source 0..2 (any other value lights none).
    void showSource(uint8_t source);

private:
    KestrunForm &ui_;
    QAction *const *gate_;
    TuningModel &model_;
};
