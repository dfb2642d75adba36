#include "gfx/BmpTable.h"

#include <string>

#include "base/Log.h"
#include "base/Screen.h"
#include "gfx/DDInit.h"

DDSURFACEINFO g_BmpTable[BMP_TABLE_COUNT];
DDSURFACEDATA g_SurfaceData[BMP_TABLE_COUNT];
DDSURFACEINFO g_DigitInfos[DIGIT_SURFACE_COUNT];

namespace {

struct TableInit {
  TableInit() {
    DDSURFACEINFO* t = g_BmpTable;
    // name, key, memory kind, force system, no texture, index map, optional, mirror w, mirror h, blank w, blank h
    t[0].Set("bmp\\plt\\Palette.bmp", 0, 1, 0, 0, 0, 0, 0, 0, 0, 0);
    t[1].Set("bmp\\Debug.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[2].Set("bmp\\Block.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[3].Set("bmp\\Block.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0);
    t[4].Set("bmp\\Character1.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[5].Set("bmp\\Character1.bmp", 1, 0, 0, 0, 0, 0, 32, 0, 0, 0);
    for (int k = 0; k < 7; ++k) {
      const std::string name = "bmp\\Character" + std::to_string(k + 2) + ".bmp";
      t[6 + 2 * k].Set(name, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0);
      t[7 + 2 * k].Set(name, 1, 0, 0, 0, 0, 1, 32, 0, 0, 0);
      t[24 + 2 * k].Set(name, 1, 1, 0, 1, 0, 1, 0, 0, 0, 0);
      t[25 + 2 * k].Set(name, 1, 1, 0, 1, 0, 1, 32, 0, 0, 0);
    }
    t[20].Set("bmp\\Shot.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[21].Set("bmp\\Shot.bmp", 1, 0, 0, 0, 0, 0, 16, 0, 0, 0);
    t[22].Set("bmp\\Character1.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0);
    t[23].Set("bmp\\Character1.bmp", 1, 1, 0, 1, 0, 0, 32, 0, 0, 0);
    t[38].Set("bmp\\Shot.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0);
    t[39].Set("bmp\\Shot.bmp", 1, 1, 0, 1, 0, 0, 16, 0, 0, 0);
    t[40].Set("bmp\\Item.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[41].Set("bmp\\Item.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0);
    t[42].Set("bmp\\Item_Mini.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[43].Set("bmp\\Mark.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[44].Set("bmp\\Mark.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0);
    t[45].Set("bmp\\Window.bmp", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[46].Set("bmp\\StatusWindow.bmp", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[47].Set("bmp\\Title.bmp", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[48].Set("bmp\\GameMode.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    t[49].Set("bmp\\Accessory.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[50].Set("bmp\\Symbol.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[51].Set("bmp\\Word.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[52].Set("bmp\\WorldMapChip.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[53].Set("bmp\\WorldEvent.bmp", 1, 1, 0, 0, 0, 0, 0, 0, 0, 0);
    t[54].Set("bmp\\WorldBack.bmp", 0, 1, 0, 0, 0, 1, 0, 0, 0, 0);
    t[55].Set("背景その1.bmp", 0, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    t[56].Set("背景その2.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    t[57].Set("背景その3.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    t[58].Set("背景その4.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    t[59].Set("背景その5.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    t[60].Set("背景その6.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    t[61].Set("背景その7.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    t[62].Set("背景その8.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    t[63].Set("E", 1, 1, 0, 0, 0, 0, 0, 0, 256, 960);
    t[64].Set("E", 1, 1, 0, 0, 0, 0, 0, 0, 256, 960);
    t[65].Set("E", 1, 1, 0, 0, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    t[66].Set("E", 0, 1, 0, 0, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    t[67].Set("E", 1, 0, 0, 0, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    t[68].Set("E", 1, 1, 0, 1, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    for (DDSURFACEINFO& d : g_DigitInfos) d.Set("", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  }
};
const TableInit s_tableInit;

}  // namespace

void LinkSurfaceAliases() {
  g_SurfaceData[3].lpAlias = &g_SurfaceData[2];
  for (int k = 0; k < 18; ++k) g_SurfaceData[22 + k].lpAlias = &g_SurfaceData[4 + k];
  g_SurfaceData[41].lpAlias = &g_SurfaceData[40];
  g_SurfaceData[44].lpAlias = &g_SurfaceData[43];
  g_SurfaceData[68].lpAlias = &g_SurfaceData[67];
}

bool DDLoadSurfaces(DDSURFACEDATA* surfaceArray, const std::int32_t* ids, std::int32_t count) {
  const DDSURFACEINFO* table = g_DDState.lpInfoTable;
  if (!surfaceArray || !table || (count > 0 && !ids)) return false;
  for (int i = 0; i < count; ++i) {
    const std::int32_t id = ids[i];
    if (id < 0 || id >= g_DDState.nSurfaceCount) continue;
    DDSURFACEDATA* sd = &surfaceArray[id];
    const DDSURFACEINFO& info = table[id];
    DDReleaseSurface(sd);
    if (info.szFileName == "E") {
      if (!DDCreateSurface(sd, info.nBlankWidth, info.nBlankHeight, info.nColorKey, info.nMemoryKind, info.nForceSystem,
                           info.nNoTexture, false) &&
          !info.nOptional) {
        OutOfMemory();
        return false;
      }
    } else {
      const std::int32_t code = DDCreateSurfaceFromFile(sd, info.szFileName, info.nColorKey, g_DDState.nBpp,
                                                        info.nMemoryKind, info.nForceSystem, info.nNoTexture,
                                                        info.nIndexMap, info.nMirrorWidth, info.nMirrorHeight, false);
      if (!DDCheckLoadError(code)) {
        // An optional picture that is missing stays empty.
        DDReleaseSurface(sd);
        if (!info.nOptional) {
          ErrorBoxPrintf("%s の読み込みに失敗！", info.szFileName.c_str());
          return false;
        }
      }
    }
  }
  return true;
}
