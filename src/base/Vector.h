// cVector: the program's growable array whose subscript checks the index. A bad index
// is logged, the game is asked to close, and element 0 is handed back so the frame can
// finish in order; an index into an empty vector throws std::out_of_range, which the
// frame's handler catches.
#pragma once
#include <cstdint>
#include <iterator>
#include <list>
#include <vector>

// Out of line so the good path of the subscript stays one comparison.
[[gnu::cold, gnu::noinline]] void ReportBadVectorIndex(const char* format, int index, int size, int elementSize);
// How many bad indices were reported so far: a caller tells by it a close that a damaged
// record asked for from the user's own.
std::uint32_t BadVectorIndexCount();
[[noreturn, gnu::cold, gnu::noinline]] void ThrowEmptyVectorSubscript();

template <class T>
class cVector : public std::vector<T> {
 public:
  using Base = std::vector<T>;
  using Base::Base;
  cVector() = default;
  cVector(const Base& v) : Base(v) {}
  cVector(Base&& v) : Base(std::move(v)) {}

  T& operator[](int index) { return Base::operator[](CheckIndex(index)); }
  const T& operator[](int index) const { return Base::operator[](CheckIndex(index)); }

  int Size() const { return static_cast<int>(Base::size()); }

  // Assigns value to every element (int and byte vectors).
  void Fill(const T& value) {
    for (int i = 0; i < Size(); ++i) (*this)[i] = value;
  }

  // Releases the storage and makes the list n copies of a newly built element (the
  // lists of records that are rebuilt from their defaults).
  void ResetRecords(int n) {
    Base fresh;
    if (n > 0) fresh.assign(static_cast<std::size_t>(n), T());
    Base::swap(fresh);
  }

  // Erases every element equal to value, keeping order; true when one was erased.
  bool Remove(const T& value) {
    bool removed = false;
    for (auto it = Base::begin(); it != Base::end();) {
      if (*it == value) {
        it = Base::erase(it);
        removed = true;
      } else {
        ++it;
      }
    }
    return removed;
  }

 private:
  std::size_t CheckIndex(int index) const {
    if (index >= 0 && static_cast<std::size_t>(index) < Base::size()) [[likely]]
      return static_cast<std::size_t>(index);
    ReportBadVectorIndex("err V[%d] ( %d , %d )", index, static_cast<int>(Base::size()), static_cast<int>(sizeof(T)));
    if (Base::empty()) ThrowEmptyVectorSubscript();
    return 0;
  }
};

// The list form: a linked list indexed by position from the head. A bad index answers
// one shared default element that lives until the process ends.
template <class T>
class cVectorList : public std::list<T> {
 public:
  using Base = std::list<T>;
  using Base::Base;

  T& operator[](int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < Base::size()) [[likely]] {
      auto it = Base::begin();
      std::advance(it, index);
      return *it;
    }
    ReportBadVectorIndex("err L[%d] ( %d , %d )", index, static_cast<int>(Base::size()), static_cast<int>(sizeof(T)));
    return DefaultElement();
  }

  int Size() const { return static_cast<int>(Base::size()); }

  static T& DefaultElement() {
    static T* element = new T();  // never destroyed: callers may hold it at exit
    return *element;
  }
};
