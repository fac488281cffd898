// The left/right link button and the view switch after a link.
#include "Kestrun.h"

void Kestrun::on_BT_LINK_clicked() {}
void Kestrun::LinkForm_ChangeUpdate(uint8_t) {}
