#pragma once
#include <QByteArray>
#include <QString>

// Reading a lyrics or subtitle file. Such files come from anywhere: old LRC
// files in the Chinese ANSI code page, newer ones and most subtitles in
// UTF-8, some with a byte-order mark.
struct SubtitleText {
  bool found = false;  // false: no such regular file (nothing to tell)
  QString text;        // each line preceded by CR LF, as ReadTextFile gives it
  QString failure;     // why a file that is there cannot be read; "" if it can
};

// UTF-8 with a byte-order mark, or bytes that are valid UTF-8, are read as
// UTF-8; anything else as GB18030 (the ANSI code page's superset). UTF-16
// and UTF-32 files are refused with a message. Lines end at CR, CR LF or
// LF; a byte-order mark at the start of any line is dropped (files joined
// from several UTF-8 files carry one per part).
SubtitleText ReadSubtitleText(const QString& path);

// The decoding step of ReadSubtitleText, for bytes already read.
SubtitleText DecodeSubtitleBytes(const QByteArray& bytes);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or
// code points beyond U+10FFFF).
bool IsUtf8(const QByteArray& bytes);
