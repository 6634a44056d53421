// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_name.h"

namespace Platform {
namespace {

constexpr char16_t KeptByteBase = 0xDC00;

bool IsKeptByte(char16_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }

// The length of the well-formed UTF-8 sequence at i (overlong forms, surrogates and code points past U+10FFFF are
// not), or 0.
int SequenceLength(QByteArrayView bytes, qsizetype i, char32_t& codePoint) {
  const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char lead = at(i);
  int length = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
  } else {
    return 0;
  }
  constexpr char32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  min = Smallest[length];
  codePoint = lead & (0x7F >> length);
  if (i + length > bytes.size()) return 0;
  for (int k = 1; k < length; ++k) {
    if ((at(i + k) & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (at(i + k) & 0x3F);
  }
  if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

QString DecodeName(QByteArrayView bytes) {
  QString text;
  text.reserve(bytes.size());
  for (qsizetype i = 0; i < bytes.size();) {
    char32_t codePoint = 0;
    if (const int length = SequenceLength(bytes, i, codePoint)) {
      text.append(QChar::fromUcs4(codePoint));
      i += length;
    } else {
      text.append(QChar(char16_t(KeptByteBase + static_cast<unsigned char>(bytes[i]))));
      ++i;
    }
  }
  return text;
}

std::optional<QByteArray> EncodeName(const QString& text) {
  if (text.isEmpty()) return std::nullopt;
  QByteArray bytes;
  bytes.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i].unicode();
    if (unit == 0) return std::nullopt;
    if (IsKeptByte(unit)) {
      bytes.append(char(unit - KeptByteBase));
      continue;
    }
    qsizetype length = 1;
    if (QChar::isHighSurrogate(unit)) {
      if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate()) return std::nullopt;
      length = 2;
    } else if (QChar::isLowSurrogate(unit)) {
      return std::nullopt;
    }
    bytes.append(QStringView(text).sliced(i, length).toUtf8());
    i += length - 1;
  }
  return bytes;
}

QString DisplayName(const QString& text) {
  QString shown = text;
  for (QChar& c : shown) {
    if (IsKeptByte(c.unicode())) c = QChar::ReplacementCharacter;
  }
  return shown;
}

}  // namespace Platform
