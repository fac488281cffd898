// Scene files on the computer: save and load one scene or all nine.
#include "Kestrun.h"

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

bool Kestrun::SingleFileSave(const ParamBlock &block)
{
    const QString path = folder_.saveFile(this, QStringLiteral("保存单个场景文件"),
                                          RecentFolder::datedName(QStringLiteral("Arvon-6"), QStringLiteral("SCE")),
                                          QString::fromUtf8(SingleFilter));
    if (path.isEmpty()) return false;
    if (!SceneFile::write(path, SceneFile::singleImage(block))) {
        notice_.info(Txt::SceneFileWriteFailed);
        return false;
    }
    OfflineNote->announce(Txt::SavedNote, QDir::toNativeSeparators(path));
    return true;
}

bool Kestrun::SingleFileOpen(QByteArray *file)
{
    const QString path = folder_.openFile(this, QStringLiteral("加载单个场景文件"), QString::fromUtf8(SingleFilter));
    if (path.isEmpty()) return false;
    return accepted(notice_, SceneFile::read(path, SceneFile::SINGLE_SIZE, file), Txt::SingleFileWrongSize);
}

void Kestrun::AllFileSave()
{
    const QString path = folder_.saveFile(this, QStringLiteral("保存全部场景文件"),
                                          RecentFolder::datedName(QStringLiteral("Arvon-6_all"), QStringLiteral("ALL")),
                                          QString::fromUtf8(AllFilter));
    if (path.isEmpty()) return;
    if (!SceneFile::write(path, SceneFile::allImage(model_.session.SceneBuffer)))
        notice_.info(Txt::SceneFileWriteFailed);
    else
        OfflineNote->announce(Txt::SavedNote, QDir::toNativeSeparators(path));
}

bool Kestrun::AllFileOpen()
{
    const QString path = folder_.openFile(this, QStringLiteral("加载全部场景文件"), QString::fromUtf8(AllFilter));
    if (path.isEmpty()) return false;
    QByteArray file;
    if (!accepted(notice_, SceneFile::read(path, SceneFile::ALL_SIZE, &file), Txt::AllFileWrongSize)) return false;
    std::memcpy(model_.session.SceneBuffer, file.constData(), size_t(SceneFile::ALL_SIZE));
    return true;
}

bool Kestrun::sceneFilePlausible(const QByteArray &file)
{
    const SceneCheck::Findings findings = SceneCheck::checkFile(file);
    if (findings.empty()) return true;
    QStringList lines;
    for (size_t i = 0; i < findings.size() && i < size_t(ShownFindings); ++i)
        lines << SceneCheck::describe(findings[i], language_.text(FieldLabel[int(findings[i].field)]));
    const int more = int(findings.size()) - ShownFindings;
    if (more > 0) lines << language_.text(Txt::SceneCheckMore).arg(more);
    const QString text = language_.text(Txt::SceneCheckAsk).arg(QString::number(findings.size()), lines.join(QLatin1Char('\n')));
    return notice_.confirm(text, language_.text(Txt::SendAnyway), language_.text(Txt::CancelButton));
}

void Kestrun::loadSingleOffline(const QByteArray &file)
{
    // The firmware version belongs to a processor, not to a file.
    const uint32_t version = model_.session.ParamStore.FirmwareVersion;
    std::memcpy(model_.session.ParamStore.bytes(), file.constData(), size_t(SceneFile::SINGLE_SIZE));
    model_.session.ParamStore.FirmwareVersion = version;
    // As after a download: fields corrected, gains to host encoding, every control refreshed.
    model_.session.Link.SuppressSend = 1;
    Update_All_State();
    model_.session.Link.SuppressSend = 0;
}

void Kestrun::Sence_Sub2_Fun()
{
    TransferGuard guard(model_.session.Link);
    if (!transferMayStart(guard)) return;
    if (SingleFileSave(model_.session.ParamStore)) model_.markSaved();
}

void Kestrun::Sence_Sub3_Fun()
{
    TransferGuard guard(model_.session.Link);
    if (!transferMayStart(guard)) return;
    // The file is staged: online, the store takes over only what the processor holds after a good transfer.
    QByteArray file;
    if (!SingleFileOpen(&file)) return;
    if (!model_.session.Link.Connected) {
        loadSingleOffline(file);
        return;
    }
    if (!sceneFilePlausible(file)) return;
    if (!linkReadyForTransfer()) return;
    showProgress(0);
    const auto *image = reinterpret_cast<const uint8_t *>(file.constData());
    const TransferResult r = SceneTransfer(model_.session).sendParamImage(image, [this](int v) { showProgress(v); });
    ui->TickBar->hide();
    if (r != TransferResult::Ok) {
        notice_.info(Txt::SceneSendFailed);
        return;
    }
    std::memcpy(model_.session.ParamStore.Tail, image + IMAGE_SIZE, sizeof model_.session.ParamStore.Tail);
    notice_.info(Txt::SingleLoadDone);
    // The re-download brings the loaded parameters back into the store and the controls.
    model_.session.Link.ResyncCountdown = 10;
}

void Kestrun::Sence_Sub4_Fun()
{
    if (!connectedOrNotice()) return;
    TransferGuard guard(model_.session.Link);
    if (!transferMayStart(guard)) return;
    if (!linkReadyForTransfer()) return;
    const std::unique_ptr<uint8_t[][STORE_SIZE]> fetched(new uint8_t[SCENE_COUNT][STORE_SIZE]());
    showProgress(0);
    const TransferResult r = SceneTransfer(model_.session).fetchScenes(fetched.get(), [this](int v) { showProgress(v); });
    model_.session.Link.HeartbeatCountdown = 400;
    ui->TickBar->hide();
    if (r != TransferResult::Ok) {
        notice_.info(Txt::SceneFetchFailed);
        return;
    }
    std::memcpy(model_.session.SceneBuffer, fetched.get(), sizeof model_.session.SceneBuffer);
    AllFileSave();
}

void Kestrun::Sence_Sub5_Fun()
{
    if (!connectedOrNotice()) return;
    TransferGuard guard(model_.session.Link);
    if (!transferMayStart(guard)) return;
    if (!AllFileOpen()) return;
    if (!sceneFilePlausible(SceneFile::allImage(model_.session.SceneBuffer))) return;
    if (!linkReadyForTransfer()) return;
    showProgress(0);
    const TransferResult r = SceneTransfer(model_.session).sendScenes(model_.session.SceneBuffer, [this](int v) { showProgress(v); });
    ui->TickBar->hide();
    if (r != TransferResult::Ok) {
        notice_.info(Txt::SceneSendFailed);
        return;
    }
    model_.session.Link.HeartbeatCountdown = 40000;
    WaitMs(model_.session.Pace.uploadSettleMs);
    notice_.info(Txt::AllLoadDone);
    restartLink();
}
