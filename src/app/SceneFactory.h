// The scene factory: the scene object of an id, and the frame rate the loaded stage asks for.
#pragma once
#include <cstdint>
#include <memory>

#include "base/Scene.h"

// The scene object of an id (0 to 5), or null.
std::unique_ptr<cScene> CreateScene(std::int32_t id);
// The frame rate of the loaded stage.
std::int32_t LoadedStageFrameRate();
