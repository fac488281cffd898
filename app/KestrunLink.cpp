// The left/right link button: a dialog to link, or an unlink.
#include "Kestrun.h"

#include "LinkForm.h"
#include "TuningModel.h"

void Kestrun::on_BT_LINK_clicked()
{
    if (!model_.links.isLinked(model_.CurCh)) {
        // Each click opens a dialog of its own; it acts on the channel selected when it is used.
        auto *form = new LinkForm(model_);
        form->show();
        return;
    }
    model_.removeLink();
}
