#include "images/jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

// jpeglib.h needs FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "io/file_bytes.h"
#include "io/output_file.h"

namespace modra {

namespace {

// Progressive files may hold any number of scans, each costing a pass over
// the whole picture; real ones have about ten.
constexpr int kMaxScans = 500;

// libjpeg's own error handler ends the process. This one jumps back to the
// routine that started the work, which then destroys the libjpeg object:
// that frees everything libjpeg allocated.
//
// note: between setjmp and the jump only C frames and the trivially
// destructible locals of the Run* routines below are live, which is what
// makes longjmp well-defined here. State that must survive the jump lives
// in the *Work records, outside those frames.
struct ErrorManager {
  jpeg_error_mgr pub;  // first, so libjpeg's pointer to it is a pointer to this
  std::jmp_buf jump;
  bool print = true;
  bool truncated = false;
};

ErrorManager* Errors(j_common_ptr cinfo) {
  return reinterpret_cast<ErrorManager*>(cinfo->err);
}

void OutputMessage(j_common_ptr cinfo) {
  if (!Errors(cinfo)->print) return;
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  std::fprintf(stderr, "convert_jpeg: %s\n", text);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  (*cinfo->err->output_message)(cinfo);
  std::longjmp(Errors(cinfo)->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace messages
  // The data ran out before the picture did; libjpeg would fill the rest
  // with grey and call it a success.
  if (cinfo->err->msg_code == JWRN_JPEG_EOF) Errors(cinfo)->truncated = true;
  if (cinfo->err->num_warnings++ == 0) (*cinfo->err->output_message)(cinfo);
}

void InstallErrors(ErrorManager* err, bool print) {
  jpeg_std_error(&err->pub);
  err->pub.error_exit = ErrorExit;
  err->pub.output_message = OutputMessage;
  err->pub.emit_message = EmitMessage;
  err->print = print;
}

void LimitScans(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number <= kMaxScans) return;
  if (Errors(cinfo)->print) std::fprintf(stderr, "convert_jpeg: too many scans\n");
  std::longjmp(Errors(cinfo)->jump, 1);
}

struct DecodeWork {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  jpeg_progress_mgr progress;
  int64_t maxPixels = 0;
  bool bottomUp = false;
  int leastLongerSide = 0;
  std::unique_ptr<uint8_t[]> rgb;
  int width = 0, height = 0;
  int sourceWidth = 0, sourceHeight = 0;
};

bool RunDecode(DecodeWork* w, const uint8_t* bytes, size_t size) {
  j_decompress_ptr cinfo = &w->cinfo;
  if (setjmp(w->err.jump)) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  jpeg_create_decompress(cinfo);
  w->progress.progress_monitor = LimitScans;
  cinfo->progress = &w->progress;
  jpeg_mem_src(cinfo, bytes, static_cast<unsigned long>(size));
  jpeg_read_header(cinfo, TRUE);
  if (int64_t{cinfo->image_width} * cinfo->image_height > w->maxPixels ||
      (cinfo->num_components != 1 && cinfo->num_components != 3)) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  cinfo->out_color_space = cinfo->num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  w->sourceWidth = static_cast<int>(cinfo->image_width);
  w->sourceHeight = static_cast<int>(cinfo->image_height);
  if (w->leastLongerSide > 0) {
    const JDIMENSION longer = std::max(cinfo->image_width, cinfo->image_height);
    unsigned denom = 8;
    while (denom > 1 && longer / denom < static_cast<JDIMENSION>(w->leastLongerSide))
      denom /= 2;
    cinfo->scale_num = 1;
    cinfo->scale_denom = denom;
  }
  jpeg_start_decompress(cinfo);

  const size_t width = cinfo->output_width, height = cinfo->output_height;
  const int components = cinfo->output_components;
  w->rgb.reset(new (std::nothrow) uint8_t[width * height * 3]);
  if (!w->rgb || (components != 1 && components != 3)) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                               static_cast<JDIMENSION>(width * components), 1);
  while (cinfo->output_scanline < cinfo->output_height) {
    const size_t y = cinfo->output_scanline;
    if (jpeg_read_scanlines(cinfo, row, 1) != 1) continue;
    if (y >= height) {
      if (w->err.print) std::fprintf(stderr, "Too many bytes for buffer\n");
      continue;
    }
    uint8_t* out = w->rgb.get() + (w->bottomUp ? height - 1 - y : y) * width * 3;
    if (components == 3) {
      std::memcpy(out, row[0], width * 3);
    } else {
      for (size_t x = 0; x < width; ++x)
        out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = row[0][x];
    }
  }
  jpeg_finish_decompress(cinfo);
  jpeg_destroy_decompress(cinfo);
  w->width = static_cast<int>(width);
  w->height = static_cast<int>(height);
  return !w->err.truncated;
}

struct EncodeWork {
  jpeg_compress_struct cinfo;
  ErrorManager err;
  unsigned char* out = nullptr;  // malloc'ed by libjpeg, freed by whoever holds it
  unsigned long outSize = 0;
};

bool RunEncode(EncodeWork* w, const uint8_t* rgb, int width, int height, int quality) {
  j_compress_ptr cinfo = &w->cinfo;
  if (setjmp(w->err.jump)) {
    jpeg_destroy_compress(cinfo);
    return false;
  }
  jpeg_create_compress(cinfo);
  jpeg_mem_dest(cinfo, &w->out, &w->outSize);
  cinfo->image_width = static_cast<JDIMENSION>(width);
  cinfo->image_height = static_cast<JDIMENSION>(height);
  cinfo->input_components = 3;
  cinfo->in_color_space = JCS_RGB;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, quality, TRUE);
  jpeg_start_compress(cinfo, TRUE);
  const size_t stride = static_cast<size_t>(width) * 3;
  while (cinfo->next_scanline < cinfo->image_height) {
    // libjpeg's row type is not const, but it only reads input rows.
    JSAMPROW row = const_cast<uint8_t*>(rgb + cinfo->next_scanline * stride);
    jpeg_write_scanlines(cinfo, &row, 1);
  }
  jpeg_finish_compress(cinfo);
  jpeg_destroy_compress(cinfo);
  return true;
}

}  // namespace

