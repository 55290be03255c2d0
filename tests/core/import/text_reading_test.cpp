#include "core/import/text_reading.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/temp_path.h"

namespace vane {
namespace {

std::filesystem::path fixture(const char* name) {
    return std::filesystem::path(VANE_IMPORT_FIXTURES) / name;
}

std::string bytesOf(const char* name) {
    std::ifstream stream(fixture(name), std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return bytes.str();
}

std::string firstLine(const Outcome<DecodedText>& read) {
    const std::string& text = read.value().text;
    return text.substr(0, text.find_first_of("\r\n"));
}

TEST(TextReadingTest, DetectsEuropeanLoggerFilesWithDegreeSignsAndUmlauts) {
    const Outcome<DecodedText> windows =
        readTextWithFallback(fixture("windows1252_semicolon_crlf.csv"));
    EXPECT_EQ(windows->encoding, kWindowsLatin1Encoding);
    EXPECT_EQ(windows->source, EncodingSource::detected);
    EXPECT_EQ(firstLine(windows), "Datum;Temp °C;Wind m/s");

    const Outcome<DecodedText> umlauts =
        readTextWithFallback(fixture("windows1252_umlauts_lf.csv"));
    EXPECT_EQ(umlauts->encoding, kWindowsLatin1Encoding);
    EXPECT_EQ(firstLine(umlauts),
              "Zeitstempel;Außentemperatur °C;Windgeschwindigkeit m/s;Betriebszustand");
    EXPECT_NE(umlauts->text.find("Störung"), std::string::npos);
    EXPECT_NE(umlauts->text.find("Übertemperatur"), std::string::npos);
}

TEST(TextReadingTest, DetectsUnicodeByMarkOrValidity) {
    const Outcome<DecodedText> marked = readTextWithFallback(fixture("utf8_bom_lf.csv"));
    EXPECT_EQ(marked->encoding, kUtf8Encoding);
    EXPECT_EQ(firstLine(marked), "Datum;Temperatur °C;Wind m/s") << "the mark is not text";

    const Outcome<DecodedText> plain = readTextWithFallback(fixture("utf8_comma_lf.csv"));
    EXPECT_EQ(plain->encoding, kUtf8Encoding);
    EXPECT_EQ(firstLine(plain), "Timestamp,Temperature,Wind speed");

    const Outcome<DecodedText> wide = readTextWithFallback(fixture("utf16le_bom_tab_crlf.csv"));
    EXPECT_EQ(wide->encoding, kUtf16Encoding);
    EXPECT_EQ(firstLine(wide), "Date/Time\tTemp °C\tWind m/s");

    const std::string utf32{"\xFF\xFE\x00\x00\xB0\x00\x00\x00", 8};
    const Outcome<DecodedText> widest = decodeDetectingEncoding(utf32);
    EXPECT_EQ(widest->encoding, kUtf32Encoding);
    EXPECT_EQ(widest->text, "°");
}

TEST(TextReadingTest, WideTextWithoutAMarkIsNotTakenForUtf8) {
    const std::string text = "Date;Wind speed\r\n01.06.2012 00:00;3,4\r\n01.06.2012 00:10;3,1\r\n";
    std::string littleEndian;
    std::string bigEndian;
    for (const char c : text) {
        littleEndian += {c, '\0'};
        bigEndian += {'\0', c};
    }
    const Outcome<DecodedText> little = decodeWithFallback(littleEndian);
    EXPECT_EQ(little->text, text);
    EXPECT_EQ(little->source, EncodingSource::detected);
    EXPECT_EQ(decodeWithFallback(bigEndian)->text, text);

    // NULs that no wide encoding explains leave the text as it is.
    const std::string nulls{"Date;Wind\n\0\0\0;3,4\n", 18};
    const Outcome<DecodedText> kept = decodeWithFallback(nulls);
    EXPECT_EQ(kept->encoding, kUtf8Encoding);
    EXPECT_EQ(kept->text, nulls);
}

TEST(TextReadingTest, FallsBackToMacOSRomanWhenDetectionFails) {
    const Outcome<DecodedText> read = readTextWithFallback(fixture("macroman_cr.csv"));
    EXPECT_EQ(read->encoding, kMacOSRomanEncoding);
    EXPECT_EQ(read->source, EncodingSource::fallback);
    EXPECT_EQ(firstLine(read), "Date;Température °C;Vitesse du vent m/s;État");
    EXPECT_NE(read->text.find("Arrêt"), std::string::npos);
}

TEST(TextReadingTest, ABinaryFileIsNotTakenForADetectedText) {
    const Outcome<DecodedText> detected = readTextDetectingEncoding(fixture("binary.csv"));
    EXPECT_FALSE(detected);
    const Outcome<DecodedText> read = readTextWithFallback(fixture("binary.csv"));
    EXPECT_EQ(read->encoding, kMacOSRomanEncoding);
    EXPECT_EQ(read->source, EncodingSource::fallback);
}

TEST(TextReadingTest, DetectsAnUmlautFarIntoALongFile) {
    std::string bytes = "Datum;Wind;Zustand\r\n";
    while (bytes.size() < 500000) {
        bytes += "01.06.2012 00:00;3,4;Betrieb\r\n";
    }
    bytes += "01.06.2012 00:10;3,1;St\xF6rung\r\n";
    const Outcome<DecodedText> read = decodeWithFallback(bytes);
    EXPECT_EQ(read->encoding, kWindowsLatin1Encoding);
    EXPECT_EQ(read->source, EncodingSource::detected);
    EXPECT_TRUE(read->text.ends_with("St\xC3\xB6rung\r\n"));
}

TEST(TextReadingTest, AnEmptyFileIsAnEmptyUtf8Text) {
    const Outcome<DecodedText> read = readTextWithFallback(fixture("empty.csv"));
    EXPECT_EQ(read->text, "");
    EXPECT_EQ(read->encoding, kUtf8Encoding);
}

TEST(TextReadingTest, MissingFilesAndDirectoriesFailWithTheirName) {
    const Outcome<DecodedText> missing = readTextWithFallback(fixture("no-such-file.csv"));
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.error().message.find("no-such-file.csv"), std::string::npos)
        << missing.error().message;

    const Outcome<DecodedText> directory = readTextWithFallback(VANE_IMPORT_FIXTURES);
    EXPECT_FALSE(directory);
    EXPECT_NE(directory.error().message.find("directory"), std::string::npos)
        << directory.error().message;

    EXPECT_FALSE(readTextInEncoding(VANE_IMPORT_FIXTURES, kUtf8Encoding));
}

TEST(TextReadingTest, AChosenEncodingIsReadStrictly) {
    const std::filesystem::path windows = fixture("windows1252_semicolon_crlf.csv");
    EXPECT_FALSE(readTextInEncoding(windows, kUtf8Encoding)) << "0xB0 alone is not UTF-8";
    EXPECT_FALSE(readTextInEncoding(windows, 1)) << "0xB0 is not ASCII";
    EXPECT_FALSE(readTextInEncoding(windows, 0)) << "0: the name matched no entry";

    const Outcome<DecodedText> roman = readTextInEncoding(windows, kMacOSRomanEncoding);
    EXPECT_EQ(roman->source, EncodingSource::chosen);
    EXPECT_EQ(firstLine(roman), "Datum;Temp ∞C;Wind m/s");
}

TEST(TextReadingTest, TruncatedMultiByteTextFailsRatherThanLosingItsEnd) {
    EXPECT_FALSE(
        decodeInEncoding("\xFF\xFE"
                         "A",
                         kUtf16Encoding));
    EXPECT_FALSE(decodeInEncoding("Temp \xC2", kUtf8Encoding));
    EXPECT_NE(decodeWithFallback("Temp \xC2")->encoding, kUtf8Encoding);
}

TEST(TextReadingTest, DetectionNeverReadsBeyondTheBytes) {
    for (std::size_t length = 0; length <= 8; ++length) {
        const std::string bytes = bytesOf("utf16le_bom_tab_crlf.csv").substr(0, length);
        const Outcome<DecodedText> read = decodeWithFallback(bytes);
        EXPECT_TRUE(read) << length;
    }
}

// Large files are converted piece by piece: characters of every width that fall on the edges of
// the pieces come out whole, and a byte that does not read stops the conversion wherever it is.
TEST(TextReadingTest, LongTextsConvertWholeAcrossPieces) {
    std::string latin1;
    std::string utf8;
    std::u16string wide;
    for (int row = 0; latin1.size() < 300 * 1024; ++row) {
        const std::string line = std::to_string(row) + ";4,2;";
        latin1 += line + "St\xF6rung \xB0" + "C\r\n";
        utf8 += line + "St\xC3\xB6rung \xC2\xB0" + "C\r\n";
        for (const char c : line) {
            wide += static_cast<char16_t>(c);
        }
        wide += u"St\u00F6rung \u00B0C \u4E2D\U0001F987\r\n";
    }
    const Outcome<DecodedText> windows = decodeInEncoding(latin1, kWindowsLatin1Encoding);
    ASSERT_TRUE(windows);
    EXPECT_TRUE(windows->text == utf8);
    const Outcome<DecodedText> fallback = decodeWithFallback(latin1);
    ASSERT_TRUE(fallback);
    EXPECT_TRUE(fallback->text == utf8);

    std::string utf16le;
    std::string utf8Wide;
    for (const char16_t unit : wide) {
        utf16le += static_cast<char>(unit & 0xFF);
        utf16le += static_cast<char>(unit >> 8);
    }
    for (std::size_t i = 0; i < wide.size(); ++i) {
        std::string code;
        char32_t c = wide[i];
        if (c >= 0xD800 && c < 0xDC00) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
        }
        if (c < 0x80) {
            code += static_cast<char>(c);
        } else if (c < 0x800) {
            code += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            code += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                     static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            code +=
                {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                 static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        }
        utf8Wide += code;
    }
    const Outcome<DecodedText> utf16 = decodeWithFallback("\xFF\xFE" + utf16le);
    ASSERT_TRUE(utf16);
    EXPECT_TRUE(utf16->text == utf8Wide);

    // 0xB0 far into a text is not ASCII; half a surrogate pair at the end is none in UTF-16.
    std::string ascii(300 * 1024, 'x');
    EXPECT_TRUE(decodeInEncoding(ascii, 1));
    ascii[200 * 1024] = '\xB0';
    EXPECT_FALSE(decodeInEncoding(ascii, 1));
    EXPECT_FALSE(decodeInEncoding("\xFF\xFE" + utf16le.substr(0, utf16le.size() - 6) + "=\xD8",
                                  kUtf16Encoding));
}

// Encodings of one byte a character are converted by a table made from ICU: every byte of every
// offered encoding must come out as ICU's own conversion gives it, or fail where that fails.
TEST(TextReadingTest, EveryByteOfEveryEncodingReadsAsIcuReadsIt) {
    for (const EncodingEntry& entry : allAvailableEncodings()) {
        const std::optional<std::string> name = encodingConverterName(entry.number);
        ASSERT_TRUE(name) << entry.displayName;
        UErrorCode status = U_ZERO_ERROR;
        UConverter* converter = ucnv_open(name->c_str(), &status);
        ASSERT_TRUE(U_SUCCESS(status)) << *name;
        ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        std::string everyByte;
        for (int byte = 0; byte < 256; ++byte) {
            everyByte += static_cast<char>(byte);
        }
        for (const std::string& bytes :
             {everyByte.substr(0x20, 0x60), everyByte.substr(0x80), everyByte.substr(0xA0)}) {
            std::array<UChar, 512> wide{};
            status = U_ZERO_ERROR;
            const int32_t length =
                ucnv_toUChars(converter, wide.data(), static_cast<int32_t>(wide.size()),
                              bytes.data(), static_cast<int32_t>(bytes.size()), &status);
            const Outcome<DecodedText> read = decodeInEncoding(bytes, entry.number);
            if (U_FAILURE(status)) {
                EXPECT_FALSE(read) << entry.displayName;
                continue;
            }
            std::string expected;
            icu::UnicodeString(wide.data(), length).toUTF8String(expected);
            ASSERT_TRUE(read) << entry.displayName;
            EXPECT_EQ(read->text, expected) << entry.displayName;
        }
        ucnv_close(converter);
    }
}

// The file readers take valid UTF-8 bytes as the text without decoding them; what they give must be
// exactly what decoding the same bytes gives, for every kind of start and content.
TEST(TextReadingTest, ReadingAFileGivesWhatDecodingItsBytesGives) {
    const std::string samples[] = {
        "",
        "Datum;Wind\r\n01.06.2012 00:00;3,4\r\n",
        "\xEF\xBB\xBF"
        "Datum;Temp \xC2\xB0"
        "C\n",
        "\xEF\xBB\xBF",
        "\xEF\xBB\xBF"
        "Temp \xB0",
        std::string("D\0a\0t\0u\0m\0;\0W\0\n\0", 16),
        std::string("\xEF\xBB\xBF"
                    "a\0b",
                    6),
        "\xFF\xFE"
        "D\0a\0",
        std::string("\xFF\xFE\0\0D\0\0\0", 8),
        "Temp \xB0"
        "C;Wind\n",
        "Temp \xC2",
        std::string(300, 'x') + "\xE2\x82\xAC" + std::string(5, 'y'),
        std::string(13, 'x') + "\xE2\x82",
    };
    const std::filesystem::path file = vane::testing::uniqueTempPath("vane-text-reading-test");
    for (const std::string& bytes : samples) {
        std::ofstream(file, std::ios::binary) << bytes;
        const auto same = [&bytes](const Outcome<DecodedText>& read,
                                   const Outcome<DecodedText>& decoded) {
            ASSERT_EQ(read.has_value(), decoded.has_value()) << bytes;
            if (read) {
                EXPECT_EQ(read->text, decoded->text) << bytes;
                EXPECT_EQ(read->encoding, decoded->encoding) << bytes;
                EXPECT_EQ(read->source, decoded->source) << bytes;
            }
        };
        same(readTextWithFallback(file), decodeWithFallback(bytes));
        same(readTextDetectingEncoding(file), decodeDetectingEncoding(bytes));
        same(readTextInEncoding(file, kUtf8Encoding), decodeInEncoding(bytes, kUtf8Encoding));
    }
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace vane
