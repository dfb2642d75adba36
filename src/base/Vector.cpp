#include "base/Vector.h"

#include <stdexcept>
#include <string>

#include "base/AppGlobals.h"
#include "base/Log.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
void ReportBadVectorIndex(const char* format, int index, int size, int elementSize) {
  std::string text;
  FormatString(text, format, index, size, elementSize);
  DebugLog(text);
  ReportWrite(text);
  PostCloseRequest();
}
#pragma GCC diagnostic pop

void ThrowEmptyVectorSubscript() { throw std::out_of_range("invalid vector<T> subscript"); }
