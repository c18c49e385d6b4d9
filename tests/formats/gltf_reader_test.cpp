#include "formats/gltf_reader.h"

#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "anim/playback.h"
#include "formats/gltf_writer.h"
#include "formats/import_dispatch.h"
#include "formats/import_test_util.h"
#include "images/image_test_util.h"
#include "images/jpeg.h"
#include "images/texture_table.h"
#include "nativefile/native_reader.h"
#include "nativefile/native_writer.h"
#include "reader_harness.h"
#include "scene/matrix.h"
#include "test_util.h"

namespace modra {
namespace {

using test::Bytes;

std::string Base64(const Bytes& b) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < b.size(); i += 3) {
    const uint32_t n = uint32_t{b[i]} << 16 | (i + 1 < b.size() ? b[i + 1] << 8 : 0) |
                       (i + 2 < b.size() ? b[i + 2] : 0);
    out += kDigits[n >> 18];
    out += kDigits[(n >> 12) & 63];
    out += i + 1 < b.size() ? kDigits[(n >> 6) & 63] : '=';
    out += i + 2 < b.size() ? kDigits[n & 63] : '=';
  }
  return out;
}

// A glTF file being written: one buffer of views, one accessor each, and
// the JSON around them. `buffer` chooses where the bytes go.
struct Gltf {
  Bytes bin;
  std::vector<std::string> views, accessors;
  std::string nodes = "[]", meshes = "[]", scenes = "[{\"nodes\":[0]}]", extra;

  // A view of the values alone, as sparse accessors and pictures use them.
  template <class T>
  int View(const std::vector<T>& values) {
    while (bin.size() % 4)
      bin.push_back(0);
    const size_t offset = bin.size();
    bin.resize(offset + values.size() * sizeof(T));
    std::memcpy(bin.data() + offset, values.data(), values.size() * sizeof(T));
    views.push_back("{\"buffer\":0,\"byteOffset\":" + std::to_string(offset) +
                    ",\"byteLength\":" + std::to_string(values.size() * sizeof(T)) + "}");
    return static_cast<int>(views.size() - 1);
  }
  template <class T>
  int Add(const std::vector<T>& values, const char* type, int componentType,
          const std::string& more = "") {
    const int view = View(values);
    int width = std::string(type) == "SCALAR" ? 1 : type[3] - '0';
    accessors.push_back("{\"bufferView\":" + std::to_string(view) +
                        ",\"componentType\":" + std::to_string(componentType) +
                        ",\"count\":" + std::to_string(values.size() / width) + ",\"type\":\"" +
                        type + "\"" + more + "}");
    return static_cast<int>(accessors.size() - 1);
  }
  int Positions(const std::vector<float>& v) { return Add(v, "VEC3", 5126); }

  static std::string List(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i)
      out += (i ? "," : "") + items[i];
    return out + "]";
  }
  // uri: the buffer's, "" for the .glb's own chunk, "data" for base64.
  std::string Json(const std::string& uri = "data") const {
    std::string buffer = "{\"byteLength\":" + std::to_string(bin.size());
    if (uri == "data")
      buffer += ",\"uri\":\"data:application/octet-stream;base64," + Base64(bin) + "\"";
    else if (!uri.empty())
      buffer += ",\"uri\":\"" + uri + "\"";
    buffer += "}";
    return "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":" + scenes +
           ",\"nodes\":" + nodes + ",\"meshes\":" + meshes + ",\"buffers\":[" + buffer +
           "],\"bufferViews\":" + List(views) + ",\"accessors\":" + List(accessors) + extra + "}";
  }
  Bytes Glb() const {
    std::string json = Json("");
    while (json.size() % 4)
      json += ' ';
    Bytes bytes;
    auto word = [&](uint32_t v) {
      for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    Bytes body = bin;
    while (body.size() % 4)
      body.push_back(0);
    bytes.insert(bytes.end(), {'g', 'l', 'T', 'F'});
    word(2);
    word(static_cast<uint32_t>(12 + 8 + json.size() + 8 + body.size()));
    word(static_cast<uint32_t>(json.size()));
    word(0x4E4F534A);
    bytes.insert(bytes.end(), json.begin(), json.end());
    word(static_cast<uint32_t>(body.size()));
    word(0x004E4942);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
  }
};

Bytes AsBytes(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

// A unit square in the xy plane as two indexed triangles.
const std::vector<float> kSquare = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};

struct Read {
  test::RecordedDocument d;
  int result;
  explicit Read(const Bytes& bytes, bool append = false)
      : result(ReadGltfBytes(d.doc, bytes, "", append)) {}
  Scene& s() { return d.scene(); }
  int Find(const std::string& name) {
    int found = -1;
    ForEachGroup(s(), s().rootHead, [&](int g) {
      if (found == -1 && s().groups[g].name == name) found = g;
    });
    return found;
  }
};

// A scene whose nodes are: "Body" holding "Arm" (the square, indexed) and
// "Legs" (a fan and a strip, non-indexed, as two primitives).
Gltf Figure() {
  Gltf f;
  const int square = f.Positions(kSquare);
  const int indices = f.Add(std::vector<uint16_t>{0, 1, 2, 0, 2, 3}, "SCALAR", 5123);
  const int five = f.Positions({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, -1, 0, 0});
  f.meshes = "[{\"name\":\"Square\",\"primitives\":[{\"attributes\":{\"POSITION\":" +
             std::to_string(square) + "},\"indices\":" + std::to_string(indices) +
             "}]},{\"name\":\"Pair\",\"primitives\":[{\"attributes\":{\"POSITION\":" +
             std::to_string(five) +
             "},\"mode\":6},{\"attributes\":{\"POSITION\":" + std::to_string(square) +
             "},\"mode\":5}]}]";
  f.nodes =
      "[{\"name\":\"Body\",\"children\":[1,2],\"translation\":[2,0,0]},"
      "{\"name\":\"Arm\",\"mesh\":0},{\"name\":\"Legs\",\"mesh\":1,\"scale\":[1,3,1]}]";
  return f;
}

