// Support.cpp : Das Supportwerkzeug der Praxis (siehe Support.h).
//
// Die Quelle ist UTF-8. Die Texte des Programms sind Codepage 1252 wie alle
// Texte der Bibliothek: g++ übersetzt mit -fexec-charset=CP1252.
#include "stdafx.h"
#include "Support.h"

CSupportApp theApp;

void CSupportBefehl::ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL bLast)
{
	if (bFlag && _tcsicmp(pszParam, _T("stack")) == 0)
		m_bStack = TRUE;
	else if (bFlag && _tcsicmp(pszParam, _T("dump")) == 0)
		m_bDump = TRUE;
	else if (bFlag && _tcsicmp(pszParam, _T("kind")) == 0)
		m_bKind = TRUE;
	else if (!bFlag)
		m_astrParameter.Add(pszParam);
	else
		CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
}

CSupportApp::CSupportApp()
	: CWinApp(_T("Support"))
	, m_nErgebnis(0)
{
}

BOOL CSupportApp::InitInstance()
{
	CSupportBefehl befehl;
	ParseCommandLine(befehl);
	if (befehl.m_bKind && befehl.m_astrParameter.GetSize() == 1)
	{
		m_nErgebnis = Hilfsprozess(befehl.m_astrParameter[0]);
		return FALSE;
	}
	if (befehl.m_astrParameter.GetSize() != 2)
	{
		AfxMessageBox(_T("Aufruf: support <Scanordner> <Paketordner> [/stack] [/dump]"), MB_OK | MB_ICONSTOP);
		m_nErgebnis = 2;
		return FALSE;
	}
	m_strScans = befehl.m_astrParameter[0];
	m_strPaket = befehl.m_astrParameter[1];

	// Die Prüfsummen rechnet ein eigener Thread, während die TIFF-Datei entsteht.
	SucheScans();
	InitializeCriticalSection(&m_csPruefsummen);
	CWinThread* pThread = AfxBeginThread(PruefsummenThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
	pThread->m_bAutoDelete = FALSE;
	pThread->ResumeThread();
	int nSeiten = SchreibeTiff();
	DWORD dwCode = 1;
	if (WaitForSingleObject(pThread->m_hThread, 10000) != WAIT_OBJECT_0 ||
		!GetExitCodeThread(pThread->m_hThread, &dwCode) || dwCode != 0)
		m_nErgebnis = 1;
	delete pThread;
	DeleteCriticalSection(&m_csPruefsummen);

	CStringArray astrZeilen;
	for (int i = 0; i < m_astrScans.GetSize(); i++)
	{
		CFileStatus status;
		CString strPruefsumme, strZeile;
		CFile::GetStatus(m_strScans + _T("\\") + m_astrScans[i], status);
		m_mapPruefsummen.Lookup(m_astrScans[i], strPruefsumme);
		strZeile.Format(_T("Scan %s: %I64d Bytes, Prüfsumme %s"), m_astrScans[i], status.m_size, strPruefsumme);
		astrZeilen.Add(strZeile);
	}
	CString strTiff;
	strTiff.Format(_T("scans.tif: %d von %d Scans"), nSeiten, (int)m_astrScans.GetSize());
	astrZeilen.Add(strTiff);
	if (!StarteHilfsprozess(astrZeilen))
		m_nErgebnis = 1;
	if (befehl.m_bStack)
		SchreibeStack();
	if (befehl.m_bDump)
		XTMiniDump(m_strPaket + _T("\\support.dmp"));
	if (!SchreibeBericht(astrZeilen))
		m_nErgebnis = 1;
	_tprintf(_T("Supportpaket in %s: %d Zeilen\n"), (LPCTSTR)PathFindFileName(m_strPaket), (int)astrZeilen.GetSize());
	return FALSE;
}

int CSupportApp::ExitInstance()
{
	return m_nErgebnis;
}

void CSupportApp::SucheScans()
{
	CFileFind finder;
	BOOL bWeiter = finder.FindFile(m_strScans + _T("\\*.bmp"));
	while (bWeiter)
	{
		bWeiter = finder.FindNextFile();
		if (finder.IsDots() || finder.IsDirectory())
			continue;
		CString strName = finder.GetFileName();
		int i = 0;
		while (i < m_astrScans.GetSize() && m_astrScans[i].CompareNoCase(strName) < 0)
			i++;
		m_astrScans.InsertAt(i, strName);
	}
	finder.Close();
}

UINT CSupportApp::PruefsummenThread(LPVOID pParam)
{
	CSupportApp* pApp = (CSupportApp*)pParam;
	for (int i = 0; i < pApp->m_astrScans.GetSize(); i++)
	{
		CString strPruefsumme = XTCheckSum(pApp->m_strScans + _T("\\") + pApp->m_astrScans[i]);
		EnterCriticalSection(&pApp->m_csPruefsummen);
		pApp->m_mapPruefsummen.SetAt(pApp->m_astrScans[i], strPruefsumme);
		LeaveCriticalSection(&pApp->m_csPruefsummen);
	}
	return 0;
}

// Alle lesbaren Scans als Seiten einer TIFF-Datei; die Zahl der Seiten.
int CSupportApp::SchreibeTiff()
{
	CBmp2Tiff tiff;
	if (!tiff.Create(m_strPaket + _T("\\scans.tif")))
		return 0;
	tiff.SetResolution(200.0f);
	int nSeiten = 0;
	for (int i = 0; i < m_astrScans.GetSize(); i++)
	{
		if (tiff.AddBmp(m_strScans + _T("\\") + m_astrScans[i]))
		{
			nSeiten++;
			continue;
		}
		CString strWarnung;
		strWarnung.Format(_T("Der Scan %s ist kein lesbares Bild und fehlt im Paket."), m_astrScans[i]);
		AfxMessageBox(strWarnung, MB_OK | MB_ICONWARNING);
	}
	tiff.Close();
	return nSeiten;
}

// Startet das Programm selbst als Hilfsprozess; es erbt die Umgebung und
// schreibt seine Angaben in eine temporäre Datei.
BOOL CSupportApp::StarteHilfsprozess(CStringArray& astrZeilen)
{
	TCHAR szProgramm[MAX_PATH], szTemp[MAX_PATH], szDatei[MAX_PATH];
	if (!GetModuleFileName(NULL, szProgramm, MAX_PATH) || !GetTempPath(MAX_PATH, szTemp) ||
		!GetTempFileName(szTemp, _T("sup"), 0, szDatei))
		return FALSE;
	SetEnvironmentVariable(_T("SUPPORT_AUFTRAG"), _T("Paket 117, Praxis Nord"));

	TCHAR szBefehl[3 * MAX_PATH];
	_stprintf_s(szBefehl, 3 * MAX_PATH, _T("\"%s\" /kind \"%s\""), szProgramm, PathFindFileName(szDatei));
	STARTUPINFO si;
	PROCESS_INFORMATION pi;
	ZeroMemory(&si, sizeof(si));
	si.cb = sizeof(si);
	ZeroMemory(&pi, sizeof(pi));
	DWORD dwCode = 0;
	if (!CreateProcess(NULL, szBefehl, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
	{
		DeleteFile(szDatei);
		return FALSE;
	}
	BOOL bFertig = WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0 && GetExitCodeProcess(pi.hProcess, &dwCode);
	CloseHandle(pi.hThread);
	CloseHandle(pi.hProcess);

	CStdioFile datei;
	CString strZeile;
	int nZeilen = 0;
	if (bFertig && datei.Open(szDatei, CFile::modeRead | CFile::typeText))
	{
		while (datei.ReadString(strZeile))
		{
			astrZeilen.Add(_T("Hilfsprozess: ") + strZeile);
			nZeilen++;
		}
		datei.Close();
	}
	DeleteFile(szDatei);
	return bFertig && dwCode == (DWORD)nZeilen;
}

// Der Hilfsprozess: schreibt seinen Auftrag in die Datei des Temp-Ordners;
// der Rückgabewert ist die Zahl der Zeilen.
int CSupportApp::Hilfsprozess(LPCTSTR pszDatei)
{
	TCHAR szAuftrag[256], szTemp[MAX_PATH];
	if (!GetEnvironmentVariable(_T("SUPPORT_AUFTRAG"), szAuftrag, 256) || !GetTempPath(MAX_PATH, szTemp))
		return 0;
	CStdioFile datei;
	if (!datei.Open(CString(szTemp) + pszDatei, CFile::modeCreate | CFile::modeWrite | CFile::typeText))
		return 0;
	datei.WriteString(CString(_T("Auftrag ")) + szAuftrag + _T("\n"));
	datei.WriteString(CString(_T("Programm ")) + m_pszExeName + _T("\n"));
	datei.Close();
	return 2;
}

void CSupportApp::SchreibeStack()
{
	CString strStack;
	if (XTStackTrace(strStack) == 0)
		strStack = _T("Die Aufrufliste ist nicht lesbar.\r\n");
	CFile datei;
	if (datei.Open(m_strPaket + _T("\\stack.txt"), CFile::modeCreate | CFile::modeWrite))
	{
		datei.Write((LPCTSTR)strStack, strStack.GetLength());
		datei.Close();
	}
}

// Der Bericht entsteht in einer temporären Datei und wird erst fertig ins Paket kopiert.
BOOL CSupportApp::SchreibeBericht(const CStringArray& astrZeilen)
{
	CTmpFile entwurf(true);
	CString strEntwurf = entwurf.Create("sup");
	if (strEntwurf.IsEmpty())
		return FALSE;
	try
	{
		CStdioFile datei(strEntwurf, CFile::modeWrite | CFile::typeText);
		for (int i = 0; i < astrZeilen.GetSize(); i++)
			datei.WriteString(astrZeilen[i] + _T("\n"));
		datei.Close();
	}
	catch (CFileException* e)
	{
		e->Delete();
		return FALSE;
	}
	return CopyFile(strEntwurf, m_strPaket + _T("\\bericht.txt"), FALSE);
}
