// cRecord: the base of every record kept in a data file.
//
// A record class does not read or write its members itself. Its BindFields registers
// them in file order, under tests of the format version that added or dropped them, and
// the base reads and writes whatever is registered:
//
//   u32 version (the file header) | u32 N | N member blocks | u32 S | S strings | lists...
//
// The registration lives only for the length of one operation (bind, use, release), so
// copying or moving a record never carries member addresses of another object, and the
// record classes copy with ordinary C++ copies. A record class therefore consists of its
// members with their defaults, its BindFields, and a Load override for its lists and the
// steps that bring a file of an older version up to the current layout.
//
// A damaged file never reads past its end: a load that runs out of data, meets a count
// that cannot fit into what remains, or finds more members than the layout has, stops
// there and fails. The record then holds what was read before the damage, everything
// else as it was before the load, and every list is made of whole elements.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Vector.h"
#include "gamedata/DataFile.h"
#include "gamedata/FormatVersions.h"

class cRecord;

// One registered plain member: element count x element size bytes at data.
struct FIELDDESC {
  cRecord* pOwner = nullptr;
  void* pData = nullptr;
  std::int32_t nCount = 0;
  std::int8_t nSize = 0;  // 1, 2, 4 or 8
};

// One registered string member.
struct STRINGDESC {
  cRecord* pOwner = nullptr;
  std::string* pString = nullptr;
};

// The version written into every file and bound after every operation.
extern std::uint32_t g_nDataVersion;
// The version of the file being loaded (its header); the upgrade steps test it.
extern std::uint32_t g_nLoadVersion;
// Non-zero: loaded strings lose their CR characters (start-up sets 1).
extern std::int32_t g_bStripCR;
// Scratch member for the bytes of a member that a later version dropped.
extern std::int32_t g_nRetiredField;

class cRecord {
 public:
  virtual ~cRecord() = default;

  // Called on the source of a copy; no record needs it, but it is part of the interface.
  virtual void PrepareCopy(std::uint32_t nVersion);
  // Registers the members of the layout of nVersion (the lists are empty on entry).
  virtual void BindFields(std::uint32_t nVersion);
  // One record body at the reader's position, in the layout of g_nLoadVersion.
  virtual void Load(cDataReader& in);
  // One record body in the layout of g_nDataVersion.
  virtual void Save(cDataWriter& out);

  // Every registered member becomes zero bytes, every registered string empty.
  void Clear();
  // Member-by-member copy from a record of the same class.
  void CopyFrom(cRecord& other);
  // Removes every CR from every registered string.
  void StripCR();

  // 1 when the file opened and loaded whole, else 0 (see the note at the top).
  int LoadFromFile(std::string_view path);
  // The same for one of the user's own files: a damaged file gives a report-log line
  // (unless bReport is false) and 0, never a close; the caller keeps or sets defaults.
  int LoadUserFile(std::string_view path, bool bReport = true);
  // 1 when the file was written whole (through a temporary file and a rename), else 0.
  int SaveToFile(std::string_view path);

 protected:
  cRecord() = default;
  // Registrations are per operation: a copy starts with none of its own.
  cRecord(const cRecord&) noexcept {}
  cRecord& operator=(const cRecord&) noexcept { return *this; }

  void AddField1(std::int8_t* p, std::int32_t nCount = 1) { AddField(p, nCount, 1); }
  void AddField1(std::uint8_t* p, std::int32_t nCount = 1) { AddField(p, nCount, 1); }
  void AddField2(std::int16_t* p, std::int32_t nCount = 1) { AddField(p, nCount, 2); }
  void AddField2(std::uint16_t* p, std::int32_t nCount = 1) { AddField(p, nCount, 2); }
  void AddField4(std::int32_t* p, std::int32_t nCount = 1) { AddField(p, nCount, 4); }
  void AddField4(std::uint32_t* p, std::int32_t nCount = 1) { AddField(p, nCount, 4); }
  void AddField8(double* p, std::int32_t nCount = 1) { AddField(p, nCount, 8); }
  void AddString(std::string* p) { m_Strings.push_back(STRINGDESC{this, p}); }
  void ClearFieldLists();

 private:
  class cBinding;

  void AddField(void* p, std::int32_t nCount, int nSize);
  void LoadStrings(cDataReader& in);
  void SaveStrings(cDataWriter& out);
  void StripBoundCR();

  cVector<FIELDDESC> m_Fields;
  cVector<STRINGDESC> m_Strings;
};