TEST(GltfReaderTest, NodesBecomeGroupsInTheirHierarchy) {
  Read r(AsBytes(Figure().Json()));
  ASSERT_EQ(r.result, 0);
  Scene& s = r.s();
  const int body = r.Find("Body"), arm = r.Find("Arm"), legs = r.Find("Legs");
  ASSERT_NE(body, -1);
  ASSERT_NE(arm, -1);
  ASSERT_NE(legs, -1);
  EXPECT_EQ(s.rootHead, body);
  EXPECT_EQ(s.groups[body].next, -1);
  EXPECT_EQ(s.groups[body].child, arm);
  EXPECT_EQ(s.groups[arm].next, legs);
  EXPECT_EQ(test::CountFaces(s.groups[arm]).triangles, 2);
  // A mesh of two primitives: one child group each, fan of 5 and strip of 4.
  const int fan = s.groups[legs].child;
  ASSERT_NE(fan, -1);
  EXPECT_EQ(s.groups[fan].name, "Pair 1");
  EXPECT_EQ(test::CountFaces(s.groups[fan]).triangles, 3);
  const int strip = s.groups[fan].next;
  ASSERT_NE(strip, -1);
  EXPECT_EQ(s.groups[strip].name, "Pair 2");
  EXPECT_EQ(test::CountFaces(s.groups[strip]).triangles, 2);
  EXPECT_EQ(s.groups[legs].scale, (Vec3{1, 3, 1}));
  for (int g : {body, arm, legs, fan, strip})
    EXPECT_TRUE(s.groups[g].flags & Enabled);
}

// World positions of every vertex of the scene.
std::vector<Vec3> WorldPositions(Scene& s) {
  std::vector<Vec3> out;
  std::vector<int32_t> parents = ParentTable(s);
  ForEachGroup(s, s.rootHead, [&](int g) {
    Mat4 m = s.groups[g].matrix;
    for (int p = parents[g]; p >= 0; p = parents[p])
      m = Multiply(s.groups[p].matrix, m);
    for (const Vec3& v : test::LocalPositions(s.groups[g]))
      out.push_back(TransformPoint(m, v));
  });
  return out;
}

TEST(GltfReaderTest, ModelIsSizedIntoUnitCubeAboutTheOrigin) {
  Read r(AsBytes(Figure().Json()));
  ASSERT_EQ(r.result, 0);
  Vec3 lo = {1e9f, 1e9f, 1e9f}, hi = {-1e9f, -1e9f, -1e9f};
  for (const Vec3& p : WorldPositions(r.s()))
    for (int i = 0; i < 3; ++i)
      lo[i] = std::min(lo[i], p[i]), hi[i] = std::max(hi[i], p[i]);
  // In the file x runs 1..3 (the fan reaches -1 from Body's 2) and y 0..3
  // (Legs' scale): y is sized to 2, x alike.
  EXPECT_NEAR(hi[1] - lo[1], 2.0f, 1e-5f);
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(lo[i] + hi[i], 0.0f, 1e-5f) << i;
  EXPECT_NEAR(hi[0] - lo[0], 4.0f / 3, 1e-5f);
}

// One triangle through a chosen index and position encoding.
Bytes Triangle(int indexType, int positionType, bool normalized) {
  Gltf f;
  int pos;
  const std::string norm = normalized ? ",\"normalized\":true" : "";
  if (positionType == 5126)
    pos = f.Positions({0, 0, 0, 1, 0, 0, 0, 1, 0});
  else if (positionType == 5120)
    pos = f.Add(std::vector<int8_t>{0, 0, 0, 0, 127, 0, 0, 0, 0, 127, 0, 0}, "VEC3", 5120, norm);
  else
    pos = f.Add(std::vector<uint16_t>{0, 0, 0, 0, 65535, 0, 0, 0, 0, 65535, 0, 0}, "VEC3", 5123,
                norm);
  // note: the 8- and 16-bit positions are padded to 4 and 8 bytes each
  if (positionType != 5126) {
    f.views.back().insert(f.views.back().size() - 1,
                          positionType == 5120 ? ",\"byteStride\":4" : ",\"byteStride\":8");
    std::string& accessor = f.accessors.back();
    accessor.replace(accessor.find("\"count\":4"), 9, "\"count\":3");
  }
  int idx;
  if (indexType == 5121)
    idx = f.Add(std::vector<uint8_t>{0, 1, 2}, "SCALAR", indexType);
  else if (indexType == 5123)
    idx = f.Add(std::vector<uint16_t>{0, 1, 2}, "SCALAR", indexType);
  else
    idx = f.Add(std::vector<uint32_t>{0, 1, 2}, "SCALAR", indexType);
  f.meshes = "[{\"primitives\":[{\"attributes\":{\"POSITION\":" + std::to_string(pos) +
             "},\"indices\":" + std::to_string(idx) + "}]}]";
  f.nodes = "[{\"name\":\"T\",\"mesh\":0}]";
  return AsBytes(f.Json());
}

TEST(GltfReaderTest, EveryIndexAndPositionEncodingGivesTheSameTriangle) {
  Read reference(Triangle(5125, 5126, false));
  ASSERT_EQ(reference.result, 0);
  const std::vector<Vec3> expected = test::LocalPositions(reference.s().groups[0]);
  ASSERT_EQ(expected.size(), 3u);
  for (auto [index, position, normalized] : {std::tuple{5121, 5126, false},
                                             {5123, 5126, false},
                                             {5125, 5120, true},
                                             {5125, 5123, true},
                                             {5121, 5123, false},
                                             {5123, 5120, false}}) {
    SCOPED_TRACE(::testing::Message() << index << " " << position << " " << normalized);
    Read r(Triangle(index, position, normalized));
    ASSERT_EQ(r.result, 0);
    const DisplayGroup& g = r.s().groups[r.s().rootHead];
    const std::vector<Vec3> got = test::LocalPositions(g);
    ASSERT_EQ(got.size(), 3u);
    for (int v = 0; v < 3; ++v)
      for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(got[v][i] + g.translation[i],
                    expected[v][i] + reference.s().groups[0].translation[i], 1e-6f);
  }
}

