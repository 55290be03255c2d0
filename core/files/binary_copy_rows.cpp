#include "core/files/binary_copy_rows.h"

#include <bit>

namespace vane {
namespace {

constexpr std::string_view kSignature{"PGCOPY\n\377\r\n\0", 11};
// Flag bit 16 says each row begins with an OID; the bits above it are ones a reader must know.
constexpr std::uint32_t kCriticalFlags = 0xFFFF0000u;

std::uint32_t bigEndian32(const char* bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

std::uint64_t bigEndian64(const char* bytes) {
    return (static_cast<std::uint64_t>(bigEndian32(bytes)) << 32) | bigEndian32(bytes + 4);
}

std::size_t lengthOf(CopyType type) {
    switch (type) {
        case CopyType::Integer32:
            return 4;
        case CopyType::Integer64:
        case CopyType::Double:
            return 8;
        case CopyType::Text:
            break;
    }
    return 0;
}

}  // namespace

std::int64_t CopyRow::integer(std::size_t column) const {
    const std::string_view field = fields_[column];
    if (field.size() == 4) {
        return static_cast<std::int32_t>(bigEndian32(field.data()));
    }
    return field.size() == 8 ? static_cast<std::int64_t>(bigEndian64(field.data())) : 0;
}

double CopyRow::number(std::size_t column) const {
    const std::string_view field = fields_[column];
    return field.size() == 8 ? std::bit_cast<double>(bigEndian64(field.data())) : 0.0;
}

BinaryCopyReader::BinaryCopyReader(std::vector<CopyColumn> columns) : columns_(std::move(columns)) {
    if (columns_.size() > CopyRow::kMostColumns) {
        throw std::invalid_argument("BinaryCopyReader: more columns than a CopyRow holds");
    }
}

void BinaryCopyReader::fail(const std::string& what) const {
    throw CopyStreamError("the server's data is damaged: " + what);
}

void BinaryCopyReader::take(std::string_view piece) {
    if (ended_ && !piece.empty()) {
        fail("it goes on after its end mark");
    }
    piece_ = piece;
    if (!headerRead_) {
        readHeader();
    }
}

void BinaryCopyReader::readHeader() {
    constexpr std::size_t kFixed = kSignature.size() + 8;
    if (piece_.size() < kFixed || piece_.substr(0, kSignature.size()) != kSignature) {
        fail("it does not begin as binary COPY data does");
    }
    const std::uint32_t flags = bigEndian32(piece_.data() + kSignature.size());
    if ((flags & kCriticalFlags) != 0) {
        fail("its header asks for row parts this reader does not know (flags " +
             std::to_string(flags) + ")");
    }
    const std::uint32_t extension = bigEndian32(piece_.data() + kSignature.size() + 4);
    if (extension > piece_.size() - kFixed) {
        fail("its header is cut short");
    }
    piece_.remove_prefix(kFixed + extension);
    headerRead_ = true;
}

bool BinaryCopyReader::next(CopyRow& row) {
    if (piece_.empty()) {
        return false;
    }
    const auto rowCut = [&] { fail("row " + std::to_string(rows_ + 1) + " is cut short"); };
    if (ended_) {
        fail("it goes on after its end mark");
    }
    if (piece_.size() < 2) {
        rowCut();
    }
    const auto count = static_cast<std::int16_t>((static_cast<unsigned char>(piece_[0]) << 8) |
                                                 static_cast<unsigned char>(piece_[1]));
    std::size_t at = 2;
    if (count == -1) {
        ended_ = true;
        if (piece_.size() > at) {
            fail("it goes on after its end mark");
        }
        piece_ = {};
        return false;
    }
    if (count < 0 || static_cast<std::size_t>(count) != columns_.size()) {
        fail("row " + std::to_string(rows_ + 1) + " has " + std::to_string(count) +
             " fields where " + std::to_string(columns_.size()) + " were expected");
    }
    for (std::size_t column = 0; column < columns_.size(); ++column) {
        const CopyColumn& expected = columns_[column];
        if (piece_.size() - at < 4) {
            rowCut();
        }
        const auto length = static_cast<std::int32_t>(bigEndian32(piece_.data() + at));
        at += 4;
        if (length == -1) {
            if (!expected.nullable) {
                fail("row " + std::to_string(rows_ + 1) + " has no " + std::string(expected.name));
            }
            row.fields_[column] = {};
            continue;
        }
        const std::size_t fixed = lengthOf(expected.type);
        if (length < 0 || (fixed != 0 && static_cast<std::size_t>(length) != fixed)) {
            fail("the " + std::string(expected.name) + " of row " + std::to_string(rows_ + 1) +
                 " is " + std::to_string(length) + " bytes long where " +
                 (fixed != 0 ? std::to_string(fixed) : std::string("0 or more")) +
                 " were expected");
        }
        if (static_cast<std::size_t>(length) > piece_.size() - at) {
            rowCut();
        }
        // A view that is never null, so that an empty text is not read as NULL.
        row.fields_[column] =
            std::string_view(piece_.data() + at, static_cast<std::size_t>(length));
        at += static_cast<std::size_t>(length);
    }
    piece_.remove_prefix(at);
    ++rows_;
    return true;
}

void BinaryCopyReader::finish() const {
    if (!ended_) {
        fail(headerRead_ ? "it ended after " + std::to_string(rows_) + " rows without its end mark"
                         : "it ended before its header");
    }
}

}  // namespace vane
