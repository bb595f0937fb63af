#include "media/input/key_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

using media::kKeyCodeCount;
using media::kScanCodeCount;

struct Tables {
    media::ScanToKeyTable scanToKey;
    media::KeyToScanTable keyToScan;
    media::ShiftTable shift;
    media::KeyNameTable names;

    Tables() {
        media::BuildScanToKeyTable(scanToKey);
        media::BuildKeyToScanTable(keyToScan);
        media::BuildShiftTable(shift);
        media::BuildKeyNames(names);
    }
    std::string Name(std::size_t code) const { return std::string(names[code].data(), strnlen(names[code].data(), 12)); }
    // Codes some scan code produces (0 marks an ignored scan code).
    std::set<std::uint32_t> ProducedCodes() const {
        std::set<std::uint32_t> codes(scanToKey.begin(), scanToKey.end());
        codes.erase(0);
        return codes;
    }
};

constexpr std::uint32_t kPrintScreenScan = 183;

TEST(KeyTables, EveryScanCodeThatProducesACodeIsItsKeyToScanEntryExceptPrintScreen) {
    const Tables t;
    int produced = 0;
    for (std::size_t scan = 0; scan < kScanCodeCount; ++scan) {
        const std::uint32_t code = t.scanToKey[scan];
        if (code == 0) continue;
        ++produced;
        ASSERT_LT(code, 256u) << "scan " << scan;
        if (scan == kPrintScreenScan) {
            EXPECT_EQ(code, 175u);
            EXPECT_EQ(t.keyToScan[code], 0u);
        } else {
            EXPECT_EQ(t.keyToScan[code], scan) << "code " << code;
        }
    }
    // 52 keys that type a character (letters, digits, punctuation, control keys), 48 without one.
    EXPECT_EQ(produced, 52 + 48);
}

TEST(KeyTables, TheKeyboardProducesExactlyTheUnshiftedNamedCodes) {
    const Tables t;
    std::set<std::uint32_t> neverProduced = {0, 58, 60, 94, 95, 176};
    for (std::uint32_t c = 33; c <= 38; ++c) neverProduced.insert(c);
    for (std::uint32_t c = 40; c <= 43; ++c) neverProduced.insert(c);
    for (std::uint32_t c = 62; c <= 90; ++c) neverProduced.insert(c);
    for (std::uint32_t c = 123; c <= 127; ++c) neverProduced.insert(c);
    const std::set<std::uint32_t> produced = t.ProducedCodes();
    for (std::uint32_t code = 0; code < 256; ++code) {
        const bool named = !t.Name(code).empty();
        const bool expected = named && !neverProduced.count(code);
        EXPECT_EQ(produced.count(code) == 1, expected) << "code " << code << " " << t.Name(code);
    }
}

TEST(KeyTables, LettersAreReportedOnlyAsLowercaseAtTheirUsLayoutPositions) {
    const Tables t;
    const struct {
        std::uint32_t firstScan;
        const char* letters;
    } rows[] = {{16, "qwertyuiop"}, {30, "asdfghjkl"}, {44, "zxcvbnm"}};
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < std::strlen(row.letters); ++i) {
            const char letter = row.letters[i];
            EXPECT_EQ(t.scanToKey[row.firstScan + i], static_cast<std::uint32_t>(letter)) << letter;
            const auto capital = static_cast<std::uint32_t>(letter - 'a' + 'A');
            EXPECT_EQ(t.keyToScan[capital], row.firstScan + i) << "capital of " << letter;
            EXPECT_EQ(t.shift[static_cast<std::size_t>(letter)], capital);
            EXPECT_EQ(t.Name(static_cast<std::size_t>(letter)), std::string(1, static_cast<char>(capital)));
            EXPECT_EQ(t.Name(capital), t.Name(static_cast<std::size_t>(letter)));
        }
    }
    for (std::uint32_t capital = 'A'; capital <= 'Z'; ++capital) EXPECT_EQ(t.ProducedCodes().count(capital), 0u);
}

TEST(KeyTables, ShiftGivesTheUsLayoutSymbolWithTheSameNameAndKey) {
    const Tables t;
    const char* unshifted = "1234567890-=[]\\;'`,./";
    const char* shifted = "!@#$%^&*()_+{}|:\"~<>?";
    for (std::size_t i = 0; i < std::strlen(unshifted); ++i) {
        const auto code = static_cast<std::size_t>(unshifted[i]);
        const auto symbol = static_cast<std::size_t>(shifted[i]);
        EXPECT_EQ(t.shift[code], symbol) << unshifted[i];
        EXPECT_EQ(t.Name(symbol), t.Name(code)) << shifted[i];
        EXPECT_EQ(t.shift[symbol], 0) << shifted[i];
    }
    // Every shifted character maps back to the key that types it, except the three that have
    // keys of their own on some keyboards (at, colon, underscore).
    for (std::size_t code = 0; code < kKeyCodeCount; ++code) {
        const std::size_t symbol = t.shift[code];
        if (symbol == 0) continue;
        if (symbol == '@' || symbol == ':' || symbol == '_') continue;
        EXPECT_EQ(t.keyToScan[symbol], t.keyToScan[code]) << code;
    }
    EXPECT_EQ(t.keyToScan['@'], 145u);
    EXPECT_EQ(t.keyToScan[':'], 146u);
    EXPECT_EQ(t.keyToScan['_'], 147u);
}