TEST(GltfReaderTest, MatrixAndTranslationRotationScalePlaceAlike) {
  // A quarter turn about y, scale 2 in x, moved by (1, 2, 3); the square
  // is there only to give the model a size.
  const double c = std::sqrt(0.5);
  auto place = [&](const std::string& node) {
    Gltf f;
    const int square = f.Positions(kSquare);
    f.meshes = "[{\"primitives\":[{\"attributes\":{\"POSITION\":" + std::to_string(square) +
               "},\"mode\":6}]}]";
    f.nodes = "[{\"name\":\"Top\",\"children\":[1],\"mesh\":0},{\"name\":\"N\"," + node + "}]";
    Read r(AsBytes(f.Json()));
    EXPECT_EQ(r.result, 0);
    const DisplayGroup& g = r.s().groups[r.Find("N")];
    return std::tuple{g.translation, g.rotation, g.scale};
  };
  const auto trs = place("\"translation\":[1,2,3],\"rotation\":[0," + std::to_string(c) + ",0," +
                         std::to_string(c) + "],\"scale\":[2,1,1]");
  const auto matrix = place("\"matrix\":[0,0,-2,0, 0,1,0,0, 1,0,0,0, 1,2,3,1]");
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(std::get<0>(trs)[i], std::get<0>(matrix)[i], 1e-5f);
    EXPECT_NEAR(std::get<1>(trs)[i], std::get<1>(matrix)[i], 1e-3f);
    EXPECT_NEAR(std::get<2>(trs)[i], std::get<2>(matrix)[i], 1e-5f);
  }
  // z negated: the file's +z translation and its turn about y mirror.
  EXPECT_LT(std::get<0>(trs)[2], 0);
  EXPECT_NEAR(std::get<1>(trs)[1], -90.0f, 1e-3f);
  EXPECT_NEAR(std::get<2>(trs)[0], 2.0f, 1e-5f);
}

// The square with a material and, when asked, per-corner colours and
// texture coordinates.
Gltf Painted(const std::string& material, bool colors, bool uv) {
  Gltf f;
  const int pos = f.Positions(kSquare);
  std::string attributes = "\"POSITION\":" + std::to_string(pos);
  if (colors)
    attributes += ",\"COLOR_0\":" +
                  std::to_string(f.Add(std::vector<uint8_t>{255, 0, 0, 255, 0, 255, 0, 255, 0, 0,
                                                            255, 255, 255, 255, 255, 255},
                                       "VEC4", 5121, ",\"normalized\":true"));
  if (uv)
    attributes += ",\"TEXCOORD_0\":" +
                  std::to_string(f.Add(std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1}, "VEC2", 5126));
  f.meshes = "[{\"primitives\":[{\"attributes\":{" + attributes + "},\"mode\":6,\"material\":0}]}]";
  f.nodes = "[{\"name\":\"Tile\",\"mesh\":0}]";
  f.extra = ",\"materials\":[" + material + "]";
  return f;
}

TEST(GltfReaderTest, BaseColourFactorAndVertexColours) {
  {
    Read r(AsBytes(
        Painted(R"({"pbrMetallicRoughness":{"baseColorFactor":[1,0.5,0,0.25]}})", false, false)
            .Json()));
    ASSERT_EQ(r.result, 0);
    const DisplayGroup& g = r.s().groups[r.s().rootHead];
    EXPECT_EQ(g.color, (Vec3{1, 0.5f, 0}));
    EXPECT_FLOAT_EQ(g.alpha, 0.25f);
    EXPECT_FALSE(g.flags & VertexColors);
  }
  Read r(AsBytes(
      Painted(R"({"pbrMetallicRoughness":{"baseColorFactor":[1,0.5,1,1]}})", true, false).Json()));
  ASSERT_EQ(r.result, 0);
  const DisplayGroup& g = r.s().groups[r.s().rootHead];
  ASSERT_TRUE(g.flags & VertexColors);
  // The fan's first triangle: corners 1, 2, 0 (green, blue, red) times the factor.
  const auto& v = g.primitives[0].vertices;
  const int stride = VertexStride(g);
  EXPECT_EQ((Vec3{v[3], v[4], v[5]}), (Vec3{0, 0.5f, 0}));
  EXPECT_EQ((Vec3{v[stride + 3], v[stride + 4], v[stride + 5]}), (Vec3{0, 0, 1}));
  EXPECT_EQ((Vec3{v[2 * stride + 3], v[2 * stride + 4], v[2 * stride + 5]}), (Vec3{1, 0, 0}));
}

TEST(GltfReaderTest, BaseColourTextureJoinsTheTextureTable) {
  test::TempDir dir;
  // a 2 x 2 binary PPM beside the model
  std::string ppm = "P6\n2 2\n255\n";
  ppm.append(12, '\x80');
  test::WriteText(dir / "tile.ppm", ppm);
  Gltf f = Painted(R"({"pbrMetallicRoughness":{"baseColorTexture":{"index":0}}})", false, true);
  f.extra += R"(,"textures":[{"source":0}],"images":[{"uri":"tile.ppm"}])";
  test::WriteText(dir / "tile.gltf", f.Json());
  test::RecordedDocument d;
  const size_t before = d.doc.textures.entries.size();
  ASSERT_EQ(OpenModelFile(d.doc, dir / "tile.gltf"), 0);
  EXPECT_TRUE(d.shell.messages.empty());
  EXPECT_EQ(d.doc.textures.entries.size(), before + 1);
  const DisplayGroup& g = d.scene().groups[d.scene().rootHead];
  EXPECT_TRUE(g.flags & Textured);
  ASSERT_TRUE(g.flags & TexCoords);
  EXPECT_EQ(g.textureIndex, static_cast<int>(before));
  // t runs up from the picture's bottom row; the fan starts at corner 1 (1, 0).
  const int stride = VertexStride(g);
  EXPECT_FLOAT_EQ(g.primitives[0].vertices[stride - 2], 1.0f);
  EXPECT_FLOAT_EQ(g.primitives[0].vertices[stride - 1], 1.0f);
}

