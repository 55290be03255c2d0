// Binary COPY data as a server library sends it: any bytes, sent whole or split where a row may
// end, give rows whose fields all lie within what was sent, or a CopyStreamError.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/files/binary_copy_rows.h"

namespace {

const std::vector<vane::CopyColumn> kColumns = {
    {"id", vane::CopyType::Integer64, false},     {"time", vane::CopyType::Double, false},
    {"offset", vane::CopyType::Integer32, false}, {"zone", vane::CopyType::Text, true},
    {"label", vane::CopyType::Text, true},        {"probability", vane::CopyType::Double, true}};

void readPieces(std::string_view data, std::size_t split) {
    vane::BinaryCopyReader reader(kColumns);
    vane::CopyRow row;
    try {
        for (const std::string_view piece : {data.substr(0, split), data.substr(split)}) {
            reader.take(piece);
            while (reader.next(row)) {
                // Unsigned, so that two extreme values add without overflow.
                volatile std::uint64_t sink = static_cast<std::uint64_t>(row.integer(0)) +
                                              static_cast<std::uint64_t>(row.integer(2));
                volatile double number = row.number(1) + row.number(5);
                for (const std::size_t text : {3u, 4u}) {
                    const std::string_view field = row.text(text);
                    if (!field.empty() &&
                        (field.data() < data.data() ||
                         field.data() + field.size() > data.data() + data.size())) {
                        __builtin_trap();
                    }
                }
                (void)sink;
                (void)number;
            }
        }
        reader.finish();
    } catch (const vane::CopyStreamError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    readPieces(bytes, size);
    readPieces(bytes, size / 2);
    return 0;
}
