#include "gamedata/DataFile.h"

#include <algorithm>

#include "base/PathUtil.h"

#include "gamedata/Record.h"
#include "platform/fs.h"
#include "platform/thread.h"

namespace {

// Record files are read whole; the largest projects' stages stay far below this.
constexpr std::size_t MAX_DATA_FILE_BYTES = std::size_t{64} << 20;

// Reads between two checkpoints of a reader that has them.
constexpr std::uint32_t CHECKPOINT_READS = 256;

// Files are little-endian; a big-endian host turns every element round.
void ToHostOrder(unsigned char* p, std::int32_t nCount, int nSize) {
  if constexpr (std::endian::native == std::endian::big) {
    for (std::int32_t i = 0; i < nCount; ++i, p += nSize) std::reverse(p, p + nSize);
  }
}

}  // namespace

bool cDataReader::Read(void* pDest, std::size_t nBytes) {
  // The first read checks at once; then one read in CHECKPOINT_READS, which keeps the
  // cost out of large loads.
  if (m_bCheckpoints && m_nReads++ % CHECKPOINT_READS == 0) {
    plat::this_thread::checkpoint();
    if (plat::this_thread::quitPosted()) m_bFailed = true;
  }
  if (nBytes > Remaining()) {
    m_bFailed = true;
    return false;
  }
  if (nBytes) std::memcpy(pDest, m_Data.data() + m_nPos, nBytes);
  m_nPos += nBytes;
  return true;
}

bool cDataReader::ReadElements(void* pDest, std::int32_t nCount, int nSize) {
  if (nCount < 0) {
    m_bFailed = true;
    return false;
  }
  std::size_t nBytes = static_cast<std::size_t>(nCount) * static_cast<std::size_t>(nSize);
  if (!Read(pDest, nBytes)) return false;
  ToHostOrder(static_cast<unsigned char*>(pDest), nCount, nSize);
  return true;
}

bool cDataReader::ReadCount(std::uint32_t& n, std::size_t nMinBytes) {
  n = 0;
  std::uint32_t stored = 0;
  if (!ReadU32(stored)) return false;
  if (stored > Remaining() / std::max<std::size_t>(nMinBytes, 1)) {
    m_bFailed = true;
    return false;
  }
  n = stored;
  return true;
}

bool cDataReader::ChargeElements(std::uint32_t nCount, std::size_t nSize) {
  const std::size_t nBudget = m_Data.size() * MEMORY_PER_FILE_BYTE + MEMORY_ALLOWANCE;
  const std::size_t nBytes = static_cast<std::size_t>(nCount) * nSize;
  if (m_bFailed || nBytes > nBudget - std::min(m_nCharged, nBudget)) {
    m_bFailed = true;
    return false;
  }
  m_nCharged += nBytes;
  return true;
}

bool cDataReader::ReadString(std::string& text) {
  std::uint32_t nLength = 0;
  if (!ReadU32(nLength)) return false;
  if (nLength <= 1) {  // 0 is never written; it reads as empty like 1
    text.clear();
    return true;
  }
  if (nLength > Remaining()) {
    m_bFailed = true;
    return false;
  }
  std::string_view stored = m_Data.substr(m_nPos, nLength);
  m_nPos += nLength;
  text.assign(stored.substr(0, stored.find('\0')));
  return true;
}

bool cDataReader::EnterList() {
  if (m_nDepth >= MAX_LIST_DEPTH) {
    m_bFailed = true;
    return false;
  }
  ++m_nDepth;
  return true;
}

void cDataWriter::Write(const void* pSource, std::size_t nBytes) {
  m_Bytes.append(static_cast<const char*>(pSource), nBytes);
}

void cDataWriter::WriteElements(const void* pSource, std::int32_t nCount, int nSize) {
  std::size_t nBytes = static_cast<std::size_t>(nCount) * static_cast<std::size_t>(nSize);
  std::size_t nAt = m_Bytes.size();
  Write(pSource, nBytes);
  ToHostOrder(reinterpret_cast<unsigned char*>(m_Bytes.data() + nAt), nCount, nSize);
}

void cDataWriter::WriteString(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  WriteU32(static_cast<std::uint32_t>(text.size() + 1));
  if (!text.empty()) {
    Write(text.data(), text.size());
    Write("", 1);
  }
}

std::unique_ptr<cDataReader> OpenLoadFile(std::string_view path) {
  if (path.empty()) path = "err";
  if (ProjectPathTooLong(path)) return nullptr;
  std::optional<std::string> bytes = plat::fs::readFile(path, MAX_DATA_FILE_BYTES);
  if (!bytes) return nullptr;
  return OpenLoadData(std::move(*bytes));
}

std::unique_ptr<cDataReader> OpenLoadData(std::string bytes) {
  auto file = std::make_unique<cDataReader>(std::move(bytes));
  std::uint32_t nVersion = 0;
  file->ReadU32(nVersion);
  g_nLoadVersion = nVersion;
  return file;
}

std::unique_ptr<cDataWriter> OpenSaveFile(std::string_view path) {
  if (path.empty() || ProjectPathTooLong(path)) return nullptr;
  auto file = std::make_unique<cDataWriter>(path);
  file->WriteU32(g_nDataVersion);
  return file;
}

bool CloseDataFile(std::unique_ptr<cDataWriter> file) {
  return file && plat::fs::writeFileAtomic(file->Path(), file->Bytes());
}
