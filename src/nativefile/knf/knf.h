/* The records of a scene exported as C source ("Save As Source"). An
 * exported file defines initialised arrays of these records and one
 * KnfInternalInfo named <prefix>_internal_info that ties them together; a
 * display program compiles the file with this header on its include path
 * and declares
 *
 *     extern KnfInternalInfo robot_internal_info;
 *
 * Every field is listed in the order the exporter prints its value, so the
 * order is the file format: never reorder, insert or resize fields. Plain C,
 * usable from C and C++.
 *
 * Walking the data:
 *   - groups: element 0 is the first top-level group; next and child hold
 *     array positions, -1 for none. The array has no end entry.
 *   - texNames: pairs of (texture name, image file name without directory),
 *     ended by a pair of empty strings. A group's textureNumber is the
 *     position of its pair; it means something only when the group's flags
 *     have KNF_TEXTURED.
 *   - keyInfo: ended by a row whose kind is -1 (owner -1 alone is the
 *     camera). keyFrames: ended by a row whose frame is -1; firstKey and
 *     next are keyInfo rows, -1 for none.
 *   - key values are 32-bit IEEE patterns stored in unsigned long arrays,
 *     which are 64 bits wide on LP64 systems: read them with KnfKeyWord or
 *     KnfKeyValue, never through a float pointer.
 */
#ifndef MODRA_KNF_H
#define MODRA_KNF_H

#include <string.h>

/* The exported initialisers rely on brace elision for the array fields
 * (one flat list of numbers per record); C compilers and clang warn about
 * that under -Wall although it is well defined. */
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wmissing-braces"
#endif

/* Room for a texture name or image file name and its NUL: 255 characters,
 * the longest file name Linux and Windows file systems allow. Longer texts
 * are cut by the exporter. */
#define MAX_TEX_NAME 256

/* Group name: at most 79 characters. */
#define KNF_GROUP_NAME 80

/* KnfDisplayGroup.flags bits. */
#define KNF_ENABLED 0x1u
#define KNF_TEXTURED 0x4u
#define KNF_VERTEX_COLORS 0x8u
#define KNF_TEX_COORDS 0x10u

#ifdef __cplusplus
extern "C" {
#endif

typedef struct KnfCameraView {
  int mode;        /* 0 manual, 2 looks at lookAtGroup */
  int lookAtGroup; /* position in the group array, 0 when none */
  float viewParams[3];
  float rotation[3];
  float position[3];
  float vectorA[3]; /* the point looked at */
  float vectorB[3];
} KnfCameraView;

typedef struct KnfLight {
  int type; /* 0 off, 1 on, 2 directional, 3 positional, 4 cone */
  float color[3];
  float position[3];
  float direction[3];
  float c1, c2, c3; /* quadratic, linear, constant attenuation */
  float cutoff, spotPower;
} KnfLight; /* nine: element 0 is the ambient term */

typedef struct KnfGlobalScene {
  float background[3];
} KnfGlobalScene;

typedef struct KnfDisplayPrimitive {
  int type; /* 0 triangles, 1 quads, 2 triangle strip, 3 quad strip */
  int vertexCount;
  /* vertexCount vertices: position, colour r, g, b with KNF_VERTEX_COLORS,
   * normal, texture s, t with KNF_TEX_COORDS (6, 8, 9 or 11 floats). */
  float* vertices;
} KnfDisplayPrimitive;

typedef struct KnfDisplayGroup {
  char name[KNF_GROUP_NAME];
  unsigned int flags;
  float bboxMin[3];
  float bboxMax[3];
  float color[3];
  float alpha;
  float specular[3];
  float shininess;
  int primitiveCount;
  KnfDisplayPrimitive* primitives;
  float matrix[16]; /* column-major */
  float center[3];
  float centerRotation[3];
  float rotation[3];
  float translation[3];
  float scale[3];
  int next;
  int child;
  int textureNumber;
} KnfDisplayGroup;

typedef struct KnfKeyInfo {
  int owner; /* group array position; -1 camera; light L is L - 100 */
  int kind;
  unsigned int mask;
  int span; /* frames to the next key frame */
  /* The exported text stores the address of an unsigned long array here
   * through a (float*) cast; see KnfKeyWord. */
  const void* values;
  int next;
} KnfKeyInfo;

typedef struct KnfKeyFrame {
  int frame;
  int firstKey;
} KnfKeyFrame;

typedef struct KnfInternalInfo {
  KnfDisplayGroup* groups;
  char (*texNames)[MAX_TEX_NAME];
  KnfCameraView* camera;
  KnfLight* lights;
  KnfKeyInfo* keyInfo;
  KnfKeyFrame* keyFrames;
  KnfGlobalScene* globalScene;
} KnfInternalInfo;

/* Value i of a key as its 32-bit pattern, whatever the width of unsigned
 * long. For a camera key in look-at mode ((mask & 3) == 2), word 42 is the
 * look-at group's position in the group array. */
static inline unsigned int KnfKeyWord(const KnfKeyInfo* key, int i) {
  return (unsigned int)((const unsigned long*)key->values)[i];
}

/* Value i of a key as a float. */
static inline float KnfKeyValue(const KnfKeyInfo* key, int i) {
  unsigned int word = KnfKeyWord(key, i);
  float value;
  memcpy(&value, &word, sizeof value);
  return value;
}

#ifdef __cplusplus
}
#endif

#endif /* MODRA_KNF_H */