// 2 x 2 pixels: top row red and green, bottom row blue and white.
const Bytes kPixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};

Bytes Png(const Bytes& rgb, int width, int height) {
  Bytes png;
  stbi_write_png_to_func(
      [](void* to, void* data, int size) {
        auto* bytes = static_cast<uint8_t*>(data);
        static_cast<Bytes*>(to)->insert(static_cast<Bytes*>(to)->end(), bytes, bytes + size);
      },
      &png, width, height, 3, rgb.data(), width * 3);
  return png;
}

Bytes Jpeg(const Bytes& rgb, int width, int height) {
  JpegImage jpeg;
  jpeg.quality = 100;
  const uint8_t* bytes = jpeg.EncodeMemory(rgb.data(), width, height);
  return bytes ? Bytes(bytes, bytes + jpeg.CompressedSize()) : Bytes();
}

// The textured square with its picture inside: in a buffer view of a
// .glb, or in a data URI of a .gltf.
Bytes WithPicture(const Bytes& picture, const char* mime, bool binary) {
  Gltf f = Painted(R"({"pbrMetallicRoughness":{"baseColorTexture":{"index":0}}})", false, true);
  f.extra += R"(,"textures":[{"source":0}],"images":[{)";
  if (binary)
    f.extra +=
        "\"bufferView\":" + std::to_string(f.View(picture)) + ",\"mimeType\":\"" + mime + "\"";
  else
    f.extra += "\"uri\":\"data:" + std::string(mime) + ";base64," + Base64(picture) + "\"";
  f.extra += "}]";
  return binary ? f.Glb() : AsBytes(f.Json());
}

TEST(GltfReaderTest, PicturesInsideTheFileJoinTheTextureTable) {
  Bytes flat(8 * 8 * 3);
  for (size_t i = 0; i < flat.size(); i += 3)
    flat[i] = 200, flat[i + 1] = 100, flat[i + 2] = 50;
  const Bytes png = Png(kPixels, 2, 2), jpeg = Jpeg(flat, 8, 8);
  ASSERT_FALSE(jpeg.empty());
  for (const bool binary : {true, false})
    for (const bool isJpeg : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "binary " << binary << " jpeg " << isJpeg);
      test::TempDir dir;
      const std::string name = binary ? "tile.glb" : "tile.gltf";
      test::WriteBytes(dir / name, WithPicture(isJpeg ? jpeg : png,
                                               isJpeg ? "image/jpeg" : "image/png", binary));
      imagetest::RecordingUploader uploader;
      test::RecordedDocument d;
      d.doc.uploader = &uploader;
      const int before = CurrentTextureCount(d.doc.textures);
      ASSERT_EQ(OpenModelFile(d.doc, dir / name), 0);
      EXPECT_TRUE(d.shell.messages.empty());
      ASSERT_EQ(CurrentTextureCount(d.doc.textures), before + 1);
      EXPECT_EQ(d.doc.textures.entries.back().name,
                name + (isJpeg ? " image 0.jpg" : " image 0.png"));
      const DisplayGroup& g = d.scene().groups[d.scene().rootHead];
      EXPECT_TRUE(g.flags & Textured);
      EXPECT_TRUE(g.flags & TexCoords);
      EXPECT_EQ(g.textureIndex, before);
      ASSERT_FALSE(uploader.uploads.empty());
      const auto& up = uploader.uploads.back();
      EXPECT_EQ(up.index, before);
      if (isJpeg) {
        ASSERT_EQ(up.width, 8);
        ASSERT_EQ(up.height, 8);
        for (size_t i = 0; i < up.rgb.size(); ++i)
          ASSERT_NEAR(up.rgb[i], flat[i], 4) << i;
      } else {
        ASSERT_EQ(up.width, 2);
        ASSERT_EQ(up.height, 2);
        // the table's pictures start at the bottom row: blue, white, red, green
        EXPECT_EQ(up.rgb, (Bytes{0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255, 0}));
      }
      // The same model again finds its picture in the table.
      ASSERT_EQ(AppendModelFile(d.doc, dir / name), 0);
      EXPECT_EQ(CurrentTextureCount(d.doc.textures), before + 1);
    }
  // A picture that is neither decodes to nothing: the model opens without it.
  test::TempDir dir;
  test::WriteBytes(dir / "tile.glb", WithPicture(AsBytes("no picture"), "image/png", true));
  test::RecordedDocument d;
  ASSERT_EQ(OpenModelFile(d.doc, dir / "tile.glb"), 0);
  ASSERT_EQ(d.shell.messages.size(), 1u);
  EXPECT_EQ(d.shell.messages[0], "Can't load \"tile.glb image 0\" texture");
  EXPECT_EQ(d.scene().groups[d.scene().rootHead].textureIndex, 0);
  // Nor does one whose view lies past the buffer.
  Gltf f = Painted(R"({"pbrMetallicRoughness":{"baseColorTexture":{"index":0}}})", false, true);
  f.views.push_back(R"({"buffer":0,"byteOffset":100000,"byteLength":8})");
  f.extra += R"(,"textures":[{"source":0}],"images":[{"bufferView":)" +
             std::to_string(f.views.size() - 1) + R"(,"mimeType":"image/png"}])";
  Read past(f.Glb());
  EXPECT_NE(past.result, 0);
}

