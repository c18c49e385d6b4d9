// The Netscape application extension that makes an animated GIF loop:
// 0x21 0xFF 11 "NETSCAPE2.0" 3 1 <count, 16-bit little-endian> 0.
// Everything else about GIF files is giflib's.
#pragma once

#include <gif_lib.h>

namespace modra {

// Writes the extension through giflib (so it goes to the file's output
// function when one is set). Belongs after the screen descriptor and before
// the first image; a loop count of 0 means "for ever". Returns 1 when
// written; 0 when `gif` is null, the count does not fit 16 bits, or the
// file is not open for writing (giflib then sets gif->Error to
// E_GIF_ERR_NOT_WRITEABLE).
int WriteGifLoopExtension(GifFileType* gif, int loopCount);

}  // namespace modra
