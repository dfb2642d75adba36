#include "stage/AnimeSequencer.h"

#include <algorithm>

void cAnimeSequencer::Clear() {
  m_Sequences.clear();
  m_nSequence = m_nFrame = m_nTick = 0;
}

void cAnimeSequencer::Load(const ANIMESTEP* const* pTable) {
  if (!pTable) return;
  m_Sequences.clear();
  m_nSequence = m_nFrame = m_nTick = 0;
  int nCount = 0;
  while (pTable[nCount]) ++nCount;
  m_Sequences.resize(static_cast<std::size_t>(nCount));
  for (int s = 0; s < nCount; ++s) {
    const ANIMESTEP* pStep = pTable[s];
    int nSteps = 1;
    while (pStep[nSteps - 1].nPattern >= 0) ++nSteps;
    cVector<ANIMESTEP>& sequence = m_Sequences[s];
    sequence.resize(static_cast<std::size_t>(nSteps));
    for (int i = 0; i < nSteps; ++i) {
      sequence[i] = ANIMESTEP{pStep[i].nPattern, pStep[i].nFrames, pStep[i].bLock & 0xFF};
    }
  }
}

int cAnimeSequencer::Start(int s, int bForce) {
  if (!bForce && HasSequence() && !IsFrameless() && Current().bLock != 0) return 0;
  m_nFrame = 0;
  m_nSequence = s;
  m_nTick = 0;
  return 1;
}

int cAnimeSequencer::Change(int s, int bForce) {
  if (s == m_nSequence) return 1;
  return Start(s, bForce);
}

int cAnimeSequencer::Tick() {
  if (m_Sequences.empty()) return 0;
  if (!HasSequence() || IsFrameless()) return ANIME_CODE_END;
  ++m_nTick;
  if (m_nTick >= Current().nFrames) {
    m_nTick = 0;
    ++m_nFrame;
    const ANIMESTEP& next = Current();
    switch (next.nPattern) {
      case ANIME_CODE_JUMP: Start(next.nFrames, 1); break;
      case ANIME_CODE_LOOP: m_nFrame = 0; break;
      case ANIME_CODE_HOLD: --m_nFrame; break;
      default: break;
    }
  }
  return Current().nPattern;
}

int cAnimeSequencer::GetPattern() {
  if (m_Sequences.empty()) return 0;
  return !HasSequence() || IsFrameless() ? ANIME_CODE_END : Current().nPattern;
}

void cAnimeSequencer::Advance(std::int64_t n) {
  while (n > 0 && !m_Sequences.empty() && !IsFrameless()) {
    const ANIMESTEP& step = Current();
    if (step.nPattern < 0) return;
    const std::int64_t nLeft = std::max<std::int64_t>(static_cast<std::int64_t>(step.nFrames) - m_nTick, 1);
    if (n < nLeft) {
      m_nTick += static_cast<std::int32_t>(n);
      return;
    }
    n -= nLeft;
    m_nTick = step.nFrames - 1;  // the tick below moves on to the next step
    Tick();
  }
}

void cAnimeSequencer::LengthenFirstLocked(int s, std::int64_t n) {
  if (s < 0 || s >= m_Sequences.Size()) return;
  for (ANIMESTEP& step : m_Sequences[s]) {
    if (step.nPattern < 0) return;
    if (step.bLock) {
      step.nFrames = static_cast<std::int32_t>(std::clamp<std::int64_t>(step.nFrames + n, 0, 0x7FFFFFFF));
      return;
    }
  }
}
