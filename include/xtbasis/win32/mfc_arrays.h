// The framework's arrays: CArray, CTypedPtrArray and the typed arrays
// CStringArray, CDWordArray, CUIntArray, CWordArray, CByteArray, CPtrArray,
// CObArray (each a CArray of its element type).
//
// Growth is the framework's: the first allocation holds the new size or the
// grow-by count, whichever is larger; past the allocation the array grows by
// the grow-by count or, while it is 0 (the default), by an eighth of its
// size, at least 4 and at most 1024 elements. Elements are moved, not copied
// bit by bit, when the array grows, so any element type works (CString
// included). New elements are value-initialised (numbers and pointers 0).
//
// An index out of range (GetAt, SetAt, ElementAt, operator[], RemoveAt, a
// negative size) throws CInvalidArgException*, as the later framework does
// in every build, instead of reading or writing past the block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/mfc_object.h>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
 public:
  CArray() = default;
  ~CArray() override { Release(); }

  INT_PTR GetSize() const { return m_size; }
  INT_PTR GetCount() const { return m_size; }
  BOOL IsEmpty() const { return m_size == 0; }
  INT_PTR GetUpperBound() const { return m_size - 1; }

  // A negative growBy keeps the grow-by count in force.
  void SetSize(INT_PTR newSize, INT_PTR growBy = -1) {
    if (newSize < 0) AfxThrowInvalidArgException();
    if (growBy >= 0) m_growBy = growBy;
    if (newSize == 0) {
      Release();
      return;
    }
    if (newSize > m_allocated) {
      INT_PTR capacity = newSize;
      if (m_data == nullptr) {
        capacity = newSize > m_growBy ? newSize : m_growBy;
      } else {
        INT_PTR step = m_growBy;
        if (step == 0) step = m_size / 8 < 4 ? 4 : (m_size / 8 > 1024 ? 1024 : m_size / 8);
        if (newSize < m_allocated + step) capacity = m_allocated + step;
      }
      Reallocate(capacity);
    }
    for (; m_size < newSize; ++m_size) new (m_data + m_size) TYPE();
    while (m_size > newSize) m_data[--m_size].~TYPE();
  }
  void FreeExtra() {
    if (m_size == 0) {
      Release();
    } else if (m_size < m_allocated) {
      Reallocate(m_size);
    }
  }
  void RemoveAll() { SetSize(0, -1); }

  const TYPE& GetAt(INT_PTR index) const { return m_data[Checked(index)]; }
  TYPE& ElementAt(INT_PTR index) { return m_data[Checked(index)]; }
  const TYPE& ElementAt(INT_PTR index) const { return m_data[Checked(index)]; }
  void SetAt(INT_PTR index, ARG_TYPE element) { m_data[Checked(index)] = element; }
  const TYPE& operator[](INT_PTR index) const { return GetAt(index); }
  TYPE& operator[](INT_PTR index) { return ElementAt(index); }
  const TYPE* GetData() const { return m_data; }
  TYPE* GetData() { return m_data; }

  // `element` may be one of this array's own: it is copied before the array grows.
  void SetAtGrow(INT_PTR index, ARG_TYPE element) {
    if (index < 0) AfxThrowInvalidArgException();
    TYPE copy(element);
    if (index >= m_size) SetSize(index + 1, -1);
    m_data[index] = std::move(copy);
  }
  INT_PTR Add(ARG_TYPE element) {
    const INT_PTR index = m_size;
    SetAtGrow(index, element);
    return index;
  }
  // Appends the elements of `source` (not this array itself); the index of
  // the first one.
  INT_PTR Append(const CArray& source) {
    if (&source == this) AfxThrowInvalidArgException();
    const INT_PTR first = m_size;
    SetSize(m_size + source.m_size, -1);
    for (INT_PTR i = 0; i < source.m_size; ++i) m_data[first + i] = source.m_data[i];
    return first;
  }
  void Copy(const CArray& source) {
    if (&source == this) return;
    SetSize(source.m_size, -1);
    for (INT_PTR i = 0; i < source.m_size; ++i) m_data[i] = source.m_data[i];
  }

  // Inserts `count` copies of `element` before `index`; an index at or past
  // the end grows the array to reach it.
  void InsertAt(INT_PTR index, ARG_TYPE element, INT_PTR count = 1) {
    if (index < 0 || count < 0) AfxThrowInvalidArgException();
    if (count == 0) return;
    TYPE copy(element);
    if (index >= m_size) {
      SetSize(index + count, -1);
    } else {
      const INT_PTR oldSize = m_size;
      SetSize(m_size + count, -1);
      for (INT_PTR i = oldSize - 1; i >= index; --i) m_data[i + count] = std::move(m_data[i]);
    }
    for (INT_PTR i = 0; i < count; ++i) m_data[index + i] = copy;
  }
  void InsertAt(INT_PTR startIndex, const CArray* newArray) {
    if (newArray == nullptr || startIndex < 0) AfxThrowInvalidArgException();
    if (newArray->m_size == 0) return;
    CArray snapshot;  // the same array may be inserted into itself
    snapshot.Copy(*newArray);
    InsertAt(startIndex, snapshot.m_data[0], snapshot.m_size);
    for (INT_PTR i = 1; i < snapshot.m_size; ++i) m_data[startIndex + i] = snapshot.m_data[i];
  }
  void RemoveAt(INT_PTR index, INT_PTR count = 1) {
    if (index < 0 || count < 0 || count > m_size - index) AfxThrowInvalidArgException();
    for (INT_PTR i = index + count; i < m_size; ++i) m_data[i - count] = std::move(m_data[i]);
    for (INT_PTR i = 0; i < count; ++i) m_data[--m_size].~TYPE();
  }

 private:
  INT_PTR Checked(INT_PTR index) const {
    if (index < 0 || index >= m_size) AfxThrowInvalidArgException();
    return index;
  }
  void Reallocate(INT_PTR capacity) {
    if (static_cast<size_t>(capacity) > PTRDIFF_MAX / sizeof(TYPE)) AfxThrowMemoryException();
    TYPE* moved = static_cast<TYPE*>(::operator new(sizeof(TYPE) * static_cast<size_t>(capacity)));
    for (INT_PTR i = 0; i < m_size; ++i) {
      new (moved + i) TYPE(std::move(m_data[i]));
      m_data[i].~TYPE();
    }
    ::operator delete(m_data);
    m_data = moved;
    m_allocated = capacity;
  }
  void Release() {
    while (m_size > 0) m_data[--m_size].~TYPE();
    ::operator delete(m_data);
    m_data = nullptr;
    m_allocated = 0;
  }

  TYPE* m_data = nullptr;
  INT_PTR m_size = 0;
  INT_PTR m_allocated = 0;
  INT_PTR m_growBy = 0;
};

