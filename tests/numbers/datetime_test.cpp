// Durations, dates and clock times as the host shows them, and read back in
// its order, separators and clock.
#include "host/datetime.h"
#include "host_fixture.h"

#include <math.h>
#include <string.h>

#include <string>

namespace {

using numberstest::Conventions;
using numberstest::HostTest;

class DateTime : public HostTest {
  protected:
    std::string Date(int year, int month, int day, int expectAnswer = 1) {
        char text[32];
        memset(text, 'x', sizeof text);
        EXPECT_EQ(expectAnswer, FormatDate(text, sizeof text, year, month, day));
        return text;
    }
    std::string Time(int h, int m, int s, int expectAnswer = 1) {
        char text[32];
        memset(text, 'x', sizeof text);
        EXPECT_EQ(expectAnswer, FormatTime(text, sizeof text, h, m, s));
        return text;
    }
};

TEST_F(DateTime, DurationsRoundedOnce) {
    Conventions c;
    c.decimal = ",";
    Use(c);
    struct {
        double seconds;
        int decimals;
        const char* hours;
        const char* minutes;
    } cases[] = {
        {3725.5, 1, "1:02:05,5", "62:05,5"},
        {59.9996, 3, "0:01:00,000", "1:00,000"},
        {0.0, 0, "0:00:00", "0:00"},
        {-61.0, 0, "-0:01:01", "-1:01"},
        {-0.0004, 3, "0:00:00,000", "0:00,000"}, // no sign once rounded to 0
        {90000.0, 0, "25:00:00", "1500:00"},
        {1.123456789, 9, "0:00:01,123456789", "0:01,123456789"},
        {1.5, 12, "0:00:01,500000000", "0:01,500000000"}, // decimals limited to 9
        {1.5, -1, "0:00:02", "0:02"},
    };
    for (const auto& t : cases) {
        char text[40];
        EXPECT_EQ(1, FormatHours(text, sizeof text, t.seconds, t.decimals)) << t.seconds;
        EXPECT_STREQ(t.hours, text);
        EXPECT_EQ(1, FormatMinutes(text, sizeof text, t.seconds, t.decimals)) << t.seconds;
        EXPECT_STREQ(t.minutes, text);
    }
    char text[40];
    EXPECT_EQ(0, FormatHours(text, sizeof text, NAN, 0));
    EXPECT_STREQ("", text);
    EXPECT_EQ(0, FormatHours(text, sizeof text, 1e12, 9)); // too long to count in ns
    char small[6];
    EXPECT_EQ(0, FormatHours(small, sizeof small, 3725.0, 0));
    EXPECT_STREQ("", small);
}

TEST_F(DateTime, TheHostsTimeSeparator) {
    Conventions c;
    c.time = ".";
    Use(c);
    char text[32];
    FormatHours(text, sizeof text, 3725.25, 2);
    EXPECT_STREQ("1.02.05.25", text);
}

TEST_F(DateTime, TwoDigitTexts) {
    EXPECT_STREQ("00", TwoDigitText(0));
    EXPECT_STREQ("07", TwoDigitText(7));
    EXPECT_STREQ("10", TwoDigitText(10));
    EXPECT_STREQ("123", TwoDigitText(123));
    EXPECT_STREQ("-3", TwoDigitText(-3));
}

TEST_F(DateTime, DatesInTheHostsOrder) {
    Conventions dmy; // day.month.year, leading zeros, long year
    Use(dmy);
    EXPECT_EQ("05.03.2023", Date(123, 3, 5));
    EXPECT_EQ("29.02.2024", Date(124, 2, 29));
    EXPECT_EQ("29.02.2000", Date(100, 2, 29));
    EXPECT_EQ("", Date(0, 2, 29, 0)); // 1900 is no leap year
    EXPECT_EQ("", Date(123, 4, 31, 0));
    EXPECT_EQ("", Date(123, 13, 1, 0));
    EXPECT_EQ("", Date(-1, 1, 1, 0));

    Conventions mdy;
    mdy.dateOrder = 0;
    mdy.date = "/";
    mdy.dayLeadingZero = 0;
    mdy.monthLeadingZero = 0;
    mdy.yearLong = 0;
    Use(mdy);
    EXPECT_EQ("3/5/23", Date(123, 3, 5));
    EXPECT_EQ("12/25/05", Date(105, 12, 25));

    Conventions ymd;
    ymd.dateOrder = 2;
    ymd.date = "-";
    Use(ymd);
    EXPECT_EQ("2023-03-05", Date(123, 3, 5));
}

TEST_F(DateTime, ClockTimesOnTwentyFourAndTwelveHours) {
    Use(Conventions());
    EXPECT_EQ("09:05:07", Time(9, 5, 7));
    EXPECT_EQ("23:59:59", Time(23, 59, 59));
    EXPECT_EQ("", Time(24, 0, 0, 0));
    EXPECT_EQ("", Time(12, 60, 0, 0));

    Conventions noZero;
    noZero.timeLeadingZero = 0;
    Use(noZero);
    EXPECT_EQ("9:05:07", Time(9, 5, 7));

    Conventions twelve;
    twelve.time24h = 0;
    twelve.timeLeadingZero = 0;
    Use(twelve);
    EXPECT_EQ("12:00:00 AM", Time(0, 0, 0));
    EXPECT_EQ("11:59:59 AM", Time(11, 59, 59));
    EXPECT_EQ("12:00:00 PM", Time(12, 0, 0));
    EXPECT_EQ("1:05:00 PM", Time(13, 5, 0));
}

struct DateParse {
    const char* text;
    int answer;
    int year, month, day;
};

TEST_F(DateTime, DatesReadInTheHostsOrder) {
    Use(Conventions());
    const DateParse cases[] = {
        {"05.03.2023", 1, 123, 3, 5}, {" 5.3.2023 ", 1, 123, 3, 5},
        {"5.3.23", 1, 123, 3, 5},     {"1.1.29", 1, 129, 1, 1}, // two-digit years run 1930..2029
        {"1.1.30", 1, 30, 1, 1},      {"29.2.2024", 1, 124, 2, 29},
        {"29.2.2023", 0, 0, 0, 0},    {"31.04.2023", 0, 0, 0, 0},
        {"5/3/2023", 0, 0, 0, 0}, // not the host's separator
        {"5.3.2023x", 0, 0, 0, 0},    {"5.3", 0, 0, 0, 0},
        {"123.3.2023", 0, 0, 0, 0},   {"", 0, 0, 0, 0},
    };
    for (const DateParse& c : cases) {
        int year = -7, month = -7, day = -7;
        EXPECT_EQ(c.answer, ParseDate(c.text, &year, &month, &day)) << c.text;
        if (c.answer) {
            EXPECT_EQ(c.year, year) << c.text;
            EXPECT_EQ(c.month, month) << c.text;
            EXPECT_EQ(c.day, day) << c.text;
        } else {
            EXPECT_EQ(-7, year) << "left as it was: " << c.text;
        }
    }

    Conventions mdy;
    mdy.dateOrder = 0;
    mdy.date = "/";
    Use(mdy);
    int year, month, day;
    ASSERT_EQ(1, ParseDate("12/25/2005", &year, &month, &day));
    EXPECT_EQ(105, year);
    EXPECT_EQ(12, month);
    EXPECT_EQ(25, day);
    // What the date text writes reads back.
    char text[32];
    ASSERT_EQ(1, FormatDate(text, sizeof text, 87, 7, 14));
    ASSERT_EQ(1, ParseDate(text, &year, &month, &day)) << text;
    EXPECT_EQ(87, year);
}

struct TimeParse {
    const char* text;
    int answer;
    int hours, minutes, seconds;
};

TEST_F(DateTime, ClockTimesRead) {
    Use(Conventions());
    const TimeParse h24[] = {
        {"13:45", 1, 13, 45, 0},    {"13:45:10", 1, 13, 45, 10}, {" 0:00:00 ", 1, 0, 0, 0},
        {"12:00:00", 1, 12, 0, 0},  {"24:00", 0, 0, 0, 0},       {"12:60", 0, 0, 0, 0},
        {"1:00 PM", 0, 0, 0, 0},    {"1.00", 0, 0, 0, 0},        {"13", 0, 0, 0, 0},
        {"13:45:10:5", 0, 0, 0, 0},
    };
    for (const TimeParse& c : h24) {
        int h = -7, m = -7, s = -7;
        EXPECT_EQ(c.answer, ParseTime(c.text, &h, &m, &s)) << c.text;
        if (c.answer) {
            EXPECT_EQ(c.hours * 3600 + c.minutes * 60 + c.seconds, h * 3600 + m * 60 + s) << c.text;
        } else {
            EXPECT_EQ(-7, h) << "left as it was: " << c.text;
        }
    }

    Conventions twelve;
    twelve.time24h = 0;
    Use(twelve);
    const TimeParse h12[] = {
        {"12:00:00 PM", 1, 12, 0, 0}, // noon stays 12
        {"12:00:00", 1, 0, 0, 0},     // 12 o'clock without PM is midnight
        {"12:30 am", 1, 0, 30, 0},    {"1:30 pm", 1, 13, 30, 0}, {"11:59:59PM", 1, 23, 59, 59},
        {"0:30", 1, 0, 30, 0},        {"7:15 AM", 1, 7, 15, 0},  {"13:00", 0, 0, 0, 0},
        {"0:30 PM", 0, 0, 0, 0},      {"1:30 XM", 0, 0, 0, 0},
    };
    for (const TimeParse& c : h12) {
        int h = -7, m = -7, s = -7;
        EXPECT_EQ(c.answer, ParseTime(c.text, &h, &m, &s)) << c.text;
        if (c.answer) {
            EXPECT_EQ(c.hours, h) << c.text;
            EXPECT_EQ(c.minutes, m) << c.text;
            EXPECT_EQ(c.seconds, s) << c.text;
        }
    }
}

} // namespace
