// Arbitrary bytes as the command-line tool's scene JSON, and as a scene block to be written as JSON, in
// memory: JSON that is taken gives a block whose every field is in range, and that block written and read
// again gives the same bytes and the same text; a block is written exactly when the plausibility check finds
// nothing out of range, and reads back byte for byte; every refusal names its reason.
#include "FuzzInput.h"
#include "ParamStore.h"
#include "SceneCheck.h"
#include "SceneJson.h"

#include <QByteArray>
#include <QString>

namespace {

// Whether the plausibility check of a single scene finds nothing out of range (its list kept between runs).
bool inRange(const QByteArray &block)
{
    static SceneCheck::Findings findings;
    findings.clear();
    SceneCheck::checkImage(reinterpret_cast<const uint8_t *>(block.constData()), 0, &findings);
    return findings.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2) return 0;
    QString why;
    QByteArray block, json;
    if (data[0] & 1) {
        // A block: the fuzzer's bytes repeated to 4096.
        static char buffer[STORE_SIZE];
        FillRepeating(buffer, STORE_SIZE, data + 1, size - 1);
        block = QByteArray::fromRawData(buffer, STORE_SIZE);
        const bool written = SceneJson::write(block, &json, &why);
        FUZZ_CHECK(written == inRange(block));
        if (!written) {
            FUZZ_CHECK(!why.isEmpty());
            return 0;
        }
    } else {
        json = QByteArray::fromRawData(reinterpret_cast<const char *>(data) + 1, int(size - 1));  // read in place
        if (!SceneJson::read(json, &block, &why)) {
            FUZZ_CHECK(!why.isEmpty());
            return 0;
        }
        FUZZ_CHECK(block.size() == STORE_SIZE && inRange(block));
        FUZZ_CHECK(SceneJson::write(block, &json, &why));
    }
    // The round trip is exact in both directions: the text reads back as the block, and since writing
    // depends on nothing but the block, that block is written as the same text again.
    QByteArray again;
    FUZZ_CHECK(SceneJson::read(json, &again, &why) && again == block);
    return 0;
}
