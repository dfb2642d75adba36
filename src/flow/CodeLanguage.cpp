#include "base/Random.h"
#include "flow/CodeLanguage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/Log.h"
#include "base/Vector.h"
#include "flow/StatusEngine.h"
#include "records/PlayRecord.h"
#include "stage/Actor.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

const char* const g_CodeFunctions[] = {"rand", ""};
const char* const g_CodeOperators[] = {"=", "+", "-", "*", "/", "%", ""};
const std::int32_t g_CodeOperatorLevels[] = {2, 1, 1, 0, 0, 0};
const char* const g_CodeObjects[] = {"my", "tg", "pl", "sys", ""};
const char* const g_CodeVariablePrefixes[] = {"C", "S", ""};
const char* const g_CodeStatusNames[] = {"v1",    "v2",  "v3",  "v4",   "v5",   "v6",    "v7",   "v8",
                                         "hp",    "sp",  "mhp", "msp",  "cid",  "z",     "mark", "sight",
                                         "power", "imp", "def", "impd", "stop", "getsc", ""};
const char* const g_CodeSystemNames[] = {"time", "scrlx", "scrly", "score", "life", ""};

std::int32_t g_CodeError = 0;

namespace {

enum { OP_ASSIGN = 0, OP_ADD, OP_SUB, OP_MUL, OP_DIV, OP_MOD };
enum { OBJ_MY = 0, OBJ_TG, OBJ_PL, OBJ_SYS };
constexpr int kCharaVariableNames = 8;
// Nesting deeper than any line an author writes; a damaged text stops here instead of
// exhausting the stack.
constexpr int kMaxNesting = 200;
// The splice buffer's size: a longer text is refused rather than reworked at length.
constexpr std::size_t kMaxTextBytes = 5119;

int Lookup(const char* const* table, const std::string& word) {
  for (int i = 0; table[i][0] != '\0'; ++i)
    if (word == table[i]) return i;
  return -1;
}

// atoi, but a number too large for 32 bits stops at the nearest limit.
std::int32_t ReadNumber(const char* p) {
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  const bool bNeg = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  std::int64_t v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) v = std::min<std::int64_t>(v * 10 + (*p - '0'), std::int64_t{1} << 31);
  if (bNeg) v = -v;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

void Fail() { g_CodeError = 1; }

cStageScene* Scene() { return g_StageScene.load(std::memory_order_relaxed); }

// The status token of a name of g_CodeStatusNames.
cCodeToken StatusToken(int nName, cActor& owner) {
  const int nStatus = nName < kCharaVariableNames ? STATUS_VARIABLE : nName - kCharaVariableNames + 1;
  cStatusField f;
  GetStatusField(owner, nStatus, nName + 1, f);
  // Only the player has a sight: a character's reads 0, though an assignment still stores it.
  const bool bNoSight = nStatus == STATUS_SIGHT && dynamic_cast<const cPlayer*>(&owner) == nullptr;
  cCodeToken t(bNoSight ? 0 : f.Get(), f.m_pValue, cCodeToken::STATUS);
  t.m_nWidth = f.m_nWidth == 1 ? 0 : f.m_nWidth;
  t.m_nMin = f.m_nMin;
  t.m_nMax = f.m_nMax;
  switch (nStatus) {
    case STATUS_HP: t.m_nMax = owner.m_Def.m_nMaxHP; break;
    case STATUS_SP: t.m_nMax = owner.m_Def.m_nMaxSP; break;
    case STATUS_MAX_HP:
    case STATUS_MAX_SP: t.m_nMin = 1; break;
    default: break;
  }
  t.m_nStatusName = nName;
  t.m_pOwner = &owner;
  return t;
}

cCodeToken SystemToken(int nIndex) {
  void* p = nullptr;
  switch (nIndex) {
    case SYSVAL_TIME: p = Scene() ? &Scene()->m_nTimeLeft : nullptr; break;
    case SYSVAL_SCROLL_X: p = &g_Stage.m_nAutoScrollX; break;
    case SYSVAL_SCROLL_Y: p = &g_Stage.m_nAutoScrollY; break;
    case SYSVAL_SCORE: p = &g_PlayRecord.m_nStageScore; break;
    default: p = &g_PlayRecord.m_nLives; break;
  }
  cCodeToken t(ReadSystemValue(nIndex), p, p ? cCodeToken::SYSTEM : cCodeToken::CONSTANT);
  SystemValueRange(nIndex, t.m_nMin, t.m_nMax);
  // Unlimited lives stay unlimited whatever is assigned.
  if (nIndex == SYSVAL_LIVES && g_PlayRecord.m_nLives == UNLIMITED_LIVES) t.m_nMin = t.m_nMax = UNLIMITED_LIVES;
  t.m_nSystem = nIndex;
  return t;
}

// The token of a word under an object; false (with the error set) when the object is
// the target and there is none.
bool MakeToken(const std::string& word, int nObject, cActor& actor, cCodeToken& t) {
  const int nOp = Lookup(g_CodeOperators, word);
  if (nOp >= 0) {
    t = cCodeToken(0, nullptr, cCodeToken::OPERATOR);
    t.m_nOperator = nOp;
    return true;
  }
  cActor* pOwner = nullptr;
  switch (nObject) {
    case OBJ_MY: pOwner = &actor; break;
    case OBJ_TG: pOwner = actor.m_pTarget; break;
    case OBJ_PL: pOwner = g_Players.empty() ? nullptr : &g_Players[0]; break;
    default: break;
  }
  if (!pOwner && nObject != OBJ_SYS) {
    Fail();
    return false;
  }
  const int nPrefix = Lookup(g_CodeVariablePrefixes, std::string(1, word[0]));
  if (nPrefix >= 0) {
    const int nIndex = ReadNumber(word.c_str() + 1);
    std::int32_t* p = nPrefix == 0 ? &g_PlayRecord.m_CommonVariables[nIndex]
                                   : (Scene() ? &Scene()->m_StageVariables[nIndex] : nullptr);
    t = cCodeToken(p ? *p : 0, p, p ? cCodeToken::VARIABLE : cCodeToken::CONSTANT);
    return true;
  }
  const int nStatusName = Lookup(g_CodeStatusNames, word);
  if (nStatusName >= 0) {
    // A status of "sys" belongs to no actor: it reads 0 and takes no assignment.
    t = pOwner ? StatusToken(nStatusName, *pOwner) : cCodeToken(0, nullptr, cCodeToken::CONSTANT);
    return true;
  }
  const int nSystem = Lookup(g_CodeSystemNames, word);
  if (nSystem >= 0) {
    t = SystemToken(nSystem);
    return true;
  }
  t = cCodeToken(ReadNumber(word.c_str()), nullptr, cCodeToken::CONSTANT);
  return true;
}

// "=": the right value clamped into the left token's range and stored in its width.
std::int32_t Assign(const cCodeToken& d, std::int32_t x, cActor& actor) {
  if (!d.m_pValue) return x;  // nothing stored to write to
  std::int32_t v = x;
  if (v < d.m_nMin) v = d.m_nMin;
  if (v > d.m_nMax) v = d.m_nMax;
  cStatusField f;
  f.m_pValue = d.m_pValue;
  f.m_nWidth = d.m_nWidth == 0 ? 1 : d.m_nWidth;
  f.Set(v);
  v = f.Get();
  if (d.m_nKind == cCodeToken::STATUS && d.m_pOwner) {
    cActor& owner = *d.m_pOwner;
    const int nStatus =
        d.m_nStatusName < kCharaVariableNames ? STATUS_VARIABLE : d.m_nStatusName - kCharaVariableNames + 1;
    switch (nStatus) {
      case STATUS_HP:
        if (&owner != &actor && owner.m_nHp < 1 && Scene()) Scene()->m_bStatusChanged = 1;
        break;
      case STATUS_MAX_HP: owner.m_nHp = std::clamp(owner.m_nHp, 1, std::max(1, owner.m_Def.m_nMaxHP)); break;
      case STATUS_MAX_SP: owner.m_nSp = std::clamp(owner.m_nSp, 1, std::max(1, owner.m_Def.m_nMaxSP)); break;
      case STATUS_SIGHT:
      case STATUS_STOP: ApplyStatusSideEffect(owner, nStatus); break;
      default: break;
    }
  } else if (d.m_nKind == cCodeToken::SYSTEM && Scene()) {
    if (d.m_nSystem == SYSVAL_SCROLL_X) SetAutoScroll(0, AutoScrollOn(0), v);
    if (d.m_nSystem == SYSVAL_SCROLL_Y) SetAutoScroll(1, AutoScrollOn(1), v);
  }
  return v;
}

// Index of the ")" closing a group opened before nFrom; npos when there is none.
std::size_t FindClose(const std::string& s, std::size_t nFrom) {
  int nDepth = 0;
  for (std::size_t j = nFrom; j < s.size(); ++j) {
    if (s[j] == '(') ++nDepth;
    else if (s[j] == ')' && nDepth-- == 0) return j;
  }
  return std::string::npos;
}

std::string Splice(const std::string& s, std::size_t nWord, std::int32_t v, std::size_t nAfter) {
  std::string out;
  FormatString(out, "%s%d%s", s.substr(0, nWord).c_str(), v, s.substr(nAfter).c_str());
  return out;
}

std::int32_t EvalText(const std::string& text, cActor& actor, int nDepth) {
  if (nDepth > kMaxNesting) {
    ReportPrintf("code text nested too deeply (%d levels)", nDepth);
    Fail();
    return 0;
  }
  std::string s = text;
  std::size_t w = 0;
  for (std::size_t i = 0;;) {
    if (i >= s.size()) return EvalCodeTokens(s, actor);
    if (s[i] == ' ') {
      w = ++i;
      continue;
    }
    if (s[i] != '(') {
      ++i;
      continue;
    }
    if (i == w) {
      const std::size_t close = FindClose(s, i + 1);
      if (close == std::string::npos) {
        ErrorBoxPrintf("\")\"が見つかりません！");
        Fail();
        return 0;
      }
      const std::int32_t v = EvalText(s.substr(i + 1, close - i - 1), actor, nDepth + 1);
      s = Splice(s, w, v, close + 1);
      i = w;
      continue;
    }
    const std::string name = s.substr(w, i - w);
    if (Lookup(g_CodeFunctions, name) != 0) {
      ++i;  // not a function: the characters stay for pass two
      continue;
    }
    cVector<std::int32_t> args;
    std::size_t nArg = i + 1, j = i + 1;
    for (int nNest = 0;; ++j) {
      if (j >= s.size()) {
        ErrorBoxPrintf("関数 %s で\")\"が見つかりません！", name.c_str());
        Fail();
        return 0;
      }
      const char c = s[j];
      if (c == '(') ++nNest;
      else if (c == ')' && nNest > 0) --nNest;
      else if ((c == ')' || c == ',') && nNest == 0) {
        if (j > nArg) args.push_back(EvalText(s.substr(nArg, j - nArg), actor, nDepth + 1));
        nArg = j + 1;
        if (c == ')') break;
      }
    }
    if (args.Size() != 2) {
      ErrorBoxPrintf("関数 %s の引数が不正です！", name.c_str());
      Fail();
      return 0;
    }
    const std::int64_t lo = std::min(args[0], args[1]);
    const std::int64_t span = static_cast<std::int64_t>(std::max(args[0], args[1])) - lo + 1;
    s = Splice(s, w, static_cast<std::int32_t>(lo + Rand() % span), j + 1);
    i = w;
  }
}

}  // namespace