// The picture the square of `file` is drawn with, as the table uploads it
// when the file is opened in a document of its own, and the messages that
// gave.
struct Opened {
  imagetest::RecordingUploader uploader;
  test::RecordedDocument d;
  explicit Opened(const std::string& file) {
    d.doc.uploader = &uploader;
    result = OpenModelFile(d.doc, file);
  }
  int result;
  std::string TexturePath() {
    const int index = d.scene().groups[d.scene().rootHead].textureIndex;
    return d.doc.textures.entries.at(static_cast<size_t>(index)).path;
  }
};

TEST(GltfReaderTest, PicturesInsideTheFileGoBesideASceneSavedWithThem) {
  Bytes flat(8 * 8 * 3, 90);
  for (const bool isJpeg : {false, true}) {
    SCOPED_TRACE(isJpeg ? "jpeg" : "png");
    const Bytes picture = isJpeg ? Jpeg(flat, 8, 8) : Png(kPixels, 2, 2);
    const std::string file = isJpeg ? "tile.glb image 0.jpg" : "tile.glb image 0.png";
    test::TempDir dir;
    test::WriteBytes(dir / "tile.glb",
                     WithPicture(picture, isJpeg ? "image/jpeg" : "image/png", true));
    Opened model(dir / "tile.glb");
    ASSERT_EQ(model.result, 0);
    const Bytes drawn = model.uploader.uploads.back().rgb;
    std::filesystem::create_directory(dir / "scenes");
    // Something else already has the picture's name: it stays as it was.
    test::WriteBytes(dir / ("scenes/" + file), AsBytes("somebody's notes"));
    ASSERT_EQ(WriteNativeFile(model.d.doc, dir / "scenes/a.knf"), 0);
    EXPECT_EQ(test::ReadBytes(dir / ("scenes/" + file)), AsBytes("somebody's notes"));
    const std::string second = isJpeg ? "tile.glb image 0 (2).jpg" : "tile.glb image 0 (2).png";
    EXPECT_EQ(test::ReadBytes(dir / ("scenes/" + second)), picture);
    // Saved again there, the picture already beside it serves.
    ASSERT_EQ(WriteNativeFile(model.d.doc, dir / "scenes/b.knf"), 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "scenes"), {}), 4);
    EXPECT_TRUE(model.d.shell.messages.empty());

    // Opened again, the scene is drawn with the same picture.
    Opened scene(dir / "scenes/b.knf");
    ASSERT_EQ(scene.result, 0);
    EXPECT_TRUE(scene.d.shell.messages.empty());
    EXPECT_EQ(BaseName(scene.TexturePath()), second);
    ASSERT_FALSE(scene.uploader.uploads.empty());
    EXPECT_EQ(scene.uploader.uploads.back().rgb, drawn);

    // A glTF export of the model carries the picture too.
    ASSERT_EQ(WriteGltfFile(model.d.doc, dir / "out.gltf"), 0);
    Opened exported(dir / "out.gltf");
    ASSERT_EQ(exported.result, 0);
    EXPECT_TRUE(exported.d.shell.messages.empty());
    ASSERT_FALSE(exported.uploader.uploads.empty());
    EXPECT_EQ(exported.uploader.uploads.back().rgb, drawn);

    // With every name taken the save fails, says why, and writes no scene.
    std::filesystem::create_directory(dir / "full");
    test::WriteBytes(dir / ("full/" + file), AsBytes("taken"));
    const std::string stem = file.substr(0, file.size() - 4), ending = file.substr(file.size() - 4);
    for (int n = 2; n <= 99; ++n)
      test::WriteBytes(dir / ("full/" + stem + " (" + std::to_string(n) + ")" + ending),
                       AsBytes("taken"));
    model.d.shell.messages.clear();
    EXPECT_NE(WriteNativeFile(model.d.doc, dir / "full/c.knf"), 0);
    EXPECT_EQ(model.d.shell.messages,
              std::vector<std::string>{"Can't write output file: " + dir / ("full/" + file) +
                                       ": 99 files of that name are there already"});
    EXPECT_FALSE(std::filesystem::exists(dir / "full/c.knf"));
  }
}

// The fan of the square with vertex 2 moved to (2, 3, 0), its positions
// given by `accessor` (which the test adds to `f`).
Bytes Fan(Gltf& f, const std::string& accessor) {
  f.accessors.push_back(accessor);
  f.meshes =
      "[{\"primitives\":[{\"attributes\":{\"POSITION\":" + std::to_string(f.accessors.size() - 1) +
      "},\"mode\":6}]}]";
  f.nodes = "[{\"name\":\"Fan\",\"mesh\":0}]";
  return AsBytes(f.Json());
}

std::string Sparse(int count, int indices, int indexType, int values) {
  return ",\"sparse\":{\"count\":" + std::to_string(count) +
         ",\"indices\":{\"bufferView\":" + std::to_string(indices) +
         ",\"componentType\":" + std::to_string(indexType) +
         "},\"values\":{\"bufferView\":" + std::to_string(values) + "}}";
}

// Makes accessor 0 of `f` (four positions in view 0) sparse: `count`
// vertices, at these indices, replaced by these values.
void SparsePositions(Gltf& f, int count, const std::vector<uint16_t>& indices,
                     const std::vector<float>& values) {
  const int index = f.View(indices);
  const int value = f.View(values);
  f.accessors[0] = R"({"bufferView":0,"componentType":5126,"count":4,"type":"VEC3")" +
                   Sparse(count, index, 5123, value) + "}";
}

