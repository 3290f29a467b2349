// The framework's collections as programs use them: the arrays' growth rule
// and bounds, lists walked and changed by POSITION, maps with their fixed
// table, hash and iteration with removal.
#include <afxtempl.h>
#include <afxcoll.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

template <class Call>
void ExpectInvalidArgument(Call call) {
  try {
    call();
    ADD_FAILURE() << "no CInvalidArgException";
  } catch (CInvalidArgException* e) {
    e->Delete();
  }
}

// The sizes at which Add moved the array to a new block.
std::vector<INT_PTR> MovesWhileAdding(CDWordArray& array, int count) {
  std::vector<INT_PTR> moves;
  const DWORD* block = array.GetData();
  for (int i = 0; i < count; ++i) {
    array.Add(static_cast<DWORD>(i));
    if (array.GetData() != block) moves.push_back(array.GetSize());
    block = array.GetData();
  }
  return moves;
}

TEST(Arrays, GrowAsTheFrameworkDoes) {
  // Grow-by 0: an eighth of the size, at least 4 (41 / 8 = 5 from size 42 on).
  CDWordArray heuristic;
  EXPECT_EQ(MovesWhileAdding(heuristic, 47), (std::vector<INT_PTR>{1, 2, 6, 10, 14, 18, 22, 26, 30, 34, 38, 42, 47}));
  for (INT_PTR i = 0; i < heuristic.GetSize(); ++i) ASSERT_EQ(heuristic[i], static_cast<DWORD>(i));

  CDWordArray fixed;
  fixed.SetSize(0, 10);
  EXPECT_EQ(MovesWhileAdding(fixed, 25), (std::vector<INT_PTR>{1, 11, 21}));
  fixed.FreeExtra();
  EXPECT_EQ(MovesWhileAdding(fixed, 1), (std::vector<INT_PTR>{26}));

  // Large arrays grow by 1024 at most.
  CByteArray large;
  large.SetSize(10000);
  large.SetSize(10001);
  const BYTE* block = large.GetData();
  large.SetSize(11024);
  EXPECT_EQ(large.GetData(), block);
  large.SetSize(11025);
  EXPECT_NE(large.GetData(), block);
}

TEST(Arrays, NewElementsAreZeroAndStringsSurviveMoves) {
  CDWordArray numbers;
  numbers.SetAtGrow(5, 9);
  ASSERT_EQ(numbers.GetSize(), 6);
  EXPECT_EQ(numbers.GetUpperBound(), 5);
  for (INT_PTR i = 0; i < 5; ++i) EXPECT_EQ(numbers[i], 0u);
  EXPECT_EQ(numbers[5], 9u);

  CStringArray texts;
  for (int i = 0; i < 300; ++i) texts.Add(CString('x', i % 40));  // long and short texts alike
  for (int i = 0; i < 300; ++i) ASSERT_EQ(texts[i].GetLength(), i % 40);
  texts.SetSize(2);
  EXPECT_EQ(texts.GetCount(), 2);
  texts.RemoveAll();
  EXPECT_TRUE(texts.IsEmpty());
  EXPECT_EQ(texts.GetData(), nullptr);
}

