// SPDX-License-Identifier: GPL-3.0-or-later
#include "interval_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "commands/rounding.h"

namespace Commands {
namespace {

bool IsSkipped(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Walks the text once, skipping blanks, and hands out the characters that matter.
class Reader {
 public:
  explicit Reader(QStringView text) : text_(text) {}
  QChar peek() {
    while (pos_ < text_.size() && IsSkipped(text_[pos_])) ++pos_;
    return pos_ < text_.size() ? text_[pos_] : QChar();
  }
  void next() { ++pos_; }

 private:
  QStringView text_;
  qsizetype pos_ = 0;
};

}  // namespace

double LeadingNumber(QStringView text) {
  Reader in(text);
  const auto digitsInto = [&in](std::string& out) {
    while (IsDigit(in.peek())) {
      out += char(in.peek().unicode());
      in.next();
    }
  };
  bool negative = false;
  if (in.peek() == u'+' || in.peek() == u'-') {
    negative = in.peek() == u'-';
    in.next();
  }
  std::string whole, fraction;
  digitsInto(whole);
  if (in.peek() == u'.') {
    in.next();
    digitsInto(fraction);
  }
  if (whole.empty() && fraction.empty()) return 0.0;
  const bool zero =
      whole.find_first_not_of('0') == std::string::npos && fraction.find_first_not_of('0') == std::string::npos;
  bool negativeExponent = false;
  std::string exponent;
  if (in.peek() == u'e' || in.peek() == u'E') {
    in.next();
    if (in.peek() == u'+' || in.peek() == u'-') {
      negativeExponent = in.peek() == u'-';
      in.next();
    }
    digitsInto(exponent);  // "5e" and "5e+" read as 5
  }

  if (zero) return negative ? -0.0 : 0.0;  // whatever the exponent

  // Rebuilt without blanks and converted in one go: exact rounding, whatever the locale.
  std::string number = (whole.empty() ? "0" : whole) + '.' + (fraction.empty() ? "0" : fraction);
  if (!exponent.empty()) number += (negativeExponent ? "e-" : "e") + exponent;
  double value = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Too large or too small for a double: the position of the first significant digit tells which.
    const auto significant = whole.find_first_not_of('0');
    qint64 magnitude = significant != std::string::npos
                           ? qint64(whole.size() - significant)
                           : -qint64(std::min(fraction.find_first_not_of('0'), fraction.size()));
    qint64 shift = 0;
    for (const char digit : exponent) shift = std::min<qint64>(shift * 10 + (digit - '0'), 1'000'000'000'000);
    magnitude += negativeExponent ? -shift : shift;
    value = magnitude > 0 ? HUGE_VAL : 0.0;
  } else if (error != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

std::optional<qint16> IntervalFromText(QStringView text) {
  const std::optional<qint16> seconds = RoundHalfEven<qint16>(LeadingNumber(text));
  if (!seconds || *seconds < 1 || *seconds > 60) return std::nullopt;
  return seconds;
}

}  // namespace Commands
