// Run-time classes as a program of the framework's style declares them:
// kinds along the base chain, creation by class and by name, the down-casts,
// the dump context and the invalid-argument exception.
#define _DEBUG 1
#include <afx.h>
#include <afxcoll.h>

#include <gtest/gtest.h>

#include <memory>

#include "trace_log_fixture.h"

class CPatient : public CObject {
  DECLARE_DYNAMIC(CPatient)
 public:
  int m_number = 0;
};
IMPLEMENT_DYNAMIC(CPatient, CObject)

class CInsuredPatient : public CPatient {
  DECLARE_DYNCREATE(CInsuredPatient)
 public:
  CInsuredPatient() { m_number = 7; }
  void AssertValid() const override {
    CPatient::AssertValid();
    ++m_checks;
  }
  mutable int m_checks = 0;
};
IMPLEMENT_DYNCREATE(CInsuredPatient, CPatient)

namespace {

TEST(RuntimeClass, KindsFollowTheBaseChainAndNothingElse) {
  CInsuredPatient insured;
  CPatient patient;
  EXPECT_TRUE(insured.IsKindOf(RUNTIME_CLASS(CInsuredPatient)));
  EXPECT_TRUE(insured.IsKindOf(RUNTIME_CLASS(CPatient)));
  EXPECT_TRUE(insured.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(patient.IsKindOf(RUNTIME_CLASS(CInsuredPatient)));
  EXPECT_FALSE(insured.IsKindOf(RUNTIME_CLASS(CStringArray)));
  EXPECT_FALSE(insured.IsKindOf(nullptr));

  const CRuntimeClass* type = insured.GetRuntimeClass();
  EXPECT_STREQ(type->m_lpszClassName, "CInsuredPatient");
  EXPECT_EQ(type->m_nObjectSize, static_cast<int>(sizeof(CInsuredPatient)));
  EXPECT_EQ(type->m_pBaseClass, RUNTIME_CLASS(CPatient));
  EXPECT_EQ(RUNTIME_CLASS(CPatient)->m_pBaseClass, RUNTIME_CLASS(CObject));
  EXPECT_FALSE(insured.IsSerializable());

  // Through a base pointer the object's own class answers.
  const CObject* asObject = &insured;
  EXPECT_EQ(asObject->GetRuntimeClass(), RUNTIME_CLASS(CInsuredPatient));
  CStringArray texts;
  EXPECT_TRUE(texts.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_STREQ(texts.GetRuntimeClass()->m_lpszClassName, "CStringArray");
}

TEST(RuntimeClass, OnlyDynCreateClassesAreMadeByClassOrName) {
  std::unique_ptr<CObject> made(RUNTIME_CLASS(CInsuredPatient)->CreateObject());
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetRuntimeClass(), RUNTIME_CLASS(CInsuredPatient));
  EXPECT_EQ(static_cast<CInsuredPatient*>(made.get())->m_number, 7);

  EXPECT_EQ(RUNTIME_CLASS(CPatient)->CreateObject(), nullptr);
  EXPECT_EQ(CRuntimeClass::FromName("CPatient"), RUNTIME_CLASS(CPatient));
  EXPECT_EQ(CRuntimeClass::FromName("CObject"), RUNTIME_CLASS(CObject));
  EXPECT_EQ(CRuntimeClass::FromName("CMapStringToPtr"), RUNTIME_CLASS(CMapStringToPtr));
  EXPECT_EQ(CRuntimeClass::FromName("cpatient"), nullptr);
  EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);
  std::unique_ptr<CObject> byName(CRuntimeClass::CreateObject("CInsuredPatient"));
  ASSERT_NE(byName, nullptr);
  EXPECT_TRUE(byName->IsKindOf(RUNTIME_CLASS(CPatient)));
  EXPECT_EQ(CRuntimeClass::CreateObject("CPatient"), nullptr);
  EXPECT_EQ(CRuntimeClass::CreateObject("CNoSuchClass"), nullptr);
}

TEST(RuntimeClass, DynamicDowncastGivesNullForAnotherKind) {
  CInsuredPatient insured;
  CPatient patient;
  CObject* asObject = &insured;
  EXPECT_EQ(DYNAMIC_DOWNCAST(CPatient, asObject), &insured);
  EXPECT_EQ(DYNAMIC_DOWNCAST(CInsuredPatient, static_cast<CObject*>(&patient)), nullptr);
  EXPECT_EQ(DYNAMIC_DOWNCAST(CPatient, static_cast<CObject*>(nullptr)), nullptr);
  EXPECT_EQ(STATIC_DOWNCAST(CInsuredPatient, asObject), &insured);
}

class ObjectChecks : public TraceLogTest {};

TEST_F(ObjectChecks, AssertValidCallsTheObjectsCheckAndRefusesNull) {
  CInsuredPatient insured;
  ASSERT_VALID(&insured);
  EXPECT_EQ(insured.m_checks, 1);
  ASSERT_KINDOF(CPatient, &insured);
  EXPECT_EQ(NewRecords(), "");

  const CPatient* none = nullptr;
  ASSERT_VALID(none);
  CPatient patient;
  ASSERT_KINDOF(CInsuredPatient, &patient);
  const std::string records = NewRecords();
  EXPECT_NE(records.find("null object"), std::string::npos) << records;
  EXPECT_NE(records.find("IsKindOf(RUNTIME_CLASS(CInsuredPatient))"), std::string::npos) << records;
}

TEST_F(ObjectChecks, DumpWritesIntoAStringOrTheTraceLogLineByLine) {
  CInsuredPatient insured;
  CString text;
  {
    CDumpContext dc(&text);
    dc << insured << "Nummer " << insured.m_number << ", Anteil " << 0.5 << "\n";
  }
  const std::string expected = "a CInsuredPatient at $";
  EXPECT_EQ(std::string(text.GetString()).rfind(expected, 0), 0u) << text.GetString();
  EXPECT_NE(std::string(text.GetString()).find("\nNummer 7, Anteil 0.5\n"), std::string::npos) << text.GetString();

  afxDump << "erste Zeile\nzweite " << static_cast<const CObject*>(nullptr);
  EXPECT_EQ(NewRecords().find("zweite"), std::string::npos);  // the line is not complete yet
  afxDump.Flush();
  const std::string records = NewRecords();
  EXPECT_NE(records.find("\terste Zeile\r\n"), std::string::npos) << records;
  EXPECT_NE(records.find("\tzweite NULL\r\n"), std::string::npos) << records;
}

TEST(InvalidArgument, IsThrownAsAPointerWithItsMessage) {
  try {
    AfxThrowInvalidArgException();
    FAIL() << "nothing thrown";
  } catch (CException* e) {
    EXPECT_NE(dynamic_cast<CInvalidArgException*>(e), nullptr);
    char message[64] = {};
    EXPECT_TRUE(e->GetErrorMessage(message, sizeof message));
    EXPECT_STREQ(message, "Ein ung\xFCltiges Argument wurde gefunden.");
    e->Delete();
  }
}

}  // namespace
