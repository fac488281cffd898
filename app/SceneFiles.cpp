// Scene files on the computer: save and load one scene or all nine; the offline edits never lost silently.
#include "SceneFiles.h"

#include "Kestrun.h"
#include "LinkView.h"
#include "ProcessorScenes.h"
#include "RecentFolder.h"

#include "LinkState.h"
#include "Notice.h"
#include "SceneCheck.h"
#include "SceneFile.h"
#include "SceneTransfer.h"
#include "StatusNote.h"
#include "TransferGuard.h"
#include "TuningModel.h"
#include "WaitMs.h"

#include <QDir>
#include <QProgressBar>

#include <cstring>
#include <memory>

namespace {
constexpr int ShownFindings = 8;  // fields out of range listed in the box; the rest are counted
// The names of the checked fields, in their order.
const Txt FieldLabel[] = {
    Txt::FieldChName,   Txt::FieldInputSource, Txt::FieldMasterVol, Txt::FieldChVol,     Txt::FieldChMute,
    Txt::FieldChDelay,  Txt::FieldChPhase,     Txt::FieldEqBypass,  Txt::FieldNoiseGate, Txt::FieldEqFreq,
    Txt::FieldEqGain,   Txt::FieldEqQ,         Txt::FieldHpfFreq,   Txt::FieldHpfSlope,  Txt::FieldHpfBypass,
    Txt::FieldHpfType,  Txt::FieldLpfFreq,     Txt::FieldLpfSlope,  Txt::FieldLpfBypass, Txt::FieldLpfType,
};
static_assert(sizeof FieldLabel / sizeof FieldLabel[0] == size_t(SceneCheck::Field::LpfType) + 1, "one name per field");
const char *const SingleFilter = "场景文件(*.SCE)";
const char *const AllFilter = "场景文件(*.ALL)";

// A box for a file that was refused; false for every outcome but Ok.
bool accepted(const Notice &notice, SceneFile::Read r, Txt wrongSize)
{
    if (r == SceneFile::Read::Ok) return true;
    notice.info(r == SceneFile::Read::WrongSize ? wrongSize : Txt::SceneFileReadFailed);
    return false;
}
}  // namespace

SceneFiles::SceneFiles(Kestrun &window, TuningModel &model, Notice &notice, RecentFolder &folder)
    : w_(window), model_(model), notice_(notice), folder_(folder)
{
}

bool SceneFiles::SingleFileSave(const ParamBlock &block)
{
    const QString path = folder_.saveFile(&w_, QStringLiteral("保存单个场景文件"),
                                          RecentFolder::datedName(QStringLiteral("Arvon-6"), QStringLiteral("SCE")),
                                          QString::fromUtf8(SingleFilter));
    if (path.isEmpty()) return false;
    if (!SceneFile::write(path, SceneFile::singleImage(block))) {
        notice_.info(Txt::SceneFileWriteFailed);
        return false;
    }
    w_.OfflineNote->announce(Txt::SavedNote, QDir::toNativeSeparators(path));
    return true;
}

bool SceneFiles::SingleFileOpen(QByteArray *file)
{
    const QString path = folder_.openFile(&w_, QStringLiteral("加载单个场景文件"), QString::fromUtf8(SingleFilter));
    if (path.isEmpty()) return false;
    return accepted(notice_, SceneFile::read(path, SceneFile::SINGLE_SIZE, file), Txt::SingleFileWrongSize);
}

void SceneFiles::AllFileSave()
{
    const QString path = folder_.saveFile(&w_, QStringLiteral("保存全部场景文件"),
                                          RecentFolder::datedName(QStringLiteral("Arvon-6_all"), QStringLiteral("ALL")),
                                          QString::fromUtf8(AllFilter));
    if (path.isEmpty()) return;
    if (!SceneFile::write(path, SceneFile::allImage(model_.session.SceneBuffer)))
        notice_.info(Txt::SceneFileWriteFailed);
    else
        w_.OfflineNote->announce(Txt::SavedNote, QDir::toNativeSeparators(path));
}