// "Top" holds the square (so the model is 1 wide: sizing doubles it) and
// "Mover", whose translation, rotation and scale run on samplers.
Gltf Animated(const char* interpolation) {
  Gltf f;
  const int pos = f.Positions(kSquare);
  const int times = f.Add(std::vector<float>{0, 1}, "SCALAR", 5126);
  const int moves = f.Add(std::vector<float>{0, 0, 0, 3, 0, 1}, "VEC3", 5126);
  const double c = std::sqrt(0.5);
  const int turns = f.Add(std::vector<float>{0, 0, 0, 1, 0, float(c), 0, float(c)}, "VEC4", 5126);
  const int scales = f.Add(std::vector<float>{1, 1, 1, 2, 2, 2}, "VEC3", 5126);
  f.meshes =
      "[{\"primitives\":[{\"attributes\":{\"POSITION\":" + std::to_string(pos) + "},\"mode\":6}]}]";
  f.nodes = R"([{"name":"Top","mesh":0,"children":[1]},{"name":"Mover"}])";
  const std::string in = std::to_string(times);
  f.extra = std::string(",\"animations\":[{\"samplers\":[") + "{\"input\":" + in +
            ",\"output\":" + std::to_string(moves) + ",\"interpolation\":\"" + interpolation +
            "\"},{\"input\":" + in + ",\"output\":" + std::to_string(turns) + "},{\"input\":" + in +
            ",\"output\":" + std::to_string(scales) +
            ",\"interpolation\":\"STEP\"}],\"channels\":["
            R"({"sampler":0,"target":{"node":1,"path":"translation"}},)"
            R"({"sampler":1,"target":{"node":1,"path":"rotation"}},)"
            R"({"sampler":2,"target":{"node":1,"path":"scale"}}]}])";
  return f;
}

TEST(GltfReaderTest, AnimationsBecomeKeyFramesAtThirtyFramesASecond) {
  Read r(AsBytes(Animated("LINEAR").Json()));
  ASSERT_EQ(r.result, 0);
  Scene& s = r.s();
  const int mover = r.Find("Mover");
  ASSERT_NE(mover, -1);
  // The linear rotation is keyed at every frame, so all run 0..30.
  ASSERT_EQ(s.anim.keyFrameList.size(), 31u);
  EXPECT_EQ(s.anim.keyFrameList.back(), 30);
  auto value = [&](int frame, int kind) {
    const int k = FindKey(s.anim, frame, mover, kind);
    EXPECT_NE(k, -1) << frame << " " << kind;
    const std::vector<float>& v = s.anim.keys[k].values;
    return Vec3{v[0], v[1], v[2]};
  };
  // translation: mirrored in z and doubled by the sizing
  EXPECT_EQ(value(0, kKeyTranslation), (Vec3{0, 0, 0}));
  EXPECT_EQ(value(30, kKeyTranslation), (Vec3{6, 0, -2}));
  EXPECT_NEAR(value(15, kKeyTranslation)[0], 3.0f, 1e-5f);
  EXPECT_NEAR(value(30, kKeyRotation)[1], -90.0f, 1e-3f);
  EXPECT_NEAR(value(10, kKeyRotation)[1], -30.0f, 1e-3f);
  EXPECT_EQ(value(29, kKeyScale), (Vec3{1, 1, 1}));
  EXPECT_EQ(value(30, kKeyScale), (Vec3{2, 2, 2}));
  EXPECT_TRUE(IsStepKey(s.anim.keys[FindKey(s.anim, 0, mover, kKeyScale)]));
  // Played back, the frames between keys follow the samplers.
  GoToFrame(r.d.doc, 20);
  EXPECT_NEAR(s.groups[mover].translation[0], 4.0f, 1e-4f);
  EXPECT_NEAR(s.groups[mover].rotation[1], -60.0f, 1e-2f);

  // A cubic spline is sampled at every frame of its run.
  Gltf cubic = Animated("CUBICSPLINE");
  // in-tangent, value, out-tangent at each time
  const int out = cubic.Add(
      std::vector<float>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 1, 0, 0, 0}, "VEC3", 5126);
  cubic.extra.replace(cubic.extra.find("\"output\":2,"), 11,
                      "\"output\":" + std::to_string(out) + ",");
  Read spline(AsBytes(cubic.Json()));
  ASSERT_EQ(spline.result, 0);
  const int k = FindKey(spline.s().anim, 10, spline.Find("Mover"), kKeyTranslation);
  ASSERT_NE(k, -1);
  // flat tangents: a third of the way the curve has gone 7/27 of 3, doubled
  EXPECT_NEAR(spline.s().anim.keys[k].values[0], 2 * 3 * 7.0f / 27, 1e-5f);
}

TEST(GltfReaderTest, SparseAccessorsReplaceTheElementsTheyName) {
  Gltf plain;
  const Bytes expected =
      Fan(plain,
          "{\"bufferView\":" +
              std::to_string(plain.View(std::vector<float>{0, 0, 0, 1, 0, 0, 2, 3, 0, 0, 1, 0})) +
              R"(,"componentType":5126,"count":4,"type":"VEC3"})");
  // the square under one replaced vertex
  Gltf over;
  const int base = over.View(kSquare);
  const int index = over.View(std::vector<uint16_t>{2});
  const int value = over.View(std::vector<float>{2, 3, 0});
  const Bytes replaced = Fan(over, "{\"bufferView\":" + std::to_string(base) +
                                       R"(,"componentType":5126,"count":4,"type":"VEC3")" +
                                       Sparse(1, index, 5123, value) + "}");
  // zeros under three replaced vertices
  Gltf zeros;
  const int indices = zeros.View(std::vector<uint8_t>{1, 2, 3});
  const int values = zeros.View(std::vector<float>{1, 0, 0, 2, 3, 0, 0, 1, 0});
  const Bytes fromZeros = Fan(zeros, R"({"componentType":5126,"count":4,"type":"VEC3")" +
                                         Sparse(3, indices, 5121, values) + "}");
  Read want(expected);
  ASSERT_EQ(want.result, 0);
  const DisplayGroup& w = want.s().groups[want.s().rootHead];
  for (const Bytes* file : {&replaced, &fromZeros}) {
    Read r(*file);
    ASSERT_EQ(r.result, 0);
    const DisplayGroup& g = r.s().groups[r.s().rootHead];
    EXPECT_EQ(g.translation, w.translation);
    ASSERT_EQ(g.primitives.size(), 1u);
    EXPECT_EQ(g.primitives[0].vertices.vector(), w.primitives[0].vertices.vector());
  }

  // An animation's output: zeros with its last value given.
  Gltf f = Animated("LINEAR");
  const int last = f.View(std::vector<uint32_t>{1});
  const int move = f.View(std::vector<float>{3, 0, 1});
  f.accessors[2] =
      R"({"componentType":5126,"count":2,"type":"VEC3")" + Sparse(1, last, 5125, move) + "}";
  Read animated(AsBytes(f.Json()));
  ASSERT_EQ(animated.result, 0);
  const int k = FindKey(animated.s().anim, 30, animated.Find("Mover"), kKeyTranslation);
  ASSERT_NE(k, -1);
  const std::vector<float>& v = animated.s().anim.keys[k].values;
  EXPECT_EQ((Vec3{v[0], v[1], v[2]}), (Vec3{6, 0, -2}));
}

