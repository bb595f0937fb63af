#include "media/input/key_tables.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace media {

namespace {

// Keys that type a character, and the name 0 ("NULL"): the code is the unshifted character,
// produced by the scan code, which is also its key-to-scan entry.
struct CharacterKey {
    std::uint16_t code;
    std::uint8_t scanCode;  // 0: produced by no key
    std::uint8_t shifted;
    const char* name;
};

constexpr CharacterKey kCharacterKeys[] = {
    {0, 0, 0, "NULL"},         {8, 14, 0, "BACKSPACE"},    {9, 15, 0, "TAB"},          {13, 28, 0, "ENTER"},
    {27, 1, 0, "ESC"},         {32, 57, 0, "SPACE"},       {39, 40, 34, "APOSTROPHE"}, {44, 51, 60, "COMMA"},
    {45, 12, 95, "UNDERSCORE"}, {46, 52, 62, "PERIOD"},    {47, 53, 63, "SLASH"},      {48, 11, 41, "0"},
    {49, 2, 33, "1"},          {50, 3, 64, "2"},           {51, 4, 35, "3"},           {52, 5, 36, "4"},
    {53, 6, 37, "5"},          {54, 7, 94, "6"},           {55, 8, 38, "7"},           {56, 9, 42, "8"},
    {57, 10, 40, "9"},         {59, 39, 58, "SEMICOLON"},  {61, 13, 43, "EQUALS"},     {91, 26, 123, "LEFT BRKT"},
    {92, 43, 124, "BACKSLASH"}, {93, 27, 125, "RIGHT BRKT"}, {96, 41, 126, "GRAVE"},
};

// Letters a..z by their US-layout scan codes; each types its capital with Shift and is named by it.
constexpr std::uint8_t kLetterScanCodes[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                               49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
constexpr std::uint16_t kLowercaseA = 97;
constexpr std::uint16_t kCapitalA = 65;

// Characters no key produces unshifted: named after their key, mapped back to a scan code.
struct ShiftedCharacter {
    std::uint16_t code;
    std::uint8_t keyToScan;
    const char* name;
};

constexpr ShiftedCharacter kShiftedCharacters[] = {
    {33, 2, "1"},          {34, 40, "APOSTROPHE"}, {35, 4, "3"},          {36, 5, "4"},
    {37, 6, "5"},          {38, 8, "7"},           {40, 10, "9"},         {41, 11, "0"},
    {42, 9, "8"},          {43, 13, "EQUALS"},     {58, 146, "SEMICOLON"}, {60, 51, "COMMA"},
    {62, 52, "PERIOD"},    {63, 53, "SLASH"},      {64, 145, "2"},         {94, 7, "6"},
    {95, 147, "UNDERSCORE"}, {123, 26, "LEFT BRKT"}, {124, 43, "BACKSLASH"}, {125, 27, "RIGHT BRKT"},
    {126, 41, "GRAVE"},    {127, 211, "DELETE"},
};

// Keys without a character, 128..176.
struct SpecialKey {
    std::uint16_t code;
    std::uint8_t scanCode;   // the scan code that produces it; 0: none
    std::uint8_t keyToScan;  // its key-to-scan entry
    const char* name;
};

constexpr SpecialKey kSpecialKeys[] = {
    {128, 42, 42, "LEFT SHIFT"},   {129, 54, 54, "RIGHT SHIFT"},  {130, 29, 29, "LEFT CTRL"},
    {131, 157, 157, "RIGHT CTRL"}, {132, 56, 56, "LEFT ALT"},     {133, 184, 184, "RIGHT ALT"},
    {134, 203, 203, "LEFT ARROW"}, {135, 205, 205, "RIGHT ARROW"}, {136, 200, 200, "UP ARROW"},
    {137, 208, 208, "DOWN ARROW"}, {138, 59, 59, "F1"},            {139, 60, 60, "F2"},
    {140, 61, 61, "F3"},           {141, 62, 62, "F4"},            {142, 63, 63, "F5"},
    {143, 64, 64, "F6"},           {144, 65, 65, "F7"},            {145, 66, 66, "F8"},
    {146, 67, 67, "F9"},           {147, 68, 68, "F10"},           {148, 87, 87, "F11"},
    {149, 88, 88, "F12"},          {150, 210, 210, "INSERT"},      {151, 211, 211, "DEL"},
    {152, 199, 199, "HOME"},       {153, 207, 207, "END"},         {154, 201, 201, "PAGE UP"},
    {155, 209, 209, "PAGE DOWN"},  {156, 181, 181, "NUM SLASH"},   {157, 55, 55, "NUM STAR"},
    {158, 74, 74, "NUM MINUS"},    {159, 78, 78, "NUM PLUS"},      {160, 156, 156, "NUM ENTER"},
    {161, 83, 83, "NUM PERIOD"},   {162, 82, 82, "NUM 0"},         {163, 79, 79, "NUM 1"},
    {164, 80, 80, "NUM 2"},        {165, 81, 81, "NUM 3"},         {166, 75, 75, "NUM 4"},
    {167, 76, 76, "NUM 5"},        {168, 77, 77, "NUM 6"},         {169, 71, 71, "NUM 7"},
    {170, 72, 72, "NUM 8"},        {171, 73, 73, "NUM 9"},         {172, 69, 69, "NUM LOCK"},
    {173, 58, 58, "CAPS LOCK"},    {174, 70, 70, "SCROLL LOCK"},
    // Print Screen reports a key code that does not map back; Pause is never reported.
    {175, 183, 0, "PRINT SCRN"},   {176, 0, 0, "PAUSE"},
};

// The two Windows keys and the menu key: ignored.
constexpr std::uint8_t kIgnoredScanCodes[] = {219, 220, 221};

constexpr const char* kButtonNames[] = {
    "MOUSE LEFT", "MOUSE RIGHT", "MOUSE MIDLE", "MOUSE BUTN4", "JOY BUTN 0", "JOY BUTN 1", "JOY BUTN 2",
    "JOY BUTN 3", "JOY BUTN 4",  "JOY BUTN 5",  "JOY BUTN 6",  "JOY BUTN 7", "JOY BUTN 8", "JOY BUTN 9",
};
static_assert(std::size(kButtonNames) == kKeyCodeCount - KEY_CODE_MOUSE_FIRST);

void SetName(KeyNameTable& table, std::uint16_t code, std::string_view name) {
    auto& entry = table[code];
    entry.fill('\0');
    std::copy_n(name.begin(), std::min(name.size(), kKeyNameSize - 1), entry.begin());
}

// Both cases of a letter are named by the capital.
void SetLetterName(KeyNameTable& table, std::uint16_t code, int letter) {
    const char name[2] = {static_cast<char>('A' + letter), '\0'};
    SetName(table, code, name);
}

}  // namespace

void BuildScanToKeyTable(ScanToKeyTable& table) {
    table.fill(0);
    for (const CharacterKey& key : kCharacterKeys) {
        if (key.scanCode) table[key.scanCode] = key.code;
    }
    for (int letter = 0; letter < 26; ++letter) table[kLetterScanCodes[letter]] = kLowercaseA + letter;
    for (const SpecialKey& key : kSpecialKeys) {
        if (key.scanCode) table[key.scanCode] = key.code;
    }
    for (const std::uint8_t scanCode : kIgnoredScanCodes) table[scanCode] = 0;
}

void BuildKeyToScanTable(KeyToScanTable& table) {
    table.fill(0);
    for (const CharacterKey& key : kCharacterKeys) table[key.code] = key.scanCode;
    for (int letter = 0; letter < 26; ++letter) table[kLowercaseA + letter] = kLetterScanCodes[letter];
    for (const ShiftedCharacter& character : kShiftedCharacters) table[character.code] = character.keyToScan;
    for (int letter = 0; letter < 26; ++letter) table[kCapitalA + letter] = kLetterScanCodes[letter];
    for (const SpecialKey& key : kSpecialKeys) table[key.code] = key.keyToScan;
}

void BuildShiftTable(ShiftTable& table) {
    table.fill(0);
    for (const CharacterKey& key : kCharacterKeys) table[key.code] = key.shifted;
    for (int letter = 0; letter < 26; ++letter) table[kLowercaseA + letter] = static_cast<std::uint8_t>(kCapitalA + letter);
}

void BuildKeyNames(KeyNameTable& table) {
    for (auto& entry : table) entry.fill('\0');
    for (const CharacterKey& key : kCharacterKeys) SetName(table, key.code, key.name);
    for (int letter = 0; letter < 26; ++letter) SetLetterName(table, kLowercaseA + letter, letter);
    for (const ShiftedCharacter& character : kShiftedCharacters) SetName(table, character.code, character.name);
    for (int letter = 0; letter < 26; ++letter) SetLetterName(table, kCapitalA + letter, letter);
    for (const SpecialKey& key : kSpecialKeys) SetName(table, key.code, key.name);
    for (std::size_t i = 0; i < std::size(kButtonNames); ++i) SetName(table, KEY_CODE_MOUSE_FIRST + i, kButtonNames[i]);
}

}  // namespace media
