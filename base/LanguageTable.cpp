#include "base/LanguageTable.h"

#include <array>
#include <cstring>

#include "base/Strings.h"
#include "platform/kernel/Locale.h"

namespace skinner {

namespace {

struct LanguageRow {
    char code[4];
    const char* name;
};

// Indexed by the primary language identifier (LANG_* numbering); rows without a name are empty.
constexpr std::array<LanguageRow, 98> make_table() {
    std::array<LanguageRow, 98> t{};
    struct Entry {
        int id;
        const char* code;
        const char* name;
    };
    constexpr Entry entries[] = {
        {1, "AR", "ARABIC"},      {2, "BG", "BULGARIAN"},    {3, "CA", "CATALAN"},     {4, "ZH", "CHINESE"},
        {5, "CS", "CZECH"},       {6, "DA", "DANISH"},       {7, "DE", "GERMAN"},      {8, "EL", "GREEK"},
        {9, "EN", "ENGLISH"},     {10, "ES", "SPANISH"},     {11, "FI", "FINNISH"},    {12, "FR", "FRENCH"},
        {13, "HE", "HEBREW"},     {14, "HU", "HUNGARIAN"},   {15, "IS", "ICELANDIC"},  {16, "IT", "ITALIAN"},
        {17, "JA", "JAPANESE"},   {18, "KO", "KOREAN"},      {19, "NL", "DUTCH"},      {20, "NO", "NORWEGIAN"},
        {21, "PL", "POLISH"},     {22, "PT", "PORTUGUESE"},  {24, "RO", "ROMANIAN"},   {25, "RU", "RUSSIAN"},
        {26, "HR", "CROATIAN"},   {27, "SK", "SLOVAK"},      {28, "SQ", "ALBANIAN"},   {29, "SV", "SWEDISH"},
        {30, "TH", "THAI"},       {31, "TR", "TURKISH"},     {32, "UR", "URDU"},       {33, "ID", "INDONESIAN"},
        {34, "UK", "UKRAINIAN"},  {35, "BE", "BYELORUSSIAN"}, {36, "SL", "SLOVENIAN"}, {37, "ET", "ESTONIAN"},
        {38, "", "LATVIAN"},      {39, "LT", "LITHUANIAN"},  {41, "FA", "PERSIAN"},    {42, "VI", "VIETNAMESE"},
        {43, "HY", "ARMENIAN"},   {44, "AZ", "AZERBAIJANI"}, {45, "EU", "BASQUE"},     {47, "MK", "MACEDONIAN"},
        {54, "AF", "AFRIKAANS"},  {55, "KA", "GEORGIAN"},    {56, "FO", "FAROESE"},    {57, "HI", "HINDI"},
        {62, "MS", "MALAY"},      {63, "KK", "KAZAKH"},      {65, "SW", "SWAHILI"},    {67, "UZ", "UZBEK"},
        {68, "TT", "TATAR"},      {69, "", "BENGALI"},       {70, "PA", "PUNJABI"},    {71, "GU", "GUJARATI"},
        {72, "OR", "ORIYA"},      {73, "TA", "TAMIL"},       {74, "TE", "TELUGU"},     {75, "KN", "KANNADA"},
        {76, "ML", "MALAYALAM"},  {77, "AS", "ASSAMESE"},    {78, "MR", "MARATHI"},    {79, "SA", "SANSKRIT"},
        {89, "SD", "SINDHI"},     {96, "KS", "KASHMIRI"},    {97, "NE", "NEPALI"},
    };
    for (const Entry& e : entries) {
        LanguageRow& row = t[size_t(e.id)];
        for (int i = 0; i < 3 && e.code[i] != 0; ++i) {
            row.code[i] = e.code[i];
        }
        row.name = e.name;
    }
    return t;
}

constexpr std::array<LanguageRow, 98> language_table = make_table();

}  // namespace

std::u16string language_name_of(LANGID id, std::u16string* code) {
    unsigned primary = id & 0x3FF;
    std::u16string name;
    std::u16string row_code;
    if (primary < language_table.size() && language_table[primary].name) {
        const LanguageRow& row = language_table[primary];
        widen(row.name, std::strlen(row.name), name);
        widen(row.code, std::strlen(row.code), row_code);
    }
    if (code) {
        *code = row_code;
    }
    return name;
}

std::u16string get_user_language_name(std::u16string* code) {
    return language_name_of(GetUserDefaultLangID(), code);
}

}  // namespace skinner