TEST(Arrays, InsertAndRemoveShiftTheRest) {
  CStringArray texts;
  texts.Add("a");
  texts.Add("b");
  texts.Add("c");
  texts.InsertAt(1, "x", 2);
  texts.InsertAt(7, "end");  // past the end: the gap is empty texts
  const std::vector<std::string> expected = {"a", "x", "x", "b", "c", "", "", "end"};
  ASSERT_EQ(texts.GetSize(), static_cast<INT_PTR>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(texts[static_cast<INT_PTR>(i)].str(), expected[i]);

  texts.RemoveAt(1, 2);
  texts.RemoveAt(3, 2);
  ASSERT_EQ(texts.GetSize(), 4);
  EXPECT_EQ(texts[3], "end");

  // An element of the array itself, inserted while the array must grow.
  texts.FreeExtra();
  texts.InsertAt(0, texts[3]);
  EXPECT_EQ(texts[0], "end");
  texts.SetAtGrow(10, texts[1]);
  EXPECT_EQ(texts[10], "a");

  CStringArray other;
  other.Add("p");
  other.Add("q");
  texts.InsertAt(1, &other);
  EXPECT_EQ(texts[1], "p");
  EXPECT_EQ(texts[2], "q");
  EXPECT_EQ(texts[3], "a");
  const INT_PTR size = texts.GetSize();
  texts.InsertAt(0, &texts);  // itself
  ASSERT_EQ(texts.GetSize(), 2 * size);
  for (INT_PTR i = 0; i < size; ++i) EXPECT_EQ(texts[i], texts[i + size]);

  EXPECT_EQ(other.Append(texts), 2);
  EXPECT_EQ(other.GetSize(), 2 + texts.GetSize());
  other.Copy(texts);
  EXPECT_EQ(other.GetSize(), texts.GetSize());
  EXPECT_EQ(other[0], "end");
}

TEST(Arrays, IndicesOutOfRangeThrowInvalidArgument) {
  CUIntArray numbers;
  numbers.Add(1);
  ExpectInvalidArgument([&] { numbers.GetAt(1); });
  ExpectInvalidArgument([&] { numbers[-1] = 5; });
  ExpectInvalidArgument([&] { numbers.SetAt(3, 5); });
  ExpectInvalidArgument([&] { numbers.RemoveAt(0, 2); });
  ExpectInvalidArgument([&] { numbers.RemoveAt(-1); });
  ExpectInvalidArgument([&] { numbers.SetSize(-1); });
  ExpectInvalidArgument([&] { numbers.SetAtGrow(-1, 5); });
  ExpectInvalidArgument([&] { numbers.Append(numbers); });
  ExpectInvalidArgument([&] { numbers.InsertAt(0, static_cast<const CArray<UINT, UINT>*>(nullptr)); });
  ExpectInvalidArgument([] { CArray<int, int>().GetAt(0); });
  ASSERT_EQ(numbers.GetSize(), 1);  // nothing changed
  EXPECT_EQ(numbers[0], 1u);
}

TEST(Arrays, TypedPointerArraysHandOutTheirType) {
  CDWordArray first;
  CStringArray second;
  CTypedPtrArray<CObArray, CObject*> objects;
  objects.Add(&first);
  objects.SetAtGrow(2, &second);
  EXPECT_EQ(objects.GetAt(0), &first);
  EXPECT_EQ(objects[1], nullptr);
  EXPECT_TRUE(objects[2]->IsKindOf(RUNTIME_CLASS(CStringArray)));
  objects.ElementAt(1) = &first;
  EXPECT_EQ(objects.GetAt(1), &first);
}

std::vector<std::string> Forward(const CStringList& list) {
  std::vector<std::string> texts;
  for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) texts.push_back(list.GetNext(pos).str());
  return texts;
}

TEST(Lists, PositionsWalkBothWaysAndInsertAroundANode) {
  CStringList list;
  list.AddTail("b");
  list.AddHead("a");
  const POSITION c = list.AddTail("c");
  list.InsertBefore(c, "b2");
  list.InsertAfter(c, "d");
  list.InsertBefore(nullptr, "head");
  list.InsertAfter(nullptr, "tail");
  EXPECT_EQ(Forward(list), (std::vector<std::string>{"head", "a", "b", "b2", "c", "d", "tail"}));
  std::vector<std::string> backward;
  for (POSITION pos = list.GetTailPosition(); pos != nullptr;) backward.push_back(list.GetPrev(pos).str());
  EXPECT_EQ(backward, (std::vector<std::string>{"tail", "d", "c", "b2", "b", "a", "head"}));
  EXPECT_EQ(list.GetCount(), 7);
  EXPECT_EQ(list.GetHead(), "head");
  EXPECT_EQ(list.GetTail(), "tail");
  list.SetAt(c, "C");
  EXPECT_EQ(list.GetAt(list.FindIndex(4)), "C");
  EXPECT_EQ(list.FindIndex(7), nullptr);
  EXPECT_EQ(list.FindIndex(-1), nullptr);
}

