// Feeds arbitrary bytes to the VornForm.vrn reader and checks what it
// promises: a code it returns is a whole number in 16-bit range, and writing
// that code and reading the file back gives the same code.
//
// Seeds in fuzz/corpus/settings_file/ are files the writer makes, and broken
// variants of them, written by the appearance tests:
//   TESSAREL_SOURCE_DIR=$PWD TESSAREL_UPDATE_FUZZ_SEEDS=1 \
//     ./build/tests/test_commands_appearance settingsFuzzSeedsAreCurrent
//
// Run on a scratch copy so the checked-in seeds stay as generated:
//   cp -r fuzz/corpus/settings_file /tmp/settings_corpus
//   ./fuzz-build/fuzz/settings_file_fuzz /tmp/settings_corpus -max_total_time=60

#include "formats/settings_file.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QString> code = settingsfile::decodeCode(bytes);
    if (!code)
        return 0;
    bool ok = false;
    const int value = code->trimmed().toInt(&ok);
    if (!ok || value < -32768 || value > 32767)
        __builtin_trap();
    if (settingsfile::decodeCode(settingsfile::encode(*code)) != code)
        __builtin_trap();
    return 0;
}
