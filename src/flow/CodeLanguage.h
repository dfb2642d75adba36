// The code command's small expression language: a line such as "my.hp = my.hp + rand(1,10)"
// read and run on the executing actor. Pass one replaces parenthesised groups and calls by
// their values; pass two splits the rest into blank-separated words and applies the
// operators by level ("*", "/", "%" first, then "+", "-", then "=").
#pragma once
#include <cstdint>
#include <string>

class cActor;

// One word of pass two.
struct cCodeToken {
  enum : std::int32_t { CONSTANT = 0, VARIABLE = 1, STATUS = 2, SYSTEM = 3, OPERATOR = 4 };

  cCodeToken() = default;
  // A value that is not stored anywhere, or a 32-bit variable: range -999999..999999.
  cCodeToken(std::int32_t nValue, void* pValue, std::int32_t nKind);

  std::int32_t m_nKind = CONSTANT;
  std::int32_t m_nValue = 0;
  void* m_pValue = nullptr;   // the stored value; null for constants
  std::int32_t m_nWidth = 4;  // 0 for an 8-bit status, 2 or 4
  std::int32_t m_nOperator = 0;
  std::int32_t m_nMin = -999999;
  std::int32_t m_nMax = 999999;
  std::int32_t m_nStatusName = -1;
  std::int32_t m_nSystem = -1;
  cActor* m_pOwner = nullptr;
};

// Keyword tables, each ending with an empty string.
extern const char* const g_CodeFunctions[];
extern const char* const g_CodeOperators[];
extern const std::int32_t g_CodeOperatorLevels[];
extern const char* const g_CodeObjects[];
extern const char* const g_CodeVariablePrefixes[];
extern const char* const g_CodeStatusNames[];
extern const char* const g_CodeSystemNames[];

// Set by every error of an evaluation; cleared by RunCode.
extern std::int32_t g_CodeError;

// Runs the text on the actor: 1, or 0 after an error (what was assigned before it stays).
// A change of the actor's own HP or SP shows its gauge.
int RunCode(const std::string& text, cActor& actor);
// The value of a text (0 after an error).
std::int32_t EvalCodeText(const std::string& text, cActor& actor);
// The value of a text without parentheses (0 after an error).
std::int32_t EvalCodeTokens(const std::string& text, cActor& actor);