cCodeToken::cCodeToken(std::int32_t nValue, void* pValue, std::int32_t nKind)
    : m_nKind(nKind), m_nValue(nValue), m_pValue(pValue) {}

std::int32_t EvalCodeText(const std::string& text, cActor& actor) {
  if (text.size() > kMaxTextBytes) {
    ReportPrintf("code text too long (%d bytes)", static_cast<int>(text.size()));
    Fail();
    return 0;
  }
  return EvalText(text, actor, 0);
}

std::int32_t EvalCodeTokens(const std::string& s, cActor& actor) {
  cVector<cCodeToken> tokens;
  int nObject = OBJ_MY;
  bool bTokenSincePrefix = false;
  std::string word;
  for (std::size_t k = 0;; ++k) {
    const char c = k < s.size() ? s[k] : '\0';
    if (c == '.') {
      const int nFound = Lookup(g_CodeObjects, word);
      if (nFound >= 0) {
        nObject = nFound;
      } else if (!bTokenSincePrefix) {
        ErrorBoxPrintf("オブジェクト \"%s.\" が認識できません！", word.c_str());
        Fail();
        return 0;
      }
      bTokenSincePrefix = false;
      word.clear();
      continue;
    }
    if (c == ' ' || c == '\0') {
      if (!word.empty()) {
        cCodeToken t;
        if (!MakeToken(word, nObject, actor, t)) return 0;
        tokens.push_back(t);
        bTokenSincePrefix = true;
        nObject = OBJ_MY;
        word.clear();
      }
      if (c == '\0') break;
      continue;
    }
    word += c;
  }

  bool bResult = false;
  std::int32_t nResult = 0;
  for (int nLevel = 0; nLevel <= 2; ++nLevel) {
    for (;;) {
      int k = 0;
      while (k < tokens.Size() &&
             !(tokens[k].m_nKind == cCodeToken::OPERATOR && g_CodeOperatorLevels[tokens[k].m_nOperator] == nLevel))
        ++k;
      if (k == tokens.Size()) break;
      const cCodeToken left = tokens[k - 1];
      const cCodeToken right = tokens[k + 1];
      const std::int64_t a = left.m_nValue, b = right.m_nValue;
      std::int32_t v = 0;
      switch (tokens[k].m_nOperator) {
        case OP_ADD: v = static_cast<std::int32_t>(a + b); break;
        case OP_SUB: v = static_cast<std::int32_t>(a - b); break;
        case OP_MUL: v = static_cast<std::int32_t>(a * b); break;
        case OP_DIV:
        case OP_MOD:
          if (b == 0) {
            ErrorBoxPrintf("0除算が行われました！(%s)", s.c_str());
            Fail();
            return 0;
          }
          v = static_cast<std::int32_t>(tokens[k].m_nOperator == OP_DIV ? a / b : a % b);
          break;
        default: v = Assign(left, right.m_nValue, actor); break;
      }
      // The operator and its neighbours (those that exist) become the result.
      const int nFirst = std::max(k - 1, 0);
      const int nLast = std::min(k + 1, tokens.Size() - 1);
      tokens.erase(tokens.begin() + nFirst, tokens.begin() + nLast + 1);
      tokens.insert(tokens.begin() + nFirst, cCodeToken(v, nullptr, cCodeToken::CONSTANT));
      bResult = true;
      nResult = v;
    }
  }
  if (bResult) return nResult;
  return tokens.empty() ? 0 : tokens.back().m_nValue;
}

int RunCode(const std::string& text, cActor& actor) {
  g_CodeError = 0;
  const std::int32_t nHp = actor.m_nHp, nSp = actor.m_nSp;
  EvalCodeText(text, actor);
  if (g_CodeError) return 0;
  if (actor.m_nHp != nHp) actor.StartHpGauge(actor.m_nHp - nHp);
  if (actor.m_nSp != nSp) actor.StartSpGauge(actor.m_nSp - nSp);
  return 1;
}
