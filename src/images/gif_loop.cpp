#include "images/gif_loop.h"

namespace modra {

int WriteGifLoopExtension(GifFileType* gif, int loopCount) {
  // Refused rather than cut to 16 bits, which would turn 65536 into "loop
  // for ever".
  if (!gif || loopCount < 0 || loopCount > 0xFFFF) return 0;
  static const char kApplication[] = "NETSCAPE2.0";
  const unsigned char loop[3] = {1, static_cast<unsigned char>(loopCount & 0xFF),
                                 static_cast<unsigned char>(loopCount >> 8)};
  // Each call checks that the file is open for writing and sets
  // E_GIF_ERR_NOT_WRITEABLE when it is not; the first refusal comes before
  // any byte is written.
  if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) != GIF_OK) return 0;
  if (EGifPutExtensionBlock(gif, sizeof kApplication - 1, kApplication) != GIF_OK) return 0;
  if (EGifPutExtensionBlock(gif, sizeof loop, loop) != GIF_OK) return 0;
  if (EGifPutExtensionTrailer(gif) != GIF_OK) return 0;
  return 1;
}

}  // namespace modra
