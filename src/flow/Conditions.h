// The comparisons shared by the conditions of flows and the status engine.
#pragma once

// 0 ==, 1 !=, 2 >=, 3 <=, 4 >, 5 <, on signed 32-bit values; any other operator is
// false. Returns 1 or 0.
int CompareByOp(int a, int b, int nOperator);
