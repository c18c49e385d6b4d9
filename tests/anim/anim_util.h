// Editing keyed values the way the panels do: bracketed by EnsureKeyed and
// StoreKey at the frame the user is on.
#pragma once

#include "anim/keying.h"
#include "anim/playback.h"
#include "test_util.h"

namespace modra::test {

inline void SetTranslationAt(Document& doc, int g, int frame, const Vec3& t) {
  GoToFrame(doc, frame);
  EnsureKeyed(doc, g, kKeyTranslation);
  doc.scene.groups[g].translation = t;
  BuildGroupMatrix(doc.scene, g);
  StoreKey(doc, g, kKeyTranslation);
}

inline Vec3 TranslationAt(Document& doc, int g, int frame) {
  GoToFrame(doc, frame);
  return doc.scene.groups[g].translation;
}

}  // namespace modra::test
