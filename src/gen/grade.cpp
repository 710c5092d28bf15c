#include "gen/grade.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "gen/random.h"
#include "lib/text.h"

namespace gen {

namespace {

// par, reachable boards, dead ends per thousand, careless first shots.
// Easy: levels 1-4 need 4 to 6 shots, reach 16 to 3,025 boards, lose at
// most 270 in 1000 and spoil at most 2 first shots.
// Medium: levels 5-8 need 6 to 10 shots, reach 5,184 to 26,187 boards and
// lose 632 to 965 in 1000.
// Hard: levels 9-12 need 12 to 14 shots, reach 59,295 to 947,074 boards and
// lose 899 to 970 in 1000; none spoils a first shot. A hard level reaches
// at least 40,000 boards and loses at least 900 in 1000.
constexpr Band BANDS[GRADES] = {
    {4, 6, 16, 3100, 0, 300, 2},
    {6, 10, 2000, 30000, 600, 970, 2},
    {10, 16, 40000, 1000000, 900, 1000, 2},
};

constexpr const char* NAMES[GRADES] = {"easy", "medium", "hard"};

int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool LeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

const Band& BandOf(Grade g) { return BANDS[g]; }

const char* GradeName(Grade g) { return NAMES[g]; }

bool GradeOfName(const char* name, Grade* g) {
    for (int i = 0; i < GRADES; ++i) {
        const char* n = NAMES[i];
        size_t k = 0;
        while (n[k] && std::tolower(static_cast<unsigned char>(name[k])) == n[k]) ++k;
        if (!n[k] && !name[k]) {
            *g = static_cast<Grade>(i);
            return true;
        }
    }
    return false;
}

namespace {

int Digits(const char* text, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) value = value * 10 + (text[i] - '0');
    return value;
}

// The text quoted in a message: a long one is cut, between characters, so
// that the reason still fits.
void Quote(const char* text, char* out, size_t size) {
    size_t cut = 0;
    while (text[cut]) {
        const size_t step = Utf8CharLength(text + cut);
        if (cut + (step ? step : 1) > 40) break;
        cut += step ? step : 1;
    }
    std::snprintf(out, size, "'%.*s%s'", static_cast<int>(cut), text, text[cut] ? "\xE2\x80\xA6" : "");
}

}  // namespace

bool ParseDate(const char* text, Date* date, char* error, size_t errorSize) {
    const size_t length = std::strlen(text);
    bool shape = length == 10 && text[4] == '-' && text[7] == '-';
    for (size_t i = 0; shape && i < length; ++i)
        if (i != 4 && i != 7) shape = text[i] >= '0' && text[i] <= '9';
    char quoted[64];
    Quote(text, quoted, sizeof quoted);
    if (!shape) {
        std::snprintf(error, errorSize, "%s is not a date; write it as YYYY-MM-DD", quoted);
        return false;
    }
    Date d;
    d.year = Digits(text, 4);
    d.month = Digits(text + 5, 2);
    d.day = Digits(text + 8, 2);
    static const int DAYS[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > DAYS[d.month - 1] ||
        (d.month == 2 && d.day == 29 && !LeapYear(d.year))) {
        std::snprintf(error, errorSize, "%s is not a day of the calendar", quoted);
        return false;
    }
    *date = d;
    return true;
}

void DateText(const Date& d, char out[DATE_TEXT_SIZE]) {
    // Unsigned, so that the compiler sees every field fit its width.
    std::snprintf(out, DATE_TEXT_SIZE, "%04u-%02u-%02u", static_cast<unsigned>(d.year) % 10000u,
                  static_cast<unsigned>(d.month) % 100u, static_cast<unsigned>(d.day) % 100u);
}

Date DaysAfter(const Date& date, int days) {
    // The day number back to a date (the inverse of DaysFromCivil).
    const int64_t z = DaysFromCivil(date.year, date.month, date.day) + days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    Date d;
    d.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    d.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    d.year = static_cast<int>(yoe + era * 400 + (d.month <= 2));
    return d;
}

void DailyLevel(const Date& date, Grade* grade, uint64_t* seed) {
    const int64_t days = DaysFromCivil(date.year, date.month, date.day);
    // 1970-01-01 was a Thursday; 0 is Monday here.
    const int weekday = static_cast<int>(((days + 3) % 7 + 7) % 7);
    static const Grade WEEK[7] = {EASY, EASY, MEDIUM, MEDIUM, HARD, HARD, HARD};
    *grade = WEEK[weekday];
    uint64_t x = static_cast<uint64_t>(days) ^ 0xDA11E7A2C0DE5EEDull;
    *seed = SplitMix64(&x);
}

}  // namespace gen
