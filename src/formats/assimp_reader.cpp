#include "formats/assimp_reader.h"

#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <array>
#include <assimp/Importer.hpp>
#include <cctype>
#include <climits>
#include <new>
#include <stdexcept>
#include <vector>

#include "io/file_bytes.h"

namespace modra {
namespace {

// Endings our own readers (and the glTF one) keep for themselves.
constexpr std::string_view kOwnEndings[] = {"obj", "3ds", "cob", "dxf", "knf", "gltf", "glb"};

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Extension(std::string_view name) {
  const size_t slash = name.find_last_of("/\\");
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? std::string_view() : name.substr(dot + 1);
}

std::string_view Stem(std::string_view name) {
  const size_t slash = name.find_last_of("/\\");
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  return name.substr(0, name.find('.'));
}

bool StartsWithWord(std::span<const uint8_t> bytes, std::string_view word) {
  size_t i = 0;
  while (i < bytes.size() && std::isspace(bytes[i]))
    ++i;
  if (bytes.size() - i < word.size()) return false;
  for (size_t k = 0; k < word.size(); ++k)
    if (std::tolower(bytes[i + k]) != word[k]) return false;
  return true;
}

// Where the word last starts in the bytes, in any case; -1 when nowhere.
int64_t FindLast(std::span<const uint8_t> bytes, std::string_view word) {
  const auto at = std::find_end(bytes.begin(), bytes.end(), word.begin(), word.end(),
                                [](uint8_t a, char b) { return std::tolower(a) == b; });
  return at == bytes.end() ? -1 : at - bytes.begin();
}

// A text PLY holds one line per element its header declares; fewer lines
// after end_header mean the file was cut short. Any PLY without the end
// of its header is refused too.
bool PlyTextEndsEarly(std::span<const uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  size_t at = 0;
  uint64_t declared = 0;
  bool ascii = false;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (line.starts_with("format ascii")) ascii = true;
    if (line.starts_with("element ")) {
      const size_t space = line.find_last_of(' ');
      uint64_t count = 0;
      for (char c : line.substr(space + 1))
        if (c >= '0' && c <= '9' && count < (uint64_t(1) << 40)) count = count * 10 + (c - '0');
      declared += count;
    }
    if (line.starts_with("end_header")) {
      if (!ascii) return false;
      uint64_t lines = 0;
      while (at < text.size() && lines < declared) {
        end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view data = text.substr(at, end - at);
        if (data.find_first_not_of(" \t\r") != std::string_view::npos) ++lines;
        at = end + 1;
      }
      return lines < declared;
    }
  }
  // note: the library's header parser runs on forever when the header
  // never ends, so such a file must not reach it.
  return true;
}

// note: the library reads an ASCII STL that stops in the middle of a facet,
// or an ASCII PLY that stops before its last element, as a smaller model;
// the user would never learn that half of it is missing.
bool LooksTruncated(std::span<const uint8_t> bytes, std::string_view extension) {
  if (extension == "stl" && StartsWithWord(bytes, "solid")) {
    // A binary STL may start with "solid" too; its size gives it away.
    if (bytes.size() >= 84) {
      const uint32_t facets = uint32_t(bytes[80]) | uint32_t(bytes[81]) << 8 |
                              uint32_t(bytes[82]) << 16 | uint32_t(bytes[83]) << 24;
      if (bytes.size() == 84 + uint64_t(facets) * 50) return false;
    }
    // The last facet must be followed by the solid's end.
    const int64_t endSolid = FindLast(bytes, "endsolid");
    return endSolid < 0 || FindLast(bytes, "endfacet") > endSolid;
  }
  if (extension == "ply" && StartsWithWord(bytes, "ply")) return PlyTextEndsEarly(bytes);
  return false;
}

// The library's scene, node by node, into the staging mesh.
class Stager {
 public:
  Stager(ImportMesh& m, const aiScene& scene, std::string_view fallbackName)
      : m_(m), scene_(scene), fallbackName_(fallbackName) {}

