#include "base/Vector.h"

#include <atomic>
#include <stdexcept>
#include <string>

#include "base/AppGlobals.h"
#include "base/Log.h"

namespace {
std::atomic<std::uint32_t> g_nBadIndices{0};
}  // namespace

std::uint32_t BadVectorIndexCount() { return g_nBadIndices.load(); }

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
void ReportBadVectorIndex(const char* format, int index, int size, int elementSize) {
  std::string text;
  FormatString(text, format, index, size, elementSize);
  DebugLog(text);
  ReportWrite(text);
  g_nBadIndices.fetch_add(1);
  PostCloseRequest();
}
#pragma GCC diagnostic pop

void ThrowEmptyVectorSubscript() { throw std::out_of_range("invalid vector<T> subscript"); }
