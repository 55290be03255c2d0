#include "core/import/text_reading.h"

#include <gtest/gtest.h>

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
