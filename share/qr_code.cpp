#include "share/qr_code.h"

#include <qrencode.h>

#include <memory>

QrCode MakeQrCode(const std::string& text) {
  QrCode code;
  std::unique_ptr<QRcode, void (*)(QRcode*)> qr(
      QRcode_encodeString8bit(text.c_str(), 0, QR_ECLEVEL_M), QRcode_free);
  if (!qr) return code;
  code.size = qr->width;
  code.dark.resize(std::size_t(qr->width) * qr->width);
  // Bit 0 of each byte is the module's colour; the others say what part of
  // the symbol it belongs to.
  for (std::size_t i = 0; i < code.dark.size(); ++i) code.dark[i] = qr->data[i] & 1;
  return code;
}
