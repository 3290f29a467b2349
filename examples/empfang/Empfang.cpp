// Empfang.cpp : Der Empfangsdienst der Praxis (siehe Empfang.h).
//
// Aufruf: empfang <INI-Datei>
// Registry: HKCU\Software\Praxis\Empfang\Einstellungen
//   Postfach     Name des eigenen Postfachs (Vorgabe "Empfang")
//   Wartezimmer  Nummer des Wartezimmers für die Antworten
#include "stdafx.h"
#include "Empfang.h"

CEmpfangApp theApp;

CEmpfangApp::CEmpfangApp()
	: CWinApp(_T("Empfang"))
	, m_nWartezimmer(1)
	, m_nErwartet(0)
	, m_nGelesen(0)
	, m_nBeantwortet(0)
{
}

BOOL CEmpfangApp::InitInstance()
{
	SetRegistryKey(_T("Praxis"));
	m_strPostfach = GetProfileString(_T("Einstellungen"), _T("Postfach"), _T("Empfang"));
	m_nWartezimmer = GetProfileInt(_T("Einstellungen"), _T("Wartezimmer"), 1);

	CString strIni(m_lpCmdLine);
	strIni.Trim(_T(" \""));
	if (strIni.IsEmpty())
	{
		AfxMessageBox(_T("Aufruf: empfang <INI-Datei>"), MB_OK | MB_ICONSTOP);
		return FALSE;
	}
	if (!LeseEinstellungen(strIni))
		return FALSE;

	CXTMailslotServer server;
	if (!server.Create(m_strPostfach, _T("")))
	{
		CString strFehler;
		strFehler.Format(_T("Das Postfach %s kann nicht angelegt werden (Fehler %lu)."),
			m_strPostfach, GetLastError());
		AfxMessageBox(strFehler, MB_OK | MB_ICONSTOP);
		return FALSE;
	}
	_tprintf(_T("%s bereit: Postfach %s, %d Mails\n"), m_pszAppName, (LPCTSTR)m_strPostfach, m_nErwartet);
	fflush(stdout);

	while (m_nGelesen < m_nErwartet)
	{
		CString strAbsender, strText;
		MAILTYPES typ = MAILTYPE_NONE;
		if (!server.Read(strAbsender, typ, strText))
			continue;  // doppelt zugestellt oder beschädigt
		++m_nGelesen;
		TRACE(_T("Empfang: Mail %d von %s: %s\n"), m_nGelesen, strAbsender, strText);
		if (typ == MAILTYPE_USER && Beantworte(strAbsender, strText))
			++m_nBeantwortet;
	}
	server.Close();

	// Keine Nachrichtenschleife: der Dienst ist fertig.
	return FALSE;
}