// The typed arrays: classes of their own (so that programs may declare them
// ahead and ask for their run-time class), each the one template.
#define XTB_TYPED_ARRAY(class_name, element, argument)      \
  class XTBASIS_API class_name : public CArray<element, argument> { \
    DECLARE_DYNAMIC(class_name)                               \
  };

XTB_TYPED_ARRAY(CStringArray, CString, const CString&)
XTB_TYPED_ARRAY(CDWordArray, DWORD, DWORD)
XTB_TYPED_ARRAY(CUIntArray, UINT, UINT)
XTB_TYPED_ARRAY(CWordArray, WORD, WORD)
XTB_TYPED_ARRAY(CByteArray, BYTE, BYTE)
XTB_TYPED_ARRAY(CPtrArray, void*, void*)
XTB_TYPED_ARRAY(CObArray, CObject*, CObject*)

#undef XTB_TYPED_ARRAY

// An array of pointers of one type over CPtrArray or CObArray.
template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS {
 public:
  TYPE GetAt(INT_PTR index) const { return static_cast<TYPE>(BASE_CLASS::GetAt(index)); }
  TYPE& ElementAt(INT_PTR index) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(index)); }
  void SetAt(INT_PTR index, TYPE element) { BASE_CLASS::SetAt(index, element); }
  void SetAtGrow(INT_PTR index, TYPE element) { BASE_CLASS::SetAtGrow(index, element); }
  INT_PTR Add(TYPE element) { return BASE_CLASS::Add(element); }
  void InsertAt(INT_PTR index, TYPE element, INT_PTR count = 1) { BASE_CLASS::InsertAt(index, element, count); }
  TYPE operator[](INT_PTR index) const { return GetAt(index); }
  TYPE& operator[](INT_PTR index) { return ElementAt(index); }
};
