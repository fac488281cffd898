// A model of the processor at the far end of the USB link: memory, stored scenes, firmware reception, faults.
#pragma once

#include "ParamStore.h"

#include <QByteArray>

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

// How the model behaves where the processor has a free hand:
//
// - Memory: 1100 bytes laid out as ParamBlock (the first 1100 bytes of params()), EqGain in the
//   processor's encoding (host value + 120, so 240 = 0 dB). Bytes 0..3 hold the firmware version;
//   they are read-only from the link: a page write of page 0 and a scene recall leave them alone.
// - Factory state: the parameter defaults (ChVol 600, MasterVol 600, every gain 240, Q 30, ...),
//   the firmware version, all nine scene slots empty. A factory reset (05 01 01) restores all of it:
//   the stored scenes do NOT survive. The identification name and the firmware version stay.
// - Scene slots 1..9: 1100 data bytes and a 16-byte name each. An empty slot has the name 16 x 0xFF
//   and holds the factory parameters as its data (that is what a scene-data request reads from it).
//   Save (05 0E) stores memory + name and marks the slot used; a scene-data write (05 15) stores one
//   page and marks the slot used (its name stays as it was); delete (05 11) empties the slot.
//   Recall (05 0F) of a used slot copies its data into memory (except the firmware version);
//   recall of an empty slot changes nothing.
// - Set commands are checked strictly: exact payload length, channel 0..5, band 0..30, scene 1..9,
//   page 0..54 and every value inside its valid range (gain 120..360 in device encoding, ChName codes
//   0..20, noise-gate "on" byte equal to (level != 0)). A command that fails a check changes nothing,
//   gets no answer and is counted in rejectedCount(), like an unknown command or a bad frame.
// - Replies: frame FA 2A seq n payload checksum F5 at byte 0 of the 32-byte input report (the report
//   id already removed), the rest zero. seq is the processor's own counter, +1 per reply.
//   Payloads:
//     06 16           -> 16, 16 identification bytes
//     06 AA p         -> AA, p, 20 bytes of memory page p
//     06 10 k         -> 10, k, 16 name bytes of slot k
//     06 15 k p       -> 06 15 k p, 20 bytes of page p of slot k   (report byte 5 = 15, 6 = k, 7 = p, 8.. data)
//     06 00 heartbeat -> 06 00
//   Acknowledgements echo the class byte and command code of the acknowledged frame, then its index:
//     05 41 p (pages 0..53)          -> 05 41 p          (report byte 5 = 0x41)
//     05 15 k p (pages 0..53)        -> 05 15 k p        (report byte 5 = 0x15)
//     05 B0 ihi ilo (not 0xFFFF)     -> 05 B0 ihi ilo    (report byte 5 = 0xB0)
//   The final page 54 of both page transfers and the final firmware block 0xFFFF are not acknowledged:
//   the program does not wait for them, and an answer nobody reads would be taken for the reply to
//   the next request. No other set command is answered. Payload byte 0 of every ack is 05 or 06, which
//   the program's reply dispatcher ignores.
// - Firmware: blocks are kept by index (a resent block overwrites its earlier copy); block 0xFFFF ends
//   the image. The image is blocks 0, 1, 2, ... followed by the final block, 16 bytes each (so it carries
//   the 0xFF padding of the final block). After the final block the processor restarts: the reply queue is
//   emptied. The next block after a finished image starts a new image.
class SimProcessor
{
public:
    static constexpr uint32_t DEFAULT_FIRMWARE_VERSION = 4660;  // 0x1234
    static constexpr int SCENE_COUNT = 9;
    static constexpr int NAME_SIZE = 16;
    static constexpr int FIRMWARE_BLOCK_SIZE = 16;
    static constexpr uint16_t FINAL_FIRMWARE_BLOCK = 0xFFFF;
    static constexpr size_t MAX_QUEUED_REPLIES = 1024;  // the oldest reply is lost beyond this

    using Report = std::array<uint8_t, 32>;

    SimProcessor();

    // --- The link -------------------------------------------------------------------------------
    // Takes one 32-byte output report (byte 0 = report id 0x00), checks and applies it, queues replies.
    void receive(const uint8_t report[32]);
    // Next queued input report (32 bytes, no report id); false when none is waiting.
    bool takeReply(uint8_t out[32]);
    size_t pendingReplies() const { return replies_.size(); }
    void clearReplies() { replies_.clear(); }

    // --- Memory ---------------------------------------------------------------------------------
    uint8_t *memory() { return mem_.bytes(); }
    const uint8_t *memory() const { return mem_.bytes(); }
    // The memory as fields (only the first IMAGE_SIZE bytes are the processor's; EqGain is device-encoded).
    ParamBlock &params() { return mem_; }
    const ParamBlock &params() const { return mem_; }
    QByteArray memoryBytes() const;
    // The factory memory image (1100 bytes) with the current firmware version.
    QByteArray factoryMemory() const;
    void setFirmwareVersion(uint32_t version);
    uint32_t firmwareVersion() const { return mem_.FirmwareVersion; }
    // Factory state (what 05 01 01 does): memory and scenes.
    void restoreFactory();

