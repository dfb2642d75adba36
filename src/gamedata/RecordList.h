// The framings of lists inside record files. Every list follows its owner's record body
// as u32 count and then the elements:
//   records   - each element a complete record body with its own lists
//   values    - i32 each          bytes - one byte each          texts - strings as in a body
// The elements carry no version: the file header's version applies to all of them.
#pragma once
#include <cstdint>
#include <string>

#include "base/Vector.h"
#include "gamedata/Record.h"

// The smallest record body a file can hold (u32 N and u32 S): bounds a list's count.
inline constexpr std::size_t MIN_RECORD_BYTES = 8;

// Empties the list and loads count elements, each a copy of defaultElement loaded over.
// An element is made only when its turn comes, so a default that owns memory is never
// copied count times before the file shows that many elements: after a failure the list
// holds the elements read up to it. A reader that has failed already leaves the list as
// it was.
template <class T>
void LoadRecordList(cDataReader& in, cVector<T>& list, const T& defaultElement) {
  if (in.Failed()) return;
  std::uint32_t nCount = 0;
  if (!in.ReadCount(nCount, MIN_RECORD_BYTES) || !in.ChargeElements(nCount, sizeof(T)) || !in.EnterList()) return;
  // A default element's own list is given up with its storage, not only its elements.
  cVector<T>().swap(list);
  list.reserve(nCount);
  for (std::uint32_t i = 0; i < nCount && !in.Failed(); ++i) list.emplace_back(defaultElement).Load(in);
  in.LeaveList();
}

template <class T>
void LoadRecordList(cDataReader& in, cVector<T>& list) {
  LoadRecordList(in, list, T());
}

// The same for lists whose elements look at later elements of their own list while they
// load (palette definitions inheriting from a later one see its defaults): every element
// exists before the first one loads, and after a failure the rest stay defaults.
template <class T>
void LoadWholeRecordList(cDataReader& in, cVector<T>& list) {
  if (in.Failed()) return;
  std::uint32_t nCount = 0;
  if (!in.ReadCount(nCount, MIN_RECORD_BYTES) || !in.ChargeElements(nCount, sizeof(T)) || !in.EnterList()) return;
  list.clear();
  list.assign(nCount, T());
  for (T& element : list) {
    if (in.Failed()) break;
    element.Load(in);
  }
  in.LeaveList();
}

template <class T>
void SaveRecordList(cDataWriter& out, cVector<T>& list) {
  out.WriteU32(static_cast<std::uint32_t>(list.size()));
  for (T& element : list) element.Save(out);
}

// u32 n, then n values of one fixed width (i32 for value lists, u8 for byte lists).
template <DataValue T>
void LoadValueList(cDataReader& in, cVector<T>& list) {
  if (in.Failed()) return;
  std::uint32_t nCount = 0;
  if (!in.ReadCount(nCount, sizeof(T)) || !in.ChargeElements(nCount, sizeof(T))) return;
  list.assign(nCount, T{});
  in.ReadElements(list.data(), static_cast<std::int32_t>(nCount), sizeof(T));
}

template <DataValue T>
void SaveValueList(cDataWriter& out, const cVector<T>& list) {
  out.WriteU32(static_cast<std::uint32_t>(list.size()));
  out.WriteElements(list.data(), static_cast<std::int32_t>(list.size()), sizeof(T));
}

// u32 n, then n strings, each read and written as stored.
void LoadStringList(cDataReader& in, cVector<std::string>& list);
void SaveStringList(cDataWriter& out, cVector<std::string>& list);
