// cScene: the base of every scene of the game (title, world map, map menu, stage
// select, stage play, options) and the protocol each one follows in its Run.
//
// A scene owns a table of phase handlers: the first is its fade-in, the last its
// fade-out, those between are its own phases. m_nPhase is -1 until Init has run, then
// picks the handler that Run calls; m_nStep counts steps within a phase.
#pragma once
#include <cstdint>
#include <vector>

#include "base/Vector.h"

struct DDSURFACEDATA;

class cScene {
 public:
  cScene() = default;
  cScene(const cScene&) = delete;
  cScene& operator=(const cScene&) = delete;
  virtual ~cScene();

  // One frame of the scene.
  virtual void Run();
  // Set-up on the scene's first frame; a fault is thrown as a text.
  virtual void Init();
  // Phase handlers: the fade-in sets phase 1 when it has ended; the fade-out performs
  // the switch to the scene the manager was asked for.
  virtual void FadeIn();
  virtual void FadeOut();
  // The surfaces the scene owns, in the order a lost display restores them.
  virtual void CollectSurfaces(std::vector<DDSURFACEDATA*>& out);

  std::int32_t m_nPhase = -1;
  std::int32_t m_nStep = 0;

 protected:
  // Steps 2 and 3 of every scene's Run: Init on the first frame (a thrown text or
  // program error is logged and asks the game to close; the scene goes on in phase 0),
  // then the handler of the current phase. A phase outside the table goes through the
  // checked subscript (logged, close request, entry 0).
  template <class S>
  void RunPhases(S& self, cVector<void (S::*)()>& phases) {
    if (m_nPhase == -1) {
      InitCatchingFaults();
      m_nPhase = 0;
    }
    (self.*phases[m_nPhase])();
  }

 private:
  void InitCatchingFaults();
};