    // --- Scenes (k = 1..9; anything else gives null / empty / false) ------------------------------
    uint8_t *scene(int k);
    const uint8_t *scene(int k) const;
    QByteArray sceneName(int k) const;  // always 16 bytes for a valid k
    bool sceneUsed(int k) const;
    // Stores the name (zero-padded or cut to 16 bytes) and marks the slot used.
    void setSceneName(int k, const QByteArray &name);
    void clearScene(int k);

    // --- Identification ---------------------------------------------------------------------------
    // Raw 16 bytes (shorter is zero-padded); the factory name is "NV_PRC52".
    void setIdentName(const QByteArray &raw);
    QByteArray identName() const;

    // --- Firmware reception ------------------------------------------------------------------------
    QByteArray firmwareImage() const;  // blocks 0.. as far as contiguous, plus the final block once received
    bool firmwareComplete() const;     // final block received and no block index missing before it
    const std::vector<uint16_t> &firmwareBlockLog() const { return fwLog_; }  // indexes in arrival order
    int firmwareUpgrades() const { return fwUpgrades_; }                       // completed images

    // --- What the processor was sent ----------------------------------------------------------------
    const std::vector<Report> &reportLog() const { return log_; }  // every report, raw, rejected ones too
    // Payloads of the logged reports that are well framed (command known or not), in order.
    std::vector<QByteArray> payloads() const;
    QByteArray lastPayload() const;                  // empty when none
    int countPayloads(uint8_t cls, uint8_t code) const;  // well-framed reports with this class and code
    void clearLog();
    int rejectedCount() const { return rejected_; }
    const char *lastRejectReason() const { return rejectReason_; }
    int closeNotices() const { return closeNotices_; }  // 05 C1 01 received
    // Extracts the payload of a well-framed output report; false (and a reason) otherwise.
    static bool framePayload(const uint8_t report[32], QByteArray *payload, const char **why = nullptr);

    // --- Changes made on the processor itself -----------------------------------------------------
    void pushUnsolicitedInputSource(uint8_t source);  // stores it and queues 02 s
    void pushUnsolicitedMasterVolume(uint16_t vol);   // stores it and queues 0D lo hi
    // Queues a framed reply with any payload (1..24 bytes), subject to the reply faults.
    void pushReply(const uint8_t *payload, int n);
    // Queues raw input-report bytes (at most 32, zero-padded), untouched by the faults.
    void pushRawReply(const QByteArray &bytes);

    // --- Faults ----------------------------------------------------------------------------------
    // Unplugged: the device cannot be opened, handles opened before fail; queued replies are lost.
    void setPlugged(bool plugged);
    bool plugged() const { return plugged_; }
    unsigned plugGeneration() const { return plugGeneration_; }  // +1 at every unplug
    void dropNextReplies(int n) { dropNext_ = n > 0 ? n : 0; }
    void corruptNextReply() { corruptNext_ = true; }
    // Silent: applies what it is sent but answers nothing (acks and unsolicited replies included).
    void setSilent(bool silent) { silent_ = silent; }
    bool silent() const { return silent_; }
    void dropAckForFirmwareBlock(uint16_t index, int times);
    void dropAckForPage(int page, int times);                // 05 41 page writes
    void dropAckForScenePage(int k, int page, int times);    // 05 15 scene-data writes

private:
    struct Slot {
        std::array<uint8_t, IMAGE_SIZE> data;
        std::array<uint8_t, NAME_SIZE> name;
        bool used = false;
    };

    void apply(const uint8_t *p, int n);
    bool applySet(const uint8_t *p, int n);
    bool applyRequest(const uint8_t *p, int n);
    bool firmwareBlock(const uint8_t *p);
    void reject(const char *why);
    void queueReply(const uint8_t *payload, int n);
    void queueReport(const Report &r);
    bool consumeDrop(std::map<int, int> &drops, int key);
    void emptySlot(Slot &s);
    void writeMemoryPage(int page, const uint8_t *data);

    ParamBlock mem_;
    Slot slots_[SCENE_COUNT];
    std::array<uint8_t, NAME_SIZE> ident_;
    std::deque<Report> replies_;
    uint8_t replySeq_ = 0;

    std::map<uint16_t, std::array<uint8_t, FIRMWARE_BLOCK_SIZE>> fwBlocks_;
    std::array<uint8_t, FIRMWARE_BLOCK_SIZE> fwFinal_ = {};
    bool fwFinalReceived_ = false;
    std::vector<uint16_t> fwLog_;
    int fwUpgrades_ = 0;

    std::vector<Report> log_;
    int rejected_ = 0;
    const char *rejectReason_ = "";
    int closeNotices_ = 0;

    bool plugged_ = true;
    unsigned plugGeneration_ = 0;
    int dropNext_ = 0;
    bool corruptNext_ = false;
    bool silent_ = false;
    std::map<int, int> fwAckDrops_;
    std::map<int, int> pageAckDrops_;
    std::map<int, int> sceneAckDrops_;  // key k * 100 + page
};