TEST(Lists, FindMatchesByContentFromAStartAndRemovalDuringTheWalkIsSafe) {
  CStringList list;
  for (const char* text : {"x", "y", "x", "z", "x"}) list.AddTail(text);
  const char buffer[] = "x";  // not the literal the list was filled from
  const POSITION first = list.Find(buffer);
  ASSERT_NE(first, nullptr);
  const POSITION second = list.Find(buffer, first);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(list.Find("w"), nullptr);

  for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
    const POSITION current = pos;
    if (list.GetNext(pos) == "x") list.RemoveAt(current);
  }
  EXPECT_EQ(Forward(list), (std::vector<std::string>{"y", "z"}));
  EXPECT_EQ(list.RemoveHead(), "y");
  EXPECT_EQ(list.RemoveTail(), "z");
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetHeadPosition(), nullptr);
  ExpectInvalidArgument([&] { list.GetHead(); });
  ExpectInvalidArgument([&] { list.RemoveTail(); });
  ExpectInvalidArgument([&] { list.RemoveAt(nullptr); });
  POSITION none = nullptr;
  ExpectInvalidArgument([&] { list.GetNext(none); });
}

TEST(Lists, AListIsAddedInItsOrderEvenToItself) {
  CStringList list;
  list.AddTail("1");
  list.AddTail("2");
  CStringList other;
  other.AddTail("a");
  other.AddTail("b");
  list.AddHead(&other);
  list.AddTail(&list);
  EXPECT_EQ(Forward(list), (std::vector<std::string>{"a", "b", "1", "2", "a", "b", "1", "2"}));

  // A list of pointers given another list takes its elements, not its address.
  int values[2] = {};
  CPtrList pointers;
  CPtrList more;
  more.AddTail(&values[0]);
  more.AddTail(&values[1]);
  pointers.AddTail(&more);
  ASSERT_EQ(pointers.GetCount(), 2);
  EXPECT_EQ(pointers.GetHead(), &values[0]);
  CTypedPtrList<CPtrList, int*> typed;
  typed.AddTail(&values[1]);
  EXPECT_EQ(typed.GetHead(), &values[1]);
}

TEST(Maps, HashKeysAreTheFrameworks) {
  EXPECT_EQ(HashKey<LPCSTR>("ab"), 97u * 33 + 98);
  EXPECT_EQ(HashKey<LPCSTR>("\xFC"), 0xFFFFFFFCu);  // characters count as signed
  EXPECT_EQ(HashKey<const CString&>(CString("ab")), HashKey<LPCSTR>("ab"));
  EXPECT_EQ(HashKey<DWORD>(0x1234), 0x123u);
  EXPECT_EQ(HashKey<int>(-16), 0xFFFFFFFFu);  // sign-extended, then shifted
  EXPECT_EQ(HashKey<LONGLONG>(0x0000001000000020LL), 0x1u ^ 0x2u);
}

TEST(Maps, KeysMatchByContentAndTheTableKeepsItsSize) {
  CMapStringToString map;
  EXPECT_EQ(map.GetHashTableSize(), 17u);
  map.SetAt("Zahn", "tooth");
  map["Krone"] = "crown";
  std::string key = "Zahn";  // a text of another address
  CString value;
  ASSERT_TRUE(map.Lookup(key.c_str(), value));
  EXPECT_EQ(value, "tooth");
  map.SetAt(key.c_str(), "Tooth");
  EXPECT_EQ(map.GetCount(), 2);
  EXPECT_EQ(map["Zahn"], "Tooth");
  EXPECT_FALSE(map.Lookup("zahn", value));
  EXPECT_TRUE(map.RemoveKey("Krone"));
  EXPECT_FALSE(map.RemoveKey("Krone"));
  EXPECT_EQ(map.GetSize(), 1);

  CMap<int, int, CString, LPCSTR> numbers;
  for (int i = 0; i < 1000; ++i) numbers.SetAt(i * 7, CString(std::to_string(i)));
  EXPECT_EQ(numbers.GetHashTableSize(), 17u);  // the framework's table never grows by itself
  numbers.InitHashTable(1009);
  EXPECT_EQ(numbers.GetHashTableSize(), 1009u);
  ASSERT_EQ(numbers.GetCount(), 1000);
  for (int i = 0; i < 1000; ++i) {
    const CMap<int, int, CString, LPCSTR>::CPair* pair = numbers.PLookup(i * 7);
    ASSERT_NE(pair, nullptr) << i;
    EXPECT_EQ(pair->value, std::to_string(i).c_str());
  }
  EXPECT_EQ(numbers.PLookup(1), nullptr);
}

