#pragma once
// Money arithmetic shared by every dialog that computes an amount.

#include <optional>
#include <string>
#include <string_view>

namespace ulvo {

// (x * 100 + 0.5000000001) truncated, times 0.01. Meant for amounts that are not negative.
double RoundMoney(double x);

// kind 1: b - a; kind 3: b + a; kind 2: discount of a percent on b; kind 4: markup of a
// percent on b. Alta Pro (printerType 1) rounds the percentage part on its own, as the printer does.
double ComputeAmount(int printerType, int kind, double a, double b);

// 100 -> "ZWOLN", 101 -> "BRAK", below 100 -> "%3.2f", anything else -> "".
std::string FormatPtuRate(double rate);

// "%.2f" of RoundMoney(x).
std::string FormatMoney(double x);

// Parses an amount typed with ',' (or '.') as the decimal separator, blanks around it allowed.
// Empty result when the text is not a number, so a typo never turns into 0.
std::optional<double> ParseAmount(std::string_view text);

// Whole number typed by the user (optional sign, blanks around it allowed).
std::optional<long> ParseInteger(std::string_view text);

}  // namespace ulvo