TEST(GltfReaderTest, AnimationsOfOtherNodesJoinAndOtherTakesAreLeftOut) {
  Gltf f = Animated("LINEAR");
  f.nodes = R"([{"name":"Top","mesh":0,"children":[1,2]},{"name":"Mover"},{"name":"Other"}])";
  const int times = 1, moves = 2;  // the first animation's accessors
  const int big = f.Add(std::vector<float>{5, 5, 5, 5, 5, 5}, "VEC3", 5126);
  f.extra.pop_back();
  f.extra += ",{\"samplers\":[{\"input\":" + std::to_string(times) +
             ",\"output\":" + std::to_string(moves) +
             R"(}],"channels":[{"sampler":0,"target":{"node":2,"path":"translation"}}]})" +
             ",{\"samplers\":[{\"input\":" + std::to_string(times) +
             ",\"output\":" + std::to_string(big) +
             R"(}],"channels":[{"sampler":0,"target":{"node":1,"path":"scale"}}]}])";
  test::TempDir dir;
  test::WriteText(dir / "takes.gltf", f.Json());
  test::RecordedDocument d;
  ASSERT_EQ(OpenModelFile(d.doc, dir / "takes.gltf"), 0);
  ASSERT_EQ(d.shell.messages.size(), 1u);
  EXPECT_EQ(d.shell.messages[0],
            "Animations in takes.gltf that move what an earlier one moves are not imported");
  Scene& s = d.scene();
  int other = -1, mover = -1;
  ForEachGroup(s, s.rootHead, [&](int g) {
    if (s.groups[g].name == "Other") other = g;
    if (s.groups[g].name == "Mover") mover = g;
  });
  ASSERT_NE(other, -1);
  ASSERT_NE(mover, -1);
  // the second animation moves Other as the first moves Mover
  for (const int g : {mover, other}) {
    const int k = FindKey(s.anim, 30, g, kKeyTranslation);
    ASSERT_NE(k, -1) << g;
    EXPECT_EQ(s.anim.keys[k].values[0], 6.0f);
  }
  // the third would scale Mover to 5: the first's step to 2 stays
  const int k = FindKey(s.anim, 30, mover, kKeyScale);
  ASSERT_NE(k, -1);
  EXPECT_EQ(s.anim.keys[k].values[0], 2.0f);
}

TEST(GltfReaderTest, SkinsAreLeftOutWithOneMessage) {
  Gltf f = Figure();
  f.extra = R"(,"skins":[{"joints":[1]}])";
  test::TempDir dir;
  test::WriteText(dir / "skinned.gltf", f.Json());
  test::RecordedDocument d;
  ASSERT_EQ(OpenModelFile(d.doc, dir / "skinned.gltf"), 0);
  ASSERT_EQ(d.shell.messages.size(), 1u);
  EXPECT_EQ(d.shell.messages[0], "Skins and morph targets in skinned.gltf are not imported");
}

// The damaged files every reader must refuse, scene untouched.
struct Damage {
  const char* what;
  std::string (*make)();
};

std::string WithAccessor(const std::string& accessor) {
  Gltf f = Figure();
  f.accessors[0] = accessor;
  return f.Json();
}

