#include "gamedata/Record.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

#include "base/Log.h"

std::uint32_t g_nDataVersion = CURRENT_DATA_VERSION;
std::uint32_t g_nLoadVersion = 0;
std::int32_t g_bStripCR = 0;
std::int32_t g_nRetiredField = 0;

// Binds a record for one operation and releases the registration afterwards.
class cRecord::cBinding {
 public:
  cBinding(cRecord& record, std::uint32_t nVersion) : m_Record(record) {
    m_Record.ClearFieldLists();
    // One allocation for the usual layout instead of one per doubling.
    m_Record.m_Fields.reserve(64);
    m_Record.BindFields(nVersion);
  }
  ~cBinding() { m_Record.ClearFieldLists(); }
  cBinding(const cBinding&) = delete;
  cBinding& operator=(const cBinding&) = delete;

 private:
  cRecord& m_Record;
};

void cRecord::PrepareCopy(std::uint32_t) {}
void cRecord::BindFields(std::uint32_t) {}

void cRecord::ClearFieldLists() {
  cVector<FIELDDESC>().swap(m_Fields);
  cVector<STRINGDESC>().swap(m_Strings);
}

void cRecord::AddField(void* p, std::int32_t nCount, int nSize) {
  m_Fields.push_back(FIELDDESC{this, p, nCount, static_cast<std::int8_t>(nSize)});
}

void cRecord::Load(cDataReader& in) {
  cBinding binding(*this, g_nLoadVersion);
  std::uint32_t nMembers = 0;
  in.ReadU32(nMembers);
  for (std::uint32_t i = 0; i < nMembers && !in.Failed(); ++i) {
    if (i >= m_Fields.size()) {
      // A layout this class does not know: report it as a bad member index (the user's
      // own files only fail), and read nothing more rather than pour the rest into member 0.
      if (!in.IsUserFile()) {
        ReportBadVectorIndex("err V[%d] ( %d , %d )", m_Fields.Size(), m_Fields.Size(),
                             static_cast<int>(sizeof(FIELDDESC)));
      }
      in.Fail();
      break;
    }
    const FIELDDESC& field = m_Fields[static_cast<int>(i)];
    in.ReadElements(field.pData, field.nCount, field.nSize);
  }
  LoadStrings(in);
  if (g_bStripCR) StripBoundCR();
}

void cRecord::LoadStrings(cDataReader& in) {
  std::uint32_t nStrings = 0;
  in.ReadU32(nStrings);
  for (std::uint32_t i = 0; i < nStrings && !in.Failed(); ++i) {
    if (i >= m_Strings.size()) {
      if (!in.IsUserFile()) {
        ReportBadVectorIndex("err V[%d] ( %d , %d )", m_Strings.Size(), m_Strings.Size(),
                             static_cast<int>(sizeof(STRINGDESC)));
      }
      in.Fail();
      break;
    }
    in.ReadString(*m_Strings[static_cast<int>(i)].pString);
  }
}

void cRecord::Save(cDataWriter& out) {
  cBinding binding(*this, g_nDataVersion);
  out.WriteU32(static_cast<std::uint32_t>(m_Fields.size()));
  for (const FIELDDESC& field : m_Fields) out.WriteElements(field.pData, field.nCount, field.nSize);
  SaveStrings(out);
}

void cRecord::SaveStrings(cDataWriter& out) {
  out.WriteU32(static_cast<std::uint32_t>(m_Strings.size()));
  for (const STRINGDESC& desc : m_Strings) {
    std::string& text = *desc.pString;
    if (std::size_t nZero = text.find('\0'); nZero != std::string::npos) text.resize(nZero);
    out.WriteString(text);
  }
}

void cRecord::Clear() {
  cBinding binding(*this, g_nDataVersion);
  for (const FIELDDESC& field : m_Fields) {
    std::memset(field.pData, 0, static_cast<std::size_t>(field.nCount) * static_cast<std::size_t>(field.nSize));
  }
  for (const STRINGDESC& desc : m_Strings) desc.pString->clear();
}

void cRecord::CopyFrom(cRecord& other) {
  if (&other == this || typeid(other) != typeid(*this)) return;
  cBinding mine(*this, g_nDataVersion);
  cBinding theirs(other, g_nDataVersion);
  other.PrepareCopy(g_nDataVersion);
  const int nFields = std::min(m_Fields.Size(), other.m_Fields.Size());
  for (int i = 0; i < nFields; ++i) {
    const FIELDDESC& to = m_Fields[i];
    const FIELDDESC& from = other.m_Fields[i];
    std::memcpy(to.pData, from.pData, static_cast<std::size_t>(to.nCount) * static_cast<std::size_t>(to.nSize));
  }
  const int nStrings = std::min(m_Strings.Size(), other.m_Strings.Size());
  for (int i = 0; i < nStrings; ++i) *m_Strings[i].pString = *other.m_Strings[i].pString;
}

void cRecord::StripCR() {
  cBinding binding(*this, g_nDataVersion);
  StripBoundCR();
}

void cRecord::StripBoundCR() {
  for (const STRINGDESC& desc : m_Strings) std::erase(*desc.pString, '\r');
}

int cRecord::LoadFromFile(std::string_view path) {
  std::unique_ptr<cDataReader> file = OpenLoadFile(path);
  if (!file) return 0;
  Load(*file);
  return file->Failed() ? 0 : 1;
}

int cRecord::LoadUserFile(std::string_view path, bool bReport) {
  std::unique_ptr<cDataReader> file = OpenLoadFile(path);
  if (!file) return 0;
  file->MarkUserFile();
  Load(*file);
  if (!file->Failed()) return 1;
  if (bReport) ReportPrintf("%s のロードに失敗！", std::string(path).c_str());
  return 0;
}

int cRecord::SaveToFile(std::string_view path) {
  std::unique_ptr<cDataWriter> file = OpenSaveFile(path);
  if (!file) return 0;
  Save(*file);
  return CloseDataFile(std::move(file)) ? 1 : 0;
}
