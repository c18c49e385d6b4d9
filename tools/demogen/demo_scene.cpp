#include "demo_scene.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "anim/keying.h"
#include "anim/playback.h"
#include "document/group_edit.h"
#include "geometry/extrusion.h"
#include "geometry/primitives.h"
#include "geometry/revolution.h"
#include "geometry/text.h"
#include "geometry/texture_mapping.h"
#include "images/texture_table.h"
#include "scene/camera_lights.h"
#include "scene/group_fields.h"

namespace modra {

namespace {

// note: the star's points and the camera's path are written out rather
// than computed with sin and cos, whose last bits may differ between C
// libraries; what the tool writes then depends on the generators alone.

// Every animated value is keyed at each of these frames.
constexpr std::array<int, 5> kKeyFrames = {0, 30, 60, 90, kDemoLastFrame};
using Track = std::array<Vec3, kKeyFrames.size()>;

constexpr float kFloorTop = -0.42f;

// The vase's half section, clockwise: up the inside from the axis, over
// the lip, down the outside to the foot and back to the axis.
constexpr float kVaseProfile[][2] = {
    {0.0005f, -0.3f},  {0.13f, -0.255f},  {0.19f, -0.165f}, {0.215f, -0.06f}, {0.21f, 0.02f},
    {0.15f, 0.13f},    {0.09f, 0.24f},    {0.1f, 0.3f},     {0.14f, 0.365f},  {0.15f, 0.375f},
    {0.165f, 0.37f},   {0.12f, 0.3f},     {0.11f, 0.24f},   {0.17f, 0.14f},   {0.23f, 0.02f},
    {0.235f, -0.06f},  {0.21f, -0.17f},   {0.15f, -0.27f},  {0.11f, -0.33f},  {0.145f, -0.36f},
    {0.145f, -0.375f}, {0.0005f, -0.375f}};
constexpr int kVasePoints = static_cast<int>(std::size(kVaseProfile));
// Sharp edges at the axis, on the lip and round the foot.
constexpr uint8_t kVaseCorners[kVasePoints] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1,
                                               0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1};
static_assert(std::size(kVaseCorners) == kVasePoints);
constexpr float kVaseHalfHeight = 0.375f;

// A five-pointed star, clockwise from its top point; every point a corner.
constexpr float kStarProfile[][2] = {
    {0.0f, 0.2f},         {0.0482f, 0.06634f}, {0.19021f, 0.0618f},   {0.07799f, -0.02534f},
    {0.11756f, -0.1618f}, {0.0f, -0.082f},     {-0.11756f, -0.1618f}, {-0.07799f, -0.02534f},
    {-0.19021f, 0.0618f}, {-0.0482f, 0.06634f}};
constexpr int kStarPoints = static_cast<int>(std::size(kStarProfile));

constexpr float kPedestalLength = 0.4f;

struct Cast {
  int floor = -1, vase = -1, ring = -1, ball = -1, pedestal = -1, star = -1, title = -1;
};

void Place(Scene& s, int g, const Vec3& translation, const Vec3& rotation = {0, 0, 0}) {
  s.groups[g].translation = translation;
  s.groups[g].rotation = rotation;
  BuildGroupMatrix(s, g);
}

void Paint(Scene& s, int g, const Vec3& color, float specular, float shininess) {
  SetColor(s, g, color[0], color[1], color[2]);
  SetSpecular(s, g, specular, specular, specular);
  SetShininess(s, g, shininess);
}

// The generated group g becomes a visible, named group.
int Finish(Scene& s, int g, const char* name) {
  if (s.groups[g].primitives.empty()) return -1;
  SetGroupName(s, g, name);
  s.groups[g].flags |= Enabled;
  return g;
}

// As the texture panel does it: the shape's own mapping, the picture
// repeated repeatU times across and repeatV times up, then the texture.
bool ApplyTexture(Scene& s, int g, int texture, float repeatU, float repeatV) {
  s.groups[g].textureTransform[6] = repeatU;
  s.groups[g].textureTransform[7] = repeatV;
  if (MapDefault(s, g) != 0) return false;
  s.groups[g].textureIndex = texture;
  s.groups[g].flags |= Textured;
  return true;
}

int AddFloor(Scene& s, int texture) {
  const int g = NewGroup(s, "");
  if (g == -1) return -1;
  MakeBlock(s, g, 2.8f, 0.06f, 2.0f, 1);
  if (Finish(s, g, "Floor") == -1 || !ApplyTexture(s, g, texture, 3, 2)) return -1;
  Paint(s, g, {1, 1, 1}, 0.35f, 40);
  Place(s, g, {0, kFloorTop - 0.03f, 0.35f});
  return g;
}

int AddVase(Scene& s, int texture) {
  const int g = NewGroup(s, "");
  if (g == -1) return -1;
  MakeRevolution(s, g, 0, 360, 0, 1, 40, kVasePoints, &kVaseProfile[0][0], kVaseCorners);
  if (Finish(s, g, "Vase") == -1 || !ApplyTexture(s, g, texture, 2, 1)) return -1;
  Paint(s, g, {0.55f, 0.7f, 1.0f}, 0.8f, 90);
  Place(s, g, {0, kFloorTop + kVaseHalfHeight, 0.55f});
  return g;
}

int AddRing(Scene& s) {
  const int g = NewGroup(s, "");
  if (g == -1) return -1;
  MakeTorus(s, g, 0.24f, 0.06f, 40, 20);
  if (Finish(s, g, "Ring") == -1) return -1;
  Paint(s, g, {1.0f, 0.72f, 0.25f}, 0.9f, 100);
  Place(s, g, {-0.85f, kFloorTop + 0.3f, 0.2f}, {90, 0, 0});
  return g;
}

int AddBall(Scene& s) {
  const int g = NewGroup(s, "");
  if (g == -1) return -1;
  MakeSphere1(s, g, 0.14f, 30, 16);
  if (Finish(s, g, "Ball") == -1) return -1;
  Paint(s, g, {0.9f, 0.15f, 0.12f}, 0.9f, 110);
  return g;
}

int AddPedestal(Scene& s) {
  const int g = NewGroup(s, "");
  if (g == -1) return -1;
  MakeRoundedCone(s, g, 0.16f, kPedestalLength, 0.05f, 30, 1, 4, 4);
  if (Finish(s, g, "Pedestal") == -1) return -1;
  Paint(s, g, {0.2f, 0.7f, 0.65f}, 0.5f, 40);
  Place(s, g, {0.85f, kFloorTop + 0.16f + kPedestalLength / 2, 0.75f});
  return g;
}

// The star stands on the pedestal's tip as its child, so it goes wherever
// the pedestal goes.
int AddStar(Scene& s, int pedestal) {
  const int g = NewGroup(s, "");
  if (g == -1) return -1;
  const int32_t count = kStarPoints;
  const uint8_t corners[kStarPoints] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  MakeExtrusion(s, g, kBevelFront | kBevelBack, 0.08f, 0.018f, 1, &count, &kStarProfile[0][0],
                corners);
  if (Finish(s, g, "Star") == -1) return -1;
  Paint(s, g, {1.0f, 0.85f, 0.3f}, 0.9f, 100);
  UnlinkGroup(s, g, FindGroupLink(s, g));
  LinkAtFront(s, g, pedestal);
  Place(s, g, {0, kPedestalLength / 2 + 0.26f, 0});
  return g;
}

// The letters, made by the 3D text command, then grouped under one parent
// as the Group command does, so the word sways as one.
int AddTitle(Document& doc) {
  Scene& s = doc.scene;
  DeselectAll(doc);
  constexpr int kHandelGothic = 3;
  if (CreateText(doc, "Modra", 2.0f, kHandelGothic) == -1) return -1;
  ForEachGroup(s, s.rootHead, [&](int g) {
    if (s.groups[g].flags & Selected) Paint(s, g, {0.95f, 0.45f, 0.2f}, 0.7f, 60);
  });
  GroupSelected(doc);
  const int title = s.selectedGroup;
  if (title == -1 || s.groups[title].child == -1) return -1;
  SetGroupName(s, title, "Title");
  Place(s, title, {0, 0.52f, 0.25f});
  return title;
}

void SetLights(Scene& s) {
  s.lights[0].type = kLightOn;
  s.lights[0].color = {0.18f, 0.18f, 0.2f};
  struct Lamp {
    Vec3 towards;  // from the scene to the lamp
    Vec3 color;
  };
  // A warm key light above the camera's left shoulder, a cool fill from the
  // right and a rim light from behind.
  static const Lamp kLamps[] = {
      {{-0.6f, 1.0f, -0.8f}, {0.55f, 0.52f, 0.47f}},
      {{1.0f, 0.35f, -0.5f}, {0.2f, 0.23f, 0.3f}},
      {{0.3f, 0.8f, 1.0f}, {0.3f, 0.3f, 0.3f}},
  };
  for (int light = 1; light < kLightCount; ++light)
    s.lights[light].type = kLightOff;
  for (size_t i = 0; i < std::size(kLamps); ++i) {
    KnfLight& light = s.lights[i + 1];
    const Vec3& d = kLamps[i].towards;
    const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    light.type = kLightDirectional;
    light.direction = {d[0] / length, d[1] / length, d[2] / length};
    light.color = kLamps[i].color;
    UpdateLightDirection(s, static_cast<int>(i) + 1, 1);
  }
  s.global.background = {0.1f, 0.12f, 0.2f};
}

// The camera swings from the left to the right round the vase, which it
// keeps in the middle of the picture.
constexpr Track kCameraPath = {{
    {-1.3064f, 1.35f, -4.6896f},
    {-0.6581f, 1.35f, -4.8097f},
    {0.0f, 1.35f, -4.85f},
    {0.6581f, 1.35f, -4.8097f},
    {1.3064f, 1.35f, -4.6896f},
}};

struct GroupTrack {
  int group;
  int kind;
  Track values;
};

// Sets one value at the current frame the way a panel edit does.
void KeyGroupValue(Document& doc, int g, int kind, const Vec3& v) {
  EnsureKeyed(doc, g, kind);
  Scene& s = doc.scene;
  switch (kind) {
    case kKeyRotation:
      s.groups[g].rotation = v;
      break;
    case kKeyTranslation:
      s.groups[g].translation = v;
      break;
    case kKeyColor:
      SetColor(s, g, v[0], v[1], v[2]);
      break;
  }
  BuildGroupMatrix(s, g);
  StoreKey(doc, g, kind);
}

void KeyCameraPosition(Document& doc, const Vec3& position) {
  EnsureKeyed(doc, kCameraOwner, kKeyCamera);
  doc.scene.camera.position = position;
  UpdateCameraTarget(doc.scene);
  StoreKey(doc, kCameraOwner, kKeyCamera);
}

void Animate(Document& doc, const Cast& cast) {
  const float y = kFloorTop + 0.14f, hop = 0.4f;
  const Vec3 teal = {0.2f, 0.7f, 0.65f}, violet = {0.55f, 0.35f, 0.85f};
  const Vec3 between = {0.375f, 0.525f, 0.75f};
  const GroupTrack tracks[] = {
      {cast.ring,
       kKeyRotation,
       {{{90, 0, 0}, {90, 90, 0}, {90, 180, 0}, {90, 270, 0}, {90, 360, 0}}}},
      {cast.star, kKeyRotation, {{{0, 0, 0}, {0, 180, 0}, {0, 360, 0}, {0, 540, 0}, {0, 720, 0}}}},
      {cast.vase, kKeyRotation, {{{0, 0, 0}, {0, 45, 0}, {0, 90, 0}, {0, 135, 0}, {0, 180, 0}}}},
      {cast.title, kKeyRotation, {{{0, -10, 0}, {0, 0, 0}, {0, 10, 0}, {0, 0, 0}, {0, -10, 0}}}},
      {cast.ball,
       kKeyTranslation,
       {{{0.85f, y, -0.2f},
         {0.62f, y + hop, -0.2f},
         {0.3f, y, -0.2f},
         {-0.02f, y + hop, -0.2f},
         {-0.35f, y, -0.2f}}}},
      {cast.pedestal, kKeyColor, {{teal, between, violet, between, teal}}},
  };
  // Frame 0 takes the first values as the scene's own; from frame 30 on
  // each edit becomes a key and frame 0 keeps what the scene held.
  for (size_t k = 0; k < kKeyFrames.size(); ++k) {
    GoToFrame(doc, kKeyFrames[k]);
    for (const GroupTrack& track : tracks)
      KeyGroupValue(doc, track.group, track.kind, track.values[k]);
    KeyCameraPosition(doc, kCameraPath[k]);
  }
  GoToFrame0(doc);
}

}  // namespace

bool BuildDemoScene(Document& doc, const std::string& marblePath) {
  if (AddTexture(doc, marblePath, BaseName(marblePath)) != 0) return false;
  const int marble = CurrentTextureCount(doc.textures) - 1;
  Scene& s = doc.scene;

  // New groups go to the front of the top level, so the last made is first.
  Cast cast;
  cast.ball = AddBall(s);
  cast.ring = AddRing(s);
  cast.pedestal = AddPedestal(s);
  cast.star = cast.pedestal == -1 ? -1 : AddStar(s, cast.pedestal);
  cast.vase = AddVase(s, marble);
  cast.floor = AddFloor(s, marble);
  for (int g : {cast.ball, cast.ring, cast.pedestal, cast.star, cast.vase, cast.floor})
    if (g == -1) return false;
  cast.title = AddTitle(doc);
  if (cast.title == -1) return false;
  DeselectAll(doc);

  SetLights(s);
  s.camera.mode = kCameraLookAt;
  s.camera.lookAtGroup = cast.vase;
  RebuildCameraPath(s);
  s.camera.position = kCameraPath[0];
  UpdateCameraTarget(s);

  Animate(doc, cast);
  return true;
}

}  // namespace modra
