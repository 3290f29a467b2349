// Support.h : Das Supportwerkzeug der Praxis.
//
// Stellt für den Hersteller ein Supportpaket zusammen: die Scans (*.bmp)
// als eine TIFF-Datei mit Größen und Prüfsummen, die Angaben eines
// Hilfsprozesses und auf Wunsch Aufrufliste und Speicherabbild.
#pragma once

// support <Scanordner> <Paketordner> [/stack] [/dump], intern: support /kind <Datei im Temp-Ordner>
class CSupportBefehl : public CCommandLineInfo
{
public:
	CSupportBefehl() : m_bStack(FALSE), m_bDump(FALSE), m_bKind(FALSE) {}
	virtual void ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL bLast);

	BOOL m_bStack;
	BOOL m_bDump;
	BOOL m_bKind;
	CStringArray m_astrParameter;
};

class CSupportApp : public CWinApp
{
public:
	CSupportApp();

	virtual BOOL InitInstance();
	virtual int ExitInstance();

protected:
	void SucheScans();
	static UINT PruefsummenThread(LPVOID pParam);
	int SchreibeTiff();
	BOOL StarteHilfsprozess(CStringArray& astrZeilen);
	int Hilfsprozess(LPCTSTR pszDatei);
	void SchreibeStack();
	BOOL SchreibeBericht(const CStringArray& astrZeilen);

	CString m_strScans;
	CString m_strPaket;
	CStringArray m_astrScans;           // Dateinamen, sortiert
	CMapStringToString m_mapPruefsummen;  // Dateiname -> Prüfsumme
	CRITICAL_SECTION m_csPruefsummen;
	int m_nErgebnis;
};

extern CSupportApp theApp;
