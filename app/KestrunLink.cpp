// The left/right link button: a dialog to link, or an unlink.
#include "Kestrun.h"

#include "EditLock.h"
#include "LinkForm.h"
#include "TuningModel.h"

#include <QPushButton>
#include <QRadioButton>

void Kestrun::on_BT_LINK_clicked()
{
    if (!model_.links.isLinked(model_.CurCh)) {
        // Each click opens a dialog of its own; it acts on the channel selected when it is used.
        auto *form = new LinkForm(model_, language_.LanguageFlag);
        // Held still by the transfer lock like every other editing control.
        for (QWidget *c : std::initializer_list<QWidget *>{form->radioButton_1, form->radioButton_2, form->radioButton_3,
                                                         form->radioButton_4, form->radioButton_5, form->pushButton})
            TransferLock->watch(c);
        form->show();
        return;
    }
    model_.removeLink();
}