int CEmpfangApp::ExitInstance()
{
	if (!CreateDirectory(_T("Journal"), NULL) && GetLastError() != ERROR_ALREADY_EXISTS)
	{
		CString strFehler;
		strFehler.Format(_T("Der Ordner Journal fehlt (Fehler %lu)."), GetLastError());
		_tprintf(_T("%s\n"), (LPCTSTR)strFehler);
		return 2;
	}
	try
	{
		CStdioFile datei(_T("Journal\\empfang.txt"), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
		for (int i = 0; i < m_astrJournal.GetSize(); i++)
			datei.WriteString(m_astrJournal[i] + _T("\n"));
		datei.Close();
	}
	catch (CFileException* e)
	{
		TCHAR szGrund[256];
		e->GetErrorMessage(szGrund, 256);
		_tprintf(_T("Journal nicht geschrieben: %s\n"), szGrund);
		e->Delete();
		return 2;
	}
	_tprintf(_T("%d von %d Anfragen beantwortet.\n"), m_nBeantwortet, m_nGelesen);
	return m_nGelesen == m_nErwartet ? 0 : 1;
}

// Liest die Zahl der Mails, das Antwortpostfach und die Antworten je Anliegen.
BOOL CEmpfangApp::LeseEinstellungen(LPCTSTR pszIniDatei)
{
	// GetPrivateProfileString braucht einen vollen Pfad.
	TCHAR szIni[MAX_PATH];
	if (_tfullpath(szIni, pszIniDatei, MAX_PATH) == NULL || !PathFileExists(szIni))
	{
		CString strFehler;
		strFehler.Format(_T("Die INI-Datei %s fehlt."), pszIniDatei);
		AfxMessageBox(strFehler, MB_OK | MB_ICONSTOP);
		return FALSE;
	}

	m_nErwartet = GetPrivateProfileInt(_T("Empfang"), _T("Anzahl"), 1, szIni);
	TCHAR szWert[256];
	GetPrivateProfileString(_T("Empfang"), _T("AntwortPostfach"), _T("Praxis"), szWert, 256, szIni);
	m_strAntwortPostfach = szWert;
	GetPrivateProfileString(_T("Empfang"), _T("AntwortUnter"), _T(""), szWert, 256, szIni);
	m_strAntwortUnter = szWert;

	// Ohne Schlüssel liefert GetPrivateProfileString alle Schlüssel des
	// Abschnitts, jeden mit '\0' abgeschlossen, am Ende ein zweites '\0'.
	TCHAR szSchluessel[2048];
	DWORD dwLaenge = GetPrivateProfileString(_T("Anliegen"), NULL, _T(""), szSchluessel, 2048, szIni);
	for (LPCTSTR p = szSchluessel; p < szSchluessel + dwLaenge && *p; p += _tcslen(p) + 1)
	{
		GetPrivateProfileString(_T("Anliegen"), p, _T(""), szWert, 256, szIni);
		CString strAnliegen(p);
		strAnliegen.MakeUpper();
		m_mapAnliegen.SetAt(strAnliegen, szWert);
	}
	CString strZeile;
	strZeile.Format(_T("%d Anliegen aus %s"), (int)m_mapAnliegen.GetCount(), PathFindFileName(szIni));
	m_astrJournal.Add(strZeile);
	return m_nErwartet > 0;
}

// Die Antwort auf ein Anliegen; bei einem unbekannten wird gefragt.
CString CEmpfangApp::AntwortAuf(const CString& strAnliegen)
{
	CString strSchluessel(strAnliegen), strAntwort;
	strSchluessel.MakeUpper();
	if (m_mapAnliegen.Lookup(strSchluessel, strAntwort))
	{
		CString strVorlage(strAntwort);
		strAntwort.Format(strVorlage, m_nWartezimmer);
		return strAntwort;
	}
	CString strFrage;
	strFrage.Format(_T("Unbekanntes Anliegen „%s“.\nRückruf anbieten?"), strAnliegen);
	if (AfxMessageBox(strFrage, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES)
		return _T("Wir rufen Sie zurück.");
	return _T("Bitte melden Sie sich am Empfang.");
}

BOOL CEmpfangApp::Beantworte(const CString& strAbsender, const CString& strText)
{
	CString strPatient, strAnliegen;
	if (!AfxExtractSubString(strPatient, strText, 0, _T(';')) ||
		!AfxExtractSubString(strAnliegen, strText, 1, _T(';')) || strAnliegen.IsEmpty())
	{
		Journal(_T("unlesbar: ") + strText);
		return FALSE;
	}
	CString strAntwort;
	strAntwort.Format(_T("%s: %s"), strPatient, AntwortAuf(strAnliegen.Trim()));
	if (!CXTMailslotClient::SendOneMessage(strAbsender, m_strAntwortPostfach, m_strAntwortUnter,
		MAILTYPE_USER, strAntwort))
	{
		Journal(_T("nicht zugestellt: ") + strAntwort);
		return FALSE;
	}
	Journal(_T("beantwortet: ") + strAntwort);
	return TRUE;
}

void CEmpfangApp::Journal(const CString& strZeile)
{
	m_astrJournal.Add(strZeile);
	TRACE(_T("Empfang: %s\n"), strZeile);
}
