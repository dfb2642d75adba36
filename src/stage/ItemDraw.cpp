// Drawing an item lying on the stage: its cell (stretched when its scale and the cell's
// own differ) and its emblem.
#include <algorithm>

#include "base/Screen.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "stage/ImageRef.h"
#include "stage/Item.h"

namespace {}  // namespace

void cItem::Draw(DDSURFACEDATA* target, int bAdvance) {
  if (m_Def.m_bTransparent) return;
  const int nPattern = bAdvance ? m_Anime.Tick() : m_Anime.GetPattern();
  cImageRef ref;
  ref.Set(IMAGE_CALLER_ITEM, m_Def.m_nImageSheet, m_nGraphic, m_Def.m_nImageSub, nullptr, nPattern);
  const int nScale = std::max<int>(m_Def.m_nScale, 1);
  const int x = m_ScreenRect.left;
  const int y = m_ScreenRect.top;
  if (ref.m_pSheet && ref.m_nSrcX >= 0 && ref.m_nSrcY >= 0) {
    const bool bPlain = ref.m_bOwnScale ? ref.m_nCellScale == nScale : nScale == 1;
    if (bPlain) DDBlt(target, x, y, m_nWidth, m_nHeight, ref.m_pSheet, ref.m_nSrcX, ref.m_nSrcY, 1);
    else
      DDStretchBlt(target, x, y, m_nWidth, m_nHeight, ref.m_pStretchSheet, ref.m_nSrcX, ref.m_nSrcY,
                   m_nBaseWidth * ref.m_nCellScale, m_nBaseHeight * ref.m_nCellScale, 1);
  }
  const int n = m_Def.m_nMark;
  if (m_Def.m_nMarkShow != 1 || n < 0) return;
  if (nScale > 1)
    DDStretchBlt(target, x, y, m_nWidth, m_nHeight, &g_SurfaceData[BMP_MARK_STRETCHED], n / 15 * BLOCK_SIZE,
                 n % 15 * BLOCK_SIZE, BLOCK_SIZE, BLOCK_SIZE, 1);
  else
    DDBlt(target, x, y, BLOCK_SIZE, BLOCK_SIZE, &g_SurfaceData[BMP_MARK], n / 15 * BLOCK_SIZE, n % 15 * BLOCK_SIZE, 1);
}
