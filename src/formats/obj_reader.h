// Wavefront .obj models into the staging mesh, and the Wavefront material
// table that "Load Wavefront Material" fills.
//
// What the reader takes from a file: `v` positions and `vn` normals (z
// negated, numbered from 1 in file order), `f`/`fo` faces of three or four
// corners (longer polygons become a fan of triangles from the first
// corner), `g` groups (one part each), `s` smoothing groups (`off` or -1:
// flat), `usemtl` materials and the `mtllib` material libraries beside the
// file: a material name is looked up in the file's own libraries first,
// then in the material table, which the libraries leave as it was; a name
// that neither defines (a library may be missing) colours its faces as a
// part without a material.
// Everything else is ignored: texture coordinates, `o`, `l`, `p`, unknown
// keywords, lines starting with '#' or '$'. Tokens are separated by spaces
// only; a line that uses tabs between its fields does not say what it
// seems to. A line break may be LF or CR LF; lines have no length limit.
//
// Faces whose corners name a position or normal outside the file's tables
// (0, negative, or beyond the last one read so far) are skipped whole. A
// `g` line without a name keeps the current group and restarts its
// smoothing group 0. Every face is smoothed with all the faces of its part
// and smoothing group that share a corner, at any angle, unless the file
// gave a normal for every one of its corners (`v//n`).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "document/document.h"

namespace modra {

// Fills doc.importMesh: 0, -1 when the file cannot be opened or read, -3
// when memory runs out. Nothing is said here; the import dispatch reports.
// A file that holds no faces is still read (its one part is "None").
int ReadWavefrontModel(Document& doc, const std::string& path);
// The same for a file's bytes already in memory; as they have no folder,
// the libraries they name are not read.
int ReadWavefrontBytes(Document& doc, std::string_view bytes);
// The same, read in pieces that start at the first line start at or after
// each of `cuts` (ascending), on up to `threads` threads. A large file is
// read so on its own; this lets a test choose the pieces, which must
// always give what one piece gives.
int ReadWavefrontPieces(Document& doc, std::string_view bytes, std::span<const size_t> cuts,
                        unsigned threads);

// Replaces doc.materials with a .mtl library's; 0, or -1 after "Can't open
// %s for read" (the table as it was) or "Can't get enough memory for
// materials" (the table back to the built-in colours).
int LoadWavefrontMaterials(Document& doc, const std::string& path);
// Back to the ten built-in colours; `report` says "Can't get enough memory
// for materials" when memory runs out (-1, table unchanged).
int InstallBuiltInMaterials(Document& doc, bool report);
// The staging mesh's object for a material name, made on first use from
// doc.materials (see AddWavefrontObject); its index, 0 when memory runs out.
int UseWavefrontMaterial(Document& doc, std::string_view name);

}  // namespace modra
