#pragma once
// The career's calendar: 59 days in three cafes. Cafe 1 holds days 1-15, cafe 2 days 16-35 and
// cafe 3 days 36-59. A profile's current day runs from 1 to 60 (60 once the last day is won).

inline constexpr int kCareerFirstDay = 1;
inline constexpr int kCareerLastDay = 59;
inline constexpr int kCareerFinishedDay = 60;
inline constexpr int kCareerCafes = 3;

// The cafe of a day, by two comparisons: up to day 15 cafe 1, up to day 35 cafe 2, else cafe 3.
int CareerCafeOfDay(int day);
// The number of days before the cafe's first day: 0, 15 or 35 (a cafe outside 1-3 counts as the
// nearest one).
int CareerCafeOffset(int cafe);
// The cafe's number of days: 15, 20 or 24.
int CareerCafeDays(int cafe);
// True for a day that has records in a profile (1-59).
bool IsCareerDay(int day);
