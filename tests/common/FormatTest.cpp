// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cmath>

#include "common/BoundedArray.h"
#include "common/Format.h"
#include "common/Rounding.h"

using namespace tamrel;

struct PatternCase {
    double value;
    const char* pattern;
    const char* expected;
};

TEST(FormatPattern, DigitPatterns)
{
    const PatternCase cases[] = {
        { 1.5, "##0.0####", "1.5" },
        { 0.25, "##0.0####", "0.25" },
        { 1, "0.0000##", "1.0000" },
        { 0, "##0.0####", "0.0" },
        { -0.5, "##0.0####", "-0.5" },
        { 9.999995, "##0.0####", "10.0" },
        { 9.9999951, "##0.0####", "10.0" },
        { 1.0 / 3.0, "##0.0####", "0.33333" },
        { -2.15, "#0.00####", "-2.15" },
        { 0.75, "#0.00####", "0.75" },
        { 3, "#0.00####", "3.00" },
        { 12.5, "###0", "12" },
        { 13.5, "###0", "14" },
        { -7.6, "###0", "-8" },
        { 0.85, "#0.0##", "0.85" },
        { 0.5, "#0.0##", "0.5" },
        { 2.5, "#0.0####", "2.5" },
        { 2.1234567, "#0.0####", "2.12346" },
        { 0.0, "#0.0####", "0.0" },
        { 1.5, "#0.####", "1.5" },
        { 2.0, "#0.####", "2" },
        { 0.3, "####0.0#####", "0.3" },
        { 0.000001, "####0.0#####", "0.000001" },
        { 1.4, "##0.0#####", "1.4" },
        { -1.0, "###0.0####", "-1.0" },
        { 1e-7, "##0.0######", "0.0000001" },
        { 1e-8, "##0.0######", "0.0" },
        { -1e-9, "##0.0####", "0.0" },
        { 0.01, "0.0000##", "0.0100" },
        { 1234.5678, "###0.0####", "1234.5678" },
        { 20, "##0", "20" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatPattern(c.value, c.pattern), c.expected) << c.value << " with " << c.pattern;
}

TEST(FormatGeneral, ShortestForm)
{
    EXPECT_EQ(formatGeneral(0.5), "0.5");
    EXPECT_EQ(formatGeneral(100), "100");
    EXPECT_EQ(formatGeneral(-3), "-3");
    EXPECT_EQ(formatGeneral(0), "0");
    EXPECT_EQ(formatGeneral(1e-7), "1E-07");
    EXPECT_EQ(formatGeneral(0.1 + 0.2), "0.3"); // 15 significant digits
    EXPECT_EQ(formatGeneral(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(formatGeneral(2.5e20), "2.5E+20");
}

// The exact form reads back as the very double it was written from, with no
// more digits than that takes.
TEST(FormatExact, ReadsBackBitForBit)
{
    EXPECT_EQ(formatExact(0.5), "0.5");
    EXPECT_EQ(formatExact(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(formatExact(1e-7), "1E-07");
    EXPECT_EQ(formatExact(std::sqrt(1.4)), "1.1832159566199232");
    for (double v : { 1.0 / 3.0, -1.0 / 7.0, 1.7976931348623157e308, 4.9406564584124654e-324,
             2.2250738585072014e-308, 123456789012345.67, 1e15 + 0.5, -0.000123456789012345678, 6.02214076e23 }) {
        const std::string text = formatExact(v);
        EXPECT_EQ(parseNumber(text), v) << text;
        EXPECT_LE(text.size(), 23u) << text;
    }
}

TEST(ParseNumber, AcceptsNumbersRejectsTheRest)
{
    EXPECT_EQ(parseNumber(" 1.0"), 1.0);
    EXPECT_EQ(parseNumber("-2.5e-3"), -2.5e-3);
    EXPECT_EQ(parseNumber(".5"), 0.5);
    EXPECT_EQ(parseNumber("5."), 5.0);
    for (const char* bad :
        { "", " ", ".", "-", "+", "1e", "1e+", "abc", "1.2.3", "inf", "nan", "0x10", "1,5", "--1" })
        EXPECT_FALSE(parseNumber(bad).has_value()) << bad;
}

TEST(Rounding, HalvesToEvenAndTruncatingDivision)
{
    EXPECT_EQ(roundToLong(0.5), 0);
    EXPECT_EQ(roundToLong(1.5), 2);
    EXPECT_EQ(roundToLong(2.5), 2);
    EXPECT_EQ(roundToLong(-2.5), -2);
    EXPECT_EQ(roundToLong(-2.6), -3);
    EXPECT_EQ(roundToLong(600.0), 600);
    EXPECT_EQ(roundToLong(1e12), 2147483647);
    EXPECT_EQ(idiv(100, 30), 3);
    EXPECT_EQ(idiv(-7, 2), -3);
    EXPECT_EQ(idiv(5000, 30), 166);
}

TEST(BoundedArray, BoundsAllocationAndResize)
{
    BoundedArray<double> a(-6, 10);
    EXPECT_EQ(a.size(), 17);
    EXPECT_EQ(a[-6], 0.0);
    a[-6] = 1;
    a[10] = 2;
    a[3] = 3;
    a.resizeKeep(-2, 20);
    EXPECT_EQ(a[3], 3.0);
    EXPECT_EQ(a[10], 2.0);
    EXPECT_EQ(a[20], 0.0);
    EXPECT_FALSE(a.contains(-6));
    EXPECT_THROW(a.at(-6), std::out_of_range);
    a.allocate(-6, 4);
    EXPECT_EQ(a[3], 0.0);
    EXPECT_EQ(a.ptr(0) - a.ptr(-6), 6);
}

// A history-sized array comes from zero pages: it reads zero everywhere,
// keeps what was written through a resize and a copy (also a negative zero,
// whose bits are not zero), and the copy is its own storage.
TEST(BoundedArray, LargeArraysStartZeroAndKeepWhatWasWritten)
{
    const long n = 3'000'000;
    BoundedArray<float> a(0, n);
    EXPECT_EQ(a[0], 0.0f);
    EXPECT_EQ(a[n / 2], 0.0f);
    EXPECT_EQ(a[n], 0.0f);
    a[1] = 1.5f;
    a[n / 2] = -0.0f;
    a[n - 1] = 7.0f;
    a.resizeKeep(-4, n + 100'000);
    EXPECT_EQ(a[1], 1.5f);
    EXPECT_TRUE(std::signbit(a[n / 2]));
    EXPECT_EQ(a[n - 1], 7.0f);
    EXPECT_EQ(a[n + 100'000], 0.0f);
    EXPECT_EQ(a[-4], 0.0f);
    BoundedArray<float> b = a;
    b[1] = 2.0f;
    EXPECT_EQ(a[1], 1.5f);
    EXPECT_EQ(b[n - 1], 7.0f);
    EXPECT_TRUE(std::signbit(b[n / 2]));
    a.resizeKeep(0, 10);
    EXPECT_EQ(a[1], 1.5f);
    EXPECT_EQ(a.size(), 11);
}

// A history is resized with its contents kept whenever the snapshot count or
// the grid changes. Its untouched pages must stay untouched: reading them only
// to find zeros cost a large share of a batch run. A shrink followed by a
// growth must not hand back what was written past the smaller end.
TEST(BoundedArray, ResizeKeepsContentsWithoutTouchingUnwrittenPages)
{
    const long n = 4'000'000; // 16 MB of floats, about 4000 pages
    BoundedArray<float> a(0, n);
    a[10] = 1.0f;
    a[n - 5] = 2.0f;
    const auto faults = [] {
        rusage u {};
        getrusage(RUSAGE_SELF, &u);
        return u.ru_minflt;
    };
    const long before = faults();
    a.resizeKeep(0, 2 * n);
    EXPECT_LT(faults() - before, 100);
    EXPECT_EQ(a[10], 1.0f);
    EXPECT_EQ(a[n - 5], 2.0f);
    EXPECT_EQ(a[2 * n], 0.0f);

    a.resizeKeep(0, n - 10); // cuts inside the page that holds a[n - 5]
    a.resizeKeep(0, n);
    EXPECT_EQ(a[n - 5], 0.0f);
    EXPECT_EQ(a[10], 1.0f);
    a.resizeKeep(0, 100); // small enough to leave the mapping: copied
    EXPECT_EQ(a[10], 1.0f);
    EXPECT_EQ(a.size(), 101);
}

TEST(FormatGeneral, FixedAndExponentRanges)
{
    EXPECT_EQ(formatGeneral(0.0001), "0.0001");
    EXPECT_EQ(formatGeneral(0.00001), "1E-05");
    EXPECT_EQ(formatGeneral(-0.125), "-0.125");
    EXPECT_EQ(formatGeneral(123456789012345.0), "123456789012345");
    EXPECT_EQ(formatGeneral(1e15), "1E+15");
    EXPECT_EQ(formatGeneral(5001), "5001");
}

// Texts from files reach the terminal without acting on it.
TEST(TerminalSafe, ControlsAreShownNotObeyed)
{
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        { "Sod's tube: 1 < x < 2, \u00e9t\u00e9", "Sod's tube: 1 < x < 2, \u00e9t\u00e9" },
        { "red \x1b[31mtitle\x1b[0m", "red \\x1b[31mtitle\\x1b[0m" },
        { std::string("cut\0here", 8), "cut\\x00here" },
        { "bell\a and \x7f", "bell\\x07 and \\x7f" },
        { "one-byte CSI \u009b2J", "one-byte CSI \\u009b2J" },
        { "line\r\nnext\tcolumn\rback\n", "line\r\nnext\tcolumn\\x0dback\n" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(terminalSafe(c.text), c.shown);
}
