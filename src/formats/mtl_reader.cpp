// .mtl material libraries into the Wavefront material table.
#include <cstring>
#include <new>
#include <stdexcept>

#include "formats/obj_reader.h"
#include "formats/wavefront_materials.h"
#include "io/file_bytes.h"
#include "io/scan_number.h"

namespace modra {
namespace {

bool StartsWith(const char* p, const char* end, const char* word) {
  const size_t n = std::strlen(word);
  return static_cast<size_t>(end - p) >= n && std::memcmp(p, word, n) == 0;
}

// What sscanf(line, "Kd %f %f %f") stores: reading stops at the first
// value that does not parse, leaving it and the rest as they were.
void ScanFloats(const char* p, const char* end, float* out, int count) {
  for (int i = 0; i < count; ++i) {
    const char* next = ScanFloat(p, end, out[i]);
    if (!next) return;
    p = next;
  }
}

}  // namespace

int ParseWavefrontMaterials(WavefrontMaterialTable& out, std::string_view text) {
  try {
    std::vector<WavefrontMaterial> entries;
    entries.reserve(100);
    std::string_view name;
    Vec3 diffuse = {1, 1, 1}, specular = {0.5f, 0.5f, 0.5f};
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
      const char* e = static_cast<const char*>(std::memchr(p, '\n', end - p));
      const char* next = e ? e + 1 : end;
      if (!e) e = end;
      if (StartsWith(p, e, "newmtl")) {
        // The first word after the keyword's six characters, or none.
        const char* w = p + 6;
        while (w < e && IsCSpace(*w))
          ++w;
        const char* wEnd = w;
        while (wEnd < e && !IsCSpace(*wEnd))
          ++wEnd;
        name = std::string_view(w, static_cast<size_t>(wEnd - w));
      } else if (StartsWith(p, e, "Kd")) {
        diffuse = {1, 1, 1};
        ScanFloats(p + 2, e, diffuse.data(), 3);
      } else if (StartsWith(p, e, "Ks")) {
        specular = {1, 1, 1};
        ScanFloats(p + 2, e, specular.data(), 3);
      } else if (StartsWith(p, e, "Ns")) {
        float shininess = 15;
        ScanFloats(p + 2, e, &shininess, 1);
        entries.push_back(
            {std::string(name.substr(0, kMaxMaterialName)), diffuse, specular, shininess});
      }
      p = next;
    }
    out.entries = std::move(entries);
    return 0;
  } catch (const std::bad_alloc&) {
    return -1;
  } catch (const std::length_error&) {
    return -1;
  }
}

int LoadWavefrontMaterials(Document& doc, const std::string& path) {
  FileBytes file;
  const int status = ReadWholeFile(path, file);
  if (status != 0 && status != kFileTooLarge) {
    doc.shell->Message(WithUnreadableReason("Can't open " + path + " for read", path));
    return -1;
  }
  if (status == 0) {
    const std::string_view text(reinterpret_cast<const char*>(file.data.get()), file.size);
    if (ParseWavefrontMaterials(doc.materials, text) == 0) return 0;
  }
  // Out of memory part way: the built-in colours, as at start-up.
  file.data.reset();
  InstallBuiltInMaterials(doc, false);
  doc.shell->Message("Can't get enough memory for materials");
  return -1;
}

}  // namespace modra