bool SceneFiles::AllFileOpen()
{
    const QString path = folder_.openFile(&w_, QStringLiteral("加载全部场景文件"), QString::fromUtf8(AllFilter));
    if (path.isEmpty()) return false;
    QByteArray file;
    if (!accepted(notice_, SceneFile::read(path, SceneFile::ALL_SIZE, &file), Txt::AllFileWrongSize)) return false;
    std::memcpy(model_.session.SceneBuffer, file.constData(), size_t(SceneFile::ALL_SIZE));
    return true;
}

bool SceneFiles::sceneFilePlausible(const QByteArray &file)
{
    const SceneCheck::Findings findings = SceneCheck::checkFile(file);
    if (findings.empty()) return true;
    QStringList lines;
    for (size_t i = 0; i < findings.size() && i < size_t(ShownFindings); ++i)
        lines << SceneCheck::describe(findings[i], notice_.language().text(FieldLabel[int(findings[i].field)]));
    const int more = int(findings.size()) - ShownFindings;
    if (more > 0) lines << notice_.language().text(Txt::SceneCheckMore).arg(more);
    const QString text = notice_.language().text(Txt::SceneCheckAsk).arg(QString::number(findings.size()), lines.join(QLatin1Char('\n')));
    return notice_.confirm(text, notice_.language().text(Txt::SendAnyway), notice_.language().text(Txt::CancelButton));
}

void SceneFiles::loadSingleOffline(const QByteArray &file)
{
    // The firmware version belongs to a processor, not to a file.
    const uint32_t version = model_.session.ParamStore.FirmwareVersion;
    std::memcpy(model_.session.ParamStore.bytes(), file.constData(), size_t(SceneFile::SINGLE_SIZE));
    model_.session.ParamStore.FirmwareVersion = version;
    // As after a download: fields corrected, gains to host encoding, every control refreshed.
    model_.session.Link.SuppressSend = 1;
    w_.linkView().Update_All_State();
    model_.session.Link.SuppressSend = 0;
}

void SceneFiles::Sence_Sub2_Fun()
{
    TransferGuard guard(model_.session.Link);
    if (!w_.scenes().transferMayStart(guard)) return;
    if (SingleFileSave(model_.session.ParamStore)) model_.markSaved();
}

void SceneFiles::Sence_Sub3_Fun()
{
    TransferGuard guard(model_.session.Link);
    if (!w_.scenes().transferMayStart(guard)) return;
    // The file is staged: online, the store takes over only what the processor holds after a good transfer.
    QByteArray file;
    if (!SingleFileOpen(&file)) return;
    if (!model_.session.Link.Connected) {
        loadSingleOffline(file);
        return;
    }
    if (!sceneFilePlausible(file)) return;
    if (!w_.scenes().linkReadyForTransfer()) return;
    w_.scenes().showProgress(0);
    const auto *image = reinterpret_cast<const uint8_t *>(file.constData());
    const TransferResult r = SceneTransfer(model_.session).sendParamImage(image, [this](int v) { w_.scenes().showProgress(v); });
    w_.ui->TickBar->hide();
    if (r != TransferResult::Ok) {
        notice_.info(Txt::SceneSendFailed);
        return;
    }
    std::memcpy(model_.session.ParamStore.Tail, image + IMAGE_SIZE, sizeof model_.session.ParamStore.Tail);
    notice_.info(Txt::SingleLoadDone);
    // The re-download brings the loaded parameters back into the store and the controls.
    model_.session.Link.ResyncCountdown = 10;
}

