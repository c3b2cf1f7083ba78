// libFuzzer target over the settings file reader: whatever bytes a file holds, reading must end
// in a value or a refusal with its reason, and a line read and written again must read back the
// same.
#include "files/settingsfile.h"

#include <QtCore/QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ReadProblem refusal;
    const std::optional<SettingsFileData> read = ReadSettingsLine(bytes, GraphSettings{}, &refusal);
    if (!read) {
        if (refusal.fault == ReadFault::None || refusal.Japanese().isEmpty()) {
            std::abort(); // every refusal says why
        }
        return 0;
    }
    WriteProblem problem = WriteProblem::None;
    const std::optional<QByteArray> line = WriteSettingsLine(*read, &problem);
    if (!line) {
        return 0; // a text the format cannot hold (a quote, an unmappable character)
    }
    const std::optional<SettingsFileData> again = ReadSettingsLine(*line, GraphSettings{});
    if (!again) {
        std::abort(); // the program's own line must read back
    }
    WriteProblem second = WriteProblem::None;
    if (WriteSettingsLine(*again, &second) != line) {
        std::abort(); // and read back to the same values
    }
    return 0;
}
