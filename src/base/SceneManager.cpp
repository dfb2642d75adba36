#include "base/SceneManager.h"

cSceneManager g_SceneManager;
