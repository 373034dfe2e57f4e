// Hostile bytes through the field reader: every read either returns a field or stops with a
// message; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/base/RunStopped.h"
#include "shell/base/TextRecords.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte chooses the kinds of field read, so every reader path meets every input.
    const std::uint8_t plan = data[0];
    vortel::InputFields in(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), "fuzz");
    try {
        for (int i = 0; i < 1000 && !in.AtEnd(); ++i) {
            switch ((plan >> (2 * (i % 4))) & 3) {
                case 0:
                    in.ReadText("text");
                    break;
                case 1:
                    in.ReadDouble("real");
                    break;
                case 2:
                    in.ReadInt32("whole");
                    break;
                default:
                    in.ReadAny("any");
                    break;
            }
        }
    } catch (const vortel::RunStopped&) {
    }
    return 0;
}
