// CXTSysBase: construction, copying and the default hooks.
#include <xtbasis/sysbase.h>

CXTSysBase::CXTSysBase() = default;
CXTSysBase::CXTSysBase(const CXTSysBase& other) = default;
CXTSysBase& CXTSysBase::operator=(const CXTSysBase& other) = default;
CXTSysBase::~CXTSysBase() = default;

void CXTSysBase::ExitInstance() {}
void CXTSysBase::LoadAcceleratorsA(CXTDialog*, unsigned int) {}
void CXTSysBase::SetHelpName(CXTDialog*, const CString&) {}
void CXTSysBase::SetHelpName(CWPFDialog*, const CString&) {}
long CXTSysBase::OnCommandHelp(CXTDialog*, unsigned int, long) { return 0; }
long CXTSysBase::OnCommandHelp(CWPFDialog*, unsigned int, long) { return 0; }
void CXTSysBase::DisableHelpButton(CXTDialog*) {}
void CXTSysBase::DisableHelpButton(CWPFDialog*) {}
void CXTSysBase::OnHotkey(CXTDialog*) {}
void CXTSysBase::OnHotkey(CWPFDialog*) {}
int CXTSysBase::HasDaisyHOZ() { return 0; }
void CXTSysBase::OnStartDaisy(const CString&, const CString&, bool) {}
void CXTSysBase::AtExit(void (*)()) {}
CString CXTSysBase::MainRegKey() { return CString(); }
const wchar_t* CXTSysBase::AppUserModelID() { return nullptr; }
CString CXTSysBase::GetTempDirDB(CString) { return CString(); }
void CXTSysBase::DeleteProtokoll(const CXTRSet*) {}
CString CXTSysBase::DBErrorString() { return CString(); }
CString CXTSysBase::MakeRInfo(const CString&) { return CString(); }
void CXTSysBase::DoDBError(const CString&) {}
bool CXTSysBase::TriggerSelectRead(const CXTRSet*, bool) { return false; }