  // 0, -2 or -3.
  int Stage() {
    ResetImportMesh(m_);
    m_.defaultTexCoord = {0, 0};
    Materials();
    if (!scene_.mRootNode) return -2;
    if (int result = Node(*scene_.mRootNode, aiMatrix4x4(), 0)) return result;
    if (m_.parts.empty() && AddPart(m_, PartName(*scene_.mRootNode)) != 0) return -3;
    return 0;
  }

 private:
  void Materials() {
    objectOf_.assign(scene_.mNumMaterials, -1);
    for (unsigned i = 0; i < scene_.mNumMaterials; ++i) {
      const aiMaterial* mat = scene_.mMaterials[i];
      if (!mat) continue;
      aiString name;
      mat->Get(AI_MATKEY_NAME, name);
      aiColor4D diffuse;
      // The library's stand-in for "no material" is not a colour the file chose.
      if (std::string_view(name.C_Str()) == AI_DEFAULT_MATERIAL_NAME ||
          aiGetMaterialColor(mat, AI_MATKEY_COLOR_DIFFUSE, &diffuse) != AI_SUCCESS)
        continue;
      MeshObject object;
      object.name = name.C_Str();
      object.number = static_cast<int32_t>(i) + 1;
      object.color = {diffuse.r, diffuse.g, diffuse.b};
      float opacity = 1;
      if (mat->Get(AI_MATKEY_OPACITY, opacity) == AI_SUCCESS)
        object.alpha = std::clamp(opacity, 0.0f, 1.0f);
      float shininess = 0;
      if (mat->Get(AI_MATKEY_SHININESS, shininess) == AI_SUCCESS)
        object.shininess = std::clamp(shininess, 0.0f, 128.0f);
      aiColor4D specular;
      if (aiGetMaterialColor(mat, AI_MATKEY_COLOR_SPECULAR, &specular) == AI_SUCCESS)
        object.specularLevel = std::clamp((specular.r + specular.g + specular.b) / 3, 0.0f, 1.0f);
      objectOf_[i] = static_cast<int32_t>(m_.objects.size());
      m_.objects.push_back(std::move(object));
    }
  }

  std::string PartName(const aiNode& node) const {
    std::string_view name = node.mName.C_Str();
    const bool madeUp = name.empty() || (name.front() == '<' && name.back() == '>');
    if (!madeUp) return std::string(name);
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
      const unsigned mesh = node.mMeshes[i];
      if (mesh < scene_.mNumMeshes && scene_.mMeshes[mesh]->mName.length > 0)
        return scene_.mMeshes[mesh]->mName.C_Str();
    }
    return std::string(fallbackName_);
  }

  int Node(const aiNode& node, const aiMatrix4x4& parent, int depth) {
    // The library's own checks bound the tree; this bounds the stack.
    if (depth > 1000) return -2;
    const aiMatrix4x4 world = parent * node.mTransformation;
    if (node.mNumMeshes > 0) {
      if (AddPart(m_, PartName(node)) != 0) return -3;
      const int part = static_cast<int>(m_.parts.size()) - 1;
      if (AddSmoothEntry(m_, part, 1) != 0) return -3;
      const int entry = static_cast<int>(m_.parts[part].entries.size()) - 1;
      for (unsigned i = 0; i < node.mNumMeshes; ++i) {
        const unsigned mesh = node.mMeshes[i];
        if (mesh >= scene_.mNumMeshes || !scene_.mMeshes[mesh]) return -2;
        if (int result = Mesh(*scene_.mMeshes[mesh], world, part, entry)) return result;
      }
    }
    for (unsigned i = 0; i < node.mNumChildren; ++i)
      if (node.mChildren[i])
        if (int result = Node(*node.mChildren[i], world, depth + 1)) return result;
    return 0;
  }

