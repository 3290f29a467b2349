// The framework's lists with POSITION iteration: CList, CTypedPtrList and
// CStringList, CPtrList, CObList (each a CList of its element type).
//
// A POSITION is an opaque handle of one node: it stays good until that node
// is removed, whatever else is added or removed. A null POSITION given where
// a node is needed, and the head or tail of an empty list, throw
// CInvalidArgException* instead of following a null node. A POSITION of
// another list or of a removed node is the program's fault, as in the
// framework, and is not detected. The framework's block size (the
// constructor's argument) is taken and has no effect: nodes come from the heap
// one by one.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/mfc_object.h>

#ifndef XTB_WIN32_POSITION_DEFINED
#define XTB_WIN32_POSITION_DEFINED
struct __POSITION {};
typedef __POSITION* POSITION;
#define BEFORE_START_POSITION (reinterpret_cast<POSITION>(-1L))
#endif

// The framework's element comparison, which programs may specialise for
// their own types: what Find and the maps' key match use.
template <class TYPE, class ARG_TYPE>
inline BOOL AFXAPI CompareElements(const TYPE* element1, const ARG_TYPE* element2) {
  return *element1 == *element2;
}

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
  struct CNode {
    CNode* next;
    CNode* prev;
    TYPE data;
  };

 public:
  explicit CList(INT_PTR /*blockSize*/ = 10) {}
  ~CList() override { RemoveAll(); }

  INT_PTR GetCount() const { return m_count; }
  INT_PTR GetSize() const { return m_count; }
  BOOL IsEmpty() const { return m_count == 0; }

  TYPE& GetHead() { return Existing(m_head)->data; }
  const TYPE& GetHead() const { return Existing(m_head)->data; }
  TYPE& GetTail() { return Existing(m_tail)->data; }
  const TYPE& GetTail() const { return Existing(m_tail)->data; }

  TYPE RemoveHead() {
    CNode* node = Existing(m_head);
    TYPE data(std::move(node->data));
    Unlink(node);
    return data;
  }
  TYPE RemoveTail() {
    CNode* node = Existing(m_tail);
    TYPE data(std::move(node->data));
    Unlink(node);
    return data;
  }

  POSITION AddHead(ARG_TYPE element) { return Link(element, nullptr, m_head); }
  POSITION AddTail(ARG_TYPE element) { return Link(element, m_tail, nullptr); }
  // The other list's elements in their order before this list's first, or
  // after its last; the list may be this one.
  void AddHead(const CList* newList) {
    if (newList == nullptr) AfxThrowInvalidArgException();
    const INT_PTR count = newList->m_count;
    CNode* walk = newList->m_tail;
    for (INT_PTR i = 0; i < count; ++i, walk = walk->prev) AddHead(walk->data);
  }
  void AddTail(const CList* newList) {
    if (newList == nullptr) AfxThrowInvalidArgException();
    const INT_PTR count = newList->m_count;
    CNode* walk = newList->m_head;
    for (INT_PTR i = 0; i < count; ++i, walk = walk->next) AddTail(walk->data);
  }

  void RemoveAll() {
    while (m_head != nullptr) Unlink(m_head);
  }

  POSITION GetHeadPosition() const { return ToPosition(m_head); }
  POSITION GetTailPosition() const { return ToPosition(m_tail); }
  // The element at `position`; `position` moves to the next (or previous)
  // node, null past the end.
  TYPE& GetNext(POSITION& position) { return Step(position, &CNode::next); }
  const TYPE& GetNext(POSITION& position) const { return Step(position, &CNode::next); }
  TYPE& GetPrev(POSITION& position) { return Step(position, &CNode::prev); }
  const TYPE& GetPrev(POSITION& position) const { return Step(position, &CNode::prev); }

  TYPE& GetAt(POSITION position) { return NodeAt(position)->data; }
  const TYPE& GetAt(POSITION position) const { return NodeAt(position)->data; }
  void SetAt(POSITION position, ARG_TYPE element) { NodeAt(position)->data = element; }
  void RemoveAt(POSITION position) { Unlink(NodeAt(position)); }

  // A null position inserts at the head (InsertBefore) or tail (InsertAfter).
  POSITION InsertBefore(POSITION position, ARG_TYPE element) {
    if (position == nullptr) return AddHead(element);
    CNode* node = NodeAt(position);
    return Link(element, node->prev, node);
  }
  POSITION InsertAfter(POSITION position, ARG_TYPE element) {
    if (position == nullptr) return AddTail(element);
    CNode* node = NodeAt(position);
    return Link(element, node, node->next);
  }

  // The first node after `startAfter` (from the head when null) holding
  // `value`, or null.
  POSITION Find(ARG_TYPE value, POSITION startAfter = nullptr) const {
    CNode* walk = startAfter == nullptr ? m_head : NodeAt(startAfter)->next;
    for (; walk != nullptr; walk = walk->next)
      if (CompareElements<TYPE>(&walk->data, &value)) return ToPosition(walk);
    return nullptr;
  }
  // The node of the zero-based index, null when out of range.
  POSITION FindIndex(INT_PTR index) const {
    if (index < 0 || index >= m_count) return nullptr;
    CNode* walk = m_head;
    while (index-- > 0) walk = walk->next;
    return ToPosition(walk);
  }

 private:
  static POSITION ToPosition(CNode* node) { return reinterpret_cast<POSITION>(node); }
  static CNode* NodeAt(POSITION position) {
    if (position == nullptr || position == BEFORE_START_POSITION) AfxThrowInvalidArgException();
    return reinterpret_cast<CNode*>(position);
  }
  static CNode* Existing(CNode* node) {
    if (node == nullptr) AfxThrowInvalidArgException();
    return node;
  }
  TYPE& Step(POSITION& position, CNode* CNode::*direction) const {
    CNode* node = NodeAt(position);
    position = ToPosition(node->*direction);
    return node->data;
  }
  POSITION Link(ARG_TYPE element, CNode* prev, CNode* next) {
    CNode* node = new CNode{next, prev, TYPE(element)};
    (prev == nullptr ? m_head : prev->next) = node;
    (next == nullptr ? m_tail : next->prev) = node;
    ++m_count;
    return ToPosition(node);
  }
  void Unlink(CNode* node) {
    (node->prev == nullptr ? m_head : node->prev->next) = node->next;
    (node->next == nullptr ? m_tail : node->next->prev) = node->prev;
    --m_count;
    delete node;
  }

  CNode* m_head = nullptr;
  CNode* m_tail = nullptr;
  INT_PTR m_count = 0;
};

