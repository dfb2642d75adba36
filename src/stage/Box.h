// The two rectangle records of stage play: the drawn cell of an object on screen
// (whole pixels) and a box in stage pixels (doubles). Both have inclusive edges.
#pragma once
#include <cstdint>

struct SCREENRECT {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

struct cBox {
  double m_dLeft = 0.0;
  double m_dTop = 0.0;
  double m_dRight = 0.0;
  double m_dBottom = 0.0;

  void Clear() { *this = cBox{}; }
  // Touching edges count as overlap.
  bool Overlaps(const cBox& b) const {
    return m_dLeft <= b.m_dRight && m_dRight >= b.m_dLeft && m_dTop <= b.m_dBottom && m_dBottom >= b.m_dTop;
  }
};