void SceneFiles::Sence_Sub4_Fun()
{
    if (!w_.scenes().connectedOrNotice()) return;
    TransferGuard guard(model_.session.Link);
    if (!w_.scenes().transferMayStart(guard)) return;
    if (!w_.scenes().linkReadyForTransfer()) return;
    const std::unique_ptr<uint8_t[][STORE_SIZE]> fetched(new uint8_t[SCENE_COUNT][STORE_SIZE]());
    w_.scenes().showProgress(0);
    const TransferResult r = SceneTransfer(model_.session).fetchScenes(fetched.get(), [this](int v) { w_.scenes().showProgress(v); });
    model_.session.Link.HeartbeatCountdown = 400;
    w_.ui->TickBar->hide();
    if (r != TransferResult::Ok) {
        notice_.info(Txt::SceneFetchFailed);
        return;
    }
    std::memcpy(model_.session.SceneBuffer, fetched.get(), sizeof model_.session.SceneBuffer);
    AllFileSave();
}

void SceneFiles::Sence_Sub5_Fun()
{
    if (!w_.scenes().connectedOrNotice()) return;
    TransferGuard guard(model_.session.Link);
    if (!w_.scenes().transferMayStart(guard)) return;
    if (!AllFileOpen()) return;
    if (!sceneFilePlausible(SceneFile::allImage(model_.session.SceneBuffer))) return;
    if (!w_.scenes().linkReadyForTransfer()) return;
    w_.scenes().showProgress(0);
    const TransferResult r = SceneTransfer(model_.session).sendScenes(model_.session.SceneBuffer, [this](int v) { w_.scenes().showProgress(v); });
    w_.ui->TickBar->hide();
    if (r != TransferResult::Ok) {
        notice_.info(Txt::SceneSendFailed);
        return;
    }
    model_.session.Link.HeartbeatCountdown = 40000;
    WaitMs(model_.session.Pace.uploadSettleMs);
    notice_.info(Txt::AllLoadDone);
    w_.scenes().restartLink();
}

// Edits made without a processor are never lost silently: the choice when a download replaced them, and
// the offer to save them when the window closes.
// Keep the processor's settings (the download stands), send mine (a single-scene transfer of the
// offline store, then the usual re-read), or save mine to a file first (the download stands).
void SceneFiles::resolveOfflineEdits()
{
    const ModelState *held = model_.heldOfflineEdits();
    if (!held) return;
    const ModelState mine = *held;
    model_.releaseOfflineEdits();
    const int choice = notice_.choose(notice_.language().text(Txt::OfflineEditsAsk), {notice_.language().text(Txt::OfflineKeepDevice), notice_.language().text(Txt::OfflineSendMine),
                                                                notice_.language().text(Txt::OfflineSaveFirst)});
    if (choice == 2) {
        SingleFileSave(mine.store);
        return;
    }
    if (choice != 1) return;
    TransferGuard guard(model_.session.Link);
    if (!w_.scenes().transferMayStart(guard) || !w_.scenes().linkReadyForTransfer()) return;
    const QByteArray image = SceneFile::singleImage(mine.store);
    w_.scenes().showProgress(0);
    const TransferResult r = SceneTransfer(model_.session).sendParamImage(reinterpret_cast<const uint8_t *>(image.constData()),
                                                           [this](int v) { w_.scenes().showProgress(v); });
    w_.ui->TickBar->hide();
    if (r != TransferResult::Ok) {
        // Not in the processor: the edits go to a file rather than be lost.
        notice_.info(Txt::SceneSendFailed);
        SingleFileSave(mine.store);
        return;
    }
    model_.session.Link.ResyncCountdown = 10;  // the re-read brings them back into the store and the controls
}

// Save, Discard or Cancel; Esc and closing the box cancel, and the window stays open.
bool SceneFiles::offlineEditsMayClose()
{
    if (!model_.hasOfflineEdits()) return true;
    const int choice = notice_.choose(notice_.language().text(Txt::CloseUnsavedAsk),
                                      {notice_.language().text(Txt::CloseSave), notice_.language().text(Txt::CloseDiscard), notice_.language().text(Txt::CancelButton)}, 2);
    if (choice == 1) return true;
    if (choice != 0 || !SingleFileSave(model_.session.ParamStore)) return false;
    model_.markSaved();
    return true;
}
