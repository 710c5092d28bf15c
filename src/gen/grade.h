// The generator's grades, each a band of the figures the solver measures,
// and the daily level's grade and seed, both from the date alone.
#pragma once
#include <cstddef>
#include <cstdint>

#include "gen/measure.h"

namespace gen {

enum Grade { EASY, MEDIUM, HARD };
constexpr int GRADES = 3;

// Every edge is inclusive. The edges come from the shipped ramp: levels 1-4
// are easy, 5-8 medium, 9-12 hard (docs/ARCHITECTURE.md lists their figures).
struct Band {
    int parMin, parMax;
    uint32_t statesMin, statesMax;
    int deadMin, deadMax;  // dead ends per thousand reachable boards
    int carelessFirstMax;  // of the 48 first shots
};

const Band& BandOf(Grade g);

const char* GradeName(Grade g);  // "easy", "medium", "hard"
// "easy", "medium" or "hard", any case; false for anything else.
bool GradeOfName(const char* name, Grade* g);

// A day of the calendar (proleptic Gregorian).
struct Date {
    int year = 0, month = 0, day = 0;
};
// Room for a date's text and its end, and for a date's error.
constexpr size_t DATE_TEXT_SIZE = 11;
constexpr size_t DATE_ERROR_SIZE = 96;
// "2026-12-07" -> the date; false, with a message, for anything else.
bool ParseDate(const char* text, Date* date, char* error, size_t errorSize);
void DateText(const Date& date, char out[DATE_TEXT_SIZE]);
// The date the given number of days later (earlier when negative).
Date DaysAfter(const Date& date, int days);
// The daily level: the seed from the date, the grade rising through the
// week (Monday and Tuesday easy, Wednesday and Thursday medium, Friday to
// Sunday hard). The same everywhere: no clock, no time zone, only the date.
void DailyLevel(const Date& date, Grade* grade, uint64_t* seed);

}  // namespace gen
