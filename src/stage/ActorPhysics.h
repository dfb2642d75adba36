// Units and per-stage constants of stage play. The constants are the values that the
// stage derives from its hit-test level (cEdStage::SetHitLevel); stage play reads them
// under these names.
#pragma once
#include <cstdint>

#include "gamedata/Stage.h"

inline std::int32_t& g_SubSteps = g_Stage.m_nSubSteps;     // logic sub-steps per frame
inline double& g_FrameScale = g_Stage.m_dSubSteps;         // the same as a double
inline double& g_FrameScaleSq = g_Stage.m_dSubSteps2;      // its square
inline std::int32_t& g_TenthSteps = g_Stage.m_nTurnSteps;  // sub-steps per tenth of a second
inline std::int32_t& g_AirSteps = g_Stage.m_nSubSteps8;    // sub-steps without floor before airborne
inline double& g_MaxSpeed = g_Stage.m_dStepSpeedCap;       // largest velocity component per sub-step
inline double& g_Gravity = g_Stage.m_dStepGravity;         // added once per sub-step

// Half blocks (16 pixels) to pixels.
inline std::int32_t HblToDot(std::int8_t n) { return n * 16; }
// Hundredths of a pixel per frame squared to pixels per sub-step squared.
inline double SpeedToDot(std::int16_t n) { return n * 0.01 / g_FrameScaleSq; }
// A gain per second to a gain per sub-step.
inline double PerSecondToPerStep(double x) { return x / g_FrameScale * 0.016666666666666666; }
