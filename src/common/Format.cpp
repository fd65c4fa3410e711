// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Format.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tamrel {

std::string formatPattern(double value, std::string_view pattern)
{
    const auto dot = pattern.find('.');
    const std::string_view intPart = pattern.substr(0, dot);
    const std::string_view fracPart
        = dot == std::string_view::npos ? std::string_view {} : pattern.substr(dot + 1);

    int minInt = 0;
    for (char c : intPart)
        if (c == '0')
            ++minInt;
    int minFrac = 0;
    int maxFrac = 0;
    for (char c : fracPart) {
        if (c == '0')
            ++minFrac, ++maxFrac;
        else if (c == '#')
            ++maxFrac;
    }

    if (!std::isfinite(value))
        return std::isnan(value) ? "NaN" : (value > 0 ? "Inf" : "-Inf");

    // printf rounds the exact binary value correctly, so 9.999995 carries
    // into the integer part whenever its stored value lies at or above the half.
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", maxFrac, std::fabs(value));
    std::string digits(buf);

    std::string whole = digits;
    std::string frac;
    if (const auto p = digits.find('.'); p != std::string::npos) {
        whole = digits.substr(0, p);
        frac = digits.substr(p + 1);
    }
    while (static_cast<int>(frac.size()) > minFrac && !frac.empty() && frac.back() == '0')
        frac.pop_back();
    // Leading zeros of the whole part beyond the pattern's required digits go.
    while (static_cast<int>(whole.size()) > minInt && !whole.empty() && whole.front() == '0')
        whole.erase(whole.begin());
    while (static_cast<int>(whole.size()) < minInt)
        whole.insert(whole.begin(), '0');

    bool isZero = true;
    for (char c : whole + frac)
        if (c != '0')
            isZero = false;

    std::string out;
    if (value < 0 && !isZero)
        out = "-";
    out += whole;
    if (!frac.empty() || (dot != std::string_view::npos && minFrac > 0))
        out += "." + frac;
    if (out.empty() || out == "-")
        out += "0";
    return out;
}

namespace {

    // The general form with the fewest significant digits, up to maxDigits, that
    // read back to `target`.
    std::string generalForm(double value, int maxDigits, double target)
    {
        if (!std::isfinite(value))
            return std::isnan(value) ? "NaN" : (value > 0 ? "Inf" : "-Inf");
        if (value == 0)
            return "0";
        char buf[64];
        for (int prec = 0; prec < maxDigits; ++prec) {
            std::snprintf(buf, sizeof buf, "%.*e", prec, value);
            if (std::strtod(buf, nullptr) == target)
                break;
        }
        // buf is [-]d[.ddd]e[+-]xx: split into digits and decimal exponent.
        std::string s(buf);
        const bool negative = s[0] == '-';
        if (negative)
            s.erase(s.begin());
        const auto e = s.find('e');
        const int exp10 = std::atoi(s.c_str() + e + 1);
        std::string digits;
        for (char c : s.substr(0, e))
            if (c != '.')
                digits += c;
        std::string out;
        if (exp10 < -4 || exp10 >= 15) {
            out = digits.substr(0, 1);
            if (digits.size() > 1) {
                out += '.';
                out.append(digits, 1, std::string::npos);
            }
            char ex[16];
            std::snprintf(ex, sizeof ex, "E%c%02d", exp10 < 0 ? '-' : '+', exp10 < 0 ? -exp10 : exp10);
            out += ex;
        } else if (exp10 < 0) {
            out = "0." + std::string(static_cast<std::size_t>(-exp10 - 1), '0') + digits;
        } else if (static_cast<int>(digits.size()) <= exp10 + 1) {
            out = digits + std::string(static_cast<std::size_t>(exp10 + 1 - static_cast<int>(digits.size())), '0');
        } else {
            out = digits.substr(0, static_cast<std::size_t>(exp10 + 1)) + "."
                + digits.substr(static_cast<std::size_t>(exp10 + 1));
        }
        return negative ? "-" + out : out;
    }

} // namespace

std::string formatGeneral(double value)
{
    char buf[64];
    // Read back to the 15-digit rounding.
    std::snprintf(buf, sizeof buf, "%.14e", value);
    return generalForm(value, 15, std::strtod(buf, nullptr));
}

std::string formatExact(double value)
{
    // 17 significant digits identify every double.
    return generalForm(value, 17, value);
}

std::string formatG17(double value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", value);
    return buf;
}

std::optional<double> parseNumber(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1])))
        --e;
    const std::string_view t = text.substr(b, e - b);
    if (t.empty())
        return std::nullopt;
    // Only digits, one sign, one point and an exponent: no "inf", "nan" or hex.
    std::size_t i = 0;
    if (t[i] == '+' || t[i] == '-')
        ++i;
    bool digits = false;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])))
        ++i, digits = true;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])))
            ++i, digits = true;
    }
    if (!digits)
        return std::nullopt;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        bool expDigits = false;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])))
            ++i, expDigits = true;
        if (!expDigits)
            return std::nullopt;
    }
    if (i != t.size())
        return std::nullopt;
    const std::string copy(t);
    const double v = std::strtod(copy.c_str(), nullptr);
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

std::string terminalSafe(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    char hex[8];
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool lineEnd = c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n');
        if (lineEnd || c == '\t' || (c >= 0x20 && c != 0x7f && c != 0xc2)) {
            out += static_cast<char>(c);
        } else if (c == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80
            && static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
            // A C1 control in UTF-8 (U+0080..U+009F), such as the one-byte CSI.
            std::snprintf(hex, sizeof hex, "\\u%04x", static_cast<unsigned char>(text[++i]));
            out += hex;
        } else if (c == 0xc2) {
            out += static_cast<char>(c);
        } else {
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

} // namespace tamrel
