// SPDX-License-Identifier: GPL-3.0-or-later
// The stored interval text: no crash, no hang, and the reading obeys its own rules on any input.
#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "commands/interval_text.h"
#include "commands/rounding.h"

namespace {

bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
  const double value = Commands::LeadingNumber(text);
  const std::optional<qint16> interval = Commands::IntervalFromText(text);

  if (interval && (*interval < 1 || *interval > 60)) std::abort();
  const std::optional<qint16> rounded = Commands::RoundHalfEven<qint16>(value);
  const bool inRange = rounded && *rounded >= 1 && *rounded <= 60;
  if (interval != (inRange ? rounded : std::nullopt)) std::abort();

  // A character that cannot continue a number ends it: appending one changes nothing.
  if (!same(Commands::LeadingNumber(text + u'x'), value)) std::abort();
  // Blanks, tabs and line feeds are skipped wherever they stand.
  QString spaced;
  for (QChar c : text) spaced += c + QStringLiteral(" \t");
  if (!same(Commands::LeadingNumber(spaced), value)) std::abort();
  return 0;
}