const Damage kDamaged[] = {
    {"accessor past its view",
     [] {
       return WithAccessor(R"({"bufferView":0,"componentType":5126,"count":5,"type":"VEC3"})");
     }},
    {"accessor offset past its view",
     [] {
       return WithAccessor(
           R"({"bufferView":0,"byteOffset":40,"componentType":5126,"count":1,"type":"VEC3"})");
     }},
    {"huge count",
     [] {
       return WithAccessor(
           R"({"bufferView":0,"componentType":5126,"count":4611686018427387904,"type":"VEC3"})");
     }},
    {"huge count without a view",
     [] { return WithAccessor(R"({"componentType":5126,"count":4000000000,"type":"VEC3"})"); }},
    {"view past its buffer",
     [] {
       Gltf f = Figure();
       f.views[0] = R"({"buffer":0,"byteOffset":16,"byteLength":4294967295})";
       return f.Json();
     }},
    {"index past the vertices",
     [] {
       Gltf f = Figure();
       f.bin[48 + 2] = 9;  // the second index of the square
       return f.Json();
     }},
    {"index of a float type",
     [] {
       Gltf f = Figure();
       f.accessors[1] = R"({"bufferView":1,"componentType":5126,"count":3,"type":"SCALAR"})";
       return f.Json();
     }},
    {"node that holds itself",
     [] {
       Gltf f = Figure();
       f.nodes = R"([{"name":"A","children":[1]},{"name":"B","children":[0]}])";
       return f.Json();
     }},
    {"child of two parents",
     [] {
       Gltf f = Figure();
       f.nodes = R"([{"children":[1,2]},{"children":[2]},{"mesh":0}])";
       return f.Json();
     }},
    {"node past the list",
     [] {
       Gltf f = Figure();
       f.nodes = R"([{"children":[7]}])";
       return f.Json();
     }},
    {"mesh past the list",
     [] {
       Gltf f = Figure();
       f.nodes = R"([{"mesh":7}])";
       return f.Json();
     }},
    {"missing buffer file", [] { return Figure().Json("absent.bin"); }},
    {"matrix of 15",
     [] {
       Gltf f = Figure();
       f.nodes = R"([{"matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0]}])";
       return f.Json();
     }},
    {"sparse index past the elements",
     [] {
       Gltf f = Figure();
       SparsePositions(f, 1, {4}, {2, 3, 0});
       return f.Json();
     }},
    {"sparse indices out of order",
     [] {
       Gltf f = Figure();
       SparsePositions(f, 2, {2, 1}, {2, 3, 0, 1, 1, 1});
       return f.Json();
     }},
    {"sparse values past their view",
     [] {
       Gltf f = Figure();
       SparsePositions(f, 2, {1, 2}, {2, 3, 0});
       return f.Json();
     }},
    {"sparse index past the vertices of an index list",
     [] {
       Gltf f = Figure();
       const int index = f.View(std::vector<uint8_t>{5});
       const int value = f.View(std::vector<uint16_t>{7});
       f.accessors[1] = R"({"bufferView":1,"componentType":5123,"count":6,"type":"SCALAR")" +
                        Sparse(1, index, 5121, value) + "}";
       return f.Json();
     }},
    {"not json", [] { return std::string("{\"asset\":{\"version\":\"2.0\"},\"nodes\":[{]"); }},
};

TEST(GltfReaderTest, DamagedFilesAreRefusedAndTheSceneKept) {
  for (const Damage& d : kDamaged) {
    SCOPED_TRACE(d.what);
    test::TempDir dir;
    test::WriteText(dir / "bad.gltf", d.make());
    test::RecordedDocument doc;
    ASSERT_EQ(ReadGltfBytes(doc.doc, AsBytes(Figure().Json()), "", false), 0);
    const size_t groups = doc.scene().groups.size();
    const int root = doc.scene().rootHead;
    EXPECT_EQ(AppendModelFile(doc.doc, dir / "bad.gltf"), -1);
    EXPECT_EQ(doc.scene().groups.size(), groups);
    EXPECT_EQ(doc.scene().rootHead, root);
    ASSERT_EQ(doc.shell.messages.size(), 1u);
    EXPECT_EQ(doc.shell.messages[0], "Can't decode " + (dir / "bad.gltf") + " correctly\n");
  }
}

TEST(GltfReaderTest, EveryCutOfABinaryFileIsRefused) {
  const Bytes whole = Figure().Glb();
  {
    Read r(whole);
    ASSERT_EQ(r.result, 0);
    EXPECT_EQ(test::CountFaces(r.s().groups[r.Find("Arm")]).triangles, 2);
  }
  test::ForEachCut(whole, [](const Bytes& cut, size_t) {
    test::RecordedDocument d;
    EXPECT_NE(ReadGltfBytes(d.doc, cut, "", false), 0);
    EXPECT_EQ(d.scene().rootHead, -1);
  });
  test::ForEachDamage(whole, 300, [](const Bytes& damaged) {
    test::RecordedDocument d;
    ReadGltfBytes(d.doc, damaged, "", false);
  });
  // A picture in a view and a sparse position: the runs they point at
  // are damaged too.
  Gltf f = Painted(R"({"pbrMetallicRoughness":{"baseColorTexture":{"index":0}}})", false, true);
  SparsePositions(f, 1, {2}, {2, 3, 0});
  f.extra += R"(,"textures":[{"source":0}],"images":[{"bufferView":)" +
             std::to_string(f.View(Png(kPixels, 2, 2))) + R"(,"mimeType":"image/png"}])";
  const Bytes rich = f.Glb();
  {
    Read r(rich);
    ASSERT_EQ(r.result, 0);
    EXPECT_GE(FindTexture(r.d.doc.textures, "image 0.png"), 0);
  }
  test::ForEachCut(rich, [](const Bytes& cut, size_t) {
    test::RecordedDocument d;
    EXPECT_NE(ReadGltfBytes(d.doc, cut, "", false), 0);
  });
  test::ForEachDamage(rich, 300, [](const Bytes& damaged) {
    test::RecordedDocument d;
    ReadGltfBytes(d.doc, damaged, "", false);
  });
}

TEST(GltfReaderTest, OpensTextWithBufferBesideItAndAppendsBinary) {
  test::TempDir dir;
  const Gltf f = Figure();
  test::WriteText(dir / "figure.gltf", f.Json("figure.bin"));
  test::WriteBytes(dir / "figure.bin", f.bin);
  test::WriteBytes(dir / "more.glb", f.Glb());
  test::RecordedDocument d;
  ASSERT_EQ(OpenModelFile(d.doc, dir / "figure.gltf"), 0);
  EXPECT_EQ(d.doc.modelFileType, kGltfFile);
  EXPECT_EQ(d.scene().groups[d.scene().rootHead].name, "Body");
  ASSERT_EQ(AppendModelFile(d.doc, dir / "more.glb"), 0);
  const int more = d.scene().rootHead;
  EXPECT_EQ(d.scene().groups[more].name, "more");
  const int body = d.scene().groups[more].child;
  ASSERT_NE(body, -1);
  EXPECT_EQ(d.scene().groups[body].name, "Body");
  EXPECT_EQ(d.scene().groups[d.scene().groups[more].next].name, "Body");
  EXPECT_TRUE(d.shell.messages.empty());
}

}  // namespace
}  // namespace modra