  int Mesh(const aiMesh& mesh, const aiMatrix4x4& world, int part, int entry) {
    if (!(mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE) || !mesh.mVertices) return 0;
    const size_t base = m_.meshVertices.size();
    if (base + mesh.mNumVertices > size_t(INT_MAX) ||
        m_.faces.size() + mesh.mNumFaces > size_t(INT_MAX))
      return -3;
    for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
      const aiVector3D p = world * mesh.mVertices[v];
      m_.meshVertices.push_back({p.x, p.y, -p.z});
    }
    MeshFace face;
    face.cornerCount = 3;
    face.creaseCos = 0.5f;
    face.partIndex = part;
    face.entryIndex = entry;
    face.objectIndex = mesh.mMaterialIndex < objectOf_.size() ? objectOf_[mesh.mMaterialIndex] : -1;
    face.colorObject = face.objectIndex;
    for (unsigned i = 0; i < mesh.mNumFaces; ++i) {
      const aiFace& f = mesh.mFaces[i];
      if (f.mNumIndices != 3 || !f.mIndices) continue;
      for (int k = 0; k < 3; ++k) {
        if (f.mIndices[k] >= mesh.mNumVertices) return -2;
        face.cornerVertices[k] = static_cast<int32_t>(base + f.mIndices[k]);
      }
      const int index = static_cast<int>(m_.faces.size());
      for (int k = 0; k < 3; ++k)
        if (AddVertexFace(m_, index, face.cornerVertices[k]) != 0) return -3;
      if (AddFaceToEntry(m_, part, entry, index) != 0) return -3;
      m_.faces.push_back(face);
    }
    return 0;
  }

  ImportMesh& m_;
  const aiScene& scene_;
  std::string_view fallbackName_;
  std::vector<int32_t> objectOf_;  // per material: its object, or -1 for none
};

}  // namespace

bool IsAssimpModelName(std::string_view name) {
  const std::string ext = Lower(Extension(name));
  if (ext.empty()) return false;
  for (std::string_view own : kOwnEndings)
    if (ext == own) return false;
  Assimp::Importer importer;
  return importer.IsExtensionSupported("." + ext);
}

int ReadAssimpBytes(Document& doc, std::span<const uint8_t> bytes, std::string_view extension,
                    std::string_view fallbackName) {
  ImportMesh& m = doc.importMesh;
  ResetImportMesh(m);
  const std::string hint = Lower(extension);
  if (bytes.empty() || hint.size() > Assimp::Importer::MaxLenHint) return -2;
  if (LooksTruncated(bytes, hint)) return -2;
  int result;
  try {
    Assimp::Importer importer;
    // Points and lines have no surface to draw: dropped before they cost memory.
    importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE,
                                aiPrimitiveType_POINT | aiPrimitiveType_LINE);
    const unsigned flags = aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                           aiProcess_DropNormals | aiProcess_SortByPType |
                           aiProcess_ValidateDataStructure;
    const aiScene* scene =
        importer.ReadFileFromMemory(bytes.data(), bytes.size(), flags, hint.c_str());
    if (!scene)
      result = -2;
    else
      result = Stager(m, *scene, fallbackName).Stage();
    // The library's copy goes before the normal pass needs its memory.
    importer.FreeScene();
    if (result == 0) result = ComputeVertexNormals(m, -1.0f) == 0 ? 0 : -3;
  } catch (const std::bad_alloc&) {
    result = -3;
  } catch (const std::length_error&) {
    result = -3;
  } catch (const std::exception&) {
    result = -2;
  }
  if (result != 0) ResetImportMesh(m);
  return result;
}

int ReadAssimpModel(Document& doc, const std::string& path) {
  FileBytes file;
  if (int failed = ReadWholeFile(path, file)) {
    ResetImportMesh(doc.importMesh);
    return failed;
  }
  return ReadAssimpBytes(doc, file.span(), Extension(path), Stem(path));
}

}  // namespace modra