const uint8_t* JpegImage::DecodeMemory(const uint8_t* bytes, size_t size) {
  rgb_.reset();
  width_ = height_ = 0;
  if (!bytes || size == 0) return nullptr;
  auto work = std::make_unique<DecodeWork>();
  InstallErrors(&work->err, printMessages);
  work->cinfo.err = &work->err.pub;
  work->maxPixels = maxPixels_;
  work->bottomUp = bottomUp_;
  work->leastLongerSide = leastLongerSide_;
  if (!RunDecode(work.get(), bytes, size)) return nullptr;
  rgb_ = std::move(work->rgb);
  width_ = work->width;
  height_ = work->height;
  sourceWidth_ = work->sourceWidth;
  sourceHeight_ = work->sourceHeight;
  return rgb_.get();
}

const uint8_t* JpegImage::DecodeFile(const std::string& path) {
  rgb_.reset();
  width_ = height_ = 0;
  FileBytes file;
  if (ReadWholeFile(path, file) != 0) return nullptr;
  return DecodeMemory(file.data.get(), file.size);
}

const uint8_t* JpegImage::EncodeMemory(const uint8_t* rgb, int width, int height) {
  compressed_.reset();
  compressedSize_ = 0;
  if (!rgb || width <= 0 || height <= 0) return nullptr;
  auto work = std::make_unique<EncodeWork>();
  InstallErrors(&work->err, printMessages);
  work->cinfo.err = &work->err.pub;
  const bool ok = RunEncode(work.get(), rgb, width, height, quality);
  std::unique_ptr<uint8_t, FreeBytes> out(work->out);
  if (!ok || !out) return nullptr;
  compressed_ = std::move(out);
  compressedSize_ = work->outSize;
  return compressed_.get();
}

int JpegImage::EncodeFile(const std::string& path, const uint8_t* rgb, int width, int height) {
  if (!EncodeMemory(rgb, width, height)) return -1;
  OutputFile file;
  if (!file.Open(path) || !file.Write(compressed_.get(), compressedSize_) || !file.Commit()) {
    compressed_.reset();
    compressedSize_ = 0;
    return -1;
  }
  return 0;
}

}  // namespace modra