// The typed lists: classes of their own, each the one template.
#define XTB_TYPED_LIST(class_name, element, argument)              \
  class XTBASIS_API class_name : public CList<element, argument> { \
    DECLARE_DYNAMIC(class_name)                                    \
   public:                                                         \
    explicit class_name(INT_PTR blockSize = 10) : CList(blockSize) {} \
  };

XTB_TYPED_LIST(CStringList, CString, const CString&)
XTB_TYPED_LIST(CPtrList, void*, void*)
XTB_TYPED_LIST(CObList, CObject*, CObject*)

#undef XTB_TYPED_LIST

// A list of pointers of one type over CPtrList or CObList.
template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS {
 public:
  explicit CTypedPtrList(INT_PTR blockSize = 10) : BASE_CLASS(blockSize) {}
  TYPE GetHead() const { return static_cast<TYPE>(BASE_CLASS::GetHead()); }
  TYPE GetTail() const { return static_cast<TYPE>(BASE_CLASS::GetTail()); }
  TYPE RemoveHead() { return static_cast<TYPE>(BASE_CLASS::RemoveHead()); }
  TYPE RemoveTail() { return static_cast<TYPE>(BASE_CLASS::RemoveTail()); }
  TYPE GetNext(POSITION& position) const { return static_cast<TYPE>(BASE_CLASS::GetNext(position)); }
  TYPE GetPrev(POSITION& position) const { return static_cast<TYPE>(BASE_CLASS::GetPrev(position)); }
  TYPE GetAt(POSITION position) const { return static_cast<TYPE>(BASE_CLASS::GetAt(position)); }
  POSITION AddHead(TYPE element) { return BASE_CLASS::AddHead(element); }
  POSITION AddTail(TYPE element) { return BASE_CLASS::AddTail(element); }
  void SetAt(POSITION position, TYPE element) { BASE_CLASS::SetAt(position, element); }
};
