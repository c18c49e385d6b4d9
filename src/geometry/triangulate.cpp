#include "geometry/triangulate.h"

// Placeholder until the sweep lands: every polygon is refused.
namespace modra {

class TriangulatorState {};

Triangulator::Triangulator() : state_(new TriangulatorState) {}
Triangulator::~Triangulator() { delete state_; }

int Triangulator::Run(const float*, const int*, int, int, const TriangleSink&) { return -1; }

int Triangulate(const float* vertices, const int* contourEnds, int contourCount, int extraFloats,
                const TriangleSink& emit) {
  Triangulator t;
  return t.Run(vertices, contourEnds, contourCount, extraFloats, emit);
}

}  // namespace modra
