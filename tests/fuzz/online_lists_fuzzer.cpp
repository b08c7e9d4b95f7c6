// libFuzzer harness for what the material server sends: the bytes are read
// as a list file (ANSI text) and as a link picture. Whatever they hold,
// every link and entry that comes out names only web addresses, no title
// can split the item block, the start page is a web address or nothing, and
// a picture is either refused or within its size limits.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/online_lists.h"
#include "core/material_store.h"
#include "core/text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  // As ReadTextFile hands a list over: every line after a CR LF.
  QString text = ProMod::DecodeAnsi(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  text.replace(QLatin1Char('\n'), ProMod::kCrLf);
  if (!text.isEmpty()) text.prepend(ProMod::kCrLf);

  for (const online::LinkEntry& link : online::ParseLinkList(text)) {
    if (!online::IsWebAddress(link.picture) || !online::IsWebAddress(link.address)) abort();
    if (link.picture.contains(online::kSplit) || link.address.contains(online::kSplit)) abort();
  }
  for (const online::MaterialEntry& entry : online::ParseNewMaterials(text)) {
    if (!online::IsWebAddress(entry.address) || entry.title.isEmpty() || entry.title.contains(ProMod::kEnter))
      abort();
  }
  const QString page = online::AutoPageAddress(text);
  if (!page.isEmpty() && !online::IsWebAddress(page)) abort();

  const QImage picture = online::DecodeLinkPicture(bytes);
  if (!picture.isNull() && (picture.width() > online::kMaxPictureSide || picture.height() > online::kMaxPictureSide))
    abort();
  return 0;
}
