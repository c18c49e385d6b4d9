// glTF 2.0 export of the whole scene: binary .glb, or .gltf text with its
// buffer inside the file.
//
// Axes: the scene's z axis points the other way from OpenGL's, and glTF is
// OpenGL's right-handed, y-up frame, so every position, normal, direction
// and translation has its z negated and every rotation R becomes F R F
// with F = diag(1, 1, -1). Corners keep their order, as in the Wavefront
// export.
//
// Nodes: one per live group, named after it, children under their
// parent. A group's matrix R(cr) T(t) T(c) R(r) S(s) T(-c) is split so
// that its node carries translation R(cr)(t + c) minus the parent's centre,
// rotation R(cr) R(r) and scale s, and its mesh holds the vertices less its
// centre. A group whose matrix was set directly keeps it as the node's
// matrix and is not animated.
//
// Materials: one per distinct colour, alpha, specular and shininess:
// baseColorFactor is the colour with the alpha; roughness is
// 1 - shininess / 128; metalness is 0 up to a mean specular of 0.5, then
// rises linearly to 1 at a specular of 1.
//
// The camera: a perspective camera node with the Camera view's field of
// view. Lights 1-8 that are on: KHR_lights_punctual directional, point and
// spot lights.
//
// Animation at 30 frames a second: translation and scale keys as cubic
// splines converted exactly from their curves, step keys as STEP samplers,
// and the rotation sampled at every frame as a quaternion (LINEAR). Keys
// of colour, specular, centre, centre rotation, the enabled flag, lights
// and the camera are not carried, nor are the texture transform, the spot
// power, light attenuation and the ambient light.
//
// Textures: a textured group's picture, decoded again from its file, as
// PNG inside a .glb, or beside a .gltf as "<name>_texture<N>.png".
#pragma once

#include <string>

#include "document/document.h"

namespace modra {

inline constexpr char kGltfExtension[] = ".glb";

// The roughness and metalness given for a group's material.
float GltfRoughness(float shininess);
float GltfMetalness(const Vec3& specular);

// Rewinds the animation to frame 0, then writes the file: text when the
// path ends in ".gltf", else binary. 0, or -1 after "Can't open <path> for write:
// <reason>" or "Can't write output file: <path>: <reason>"; a file that
// was there is kept on failure.
int WriteGltfFile(Document& doc, const std::string& path);

}  // namespace modra
