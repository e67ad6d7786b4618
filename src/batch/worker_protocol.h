#pragma once

// What the command and its workers say to each other. To a worker: the path
// of each file to convert, ended by a NUL byte, one at a time; the end of its
// input when there are no more. From a worker, one line each:
//   ready                          its office has started
//   failed NUMBER TEXT             its office could not start, and why
//   report STEP TEXT LOCATION [LOSS]
//                                  a failure of the file it converts; LOSS names
//                                  the kind of what its written workbook lacks
//   end WRITTEN MILLISECONDS       the file is done (WRITTEN 1 when its workbook
//                                  was written, else 0); it takes the next
// Texts go as hexadecimal UTF-8, so that no byte of them ends a line.

#include <QByteArray>
#include <QString>

namespace batch::protocol {

inline constexpr char kReady[] = "ready";
inline constexpr char kFailed[] = "failed";
inline constexpr char kReport[] = "report";
inline constexpr char kEnd[] = "end";

inline QByteArray Hex(const QString& text) { return text.toUtf8().toHex(); }
inline QString Unhex(const QByteArray& hex) { return QString::fromUtf8(QByteArray::fromHex(hex)); }

}  // namespace batch::protocol
