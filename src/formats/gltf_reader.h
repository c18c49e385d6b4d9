// glTF 2.0 models: a .gltf with the buffers it names (files beside it or
// data URIs), or a .glb, parsed by tinygltf.
//
// The default scene's nodes become display groups in the file's own
// hierarchy, named as the nodes are; a node's matrix or translation,
// rotation and scale becomes its group's placement. The staging mesh
// cannot carry a hierarchy, so the groups are made here, as the native
// reader makes them: the whole model is sized into -1..1 about the origin
// (every translation and position scaled alike, the top level moved), but
// a group keeps its node's origin rather than being centred on its own
// geometry, since the node's animation turns and moves it about that
// origin. z is negated, as the Wavefront reader does. Nodes that hold
// only a camera or a light are left out: the scene keeps its own.
//
// Triangles, strips and fans (indexed or not) become triangles; points
// and lines are left out. A mesh of one primitive fills its node's group;
// one of several gives each primitive a child group, so that each keeps
// its own material. Groups take the base colour factor, COLOR_0 as vertex
// colours and the base colour texture: an image file beside the model is
// loaded into the texture table as a scene file's textures are; a PNG or
// JPEG picture inside the file (a .glb's buffer view or a data URI) is
// decoded into the table under "<file> image <N>" and kept there only, so
// that opening a model never writes beside it. Sparse accessors are read
// wherever accessors are (a base, or zeros without a view, with the
// elements they name replaced). Translation, rotation and scale
// animations become key frames at 30 frames a second: every animation
// whose nodes no earlier one moves joins the one timeline; one that moves
// what an earlier one moves is another take, left out with one message.
// Skins and morph targets are left out with one message.
//
// Every accessor, sparse run and buffer view is checked against its
// buffer before it is read; an index past its vertices, a sparse index
// past its elements or not after the one before, a node reached twice (a
// cycle or a shared child) or a file tinygltf refuses refuses the whole
// file before the scene changes.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "document/document.h"

namespace modra {

// Reads the file into doc.scene (replacing it, or under a new top-level
// group named after the file with `append`): 0; -1 when the file cannot be
// opened; -2 when it cannot be decoded (the scene as it was); -3 when
// memory runs out. Nothing is said here but the skins, takes and picture
// messages; the import dispatch reports the failures.
int ReadGltfModel(Document& doc, const std::string& path, bool append);
// The same for bytes in memory: a .glb when they start with "glTF", else
// glTF text. External buffers and images are looked for in `path`'s
// folder; with an empty path a file that names any is refused.
int ReadGltfBytes(Document& doc, std::span<const uint8_t> bytes, const std::string& path,
                  bool append);

}  // namespace modra
