// A check tinygltf leaves out: a picture kept in a buffer view is handed
// to the picture loader from wherever the view claims to start, before
// anything compares the view with its buffer.
#pragma once

#include <cstdint>
#include <span>

namespace modra {

// False when the glTF text or .glb names a picture in a buffer view that
// does not lie wholly inside its buffer (or names a view or buffer
// oddly); true otherwise, also for bytes that are no glTF at all, which
// tinygltf refuses by itself.
bool GltfPictureViewsInside(std::span<const uint8_t> bytes);

}  // namespace modra