TEST(KeyTables, MinusKeyIsUnderscoreAndPrintScreenAndPauseDoNotMapBack) {
    const Tables t;
    EXPECT_EQ(t.scanToKey[12], 45u);
    EXPECT_EQ(t.Name(45), "UNDERSCORE");
    EXPECT_EQ(t.shift[45], 95);
    EXPECT_EQ(t.Name(95), "UNDERSCORE");
    EXPECT_EQ(t.keyToScan[95], 147u);
    EXPECT_EQ(t.keyToScan[45], 12u);

    EXPECT_EQ(t.Name(175), "PRINT SCRN");
    EXPECT_EQ(t.keyToScan[175], 0u);
    EXPECT_EQ(t.Name(176), "PAUSE");
    EXPECT_EQ(t.keyToScan[176], 0u);
    EXPECT_EQ(t.ProducedCodes().count(176), 0u);

    // Delete: the key reports DEL; the DELETE character maps back to the same key.
    EXPECT_EQ(t.scanToKey[211], 151u);
    EXPECT_EQ(t.keyToScan[127], 211u);
    EXPECT_EQ(t.keyToScan[151], 211u);
    for (const std::size_t windowsKey : {219, 220, 221}) EXPECT_EQ(t.scanToKey[windowsKey], 0u) << windowsKey;
}

TEST(KeyTables, NamesAreNulPaddedToTwelveAndEmptyWhereNoKeyIsNamed) {
    const Tables t;
    auto unnamed = [](std::size_t code) {
        return (code >= 1 && code <= 7) || (code >= 10 && code <= 12) || (code >= 14 && code <= 26) ||
               (code >= 28 && code <= 31) || (code >= 177 && code <= 255);
    };
    for (std::size_t code = 0; code < kKeyCodeCount; ++code) {
        const auto& entry = t.names[code];
        const std::size_t length = strnlen(entry.data(), entry.size());
        ASSERT_LE(length, 11u) << code;
        for (std::size_t i = length; i < entry.size(); ++i) EXPECT_EQ(entry[i], '\0') << code << " byte " << i;
        EXPECT_EQ(length == 0, unnamed(code)) << code << " '" << t.Name(code) << "'";
    }
    EXPECT_EQ(t.Name(0), "NULL");
    EXPECT_EQ(t.Name(259), "MOUSE BUTN4");
    EXPECT_EQ(t.Name(135), "RIGHT ARROW");
}

TEST(KeyTables, GameKeysButtonsAndKeypadHaveTheirNames) {
    const Tables t;
    const struct {
        std::size_t code;
        const char* name;
        std::uint32_t scan;  // 0: not a keyboard key
    } keys[] = {
        {27, "ESC", 1},          {97, "A", 30},           {101, "E", 18},          {109, "M", 50},
        {111, "O", 24},          {112, "P", 25},          {120, "X", 45},          {134, "LEFT ARROW", 203},
        {135, "RIGHT ARROW", 205}, {136, "UP ARROW", 200}, {137, "DOWN ARROW", 208}, {13, "ENTER", 28},
        {160, "NUM ENTER", 156}, {169, "NUM 7", 71},      {163, "NUM 1", 79},      {162, "NUM 0", 82},
        {138, "F1", 59},         {147, "F10", 68},        {148, "F11", 87},        {149, "F12", 88},
        {256, "MOUSE LEFT", 0},  {257, "MOUSE RIGHT", 0}, {258, "MOUSE MIDLE", 0}, {260, "JOY BUTN 0", 0},
        {269, "JOY BUTN 9", 0},
    };
    for (const auto& key : keys) {
        EXPECT_EQ(t.Name(key.code), key.name) << key.code;
        if (key.scan) {
            EXPECT_EQ(t.scanToKey[key.scan], key.code) << key.name;
        }
    }
}

TEST(KeyTables, BuildersClearWhatTheTablesHeldBefore) {
    const Tables clean;
    Tables dirty;
    dirty.scanToKey.fill(0xDEAD);
    dirty.keyToScan.fill(0xBEEF);
    dirty.shift.fill(0x7F);
    for (auto& name : dirty.names) name.fill('#');
    media::BuildScanToKeyTable(dirty.scanToKey);
    media::BuildKeyToScanTable(dirty.keyToScan);
    media::BuildShiftTable(dirty.shift);
    media::BuildKeyNames(dirty.names);
    EXPECT_EQ(dirty.scanToKey, clean.scanToKey);
    EXPECT_EQ(dirty.keyToScan, clean.keyToScan);
    EXPECT_EQ(dirty.shift, clean.shift);
    EXPECT_EQ(dirty.names, clean.names);
}

}  // namespace
