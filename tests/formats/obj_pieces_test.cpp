// A large Wavefront file is read in pieces on several cores, joined in file
// order. Wherever the pieces are cut, the staging mesh must be the one a
// single piece gives: positions counted across the cuts, faces naming
// positions of earlier pieces (or of none), and the group, smoothing group
// and material in force carried over.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "formats/obj_reader.h"

namespace modra {
namespace {

// Every line kind the reader acts on, with the lines that depend on what
// came before: corners of the previous lines, corners beyond the tables,
// partial and whole normals (the first face with all of them starts the
// normal table), groups named again, a bare `g`, smoothing groups reused,
// several materials on one line, comments, CR LF and a last line without
// its break.
constexpr std::string_view kSample =
    "# made by hand\n"
    "v 0 0 0\nv 1 0 0\r\nv 1 1 0\nv 0 1 0\n"
    "usemtl red\n"
    "f 1 2 3\nf 1 2 3 9\n"
    "vn 0 0 1\nvn 0 1 0\n"
    "f 1//1 2//2 4\n"
    "g left arm\ns 2\n"
    "v -1 0.5 2e1\nv -.5 +3 1.\n"
    "f 1 2 3 4 5 6\n"
    "f 5//1 6//2 1//1\n"
    "$ skip me\n"
    "s off\nf 4 5 6\n"
    "g\nf 1 2 7\nv 7 7 7\nf 1 2 7\n"
    "usemtl blue green\r\n"
    "g right\ns 2 3\nfo 1 2 3 4\n"
    "f 0 1 2\nf -1 2 3\nf 1//3 2//1 3//1\n"
    "g left\nf 6 5 4\n"
    "vn 1 0 0\nf 1//3 2//3 3//3 4//3\n"
    "s 2\nf 2 3 4\n"
    "v 1 2";

void ExpectSameFloats(const std::vector<Vec3>& a, const std::vector<Vec3>& b, const char* what) {
  ASSERT_EQ(a.size(), b.size()) << what;
  EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(Vec3)), 0) << what;
}

// The whole staging mesh, field by field, floats bit for bit.
void ExpectSameMesh(const ImportMesh& a, const ImportMesh& b) {
  ExpectSameFloats(a.meshVertices, b.meshVertices, "positions");
  ExpectSameFloats(a.meshNormals, b.meshNormals, "normals");
  ExpectSameFloats(a.faceNormals, b.faceNormals, "face normals");
  ASSERT_EQ(a.faces.size(), b.faces.size());
  for (size_t f = 0; f < a.faces.size(); ++f) {
    SCOPED_TRACE("face " + std::to_string(f));
    const MeshFace &x = a.faces[f], &y = b.faces[f];
    EXPECT_EQ(x.cornerCount, y.cornerCount);
    EXPECT_EQ(x.hasNormals, y.hasNormals);
    EXPECT_EQ(x.fanContinued, y.fanContinued);
    EXPECT_EQ(x.creaseCos, y.creaseCos);
    EXPECT_EQ(x.objectIndex, y.objectIndex);
    EXPECT_EQ(x.colorObject, y.colorObject);
    EXPECT_EQ(x.partIndex, y.partIndex);
    EXPECT_EQ(x.entryIndex, y.entryIndex);
    EXPECT_EQ(x.cornerVertices, y.cornerVertices);
  }
  EXPECT_EQ(a.cornerNormals, b.cornerNormals);
  ASSERT_EQ(a.objects.size(), b.objects.size());
  for (size_t o = 0; o < a.objects.size(); ++o) {
    EXPECT_EQ(a.objects[o].name, b.objects[o].name);
    EXPECT_EQ(a.objects[o].color, b.objects[o].color);
  }
  ASSERT_EQ(a.parts.size(), b.parts.size());
  for (size_t p = 0; p < a.parts.size(); ++p) {
    EXPECT_EQ(a.parts[p].name, b.parts[p].name);
    ASSERT_EQ(a.parts[p].entries.size(), b.parts[p].entries.size());
    for (size_t e = 0; e < a.parts[p].entries.size(); ++e) {
      EXPECT_EQ(a.parts[p].entries[e].key, b.parts[p].entries[e].key);
      EXPECT_EQ(a.parts[p].entries[e].faces, b.parts[p].entries[e].faces);
    }
  }
  EXPECT_EQ(a.vertexFaceStart, b.vertexFaceStart);
  EXPECT_EQ(a.vertexFaceList, b.vertexFaceList);
}

TEST(ObjPieces, EveryCutGivesWhatOnePieceGives) {
  for (const std::string& text : {std::string(kSample), [] {
                                    // The same with every line break a CR LF.
                                    std::string crlf;
                                    for (char c : kSample)
                                      crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
                                    return crlf;
                                  }()}) {
    Document one;
    ASSERT_EQ(ReadWavefrontPieces(one, text, {}, 1), 0);
    // What the sample is for: faces of several parts, entries and materials.
    ASSERT_EQ(one.importMesh.faces.size(), 13u);
    ASSERT_EQ(one.importMesh.parts.size(), 3u);
    ASSERT_EQ(one.importMesh.objects.size(), 4u);
    ASSERT_EQ(one.importMesh.cornerNormals.size(), 13u);
    for (size_t cut = 0; cut <= text.size(); ++cut) {
      SCOPED_TRACE("cut at " + std::to_string(cut));
      Document pieces;
      const size_t cuts[] = {cut};
      ASSERT_EQ(ReadWavefrontPieces(pieces, text, cuts, 2), 0);
      ExpectSameMesh(pieces.importMesh, one.importMesh);
    }
    // Several cuts at once, some in one line, some at its ends.
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
      std::vector<size_t> cuts(1 + rng() % 6);
      for (size_t& c : cuts)
        c = rng() % (text.size() + 1);
      std::sort(cuts.begin(), cuts.end());
      Document pieces;
      ASSERT_EQ(ReadWavefrontPieces(pieces, text, cuts, 1 + round % 3), 0);
      ExpectSameMesh(pieces.importMesh, one.importMesh);
    }
  }
}

// A piece may start with faces whose corners lie in the pieces before, or
// beyond every table; the first decide nothing until the tables are known.
TEST(ObjPieces, FacesAcrossCutsCountThePositionsOfEveryPieceBefore) {
  std::string text;
  for (int i = 0; i < 40; ++i)
    text += "v " + std::to_string(i) + " " + std::to_string(i % 7) + " 1\nvn 0 0 1\n";
  for (int i = 1; i + 2 <= 45; ++i)
    text += "f " + std::to_string(i) + "//" + std::to_string(i) + " " + std::to_string(i + 1) +
            " " + std::to_string(i + 2) + "//1\n";
  text += "g late\nv 9 9 9\nf 41 40 39\nf 41//41 1//1 2//1\nf 42 1 2\n";
  Document one;
  ASSERT_EQ(ReadWavefrontPieces(one, text, {}, 1), 0);
  EXPECT_EQ(one.importMesh.faces.size(), 39u);  // 38 of the strip, one late
  std::vector<size_t> cuts;
  for (size_t at = 50; at < text.size(); at += 50)
    cuts.push_back(at);
  Document pieces;
  ASSERT_EQ(ReadWavefrontPieces(pieces, text, cuts, 2), 0);
  ExpectSameMesh(pieces.importMesh, one.importMesh);
  Document whole;
  ASSERT_EQ(ReadWavefrontBytes(whole, text), 0);
  ExpectSameMesh(whole.importMesh, one.importMesh);
}

}  // namespace
}  // namespace modra
