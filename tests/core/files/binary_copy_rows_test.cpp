#include "core/files/binary_copy_rows.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vane {
namespace {

const std::vector<CopyColumn> kColumns = {{"id", CopyType::Integer64, false},
                                          {"offset", CopyType::Integer32, false},
                                          {"time", CopyType::Double, false},
                                          {"label", CopyType::Text, true}};

std::string bigEndian(std::uint64_t value, int bytes) {
    std::string out;
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
    return out;
}

std::string header(std::uint32_t flags = 0, const std::string& extension = "") {
    return std::string("PGCOPY\n\377\r\n\0", 11) + bigEndian(flags, 4) +
           bigEndian(extension.size(), 4) + extension;
}

std::string field(const std::string& bytes) {
    return bigEndian(bytes.size(), 4) + bytes;
}

const std::string kNull = bigEndian(0xFFFFFFFFu, 4);
const std::string kTrailer = bigEndian(0xFFFFu, 2);

std::string row(std::int64_t id, std::int32_t offset, double time,
                const std::optional<std::string>& label) {
    return bigEndian(4, 2) + field(bigEndian(static_cast<std::uint64_t>(id), 8)) +
           field(bigEndian(static_cast<std::uint32_t>(offset), 4)) +
           field(bigEndian(std::bit_cast<std::uint64_t>(time), 8)) +
           (label ? field(*label) : kNull);
}

struct Read {
    std::vector<std::string> rows;  // "id|offset|time|label" (label "NULL" when absent)
    std::string error;
};

// Reads the pieces as the server would send them and describes every row.
Read readPieces(const std::vector<std::string>& pieces) {
    Read read;
    BinaryCopyReader reader(kColumns);
    CopyRow fields;
    try {
        for (const std::string& piece : pieces) {
            reader.take(piece);
            while (reader.next(fields)) {
                read.rows.push_back(std::to_string(fields.integer(0)) + '|' +
                                    std::to_string(fields.integer(1)) + '|' +
                                    std::to_string(fields.number(2)) + '|' +
                                    (fields.isNull(3) ? "NULL" : std::string(fields.text(3))));
            }
        }
        reader.finish();
    } catch (const CopyStreamError& error) {
        read.error = error.what();
    }
    return read;
}

TEST(BinaryCopyRowsTest, ReadsWhatTheServerSendsInPlace) {
    const std::string first = row(-7, -34200, -1.5, std::nullopt);
    const std::string second = row(9'000'000'000, 19800, 253402300799.25, "");
    // Text is bytes: UTF-8, quotes and a zero byte come through as sent.
    const std::string label = std::string("Pipistrellus pygm\xC3\xA6us \"x\"") + '\0' + "y";
    const std::string third = row(3, 0, 0.0, label);
    const std::vector<std::string> expected = {"-7|-34200|-1.500000|NULL",
                                               "9000000000|19800|253402300799.250000|",
                                               "3|0|0.000000|" + label};
    // A row per piece as the server sends them, the header with the first; or all in one.
    const Read apart = readPieces({header() + first, second, third, kTrailer});
    EXPECT_EQ(apart.error, "");
    EXPECT_EQ(apart.rows, expected);
    const Read together =
        readPieces({header(0x0000FFFFu, "ext") + first + second + third + kTrailer});
    EXPECT_EQ(together.error, "");
    EXPECT_EQ(together.rows, expected);
    EXPECT_EQ(readPieces({header(), kTrailer}).rows.size(), 0u);
}

TEST(BinaryCopyRowsTest, DamageIsAnErrorThatSaysWhereNeverAValue) {
    const std::string good = row(1, 7200, 1.0, "PIPPIP");
    const struct {
        const char* what;
        std::vector<std::string> pieces;
        const char* message;
    } cases[] = {
        {"nothing at all", {}, "it ended before its header"},
        {"another format", {"id,time\n1,2\n"}, "it does not begin as binary COPY data does"},
        {"a header cut short", {header().substr(0, 15)}, "does not begin as binary COPY"},
        {"an extension longer than the piece",
         {header().substr(0, 15) + bigEndian(99, 4)},
         "header is cut short"},
        {"rows with object ids", {header(1u << 16) + good + kTrailer}, "flags 65536"},
        {"no end mark", {header() + good}, "it ended after 1 rows without its end mark"},
        {"a row cut in its count", {header() + good + std::string(1, '\0')}, "row 2 is cut short"},
        {"a row cut in a length", {header() + good.substr(0, 20)}, "row 1 is cut short"},
        {"a row cut in a text", {header() + good.substr(0, good.size() - 2)}, "row 1 is cut short"},
        {"three fields",
         {header() + bigEndian(3, 2) + good.substr(2) + kTrailer},
         "row 1 has 3 fields where 4 were expected"},
        {"a negative count", {header() + bigEndian(0xFFFEu, 2) + kTrailer}, "row 1 has -2 fields"},
        {"a NULL id",
         {header() + bigEndian(4, 2) + kNull + good.substr(14) + kTrailer},
         "row 1 has no id"},
        {"a short number",
         {header() + bigEndian(4, 2) + field("1234") + good.substr(14) + kTrailer},
         "the id of row 1 is 4 bytes long where 8 were expected"},
        {"a negative length",
         {header() + bigEndian(4, 2) + bigEndian(0xFFFFFFF0u, 4) + kTrailer},
         "the id of row 1 is -16 bytes long"},
        {"a length beyond the piece",
         {header() + bigEndian(4, 2) + field(bigEndian(1, 8)) + field(bigEndian(0, 4)) +
          field(bigEndian(0, 8)) + bigEndian(0x7FFFFFFF, 4)},
         "row 1 is cut short"},
        {"bytes after the end mark", {header() + kTrailer + "x"}, "goes on after its end mark"},
        {"a piece after the end mark", {header() + kTrailer, good}, "goes on after its end mark"},
    };
    for (const auto& c : cases) {
        const Read read = readPieces(c.pieces);
        EXPECT_NE(read.error.find(c.message), std::string::npos) << c.what << ": " << read.error;
        EXPECT_EQ(read.error.rfind("the server's data is damaged: ", 0), 0u) << c.what;
    }
}

}  // namespace
}  // namespace vane
