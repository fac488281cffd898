// Edits made without a processor are never lost silently: the choice when a download replaced them, and
// the offer to save them when the window closes.
#include "Kestrun.h"

#include "LinkState.h"
#include "Notice.h"
#include "SceneFile.h"
#include "SceneTransfer.h"
#include "TransferGuard.h"
#include "TuningModel.h"

#include <QProgressBar>

// Keep the processor's settings (the download stands), send mine (a single-scene transfer of the
// offline store, then the usual re-read), or save mine to a file first (the download stands).
void Kestrun::resolveOfflineEdits()
{
    const ModelState *held = model_.heldOfflineEdits();
    if (!held) return;
    const ModelState mine = *held;
    model_.releaseOfflineEdits();
    const int choice = notice_.choose(language_.text(Txt::OfflineEditsAsk), {language_.text(Txt::OfflineKeepDevice), language_.text(Txt::OfflineSendMine),
                                                                language_.text(Txt::OfflineSaveFirst)});
    if (choice == 2) {
        SingleFileSave(mine.store);
        return;
    }
    if (choice != 1) return;
    TransferGuard guard(model_.session.Link);
    if (!transferMayStart(guard) || !linkReadyForTransfer()) return;
    const QByteArray image = SceneFile::singleImage(mine.store);
    showProgress(0);
    const TransferResult r = SceneTransfer(model_.session).sendParamImage(reinterpret_cast<const uint8_t *>(image.constData()),
                                                           [this](int v) { showProgress(v); });
    ui->TickBar->hide();
    if (r != TransferResult::Ok) {
        // Not in the processor: the edits go to a file rather than be lost.
        notice_.info(Txt::SceneSendFailed);
        SingleFileSave(mine.store);
        return;
    }
    model_.session.Link.ResyncCountdown = 10;  // the re-read brings them back into the store and the controls
}

// Save, Discard or Cancel; Esc and closing the box cancel, and the window stays open.
bool Kestrun::offlineEditsMayClose()
{
    if (!model_.hasOfflineEdits()) return true;
    const int choice = notice_.choose(language_.text(Txt::CloseUnsavedAsk),
                                      {language_.text(Txt::CloseSave), language_.text(Txt::CloseDiscard), language_.text(Txt::CancelButton)}, 2);
    if (choice == 1) return true;
    if (choice != 0 || !SingleFileSave(model_.session.ParamStore)) return false;
    model_.markSaved();
    return true;
}