TEST(Maps, IterationVisitsEachEntryOnceAndTheCurrentOneMayBeRemoved) {
  CMap<CString, const CString&, int, int> map;
  for (int i = 0; i < 200; ++i) map[CString(("k" + std::to_string(i)).c_str())] = i;
  std::set<int> seen;
  for (POSITION pos = map.GetStartPosition(); pos != nullptr;) {
    CString key;
    int value = 0;
    map.GetNextAssoc(pos, key, value);
    EXPECT_TRUE(seen.insert(value).second) << value;
    EXPECT_EQ(key, ("k" + std::to_string(value)).c_str());
    if (value % 2 == 0) {
      EXPECT_TRUE(map.RemoveKey(key));
    }
  }
  EXPECT_EQ(seen.size(), 200u);
  EXPECT_EQ(map.GetCount(), 100);
  int pairs = 0;
  for (const auto* pair = map.PGetFirstAssoc(); pair != nullptr; pair = map.PGetNextAssoc(pair), ++pairs)
    EXPECT_EQ(pair->value % 2, 1);
  EXPECT_EQ(pairs, 100);
  map.RemoveAll();
  EXPECT_TRUE(map.IsEmpty());
  EXPECT_EQ(map.GetStartPosition(), nullptr);
  POSITION none = nullptr;
  CString key;
  int value = 0;
  ExpectInvalidArgument([&] { map.GetNextAssoc(none, key, value); });
}

struct ToothKey {
  int quadrant;
  int tooth;
  bool operator==(const ToothKey&) const = default;
};

}  // namespace

// A program's own key type, as with the framework: its hash specialised.
template <>
UINT AFXAPI HashKey<const ToothKey&>(const ToothKey& key) {
  return static_cast<UINT>(key.quadrant * 10 + key.tooth);
}

namespace {

TEST(Maps, ProgramsKeysAndThePointerMaps) {
  CMap<ToothKey, const ToothKey&, CString, const CString&> teeth;
  teeth[ToothKey{1, 8}] = "Weisheitszahn";
  teeth[ToothKey{4, 6}] = "Molar";
  CString name;
  EXPECT_TRUE(teeth.Lookup(ToothKey{1, 8}, name));
  EXPECT_EQ(name, "Weisheitszahn");
  EXPECT_FALSE(teeth.Lookup(ToothKey{8, 1}, name));

  int values[3] = {};
  CMapWordToPtr words;
  words.SetAt(7, &values[0]);
  void* found = nullptr;
  EXPECT_TRUE(words.Lookup(7, found));
  EXPECT_EQ(found, &values[0]);
  CMapPtrToPtr pointers;
  pointers[&values[1]] = &values[2];
  EXPECT_EQ(pointers[&values[1]], &values[2]);
  CTypedPtrMap<CMapStringToPtr, CString, int*> typed;
  typed.SetAt("zwei", &values[2]);
  int* typedFound = nullptr;
  EXPECT_TRUE(typed.Lookup("zwei", typedFound));
  EXPECT_EQ(typedFound, &values[2]);
  POSITION pos = typed.GetStartPosition();
  CString key;
  typed.GetNextAssoc(pos, key, typedFound);
  EXPECT_EQ(key, "zwei");
  EXPECT_EQ(pos, nullptr);
}

}  // namespace
